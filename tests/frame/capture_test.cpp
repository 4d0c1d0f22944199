// Capture start and block reads without a capture device.
#include "frame/capture.h"
#include "frame/timer.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <vector>

TEST(Capture, BlockReadWithoutSamplesGivesUpAndReturnsSilence)
{
    captureRunning = 1; // started, but the device delivers nothing
    std::vector<int16_t> block(samplesPerBlock, 123);
    EXPECT_FALSE(readCaptureBlock(block.data(), 20));
    EXPECT_EQ(block, std::vector<int16_t>(samplesPerBlock, 0));
    captureRunning = 0;
    EXPECT_FALSE(readCaptureBlock(block.data()));
}

TEST(Capture, DeviceThatCannotBeReopenedStopsWith5016)
{
    // A fresh process whose OpenAL has only the output-only null backend.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "null", 1);
            startCapture();
        },
        ::testing::ExitedWithCode(16), "stopNumber=5016");
}
