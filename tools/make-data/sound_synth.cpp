#include "sound_synth.h"

#include "base/rounding.h"
#include "music/notes.h"

#include <algorithm>
#include <cmath>

static constexpr double twoPi = 6.283185307179586476925286766559;

// ---------------------------------------------------------------------------
// Building blocks

// splitmix64: a small, fixed pseudo-random sequence.
struct NoiseSource {
    uint64_t state;
};

static double nextNoise(NoiseSource &n) // uniform in -1..1
{
    uint64_t z = (n.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return (static_cast<double>(z >> 11) / 9007199254740992.0) * 2.0 - 1.0;
}

// Band-pass biquad (constant peak gain), direct form I.
struct BandPass {
    double b0, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

static BandPass makeBandPass(double centre, double q)
{
    const double w = twoPi * centre / synthRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    return BandPass{alpha / a0, -alpha / a0, -2.0 * std::cos(w) / a0, (1.0 - alpha) / a0};
}

static double runBandPass(BandPass &f, double x)
{
    const double y = f.b0 * x + f.b2 * f.x2 - f.a1 * f.y1 - f.a2 * f.y2;
    f.x2 = f.x1;
    f.x1 = x;
    f.y2 = f.y1;
    f.y1 = y;
    return y;
}

// One sinusoidal component: amplitude rises with time constant rise and falls
// with time constant decay (0 = held).
struct Partial {
    double hz;
    double amp;
    double rise;
    double decay;
    double phase;
};

// Adds the steady partials into out[start .. start + length), each computed
// by rotating a unit phasor (exact frequency, no accumulated drift worth
// speaking of over a few seconds).
static void addPartials(Samples &out, size_t start, size_t length, const std::vector<Partial> &partials)
{
    if (start + length > out.size()) out.resize(start + length, 0.0f);
    for (const Partial &p : partials) {
        if (p.hz <= 0 || p.hz >= synthRate * 0.45 || p.amp == 0) continue;
        const double w = twoPi * p.hz / synthRate;
        const double cw = std::cos(w), sw = std::sin(w);
        double c = std::cos(p.phase), s = std::sin(p.phase);
        const double riseStep = p.rise > 0 ? std::exp(-1.0 / (p.rise * synthRate)) : 0.0;
        const double decayStep = p.decay > 0 ? std::exp(-1.0 / (p.decay * synthRate)) : 1.0;
        double riseLeft = 1.0, level = p.amp;
        for (size_t i = 0; i < length; ++i) {
            out[start + i] += static_cast<float>(level * (1.0 - riseLeft) * s);
            const double nc = c * cw - s * sw;
            s = s * cw + c * sw;
            c = nc;
            riseLeft *= riseStep;
            level *= decayStep;
            if ((i & 1023) == 1023) { // keep the phasor on the unit circle
                const double r = 1.0 / std::sqrt(c * c + s * s);
                c *= r;
                s *= r;
            }
        }
    }
}

// The same with a vibrato: every partial's frequency swings by depth (a
// fraction) at rate Hz, fading in over the first delay seconds.
static void addVibratoPartials(Samples &out, size_t start, size_t length,
                               const std::vector<Partial> &partials, double rate, double depth, double delay)
{
    if (start + length > out.size()) out.resize(start + length, 0.0f);
    for (const Partial &p : partials) {
        if (p.hz <= 0 || p.hz * (1.0 + depth) >= synthRate * 0.45 || p.amp == 0) continue;
        const double riseStep = p.rise > 0 ? std::exp(-1.0 / (p.rise * synthRate)) : 0.0;
        double riseLeft = 1.0, phase = p.phase;
        for (size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / synthRate;
            const double swing = depth * std::min(1.0, t / delay) * std::sin(twoPi * rate * t);
            out[start + i] += static_cast<float>(p.amp * (1.0 - riseLeft) * std::sin(phase));
            phase += twoPi * p.hz * (1.0 + swing) / synthRate;
            riseLeft *= riseStep;
        }
    }
}

// Raised-cosine attack over a seconds and release over r seconds.
static void applyAttackRelease(Samples &s, size_t start, size_t length, double a, double r)
{
    const size_t na = std::min(length, static_cast<size_t>(a * synthRate));
    const size_t nr = std::min(length, static_cast<size_t>(r * synthRate));
    for (size_t i = 0; i < na; ++i) s[start + i] *= static_cast<float>(0.5 - 0.5 * std::cos(M_PI * i / na));
    for (size_t i = 0; i < nr; ++i)
        s[start + length - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(M_PI * i / nr));
}

void fadeEdges(Samples &s, double fadeInSeconds, double fadeOutSeconds)
{
    applyAttackRelease(s, 0, s.size(), fadeInSeconds, fadeOutSeconds);
}

void normalisePeak(Samples &s, double peak)
{
    float top = 0;
    for (float v : s) top = std::max(top, std::fabs(v));
    if (top <= 0) return;
    const float g = static_cast<float>(peak / top);
    for (float &v : s) v *= g;
}

std::vector<int16_t> toPcm16(const Samples &s)
{
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double v = std::clamp(roundNearest(s[i] * 32767.0), -32768.0, 32767.0);
        out[i] = static_cast<int16_t>(v);
    }
    return out;
}

static size_t sampleCount(double seconds) { return static_cast<size_t>(roundNearest(seconds * synthRate)); }

// ---------------------------------------------------------------------------
// Bank instruments

Samples fluteNote(double hz, double seconds, uint64_t seed)
{
    const size_t n = sampleCount(seconds);
    Samples s(n, 0.0f);
    static constexpr double harmonics[] = {1.0, 0.32, 0.16, 0.07, 0.045, 0.025, 0.015};
    std::vector<Partial> partials;
    for (int k = 1; k <= 7; ++k) {
        // Higher notes are purer, as on the instrument.
        const double tilt = std::pow(std::min(1.0, 600.0 / (hz * k)), 0.5);
        partials.push_back({hz * k, harmonics[k - 1] * (k == 1 ? 1.0 : tilt), 0.02 + 0.01 * k, 0, 0.3 * k});
    }
    addPartials(s, 0, n, partials);

    // Breath: noise around the second harmonic and a softer airy band, loud
    // at the onset (the chiff) and quiet while the tone holds.
    NoiseSource noise{seed};
    BandPass breath = makeBandPass(std::min(2.0 * hz, 8000.0), 3.0);
    BandPass air = makeBandPass(5000.0, 0.7);
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / synthRate;
        const double chiff = 0.25 * std::exp(-t / 0.03);
        const double r = nextNoise(noise);
        const double tremolo = 1.0 + 0.035 * std::sin(twoPi * 4.8 * t) * std::min(1.0, t / 0.4);
        s[i] = static_cast<float>(s[i] * tremolo + (0.05 + chiff) * runBandPass(breath, r) +
                                  0.012 * runBandPass(air, r));
    }
    applyAttackRelease(s, 0, n, 0.09, 0.25);
    normalisePeak(s, 0.55);
    return s;
}

// The vowel's formants: a cascade of second-order resonances,
// unity at 0 Hz.
double formantGain(double f)
{
    static constexpr double centres[] = {730, 1090, 2440, 3300, 3750};
    static constexpr double widths[] = {90, 110, 170, 250, 300};
    double g = 1.0;
    for (int k = 0; k < 5; ++k) {
        const double c2 = centres[k] * centres[k];
        g *= c2 / std::sqrt((c2 - f * f) * (c2 - f * f) + widths[k] * widths[k] * f * f);
    }
    return g;
}

Samples maleAhNote(double hz, double seconds, uint64_t seed)
{
    const size_t n = sampleCount(seconds);
    Samples s(n, 0.0f);
    NoiseSource phases{seed ^ 0x5A5A5A5Aull};
    std::vector<Partial> partials;
    for (int k = 1; hz * k < 15000.0; ++k) {
        // Pulse phases with a small spread: a voice-like buzz without the
        // needle peaks of a perfectly aligned pulse train.
        const double phase = M_PI / 2 + 0.6 * nextNoise(phases);
        partials.push_back({hz * k, formantGain(hz * k) / k, 0.015, 0, phase});
    }
    addPartials(s, 0, n, partials);

    NoiseSource noise{seed};
    BandPass f1 = makeBandPass(730, 4.0), f2 = makeBandPass(1090, 5.0), f3 = makeBandPass(2440, 6.0);
    float top = 0;
    for (float v : s) top = std::max(top, std::fabs(v));
    const double breath = 0.04 * top;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / synthRate;
        const double r = nextNoise(noise);
        const double shimmer = 1.0 + 0.03 * std::sin(twoPi * 5.3 * t);
        s[i] = static_cast<float>(s[i] * shimmer +
                                  breath * (runBandPass(f1, r) + runBandPass(f2, r) + 0.5 * runBandPass(f3, r)));
    }
    applyAttackRelease(s, 0, n, 0.07, 0.22);
    // The pulse-like wave has a high crest factor: a higher peak gives it
    // about the loudness of the flute.
    normalisePeak(s, 0.75);
    return s;
}

Samples sineNote(double hz, double seconds)
{
    const size_t n = sampleCount(seconds);
    Samples s(n, 0.0f);
    addPartials(s, 0, n, {{hz, 0.5, 0, 0, 0}});
    applyAttackRelease(s, 0, n, 0.02, 0.06);
    return s;
}

// A soft electric-piano voice: quick attack, upper partials dying first.
static std::vector<Partial> keyboardPartials(double hz, double level)
{
    std::vector<Partial> p;
    for (int k = 1; k <= 8; ++k)
        p.push_back({hz * k, level / std::pow(k, 1.6), 0.004, 2.2 / (1.0 + 0.7 * (k - 1)), 0});
    return p;
}

Samples chordSample(const std::vector<double> &freqs, double seconds)
{
    const size_t n = sampleCount(seconds);
    Samples s(n, 0.0f);
    for (double f : freqs) addPartials(s, 0, n, keyboardPartials(f, 1.0));
    if (!freqs.empty()) addPartials(s, 0, n, keyboardPartials(freqs[0] / 2.0, 0.8));
    applyAttackRelease(s, 0, n, 0.004, 0.15);
    normalisePeak(s, 0.6);
    return s;
}

Samples countClick(int kind, uint64_t seed)
{
    static constexpr double pitch[6] = {2500, 1900, 2150, 1650, 1350, 1100};
    static constexpr double decay[6] = {0.007, 0.005, 0.006, 0.005, 0.008, 0.009};
    static constexpr double level[6] = {0.85, 0.6, 0.65, 0.6, 0.62, 0.62};
    const size_t n = sampleCount(0.04);
    Samples s(n, 0.0f);
    // A woodblock: two damped modes and a 1 ms noise tap.
    addPartials(s, 0, n, {{pitch[kind], 1.0, 0, decay[kind], 0}, {pitch[kind] * 2.76, 0.35, 0, decay[kind] * 0.5, 0}});
    NoiseSource noise{seed};
    const size_t tap = sampleCount(0.001);
    for (size_t i = 0; i < tap; ++i) s[i] += static_cast<float>(0.5 * nextNoise(noise) * (1.0 - double(i) / tap));
    applyAttackRelease(s, 0, n, 0.0003, 0.01);
    normalisePeak(s, level[kind]);
    return s;
}

Samples fallingSine()
{
    const size_t n = sampleCount(0.7);
    Samples s(n, 0.0f);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / synthRate;
        const double hz = 880.0 * std::pow(0.25, t / 0.7);
        s[i] = static_cast<float>(0.5 * std::sin(phase));
        phase += twoPi * hz / synthRate;
    }
    applyAttackRelease(s, 0, n, 0.01, 0.08);
    return s;
}

// ---------------------------------------------------------------------------
// Start tunes: the first two lines of a traditional Scottish song in 3/4,
// melody over a soft bass, about nine seconds (the loading takes a few).

struct TuneNote {
    int note;     // NoteIndex, -1 = rest
    double beats;
};

static constexpr TuneNote tuneMelody[] = {
    {34, 1},                                 // pickup G4
    {43, 1.5}, {41, 0.5}, {39, 1},           // E5 D5 C5
    {41, 1}, {39, 1}, {36, 1},               // D5 C5 A4
    {34, 1}, {31, 2},                        // G4 E4
    {-1, 2}, {34, 1},                        // rest, G4
    {43, 1.5}, {41, 0.5}, {39, 1},           // E5 D5 C5
    {39, 1}, {38, 1}, {39, 1},               // C5 B4 C5
    {41, 3},                                 // D5
};

// One bass note per bar (the pickup bar has none): C F C C C D G.
static constexpr int tuneBass[] = {15, 20, 15, 15, 15, 17, 10};

static constexpr double tuneBeatSeconds = 0.4;

static void addTuneNote(Samples &out, int instrument, double hz, size_t start, size_t length)
{
    std::vector<Partial> p;
    double release = 0.08;
    switch (instrument) {
    case 0: { // trumpet: bright, upper harmonics come in later
        static constexpr double a[] = {1, .85, .75, .6, .48, .36, .26, .18, .12, .08, .05, .03};
        for (int k = 1; k <= 12; ++k) p.push_back({hz * k, 0.3 * a[k - 1], 0.012 + 0.006 * k, 0, 0});
        break;
    }
    case 1: // guitar: plucked a fifth of the way along the string
        for (int k = 1; k <= 15; ++k)
            p.push_back({hz * k, 0.35 * std::fabs(std::sin(M_PI * k * 0.2)) / k, 0.001,
                         1.4 / (1.0 + 0.6 * (k - 1)), 0});
        release = 0.3;
        break;
    case 2: // piano: slightly stretched partials, fast decay of the upper ones
        for (int k = 1; k <= 12; ++k)
            p.push_back({hz * k * std::sqrt(1.0 + 0.0004 * k * k), 0.35 / std::pow(k, 1.2), 0.002,
                         2.0 / (1.0 + 0.45 * (k - 1)), 0});
        release = 0.25;
        break;
    case 3: { // organ: drawbars 8', 4', 2 2/3', 2', 1 3/5', 1'
        static constexpr int k[] = {1, 2, 3, 4, 5, 8};
        static constexpr double a[] = {1, .7, .5, .45, .25, .3};
        for (int j = 0; j < 6; ++j) p.push_back({hz * k[j], 0.22 * a[j], 0.01, 0, 0});
        release = 0.04;
        break;
    }
    default: // violin: saw-like bowed tone with a body resonance near 3 kHz and vibrato
        for (int k = 1; hz * k < 12000.0; ++k) {
            const double body = 1.0 + 1.5 * std::exp(-std::pow((hz * k - 3000.0) / 1200.0, 2));
            p.push_back({hz * k, 0.25 * body / k, 0.06, 0, 0});
        }
        break;
    }
    const size_t ring = static_cast<size_t>(release * synthRate);
    Samples note(length + ring, 0.0f);
    if (instrument == 4) addVibratoPartials(note, 0, note.size(), p, 5.5, 0.004, 0.25);
    else addPartials(note, 0, note.size(), p);
    applyAttackRelease(note, 0, length + ring, instrument == 4 ? 0.05 : 0.003, release);
    if (out.size() < start + note.size()) out.resize(start + note.size(), 0.0f);
    for (size_t i = 0; i < note.size(); ++i) out[start + i] += note[i];
}

Samples startTune(int instrument)
{
    Samples out;
    const size_t beat = static_cast<size_t>(tuneBeatSeconds * synthRate);
    double at = 0;
    for (const TuneNote &m : tuneMelody) {
        const size_t start = static_cast<size_t>(at * beat);
        const size_t length = static_cast<size_t>(m.beats * beat * 0.92);
        if (m.note >= 0) addTuneNote(out, instrument, noteFrequencies[m.note], start, length);
        at += m.beats;
    }
    // Bass: a soft round tone on the first beat of each full bar.
    for (size_t bar = 0; bar < sizeof tuneBass / sizeof tuneBass[0]; ++bar) {
        const size_t start = static_cast<size_t>((1 + 3 * bar) * beat);
        Samples bass(static_cast<size_t>(2.8 * beat), 0.0f);
        const double hz = noteFrequencies[tuneBass[bar]];
        addPartials(bass, 0, bass.size(), {{hz, 0.3, 0.005, 1.2, 0}, {2 * hz, 0.08, 0.005, 0.6, 0}});
        applyAttackRelease(bass, 0, bass.size(), 0.005, 0.1);
        if (out.size() < start + bass.size()) out.resize(start + bass.size(), 0.0f);
        for (size_t i = 0; i < bass.size(); ++i) out[start + i] += bass[i];
    }
    normalisePeak(out, 0.6);
    fadeEdges(out, 0.002, 0.3);
    return out;
}
