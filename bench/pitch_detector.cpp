// Cost of analysing one captured block (window pre-analysis plus pitch
// detection on the 4096-sample window) on a sine, a sung vowel, a low bright
// vowel (the longest periods, so the widest lag search when the period is
// refined) and noise,
// side by side with aubio's YIN and YIN-FFT detectors fed the same blocks
// (4096-sample buffer, hop 2048, 44100 Hz). The block budget is 46.44 ms.
//
// BM_PairedWithYinFft times this detector and aubio's YIN-FFT on the same
// blocks in turn, block by block, on sines and voices at 55-1000 Hz, and
// reports each one's time per block and their ratio (ours / YIN-FFT) per
// pitch. Run it as tools/run builds (RelWithDebInfo, -O2):
//   build/bench_pitch_detector --benchmark_filter=Paired
#include "sound/pitch_detector.h"
#include "sound/recording.h"

#include "../tools/pitchscan/voice_signals.h"

#include <benchmark/benchmark.h>

#ifdef HAVE_AUBIO
#include <aubio/aubio.h>
#endif

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <random>
#include <vector>

namespace {

constexpr double twoPi = 6.283185307179586;

enum Signal { sineSignal = 0, voiceSignal = 1, noiseSignal = 2, lowVoiceSignal = 3 };

// Blocks of one continuous recording; the windows are its neighbouring pairs.
constexpr int32_t recordingBlocks = 16;
constexpr int32_t recordingLength = recordingBlocks * recordingBlockLength;

std::vector<int16_t> makeRecording(int signal)
{
    std::vector<int16_t> w(recordingLength);
    std::mt19937 rng(7);
    std::normal_distribution<double> gauss(0.0, 1.0);
    double phase = 0.0;
    for (int32_t n = 0; n < recordingLength; ++n) {
        double s = 0.0;
        if (signal == sineSignal) {
            s = 10000.0 * std::sin(twoPi * 220.0 * n / 44100.0);
        } else if (signal == voiceSignal || signal == lowVoiceSignal) {
            // 180 Hz (or 65.41 Hz, C2) with vibrato, harmonics shaped by
            // formants near 730 and 1090 Hz.
            const double base = signal == voiceSignal ? 180.0 : 65.41;
            const double f = base * std::pow(2.0, 30.0 * std::sin(twoPi * 5.5 * n / 44100.0) / 1200.0);
            phase += twoPi * f / 44100.0;
            for (int32_t h = 1; h * f < 5000.0; ++h) {
                const double d1 = (h * f - 730.0) / 80.0, d2 = (h * f - 1090.0) / 100.0;
                s += (1.0 / h) * (1.0 + 4.0 / (1.0 + d1 * d1)) * (1.0 + 4.0 / (1.0 + d2 * d2)) *
                     std::sin(h * phase);
            }
            s = 2500.0 * s + 150.0 * gauss(rng);
        } else {
            s = 6000.0 * gauss(rng);
        }
        w[n] = int16_t(std::fmax(-32768.0, std::fmin(32767.0, std::nearbyint(s))));
    }
    return w;
}

const char *signalName(int signal)
{
    return signal == sineSignal    ? "sine220"
           : signal == voiceSignal ? "voice180"
           : signal == noiseSignal ? "noise"
                                   : "voice65";
}

std::string label(int signal, double frequency)
{
    std::string text(64, '\0');
    text.resize(size_t(std::snprintf(text.data(), text.size(), "%s f=%.3f", signalName(signal), frequency)));
    return text;
}

void BM_TarnovaBlock(benchmark::State &state)
{
    const std::vector<int16_t> w = makeRecording(int(state.range(0)));
    recordingBuffer[0] = 0;
    std::copy(w.begin(), w.end(), recordingBuffer + recordingBlockLength);
    PitchTracker tracker;
    int32_t block = 0;
    for (auto _ : state) {
        tracker.analysisPos = recordingBlockLength * (1 + block);
        block = (block + 1) % (recordingBlocks - 1);
        analyseWindow(tracker);
        // Through a pointer: DoNotOptimize on a double lvalue can hand the
        // value through a general register and corrupt it on some compilers.
        benchmark::DoNotOptimize(&tracker);
        benchmark::ClobberMemory();
    }
    state.SetLabel(label(int(state.range(0)), tracker.frequency));
}
BENCHMARK(BM_TarnovaBlock)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

#ifdef HAVE_AUBIO
// Each iteration feeds the next block of the same recording (hop 2048), so
// aubio's 4096-sample buffer holds the same windows as the block above.
void runAubio(benchmark::State &state, const char *method)
{
    const std::vector<int16_t> w = makeRecording(int(state.range(0)));
    aubio_pitch_t *pitch = new_aubio_pitch(method, analysisWindowLength, recordingBlockLength, 44100);
    aubio_pitch_set_unit(pitch, "Hz");
    std::vector<fvec_t *> blocks(recordingBlocks);
    for (int32_t b = 0; b < recordingBlocks; ++b) {
        blocks[b] = new_fvec(recordingBlockLength);
        for (int32_t n = 0; n < recordingBlockLength; ++n)
            blocks[b]->data[n] = smpl_t(w[b * recordingBlockLength + n] / 32768.0);
    }
    fvec_t *out = new_fvec(1);
    int32_t block = 0;
    for (auto _ : state) {
        aubio_pitch_do(pitch, blocks[block], out);
        block = (block + 1) % recordingBlocks;
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetLabel(label(int(state.range(0)), out->data[0]));
    del_fvec(out);
    for (fvec_t *b : blocks) del_fvec(b);
    del_aubio_pitch(pitch);
}

// Sines of peak 10000, and voices: an "ah" with a source falling 6 dB per
// octave, 30 cents of vibrato at 5.5 Hz, 0.3 % jitter and noise at 1 % of
// the peak of 12000.
std::vector<int16_t> pairedRecording(bool voice, double hz)
{
    if (!voice) {
        std::vector<int16_t> w(recordingLength);
        for (int32_t n = 0; n < recordingLength; ++n)
            w[n] = voicesignals::clip16(10000.0 * std::sin(twoPi * hz * n / 44100.0));
        return w;
    }
    voicesignals::VoiceSpec spec;
    spec.hz = hz;
    spec.vowel = 0;
    spec.tiltDbPerOctave = -6.0;
    spec.vibratoCents = 30.0;
    spec.jitter = 0.003;
    spec.noise = 0.01;
    spec.seed = 11;
    return voicesignals::makeVoice(spec, recordingLength).samples;
}

constexpr double pairedPitches[] = {55.0, 110.0, 220.0, 440.0, 880.0, 1000.0};

// Arguments: 0 sine, 1 voice; the pitch's index in pairedPitches.
void BM_PairedWithYinFft(benchmark::State &state)
{
    using clock = std::chrono::steady_clock;
    const bool voice = state.range(0) == 1;
    const double hz = pairedPitches[state.range(1)];
    const std::vector<int16_t> w = pairedRecording(voice, hz);
    std::fill(recordingBuffer, recordingBuffer + recordingBlockLength, int16_t(0));
    std::copy(w.begin(), w.end(), recordingBuffer + recordingBlockLength);
    PitchTracker tracker;

    aubio_pitch_t *pitch = new_aubio_pitch("yinfft", analysisWindowLength, recordingBlockLength, 44100);
    aubio_pitch_set_unit(pitch, "Hz");
    std::vector<fvec_t *> blocks(recordingBlocks);
    for (int32_t b = 0; b < recordingBlocks; ++b) {
        blocks[b] = new_fvec(recordingBlockLength);
        for (int32_t n = 0; n < recordingBlockLength; ++n)
            blocks[b]->data[n] = smpl_t(w[b * recordingBlockLength + n] / 32768.0);
    }
    fvec_t *out = new_fvec(1);
    // Prime aubio's buffer with the first block, so that block b's call sees
    // the window of blocks b-1 and b, as the tracker's window of block b does.
    aubio_pitch_do(pitch, blocks[0], out);

    clock::duration ours{}, theirs{};
    int32_t block = 1;
    for (auto _ : state) {
        tracker.analysisPos = recordingBlockLength * block; // window: blocks block-1 and block
        const clock::time_point t0 = clock::now();
        analyseWindow(tracker);
        benchmark::DoNotOptimize(&tracker);
        benchmark::ClobberMemory();
        const clock::time_point t1 = clock::now();
        aubio_pitch_do(pitch, blocks[block], out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
        const clock::time_point t2 = clock::now();
        ours += t1 - t0;
        theirs += t2 - t1;
        if (++block == recordingBlocks) {
            // Back to the start of the recording: aubio's buffer is primed
            // again (untimed), so its windows stay the tracker's.
            state.PauseTiming();
            aubio_pitch_do(pitch, blocks[0], out);
            state.ResumeTiming();
            block = 1;
        }
    }
    const double n = double(state.iterations());
    state.counters["ours_us"] = std::chrono::duration<double, std::micro>(ours).count() / n;
    state.counters["yinfft_us"] = std::chrono::duration<double, std::micro>(theirs).count() / n;
    state.counters["ratio"] = std::chrono::duration<double>(ours).count() /
                              std::chrono::duration<double>(theirs).count();
    std::string text(64, '\0');
    text.resize(size_t(std::snprintf(text.data(), text.size(), "%s %.0f Hz: ours %.2f yinfft %.2f",
                                     voice ? "voice" : "sine", hz, tracker.frequency, out->data[0])));
    state.SetLabel(text);
    del_fvec(out);
    for (fvec_t *b : blocks) del_fvec(b);
    del_aubio_pitch(pitch);
}
BENCHMARK(BM_PairedWithYinFft)
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4, 5}})
    ->ArgNames({"voice", "pitch"})
    ->Unit(benchmark::kMicrosecond);

void BM_AubioYin(benchmark::State &state) { runAubio(state, "yin"); }
void BM_AubioYinFft(benchmark::State &state) { runAubio(state, "yinfft"); }
BENCHMARK(BM_AubioYin)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AubioYinFft)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
#endif

} // namespace

BENCHMARK_MAIN();
