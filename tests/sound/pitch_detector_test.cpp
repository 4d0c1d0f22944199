// Whole-detector behaviour on synthetic recordings, run block by block the
// way a capturing screen does it.
#include "sound/pitch_detector.h"
#include "sound/recording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
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

struct BlockResult {
    double frequency;
    double period;
};

// Zeroed head, blocks written from 2048, the window trailing the write
// position by one block, the period carried from block to block.
std::vector<BlockResult> runBlocks(const std::vector<int16_t> &signal, double startPeriod = 0.0)
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
        preAnalyseWindow(tracker);
        detectPitch(tracker);
        out.push_back({tracker.frequency, tracker.period});
        tracker.analysisPos += recordingBlockLength;
    }
    return out;
}

// Runs one window of raw samples (recordingBuffer[0] kept at 0).
BlockResult runWindow(const std::vector<int16_t> &window, double &period)
{
    recordingBuffer[0] = 0;
    std::copy(window.begin(), window.end(), recordingBuffer + recordingBlockLength);
    PitchTracker t;
    t.analysisPos = recordingBlockLength;
    t.period = period;
    preAnalyseWindow(t);
    detectPitch(t);
    period = t.period;
    return {t.frequency, t.period};
}

} // namespace

TEST(PitchDetector, SteadySinesWithinHalfACentInEveryBlock)
{
    const double frequencies[] = {55.0,  61.74, 73.42,  87.31,  98.0,   110.0, 131.7, 164.81,
                                  200.0, 246.94, 293.66, 333.3, 392.0, 440.0, 523.25, 610.0,
                                  698.46, 783.99, 830.0, 880.0};
    const double phases[] = {0.0, 1.0, 2.5, 4.2};
    for (double f : frequencies) {
        for (double phase : phases) {
            const auto blocks = runBlocks(sine(f, 10000.0, phase, 12 * recordingBlockLength));
            for (size_t k = 0; k < blocks.size(); ++k) {
                ASSERT_GT(blocks[k].frequency, 10.0) << f << " Hz phase " << phase << " block " << k;
                EXPECT_LE(std::fabs(cents(blocks[k].frequency, f)), 0.5)
                    << f << " Hz phase " << phase << " block " << k << " measured "
                    << blocks[k].frequency;
            }
        }
    }
}
