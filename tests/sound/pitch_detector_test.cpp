// Whole-detector behaviour on synthetic recordings, run block by block the
// way a capturing screen does it.
#include "sound/pitch_detector.h"
#include "sound/recording.h"

#include "../../tools/pitchscan/voice_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr double twoPi = 6.283185307179586;

double cents(double f, double ref) { return 1200.0 * std::log2(f / ref); }

int16_t clip16(double v)
{
    const double r = std::nearbyint(v);
    return int16_t(r > 32767.0 ? 32767.0 : (r < -32768.0 ? -32768.0 : r));
}

std::vector<int16_t> sine(double hz, double peak, double phase, int32_t samples, double dc = 0.0)
{
    std::vector<int16_t> s(samples);
    for (int32_t n = 0; n < samples; ++n)
        s[n] = clip16(dc + peak * std::sin(twoPi * hz * n / 44100.0 + phase));
    return s;
}

// Zeroed head, blocks written from 2048, the window trailing the write
// position by one block, the period carried from block to block.
using voicesignals::BlockResult;
using voicesignals::runBlocks;

// Runs one window of raw samples (recordingBuffer[0] kept at 0).
BlockResult runWindow(const std::vector<int16_t> &window, double &period)
{
    recordingBuffer[0] = 0;
    std::copy(window.begin(), window.end(), recordingBuffer + recordingBlockLength);
    PitchTracker t;
    t.analysisPos = recordingBlockLength;
    t.period = period;
    analyseWindow(t);
    period = t.period;
    return {t.frequency, t.period};
}

} // namespace

// The second row holds tones whose period lies about half a bin from a whole
// bin (739.99 Hz, F#5, is 59.6 samples): their fourth multiple lands two bins
// from four times the candidate, and they used to be measured an octave low.
// Every block is within half a cent at each of eight start phases (crest,
// trough and both crossings among them), the first block too: its window is
// half silence, and its period is measured over the sounding half alone. Over
// 64 start phases the first block reads at most 0.33 cents off (at 1046.5 and
// 1100 Hz; tarnova-pitchscan --evaluate), where it used to read up to 29.6
// cents off at 55 Hz.
TEST(PitchDetector, SteadySinesWithinHalfACentInEveryBlock)
{
    const double frequencies[] = {55.0,   61.74,  73.42,  87.31,  98.0,   110.0,  131.7,
                                  164.81, 200.0,  246.94, 293.66, 333.3,  392.0,  440.0,
                                  523.25, 610.0,  698.46, 783.99, 830.0,  880.0,  1046.5,
                                  509.83, 547.68, 599.67, 643.83, 694.43, 739.99, 780.83,
                                  824.4,  855.94, 874.93};
    double firstBlockWorst = 0.0;
    for (double f : frequencies) {
        for (int32_t eighth = 0; eighth < 8; ++eighth) {
            const double phase = eighth * twoPi / 8.0;
            const auto blocks = runBlocks(sine(f, 10000.0, phase, 12 * recordingBlockLength));
            for (size_t k = 0; k < blocks.size(); ++k) {
                ASSERT_GT(blocks[k].frequency, 10.0) << f << " Hz phase " << eighth << "/8 block " << k;
                const double error = std::fabs(cents(blocks[k].frequency, f));
                if (k == 0) firstBlockWorst = std::max(firstBlockWorst, error);
                EXPECT_LE(error, 0.5)
                    << f << " Hz phase " << eighth << "/8 block " << k << " measured "
                    << blocks[k].frequency;
            }
        }
    }
    std::printf("half-silent first block: worst %.2f cents\n", firstBlockWorst);
}

TEST(PitchDetector, StatusPaths)
{
    // Too quiet: the period is kept.
    double period = 123.0;
    std::vector<int16_t> quiet = sine(440.0, 2000.0, 0.0, analysisWindowLength);
    EXPECT_EQ(runWindow(quiet, period).frequency, pitchTooQuiet);
    EXPECT_EQ(period, 123.0);

    // Ten single-sample spikes of 5000: loud enough, but the sum of absolute
    // values is exactly 50000, which counts as too little energy; period 0.
    std::vector<int16_t> spikes(analysisWindowLength, 0);
    for (int32_t k = 0; k < 10; ++k) spikes[200 + 400 * k] = 5000;
    period = 123.0;
    EXPECT_EQ(runWindow(spikes, period).frequency, pitchTooLittleEnergy);
    EXPECT_EQ(period, 0.0);

    // One broad bump: plenty of energy, a single peak: too few events, period kept.
    std::vector<int16_t> bump(analysisWindowLength, 0);
    for (int32_t n = 0; n < 1000; ++n) bump[1000 + n] = clip16(10000.0 * std::sin(twoPi * n / 2000.0));
    period = 123.0;
    EXPECT_EQ(runWindow(bump, period).frequency, pitchTooFewEvents);
    EXPECT_EQ(period, 123.0);

    // 40 Hz: every same-kind interval is beyond the longest period, so no
    // candidate exists and no period is stable.
    period = 123.0;
    EXPECT_EQ(runWindow(sine(40.0, 10000.0, 0.3, analysisWindowLength), period).frequency,
              pitchNoStablePeriod);
    EXPECT_EQ(period, 0.0);
}

// The quiet gate is on the window's peak level: a sine whose crests reach
// 2499 is too quiet and keeps the period; one reaching 2500 is read.
TEST(PitchDetector, QuietLimitIsAmplitude2500)
{
    for (const int32_t peak : {2499, 2500}) {
        // 220.5 Hz: a period of exactly 200 samples, so crests land on samples.
        PitchTracker t;
        recordingBuffer[0] = 0;
        const std::vector<int16_t> s = sine(220.5, peak, 0.0, analysisWindowLength);
        std::copy(s.begin(), s.end(), recordingBuffer + recordingBlockLength);
        t.analysisPos = recordingBlockLength;
        t.period = 77.0;
        analyseWindow(t);
        ASSERT_EQ(t.amplitude, peak);
        if (peak < 2500) {
            EXPECT_EQ(t.frequency, pitchTooQuiet);
            EXPECT_EQ(t.period, 77.0);
        } else {
            EXPECT_NEAR(cents(t.frequency, 220.5), 0.0, 0.5);
        }
    }
}

TEST(PitchDetector, DcOffsetAndClippingKeepASine)
{
    struct Case {
        double hz, peak, dc;
    } cases[] = {{440.0, 10000.0, 3000.0}, {130.81, 10000.0, -6000.0}, {261.63, 40000.0, 0.0},
                 {98.0, 60000.0, 0.0},     {659.26, 36000.0, 2000.0}};
    for (const Case &c : cases) {
        const auto blocks = runBlocks(sine(c.hz, c.peak, 0.7, 10 * recordingBlockLength, c.dc));
        // The first window also holds the step from silence to the offset
        // or the clipped level, so it only has to stay close.
        for (size_t k = 0; k < blocks.size(); ++k)
            EXPECT_LE(std::fabs(cents(blocks[k].frequency, c.hz)), k == 0 ? 5.0 : 0.5)
                << c.hz << " Hz peak " << c.peak << " dc " << c.dc << " block " << k;
    }
}

namespace {

// A sung vowel: harmonics of a glottal pulse train shaped by three formant
// resonances, with vibrato, cycle-to-cycle jitter and breath noise. Returns
// the signal and the instantaneous fundamental per sample.
struct Voice {
    std::vector<int16_t> samples;
    std::vector<double> f0;
};

Voice voice(double hz, const double (&formants)[3], uint32_t seed, int32_t samples)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    const double bandwidth[3] = {80.0, 100.0, 140.0};
    Voice v;
    v.samples.resize(samples);
    v.f0.resize(samples);
    std::vector<double> raw(samples);
    double phase = 0.0, jitter = 0.0, peak = 0.0;
    for (int32_t n = 0; n < samples; ++n) {
        if (n % 441 == 0) jitter = 0.004 * gauss(rng); // new wobble every 10 ms
        const double vibrato = 30.0 * std::sin(twoPi * 5.5 * n / 44100.0);
        const double f = hz * std::pow(2.0, (vibrato + 1200.0 * jitter) / 1200.0);
        v.f0[n] = f;
        phase += twoPi * f / 44100.0;
        double s = 0.0;
        for (int32_t h = 1; h * f < 5000.0; ++h) {
            double gain = 1.0 / h; // falling source spectrum
            for (int32_t k = 0; k < 3; ++k) {
                const double d = (h * f - formants[k]) / bandwidth[k];
                gain *= 1.0 + 4.0 / (1.0 + d * d);
            }
            s += gain * std::sin(h * phase);
        }
        raw[n] = s;
        peak = std::max(peak, std::fabs(s));
    }
    for (int32_t n = 0; n < samples; ++n)
        v.samples[n] = clip16(12000.0 * raw[n] / peak + 150.0 * gauss(rng));
    return v;
}

// Mean pitch (in cents, back to Hz) of the signal samples the window of block k holds.
double windowPitch(const Voice &v, int32_t k)
{
    const int32_t from = std::max(0, (k - 1) * recordingBlockLength);
    const int32_t to = (k + 1) * recordingBlockLength;
    double sum = 0.0;
    for (int32_t n = from; n < to; ++n) sum += std::log2(v.f0[n]);
    return std::exp2(sum / (to - from));
}

} // namespace

TEST(PitchDetector, VoiceLikeSignalsFollowThePitch)
{
    const double vowelA[3] = {730.0, 1090.0, 2440.0};
    const double vowelO[3] = {570.0, 840.0, 2410.0};
    const double vowelI[3] = {270.0, 2290.0, 3010.0};
    struct Case {
        double hz;
        const double (*formants)[3];
    } cases[] = {{98.0, &vowelA}, {110.0, &vowelO}, {146.83, &vowelI}, {196.0, &vowelA},
                 {261.63, &vowelO}, {349.23, &vowelA}, {440.0, &vowelI}, {587.33, &vowelO}};
    uint32_t seed = 1;
    for (const Case &c : cases) {
        const Voice v = voice(c.hz, *c.formants, seed++, 24 * recordingBlockLength);
        const auto blocks = runBlocks(v.samples);
        for (size_t k = 1; k < blocks.size(); ++k) {
            const double truth = windowPitch(v, int32_t(k));
            ASSERT_GT(blocks[k].frequency, 10.0) << c.hz << " Hz block " << k;
            EXPECT_LE(std::fabs(cents(blocks[k].frequency, truth)), 10.0)
                << c.hz << " Hz block " << k << " measured " << blocks[k].frequency << " true "
                << truth;
        }
        if (blocks[0].frequency > 10.0) { // the half-silent first block: no octave error
            EXPECT_LT(std::fabs(cents(blocks[0].frequency, c.hz)), 100.0) << c.hz << " Hz block 0";
        }
    }
}

// Signals of the evaluation set (tarnova-pitchscan --evaluate) that read
// 14-60 cents off before the period was measured from period to period: low
// voices whose first formant (an "ah" at 730 Hz) is as strong as the
// fundamental, so the waveform rings between the periods (their medians
// were 12-71 cents off). Each block from the
// second on is compared with the pitch its window holds.
TEST(PitchDetector, RingingVoicesReadWithinAFewCents)
{
    using voicesignals::VoiceSpec;
    using voicesignals::makeVoice;
    using voicesignals::windowPitch;
    struct Case {
        double hz;
        double tilt;
        bool pulse;
        double shimmer, noise;
        uint32_t seed;
        double before; // median cents before the mend
    } cases[] = {
        {55.0, 0.0, true, 0.0, 0.0, 500, 59.1},    {61.74, -6.0, false, 0.10, 0.02, 501, 70.8},
        {77.78, -6.0, false, 0.0, 0.0, 503, 70.7}, {87.31, 0.0, true, 0.0, 0.0, 504, 48.4},
        {98.0, -6.0, false, 0.10, 0.02, 505, 12.1},
    };
    for (const Case &c : cases) {
        VoiceSpec spec;
        spec.hz = c.hz;
        spec.vowel = 0; // "ah"
        spec.tiltDbPerOctave = c.tilt;
        spec.pulsePhases = c.pulse;
        spec.shimmer = c.shimmer;
        spec.noise = c.noise;
        spec.seed = c.seed;
        const voicesignals::Voice v = makeVoice(spec, 16 * recordingBlockLength);
        const auto blocks = voicesignals::runBlocks(v.samples);
        std::vector<double> errors;
        for (int32_t k = 1; k < int32_t(blocks.size()); ++k) {
            ASSERT_GT(blocks[k].frequency, 10.0) << c.hz << " Hz block " << k;
            const double e = std::fabs(voicesignals::cents(blocks[k].frequency, windowPitch(v.f0, k)));
            EXPECT_LE(e, 15.0) << c.hz << " Hz block " << k;
            errors.push_back(e);
        }
        std::sort(errors.begin(), errors.end());
        EXPECT_LE(errors[errors.size() / 2], 3.0) << c.hz << " Hz, median before the mend " << c.before;
    }
}

// Signals of the evaluation set with a flat source (no fall of the harmonics
// with frequency), where the harmonics near the first formant outweigh a weak
// fundamental: the verification can pass at a fraction of the period, and
// 13 to 15 of the 15 blocks of each of these read an octave high (one block
// of the first, at 6.5 times the pitch).
TEST(PitchDetector, WeakFundamentalsUnderStrongFormantsReadAtTheirPitch)
{
    struct Case {
        double hz;
        int32_t vowel; // 0 "ah", 1 "ae", 2 "eh", 4 "oh", 5 "oo"
        double tilt;
        bool pulse;
        double vibrato, jitter, shimmer, noise;
        uint32_t seed; // as in the evaluation set
    } cases[] = {
        {98.0, 4, 0.0, false, 40.0, 0.005, 0.0, 0.0, 103}, // the period is no multiple of the ringing's
        {110.0, 1, 0.0, false, 30.0, 0.003, 0.05, 0.01, 112},
        {155.56, 5, -6.0, true, 30.0, 0.003, 0.05, 0.01, 179},
        {311.13, 2, 0.0, false, 40.0, 0.005, 0.0, 0.0, 277},
        {349.23, 4, 0.0, true, 0.0, 0.0, 0.0, 0.0, 301},
        {493.88, 0, 0.0, false, 30.0, 0.003, 0.05, 0.01, 343},
    };
    for (const Case &c : cases) {
        voicesignals::VoiceSpec spec;
        spec.hz = c.hz;
        spec.vowel = c.vowel;
        spec.tiltDbPerOctave = c.tilt;
        spec.pulsePhases = c.pulse;
        spec.vibratoCents = c.vibrato;
        spec.jitter = c.jitter;
        spec.shimmer = c.shimmer;
        spec.noise = c.noise;
        spec.seed = c.seed;
        const voicesignals::Voice v = voicesignals::makeVoice(spec, 16 * recordingBlockLength);
        const auto blocks = voicesignals::runBlocks(v.samples);
        for (int32_t k = 1; k < int32_t(blocks.size()); ++k) {
            ASSERT_GT(blocks[k].frequency, 10.0) << c.hz << " Hz block " << k;
            EXPECT_LE(std::fabs(voicesignals::cents(blocks[k].frequency, voicesignals::windowPitch(v.f0, k))), 15.0)
                << c.hz << " Hz block " << k << " measured " << blocks[k].frequency;
        }
    }
}

TEST(PitchDetector, SameInputGivesBitIdenticalResults)
{
    const double vowel[3] = {730.0, 1090.0, 2440.0};
    const Voice v = voice(180.0, vowel, 99, 16 * recordingBlockLength);
    const auto first = runBlocks(v.samples, 180.5);
    const auto second = runBlocks(v.samples, 180.5);
    ASSERT_EQ(first.size(), second.size());
    for (size_t k = 0; k < first.size(); ++k) {
        EXPECT_EQ(std::memcmp(&first[k].frequency, &second[k].frequency, sizeof(double)), 0) << k;
        EXPECT_EQ(std::memcmp(&first[k].period, &second[k].period, sizeof(double)), 0) << k;
    }
}
