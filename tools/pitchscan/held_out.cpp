// The pitch scan tool's held-out evaluations (see held_out.h).
#include "held_out.h"

#include "sound/recording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace voicesignals;

namespace {

constexpr int32_t signalBlocks = 16;
constexpr double octaveErrorCents = 600.0;
constexpr double meanBoundCents = 2.0; // the formant kind's bound on a signal's mean

const char *const kindNames[heldOutKindCount] = {"weak", "jitter", "formant", "missing"};

struct Range {
    double from, to; // Hz, from inclusive
    const char *name;
};
constexpr Range ranges[] = {{54.0, 110.0, "55-110 Hz"},   {110.0, 220.0, "110-220 Hz"},
                            {220.0, 440.0, "220-440 Hz"}, {440.0, 880.0, "440-880 Hz"},
                            {880.0, 1101.0, "880-1100 Hz"}};
constexpr int32_t rangeCount = int32_t(sizeof ranges / sizeof ranges[0]);

int32_t rangeOf(double hz)
{
    int32_t r = 0;
    while (r + 1 < rangeCount && hz >= ranges[r].to) ++r;
    return r;
}

double median(std::vector<double> v)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

// Fundamentals every sixth of an octave from `from` while at most `to`, and
// `to` itself.
std::vector<double> pitchesFrom(double from, double to)
{
    std::vector<double> p;
    for (int32_t k = 0; from * std::exp2(k / 6.0) < to - 1.0; ++k) p.push_back(from * std::exp2(k / 6.0));
    p.push_back(to);
    return p;
}

struct SignalScore {
    int32_t blocks = 0, octaveErrors = 0, missed = 0;
    double firstOctaveError = 0.0;
    double meanSigned = 0.0; // mean signed cents against each window's log-mean pitch
    std::vector<double> absErrors;
};

SignalScore scoreSignal(const Voice &v)
{
    const auto results = runBlocks(v.samples);
    SignalScore s;
    double signedSum = 0.0;
    int32_t signedCount = 0;
    for (int32_t k = 1; k < int32_t(results.size()); ++k) {
        ++s.blocks;
        const double f = results[k].frequency;
        if (f < 10.0) {
            ++s.missed;
            continue;
        }
        const double e = cents(f, windowLogMeanPitch(v.f0, k));
        if (std::fabs(e) > octaveErrorCents) {
            if (s.octaveErrors == 0) s.firstOctaveError = e;
            ++s.octaveErrors;
            continue;
        }
        s.absErrors.push_back(std::fabs(e));
        signedSum += e;
        ++signedCount;
    }
    s.meanSigned = signedCount > 0 ? signedSum / signedCount : 0.0;
    return s;
}

bool fails(int32_t kind, const SignalScore &s)
{
    switch (kind) {
    case kindWeak:
    case kindJitter: return s.octaveErrors > 0 || s.missed > 0;
    case kindFormant: return s.octaveErrors > 0 || s.missed > 0 || std::fabs(s.meanSigned) > meanBoundCents;
    default: return s.octaveErrors > 0; // reported, not bounded
    }
}

} // namespace

const char *heldOutKindName(int32_t kind) { return kindNames[kind]; }

std::vector<HeldOutSignal> heldOutSet(int32_t kind)
{
    std::vector<HeldOutSignal> set;
    uint32_t seed = 90001 + 10000 * uint32_t(kind);
    auto add = [&](VoiceSpec s) {
        s.seed = seed++;
        set.push_back({s, kind});
    };
    if (kind == kindWeak) {
        // Half a step of the evaluation set's grid away from its pitches.
        const double tilts[] = {-3.0, -6.0, -9.0, -12.0, -15.0};
        const std::vector<double> pitches = pitchesFrom(330.0, 1100.0);
        for (size_t p = 0; p < pitches.size(); ++p)
            for (int32_t vowel = 0; vowel < vowelCount; ++vowel)
                for (int32_t t = 0; t < 5; ++t) {
                    VoiceSpec s;
                    s.hz = pitches[p];
                    s.vowel = vowel;
                    s.tiltDbPerOctave = tilts[t];
                    s.weakFundamentalDb = 20.0;
                    s.pulsePhases = (p + size_t(vowel) + size_t(t)) % 2 == 0;
                    add(s);
                }
    } else if (kind == kindJitter) {
        const std::vector<double> pitches = pitchesFrom(55.0 * std::exp2(1.0 / 12.0), 1100.0);
        for (size_t p = 0; p < pitches.size(); ++p)
            for (int32_t vowel = 0; vowel < vowelCount; ++vowel)
                for (int32_t t = 0; t < 2; ++t) {
                    VoiceSpec s;
                    s.hz = pitches[p];
                    s.vowel = vowel;
                    s.tiltDbPerOctave = t == 0 ? -3.0 : -9.0;
                    const bool strong = (p + size_t(vowel) + size_t(t)) % 2 == 0;
                    s.jitter = strong ? 0.01 : 0.008;
                    s.vibratoCents = strong ? 50.0 : 35.0;
                    s.vibratoHz = 6.0;
                    s.pulsePhases = (p + size_t(vowel)) % 2 == 0;
                    add(s);
                }
    } else if (kind == kindFormant) {
        // A pure tone passing the second formant of "oo", and four vowels.
        const int32_t shapes[] = {-1, 5, 4, 0, 3}; // -1 pure, then oo, oh, ah, ee
        const std::vector<double> pitches = pitchesFrom(110.0 * std::exp2(1.0 / 12.0), 1000.0);
        for (size_t p = 0; p < pitches.size(); ++p)
            for (int32_t shape : shapes) {
                VoiceSpec s;
                s.hz = pitches[p];
                s.vowel = shape < 0 ? 5 : shape;
                s.harmonicLimit = shape < 0 ? 1 : 0;
                s.tiltDbPerOctave = -6.0;
                s.vibratoCents = 50.0;
                s.vibratoHz = 5.0;
                s.formantFollowsPitch = true;
                s.pulsePhases = (p + size_t(shape + 1)) % 2 == 0;
                add(s);
            }
    } else {
        const double tilts[] = {-3.0, -9.0};
        const std::vector<double> pitches = pitchesFrom(220.0 * std::exp2(1.0 / 12.0), 1100.0);
        for (size_t p = 0; p < pitches.size(); ++p)
            for (int32_t vowel = 0; vowel < vowelCount; ++vowel)
                for (int32_t t = 0; t < 2; ++t) {
                    VoiceSpec s;
                    s.hz = pitches[p];
                    s.vowel = vowel;
                    s.tiltDbPerOctave = tilts[t];
                    s.missingFundamental = true;
                    s.pulsePhases = (p + size_t(vowel) + size_t(t)) % 2 == 0;
                    add(s);
                }
    }
    return set;
}

std::string heldOutName(const HeldOutSignal &e)
{
    const VoiceSpec &s = e.spec;
    char text[96];
    std::snprintf(text, sizeof text, "%s-%07.2f-%s-%+03d-%s", kindNames[e.kind], s.hz,
                  s.harmonicLimit == 1 ? "pure" : vowels[s.vowel].name, int(s.tiltDbPerOctave),
                  s.pulsePhases ? "pulse" : "scattered");
    return text;
}

double windowLogMeanPitch(const std::vector<double> &f0, int32_t k)
{
    const int32_t from = std::max(0, (k - 1) * recordingBlockLength);
    const int32_t to = std::min(int32_t(f0.size()), (k + 1) * recordingBlockLength);
    double sum = 0.0;
    for (int32_t n = from; n < to; ++n) sum += std::log2(f0[n]);
    return std::exp2(sum / (to - from));
}

int runHeldOut(bool listFailures)
{
    int32_t failingBounded = 0;
    for (int32_t kind = 0; kind < heldOutKindCount; ++kind) {
        struct RangeScore {
            int32_t signals = 0, blocks = 0, octaveErrors = 0, missed = 0, failing = 0;
            double worstMean = 0.0;
            std::vector<double> absErrors;
        } score[rangeCount];
        for (const HeldOutSignal &e : heldOutSet(kind)) {
            const Voice v = makeVoice(e.spec, signalBlocks * recordingBlockLength);
            const SignalScore s = scoreSignal(v);
            RangeScore &rs = score[rangeOf(e.spec.hz)];
            ++rs.signals;
            rs.blocks += s.blocks;
            rs.octaveErrors += s.octaveErrors;
            rs.missed += s.missed;
            rs.absErrors.insert(rs.absErrors.end(), s.absErrors.begin(), s.absErrors.end());
            if (std::fabs(s.meanSigned) > std::fabs(rs.worstMean)) rs.worstMean = s.meanSigned;
            if (fails(kind, s)) {
                ++rs.failing;
                if (kind != kindMissing) ++failingBounded;
                if (listFailures)
                    std::printf("FAIL %s: octave %d (first %+.0f) missed %d mean %+.2f\n",
                                heldOutName(e).c_str(), s.octaveErrors, s.firstOctaveError,
                                s.missed, s.meanSigned);
            }
        }
        std::printf("### %s\n\n", kindNames[kind]);
        std::printf("| range | signals | blocks | octave errors | missed blocks | median |cents| | "
                    "worst signal mean cents | failing signals |\n");
        std::printf("|---|---|---|---|---|---|---|---|\n");
        for (int32_t r = 0; r < rangeCount; ++r) {
            const RangeScore &rs = score[r];
            if (rs.signals == 0) continue;
            std::printf("| %s | %d | %d | %d | %d | %.2f | %+.2f | %d |\n", ranges[r].name,
                        rs.signals, rs.blocks, rs.octaveErrors, rs.missed, median(rs.absErrors),
                        rs.worstMean, rs.failing);
        }
        std::printf("\n");
    }
    std::printf("(blocks 1..%d of each signal against the log-mean pitch of their window; "
                "weak and jitter signals fail on an octave error or a missed block, formant "
                "signals also on a mean beyond %.0f cents; missing fundamentals are counted, "
                "not bounded)\n",
                signalBlocks - 1, meanBoundCents);
    return failingBounded == 0 ? 0 : 1;
}

static void writeWav(const std::string &file, const std::vector<int16_t> &samples)
{
    std::ofstream out(file, std::ios::binary);
    auto le32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.put(char(v >> (8 * i) & 0xff)); };
    auto le16 = [&](uint32_t v) { for (int i = 0; i < 2; ++i) out.put(char(v >> (8 * i) & 0xff)); };
    const uint32_t bytes = uint32_t(samples.size() * 2);
    out.write("RIFF", 4);
    le32(36 + bytes);
    out.write("WAVEfmt ", 8);
    le32(16);
    le16(1);
    le16(1);
    le32(44100);
    le32(88200);
    le16(2);
    le16(16);
    out.write("data", 4);
    le32(bytes);
    for (int16_t s : samples) le16(uint16_t(s));
}

int writeHeldOut(const std::string &kindName, const std::string &dir)
{
    int32_t kind = -1;
    for (int32_t k = 0; k < heldOutKindCount; ++k)
        if (kindName == kindNames[k]) kind = k;
    if (kind < 0) {
        std::fprintf(stderr, "tarnova-pitchscan: unknown kind %s (weak, jitter, formant, missing)\n",
                     kindName.c_str());
        return 2;
    }
    std::ofstream truth(dir + "/truth.txt");
    if (!truth) {
        std::fprintf(stderr, "tarnova-pitchscan: cannot write in %s\n", dir.c_str());
        return 2;
    }
    int32_t octave[rangeCount] = {}, blocks[rangeCount] = {};
    for (const HeldOutSignal &e : heldOutSet(kind)) {
        const Voice v = makeVoice(e.spec, signalBlocks * recordingBlockLength);
        const std::string name = heldOutName(e);
        writeWav(dir + "/" + name + ".wav", v.samples);
        const auto results = runBlocks(v.samples);
        const int32_t r = rangeOf(e.spec.hz);
        for (int32_t k = 1; k < signalBlocks; ++k) {
            const double hz = windowLogMeanPitch(v.f0, k);
            char line[128];
            std::snprintf(line, sizeof line, "%s %d %.4f %.4f\n", name.c_str(), k, hz,
                          results[k].frequency);
            truth << line;
            ++blocks[r];
            if (results[k].frequency >= 10.0 && std::fabs(cents(results[k].frequency, hz)) > octaveErrorCents)
                ++octave[r];
        }
    }
    std::printf("| range | blocks | octave errors (this detector) |\n|---|---|---|\n");
    for (int32_t r = 0; r < rangeCount; ++r)
        if (blocks[r] > 0) std::printf("| %s | %d | %d |\n", ranges[r].name, blocks[r], octave[r]);
    return 0;
}
