// Evaluations of the pitch detector for developers (tarnova-pitchscan
// --evaluate and --bank): each prints a Markdown table and returns 0 when
// every signal meets its bound, 1 otherwise.
#pragma once
#include "voice_signals.h"

#include <cstdint>
#include <string>
#include <vector>

struct EvaluationSignal {
    voicesignals::VoiceSpec spec;
    int32_t variant = 0; // 0 steady, 1 vibrato + jitter, 2 shimmer + noise, 3 all, milder
};

// The evaluation set: voice-like signals of 55-1100 Hz, vowels bright and
// dark, tilts flat to steep, with and without vibrato, jitter, shimmer, noise.
std::vector<EvaluationSignal> evaluationSet();

// Runs the detector over every signal of the set and prints, per range of
// fundamentals, the median and worst error in cents, octave errors and
// missed blocks, then a table of steady sines (the worst first block and
// later block over 64 start phases). listFailures also prints one line per
// failing signal.
int runEvaluation(bool listFailures);

// Runs the detector over every pitched sample of the generated sound bank in
// folder (the folder tarnova-make-data wrote; its sounds/ is read), decoded
// and doubled to 44100 Hz, and prints each sample's median deviation from its
// note's frequency.
int runBankScan(const std::string &folder);

// The samples of one Ogg file of the bank at 44100 Hz.
std::vector<int16_t> bankSampleAt44100(const std::string &file);

// Median and worst deviation in cents from hz over blocks 1.. that measured
// a pitch; false when none did.
bool bankSampleMedian(const std::string &file, double hz, double &medianCents, double &worstCents,
                      int32_t &measured, int32_t &blocks);
