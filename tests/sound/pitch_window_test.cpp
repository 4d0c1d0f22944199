// Window pre-analysis: smoothing at the edges, truncation, the extremes that
// start from the buffer's first element, offset and amplitude.
#include "sound/recording.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace {

constexpr int32_t pos = 2048; // a window clear of the buffer's first element

struct Measures {
    int32_t amplitude, extremeIndex;
    int16_t dcOffset;
    double sumAbs;
};

Measures analyse(int16_t first, const std::function<int16_t(int32_t)> &sample)
{
    recordingBuffer[0] = first;
    for (int32_t i = 0; i < analysisWindowLength; ++i) recordingBuffer[pos + i] = sample(i);
    Measures m{};
    preAnalyseWindow(pos, analysisWindow, analysisWindowLength, m.amplitude, m.extremeIndex,
                     m.dcOffset, m.sumAbs);
    return m;
}

} // namespace

TEST(WindowPreAnalysis, MeasuresTable)
{
    struct Case {
        const char *what;
        int16_t first;
        std::function<int16_t(int32_t)> sample;
        int16_t dcOffset;
        int32_t amplitude;
        double sumAbs; // -1: not checked
    } cases[] = {
        {"silence", 0, [](int32_t) { return int16_t(0); }, 0, 0, 0.0},
        {"clipped both ways", 0, [](int32_t i) { return int16_t(i == 7 ? 32767 : i == 9 ? -32768 : 0); },
         0, 32767, 65535.0},
        {"max 3000 min -1000", 0, [](int32_t i) { return int16_t(i == 1 ? 3000 : i == 2 ? -1000 : 0); },
         -1000, 2000, 4000.0},
        {"max 1000 min -3000", 0, [](int32_t i) { return int16_t(i == 1 ? 1000 : i == 2 ? -3000 : 0); },
         1000, 2000, 4000.0},
        {"equal magnitudes", 0, [](int32_t i) { return int16_t(i == 1 ? 2000 : i == 2 ? -2000 : 0); },
         0, 2000, 4000.0},
        {"all positive, min from element 0", 0, [](int32_t i) { return int16_t(100 + i % 101); },
         -100, 100, -1.0},
        {"odd sum truncates toward zero", 0, [](int32_t i) { return int16_t(i == 5 ? 2001 : 0); },
         -1000, 1001, 2001.0},
        {"extremes start from element 0", 5000,
         [](int32_t i) { return int16_t(i == 3 ? -1000 : 500); }, -2000, 3000, -1.0},
    };
    for (const Case &c : cases) {
        const Measures m = analyse(c.first, c.sample);
        EXPECT_EQ(m.dcOffset, c.dcOffset) << c.what;
        EXPECT_EQ(m.amplitude, c.amplitude) << c.what;
        if (c.sumAbs >= 0.0) {
            EXPECT_EQ(m.sumAbs, c.sumAbs) << c.what;
        }
    }
}

TEST(WindowPreAnalysis, SumAbsCountsMinus32768AsItsMagnitude)
{
    const Measures m = analyse(0, [](int32_t i) { return int16_t(i < 2 ? -32768 : 1); });
    EXPECT_EQ(m.sumAbs, 2 * 32768.0 + 4094.0);
}

TEST(WindowPreAnalysis, ExtremeIndexIsThatOfTheDominantExtreme)
{
    EXPECT_EQ(analyse(0, [](int32_t i) { return int16_t(i == 700 ? 9000 : i == 20 ? -300 : 0); })
                  .extremeIndex,
              700);
    EXPECT_EQ(analyse(0, [](int32_t i) { return int16_t(i == 700 ? 300 : i == 20 ? -9000 : 0); })
                  .extremeIndex,
              20);
}

TEST(WindowPreAnalysis, SmoothingEdgesAndTruncation)
{
    analyse(0, [](int32_t) { return int16_t(-777); });
    EXPECT_EQ(analysisWindow[0], -777);
    EXPECT_EQ(analysisWindow[2000], -777);
    EXPECT_EQ(analysisWindow[4095], -777);

    // The left edge repeats the first sample.
    analyse(0, [](int32_t i) { return int16_t(i == 0 ? 11 : 0); });
    const int16_t left[] = {6, 5, 4, 3, 2, 1, 0};
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(analysisWindow[i], left[i]) << i;

    // And the right edge the last.
    analyse(0, [](int32_t i) { return int16_t(i == 4095 ? 22 : 0); });
    const int16_t right[] = {0, 2, 4, 6, 8, 10, 12}; // entries 4089..4095
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(analysisWindow[4089 + i], right[i]) << i;

    // Negative sums truncate toward zero: -21 gives -1, -15 gives -1, -10 gives 0.
    analyse(0, [](int32_t i) { return int16_t(i == 100 ? -21 : i == 300 ? -15 : i == 500 ? -10 : 0); });
    EXPECT_EQ(analysisWindow[95], -1);
    EXPECT_EQ(analysisWindow[105], -1);
    EXPECT_EQ(analysisWindow[106], 0);
    EXPECT_EQ(analysisWindow[300], -1);
    EXPECT_EQ(analysisWindow[500], 0);

    // An interior entry is the plain 11-sample mean.
    analyse(0, [](int32_t i) { return int16_t(i * 3); });
    EXPECT_EQ(analysisWindow[1000], 3000);
}

TEST(WindowPreAnalysisDeathTest, WindowOutsideTheBufferStops)
{
    int32_t amplitude = 0, extremeIndex = 0;
    int16_t dcOffset = 0;
    double sumAbs = 0.0;
    EXPECT_EXIT(preAnalyseWindow(lastWindowStart + 1, analysisWindow, analysisWindowLength,
                                 amplitude, extremeIndex, dcOffset, sumAbs),
                testing::ExitedWithCode(3756 % 250), "stopNumber=3756");
    EXPECT_EXIT(preAnalyseWindow(-2048, analysisWindow, analysisWindowLength, amplitude,
                                 extremeIndex, dcOffset, sumAbs),
                testing::ExitedWithCode(3756 % 250), "stopNumber=3756");
}
