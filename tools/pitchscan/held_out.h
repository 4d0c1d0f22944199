// Held-out evaluations of the pitch detector (tarnova-pitchscan --kinds):
// four kinds of voice that are hard in their own way, generated beside the
// evaluation set and never tuned against one by one.
//
//   weak       steady voices whose first harmonic is 20 dB below the second,
//              330-1100 Hz, six vowels, tilts -3 to -15 dB per octave: no
//              block may read an octave (or more) off;
//   jitter     1 % period jitter with 50 cents of vibrato at 6 Hz (and 0.8 %
//              with 35 cents), 55-1100 Hz: every block must be read;
//   formant    50 cents of vibrato at 5 Hz whose loudness follows the pitch
//              through the formants, 110-1000 Hz, pure tones and vowels: the
//              mean signed error of a signal's blocks, each against the
//              log-mean pitch of its own window, within 2 cents;
//   missing    no first harmonic, 220-1100 Hz: octave errors counted (and
//              compared with another tracker by tools/pitch-praat-compare).
#pragma once
#include "voice_signals.h"

#include <cstdint>
#include <string>
#include <vector>

enum HeldOutKind : int32_t { kindWeak = 0, kindJitter = 1, kindFormant = 2, kindMissing = 3 };
constexpr int32_t heldOutKindCount = 4;

const char *heldOutKindName(int32_t kind);

struct HeldOutSignal {
    voicesignals::VoiceSpec spec;
    int32_t kind;
};

// The signals of one kind, in a fixed order (deterministic: fixed seeds).
std::vector<HeldOutSignal> heldOutSet(int32_t kind);

// A signal's name, unique within its kind (for lists and files).
std::string heldOutName(const HeldOutSignal &s);

// The log-mean of the fundamental over the samples of block k's window.
double windowLogMeanPitch(const std::vector<double> &f0, int32_t k);

// Runs the detector over every signal of each kind and prints one table per
// kind, a row per range of fundamentals. listFailures adds a line per failing
// signal. Returns 0 when every signal meets its kind's bound (the missing
// fundamentals have none), 1 otherwise.
int runHeldOut(bool listFailures);

// Writes every signal of the kind named as DIR/<name>.wav (16-bit mono 44100
// Hz) and DIR/truth.txt ("<name> <block> <Hz>" for blocks 1..15: the pitch
// each window holds, centred at block * 2048 samples), and prints, per
// range, the octave errors of this detector on the same blocks.
int writeHeldOut(const std::string &kindName, const std::string &dir);
