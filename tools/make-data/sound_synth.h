// Synthesis of the sound bank's instruments, clicks and start tunes. All
// output is mono at 44100 Hz, samples in -1..1, and fully determined by the
// arguments (noise comes from fixed seeds), so every run writes the same files.
#pragma once
#include <cstdint>
#include <vector>

using Samples = std::vector<float>;
constexpr int synthRate = 44100;

// A flute-like tone: strong fundamental, a few soft harmonics, breath noise
// with a chiff at the start, soft attack and release.
Samples fluteNote(double hz, double seconds, uint64_t seed);

// Magnitude of the "ah" vowel's formants (a cascade of second-order
// resonances) at frequency f, unity at 0 Hz.
double formantGain(double f);

// A sung "ah": a glottal pulse train (harmonics falling 6 dB per octave)
// shaped by the formants of the vowel, with a little aspiration.
Samples maleAhNote(double hz, double seconds, uint64_t seed);

// A pure sine with short fades at both ends.
Samples sineNote(double hz, double seconds);

// The notes of a chord sounding together as a soft keyboard: the given
// frequencies plus the root an octave lower as a bass.
Samples chordSample(const std::vector<double> &freqs, double seconds);

// Short percussive count clicks, kind 0..5: beat, "e", "and", "a", "trip",
// "let"; each has its own pitch and decay so they are told apart by ear.
Samples countClick(int kind, uint64_t seed);

// A sine gliding down from 880 Hz to 220 Hz.
Samples fallingSine();

// The start tune in one of five timbres: 0 trumpet, 1 guitar, 2 piano,
// 3 organ, 4 violin.
Samples startTune(int instrument);

// Fades, level and format helpers.
void fadeEdges(Samples &s, double fadeInSeconds, double fadeOutSeconds);
void normalisePeak(Samples &s, double peak);
std::vector<int16_t> toPcm16(const Samples &s);
