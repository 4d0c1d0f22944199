// The pitch scan tool's two evaluations (see evaluation.h).
#include "evaluation.h"

#include "voice_signals.h"

#include "music/notes.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace voicesignals;

namespace {

constexpr int32_t signalBlocks = 16;
constexpr double octaveErrorCents = 600.0;

double median(std::vector<double> v)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

struct SignalScore {
    double medianCents = 0.0; // median |error| over the measured blocks
    double worstCents = 0.0;  // largest |error| of a measured block, octave errors aside
    int32_t octaveErrors = 0; // blocks off by more than half an octave
    int32_t missed = 0;       // blocks that returned a status code
    double firstOctaveError = 0.0; // signed cents of the first octave error
    int32_t blocks = 0;
};

// Blocks 1.. of one signal (block 0 is half silence: the steady-sine tests
// bound it on their own).
SignalScore scoreSignal(const Voice &v)
{
    const auto results = runBlocks(v.samples);
    SignalScore s;
    std::vector<double> errors;
    for (int32_t k = 1; k < int32_t(results.size()); ++k) {
        ++s.blocks;
        if (results[k].frequency < 10.0) {
            ++s.missed;
            continue;
        }
        const double e = std::fabs(cents(results[k].frequency, windowPitch(v.f0, k)));
        if (e > octaveErrorCents) {
            if (s.octaveErrors == 0) s.firstOctaveError = cents(results[k].frequency, windowPitch(v.f0, k));
            ++s.octaveErrors;
            continue;
        }
        errors.push_back(e);
        s.worstCents = std::max(s.worstCents, e);
    }
    s.medianCents = median(errors);
    return s;
}

struct Range {
    double from, to; // Hz, from inclusive
    const char *name;
};
constexpr Range ranges[] = {{54.0, 110.0, "55-110 Hz"},   {110.0, 220.0, "110-220 Hz"},
                            {220.0, 440.0, "220-440 Hz"}, {440.0, 880.0, "440-880 Hz"},
                            {880.0, 1101.0, "880-1100 Hz"}};
constexpr int32_t rangeCount = int32_t(sizeof ranges / sizeof ranges[0]);

struct RangeScore {
    int32_t signals = 0, failing = 0, octaveErrors = 0, missed = 0, blocks = 0;
    double worstMedian = 0.0, worstBlock = 0.0;
    std::vector<double> medians;
};

const char *variantName(int32_t variant)
{
    static const char *names[4] = {"steady", "vibrato+jitter", "shimmer+noise", "all"};
    return names[variant];
}

} // namespace

// The set: fundamentals every sixth of an octave from 55 Hz up to 1046.5 Hz
// (C6, the top note key) plus 1100 Hz; at each, six vowels (three bright,
// three dark) with tilts 0, -6 and -12 dB per octave; each signal in one of
// four variants (steady; vibrato of 40 cents with 0.5 % jitter; 10 % shimmer
// with noise at 2 % of the peak; all of them milder), half of them with
// harmonics in pulse phase and half with scattered phases.
std::vector<EvaluationSignal> evaluationSet()
{
    std::vector<double> pitches;
    for (int32_t k = 0; 55.0 * std::exp2(k / 6.0) < 1050.0; ++k) pitches.push_back(55.0 * std::exp2(k / 6.0));
    pitches.push_back(1046.5);
    pitches.push_back(1100.0);
    const double tilts[3] = {0.0, -6.0, -12.0};
    std::vector<EvaluationSignal> set;
    uint32_t seed = 1;
    for (size_t p = 0; p < pitches.size(); ++p) {
        for (int32_t vowel = 0; vowel < vowelCount; ++vowel) {
            for (int32_t t = 0; t < 3; ++t) {
                EvaluationSignal e;
                e.variant = int32_t((p + size_t(vowel) + size_t(t)) % 4);
                VoiceSpec &s = e.spec;
                s.hz = pitches[p];
                s.vowel = vowel;
                s.tiltDbPerOctave = tilts[t];
                s.pulsePhases = (p + size_t(vowel)) % 2 == 0;
                s.seed = seed++;
                if (e.variant == 1) {
                    s.vibratoCents = 40.0;
                    s.jitter = 0.005;
                } else if (e.variant == 2) {
                    s.shimmer = 0.10;
                    s.noise = 0.02;
                } else if (e.variant == 3) {
                    s.vibratoCents = 30.0;
                    s.jitter = 0.003;
                    s.shimmer = 0.05;
                    s.noise = 0.01;
                }
                set.push_back(e);
            }
        }
    }
    return set;
}

static void printSineTable();

int runEvaluation(bool listFailures)
{
    const std::vector<EvaluationSignal> set = evaluationSet();
    RangeScore score[rangeCount];
    int32_t failingTotal = 0;
    for (const EvaluationSignal &e : set) {
        int32_t r = 0;
        while (r + 1 < rangeCount && e.spec.hz >= ranges[r].to) ++r;
        const Voice v = makeVoice(e.spec, signalBlocks * recordingBlockLength);
        const SignalScore s = scoreSignal(v);
        RangeScore &rs = score[r];
        ++rs.signals;
        rs.blocks += s.blocks;
        rs.missed += s.missed;
        rs.octaveErrors += s.octaveErrors;
        rs.medians.push_back(s.medianCents);
        rs.worstMedian = std::max(rs.worstMedian, s.medianCents);
        rs.worstBlock = std::max(rs.worstBlock, s.worstCents);
        const bool fails = s.medianCents > 3.0 || s.worstCents > 15.0 || s.octaveErrors > 0 ||
                           s.missed > 0;
        if (fails) {
            ++rs.failing;
            ++failingTotal;
            if (listFailures)
                std::printf("FAIL %8.2f Hz %-3s tilt %+5.1f %-14s %s: median %.2f worst %.2f "
                            "octave %d (first %+.0f) missed %d\n",
                            e.spec.hz, vowels[e.spec.vowel].name, e.spec.tiltDbPerOctave,
                            variantName(e.variant), e.spec.pulsePhases ? "pulse" : "scattered",
                            s.medianCents, s.worstCents, s.octaveErrors, s.firstOctaveError, s.missed);
        }
    }
    std::printf("| range | signals | blocks | median of medians | worst median | worst block | "
                "octave errors | missed blocks | failing signals |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (int32_t r = 0; r < rangeCount; ++r) {
        const RangeScore &rs = score[r];
        std::printf("| %s | %d | %d | %.2f | %.2f | %.2f | %d | %d | %d |\n", ranges[r].name,
                    rs.signals, rs.blocks, median(rs.medians), rs.worstMedian, rs.worstBlock,
                    rs.octaveErrors, rs.missed, rs.failing);
    }
    std::printf("(cents against the true pitch of each window, blocks 1..%d of each signal; a "
                "signal fails with a median above 3, a block above 15, an octave error or a "
                "missed block)\n\n",
                signalBlocks - 1);
    printSineTable();
    return failingTotal == 0 ? 0 : 1;
}

// Steady sines of peak 10000 from 55 Hz to 1100 Hz, each started at 64
// phases: the worst error of the half-silent first block and of the blocks
// after it.
static void printSineTable()
{
    const double frequencies[] = {55.0, 61.74, 73.42, 98.0, 130.81, 220.0, 440.0, 587.33,
                                  739.99, 880.0, 987.77, 1046.5, 1100.0};
    std::printf("| sine Hz | first block worst cents | later blocks worst cents |\n");
    std::printf("|---|---|---|\n");
    for (double f : frequencies) {
        double first = 0.0, later = 0.0;
        for (int32_t k = 0; k < 64; ++k) {
            std::vector<int16_t> s(6 * recordingBlockLength);
            for (size_t n = 0; n < s.size(); ++n)
                s[n] = clip16(10000.0 * std::sin(twoPi * f * double(n) / 44100.0 + k * twoPi / 64.0));
            const auto results = runBlocks(s);
            for (size_t b = 0; b < results.size(); ++b) {
                const double e = results[b].frequency < 10.0 ? 9999.0 : std::fabs(cents(results[b].frequency, f));
                (b == 0 ? first : later) = std::max(b == 0 ? first : later, e);
            }
        }
        std::printf("| %.2f | %.2f | %.3f |\n", f, first, later);
    }
}

std::vector<int16_t> bankSampleAt44100(const std::string &file)
{
    int32_t size = 0, rate = 0;
    ALenum format = 0;
    static std::vector<uint8_t> bytes(sampleBufferBytes);
    decodeOggFile(file.c_str(), bytes.data(), int32_t(bytes.size()), size, rate, format);
    std::vector<int16_t> samples(size_t(size) / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    if (rate == 22050) return doubleRate(samples);
    return samples;
}

bool bankSampleMedian(const std::string &file, double hz, double &medianCents, double &worstCents,
                      int32_t &measured, int32_t &blocks)
{
    const std::vector<int16_t> samples = bankSampleAt44100(file);
    const auto results = runBlocks(samples);
    std::vector<double> errors;
    worstCents = 0.0;
    for (size_t k = 1; k < results.size(); ++k) {
        if (results[k].frequency < 10.0) continue;
        const double e = cents(results[k].frequency, hz);
        errors.push_back(e);
        worstCents = std::fabs(e) > std::fabs(worstCents) ? e : worstCents;
    }
    measured = int32_t(errors.size());
    blocks = int32_t(results.size()) - 1;
    medianCents = median(errors);
    return !errors.empty();
}

int runBankScan(const std::string &folder)
{
    const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::printf("| sample | Hz | median cents | worst block cents | measured blocks |\n");
    std::printf("|---|---|---|---|---|\n");
    int32_t failing = 0;
    double worstMedian = 0.0;
    for (int32_t id = 1; id <= soundIdCount; ++id) {
        const int32_t note = soundNoteIndex(id);
        if (note < 0) continue;
        const double hz = noteFrequencies[note];
        if (hz > 1050.0) continue; // flute notes above C6: no note key reaches them
        const std::string name = soundBankFileName(id);
        double med = 0.0, worst = 0.0;
        int32_t measured = 0, blocks = 0;
        const bool any = bankSampleMedian(dir + "sounds/" + name, hz, med, worst, measured, blocks);
        std::printf("| %s | %.2f | %+.2f | %+.2f | %d/%d |\n", name.c_str(), hz, med, worst, measured,
                    blocks);
        if (!any || std::fabs(med) > 2.0) ++failing;
        worstMedian = std::max(worstMedian, std::fabs(med));
    }
    std::printf("(decoded, doubled to 44100 Hz, blocks 1.. that measured a pitch; %d samples off "
                "by more than 2 cents median; largest |median| %.2f)\n",
                failing, worstMedian);
    return failing == 0 ? 0 : 1;
}
