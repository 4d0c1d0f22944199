// Voice-like test signals with a known pitch, and the capture-screen block
// loop that runs the detector over them. Header only: the pitch scan tool's
// evaluation and the detector's tests build the same signals from it.
//
// A voice here is a sum of harmonics of a fundamental that may move (vibrato,
// jitter), each weighted by a source tilt (dB per octave, 0 = flat) and by
// the resonances of three formants, with per-period amplitude wobble
// (shimmer) and white noise. The true fundamental is kept per sample, so the
// pitch a window should read is known exactly.
#pragma once
#include "sound/pitch_detector.h"
#include "sound/recording.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace voicesignals {

constexpr double twoPi = 6.283185307179586;

struct Vowel {
    const char *name;
    double formant[3];
    double bandwidth[3];
    bool bright; // first formant high enough to sit among the low harmonics
};

// Vowels of a male voice; "ah" and "ae" are bright, "oo" and "oh" dark.
inline constexpr Vowel vowels[] = {
    {"ah", {730.0, 1090.0, 2440.0}, {90.0, 110.0, 170.0}, true},
    {"ae", {660.0, 1720.0, 2410.0}, {80.0, 120.0, 170.0}, true},
    {"eh", {530.0, 1840.0, 2480.0}, {70.0, 120.0, 170.0}, true},
    {"ee", {270.0, 2290.0, 3010.0}, {60.0, 150.0, 200.0}, false},
    {"oh", {570.0, 840.0, 2410.0}, {70.0, 90.0, 170.0}, false},
    {"oo", {300.0, 870.0, 2240.0}, {60.0, 90.0, 160.0}, false},
};
constexpr int32_t vowelCount = int32_t(sizeof vowels / sizeof vowels[0]);

struct VoiceSpec {
    double hz = 110.0;
    int32_t vowel = 0;
    double tiltDbPerOctave = -6.0; // 0 flat, -12 steep
    double vibratoCents = 0.0;     // peak deviation, at vibratoHz
    double vibratoHz = 5.5;
    double jitter = 0.0;           // relative std-dev of each period's length
    double shimmer = 0.0;          // relative std-dev of each period's level
    double noise = 0.0;            // noise level relative to the signal's peak
    bool pulsePhases = true;       // harmonics in sine phase (a glottal-like pulse) or scattered
    uint32_t seed = 1;
    // Shapes of the source beyond the tilt and the formants.
    double weakFundamentalDb = 0.0;   // > 0: the first harmonic this far below the second
    bool missingFundamental = false;  // no first harmonic at all
    int32_t harmonicLimit = 0;        // > 0: only harmonics up to this one (1: a pure tone)
    // The formants weigh each harmonic at its frequency of the moment, so a
    // vibrato's loudness follows the pitch up and down a resonance, as a
    // voice's does (otherwise the weights are those of the steady pitch).
    bool formantFollowsPitch = false;
};

struct Voice {
    std::vector<int16_t> samples;
    std::vector<double> f0; // true fundamental per sample
};

// Resonance gain of a formant at frequency f (1 far below, about c/b at c).
inline double resonance(double f, double c, double b)
{
    const double c2 = c * c;
    return c2 / std::sqrt((c2 - f * f) * (c2 - f * f) + b * b * f * f);
}

inline int16_t clip16(double v)
{
    const double r = std::nearbyint(v);
    return int16_t(r > 32767.0 ? 32767.0 : (r < -32768.0 ? -32768.0 : r));
}

// peak: the level of the loudest sample before noise.
inline Voice makeVoice(const VoiceSpec &s, int32_t samples, double peak = 12000.0)
{
    std::mt19937 rng(s.seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::uniform_real_distribution<double> uniform(0.0, twoPi);
    const Vowel &v = vowels[s.vowel];
    int32_t harmonics = std::max(1, int32_t(5000.0 / s.hz));
    if (s.harmonicLimit > 0) harmonics = std::min(harmonics, s.harmonicLimit);
    std::vector<double> gain(harmonics + 1), phase0(harmonics + 1);
    // Weight of harmonic h of a fundamental at f, tilt, formants and the
    // source's shape at the first harmonic.
    auto weights = [&](double f, std::vector<double> &g) {
        for (int32_t h = 1; h <= harmonics; ++h) {
            double w = std::pow(double(h), s.tiltDbPerOctave / 6.0206);
            for (int32_t k = 0; k < 3; ++k) w *= resonance(h * f, v.formant[k], v.bandwidth[k]);
            g[h] = w;
        }
        if (s.missingFundamental) g[1] = 0.0;
        else if (s.weakFundamentalDb > 0.0 && harmonics >= 2)
            g[1] = g[2] * std::pow(10.0, -s.weakFundamentalDb / 20.0);
    };
    weights(s.hz, gain);
    for (int32_t h = 1; h <= harmonics; ++h) phase0[h] = s.pulsePhases ? 0.0 : uniform(rng);
    Voice out;
    out.samples.resize(samples);
    out.f0.resize(samples);
    std::vector<double> raw(samples);
    double phase = 0.0, periodFactor = 1.0, level = 1.0, top = 0.0;
    const double vibratoPhase = uniform(rng);
    for (int32_t n = 0; n < samples; ++n) {
        const double cents = s.vibratoCents * std::sin(twoPi * s.vibratoHz * n / 44100.0 + vibratoPhase);
        const double f = s.hz * std::exp2(cents / 1200.0) / periodFactor;
        out.f0[n] = f;
        const double before = phase;
        phase += twoPi * f / 44100.0;
        if (std::floor(phase / twoPi) != std::floor(before / twoPi)) { // a new period starts
            periodFactor = 1.0 + s.jitter * gauss(rng);
            level = 1.0 + s.shimmer * gauss(rng);
        }
        if (s.formantFollowsPitch) weights(f, gain);
        double x = 0.0;
        for (int32_t h = 1; h <= harmonics; ++h)
            if (h * f < 20000.0) x += gain[h] * std::sin(h * phase + phase0[h]);
        raw[n] = level * x;
        top = std::max(top, std::fabs(raw[n]));
    }
    for (int32_t n = 0; n < samples; ++n)
        out.samples[n] = clip16(peak * raw[n] / top + s.noise * peak * gauss(rng));
    return out;
}

// The pitch the window of block k should read. The window holds the signal
// samples (k-1)*2048 .. (k+1)*2048 (block 0: 2048 zeros, then the first
// block). A window holds whole periods only away from its ends, so each
// sample's fundamental counts with a weight that rises over one period from
// either end of the signal the window holds and is full in between (the
// windows a period detector compares start a period apart). With a steady
// pitch this is that pitch; with vibrato it is the average over the window.
inline double windowPitch(const std::vector<double> &f0, int32_t k)
{
    const int32_t from = std::max(0, (k - 1) * recordingBlockLength);
    const int32_t to = std::min(int32_t(f0.size()), (k + 1) * recordingBlockLength);
    double sum = 0.0;
    for (int32_t n = from; n < to; ++n) sum += f0[n];
    const double period = 44100.0 / (sum / (to - from));
    double weighted = 0.0, weights = 0.0;
    for (int32_t n = from; n < to; ++n) {
        const double edge = std::min(double(n - from) + 0.5, double(to - n) - 0.5);
        const double weight = std::min(1.0, edge / period);
        weighted += weight * std::log2(f0[n]);
        weights += weight;
    }
    return std::exp2(weighted / weights);
}

struct BlockResult {
    double frequency;
    double period;
};

// The capturing screen's loop: zeroed head, blocks written from 2048, the
// window trailing the write position by one block, the period carried from
// block to block.
inline std::vector<BlockResult> runBlocks(const std::vector<int16_t> &signal,
                                          double startPeriod = 0.0)
{
    std::fill(recordingBuffer, recordingBuffer + analysisWindowLength, int16_t(0));
    clearEventMarks();
    PitchTracker tracker;
    tracker.period = startPeriod;
    std::vector<BlockResult> out;
    const int32_t blocks = int32_t(signal.size()) / recordingBlockLength;
    for (int32_t k = 0; k < blocks; ++k) {
        std::copy_n(signal.begin() + k * recordingBlockLength, recordingBlockLength,
                    recordingBuffer + recordingBlockLength + tracker.analysisPos);
        analyseWindow(tracker);
        out.push_back({tracker.frequency, tracker.period});
        tracker.analysisPos += recordingBlockLength;
    }
    return out;
}

inline double cents(double f, double ref) { return 1200.0 * std::log2(f / ref); }

// Doubles the sample rate of a band-limited signal (a bank sample stored at
// 22050 Hz) with a Kaiser-windowed sinc, the way a player's resampler
// would: even outputs are the input samples, odd ones interpolated halfway.
inline std::vector<int16_t> doubleRate(const std::vector<int16_t> &in)
{
    constexpr int32_t half = 32; // taps on each side
    double taps[2 * half];
    for (int32_t j = 0; j < 2 * half; ++j) {
        const double x = (j - half) + 0.5; // distance from the midpoint in input samples
        const double r = x / (half + 0.5);
        const double beta = 8.0;
        auto bessel0 = [](double y) {
            double sum = 1.0, term = 1.0;
            for (int32_t k = 1; k < 30; ++k) {
                term *= (y / (2.0 * k)) * (y / (2.0 * k));
                sum += term;
            }
            return sum;
        };
        taps[j] = std::sin(M_PI * x) / (M_PI * x) * bessel0(beta * std::sqrt(1.0 - r * r)) /
                  bessel0(beta);
    }
    const int32_t n = int32_t(in.size());
    std::vector<int16_t> out(2 * in.size());
    for (int32_t m = 0; m < n; ++m) {
        out[2 * m] = in[m];
        double acc = 0.0;
        for (int32_t j = 0; j < 2 * half; ++j) {
            const int32_t k = m + j - half + 1;
            if (k >= 0 && k < n) acc += in[k] * taps[j];
        }
        out[2 * m + 1] = clip16(acc);
    }
    return out;
}

} // namespace voicesignals
