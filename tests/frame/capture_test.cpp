// Capture start and block reads without a capture device.
#include "frame/capture.h"
#include "frame/timer.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <vector>

TEST(Capture, BlockReadWithoutSamplesGivesUpAndReturnsSilence)
{
    startRecordingClock();
    captureRunning = 1; // started, but the device delivers nothing
    std::vector<int16_t> block(samplesPerBlock, 123);
    EXPECT_FALSE(readCaptureBlock(block.data()));
    EXPECT_EQ(block, std::vector<int16_t>(samplesPerBlock, 0));
    EXPECT_TRUE(captureFellBehind());
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

// A fake microphone on a fake clock: it delivers `rate` samples per ms of
// the clock (44.1 in real time) until `stallAtMs`, then nothing.
namespace {

struct FakeMicrophone {
    int64_t now = 100000;
    int64_t started = 100000;
    double rate = 44.1;
    int64_t stallAtMs = 1 << 30;
    int64_t taken = 0;
    int32_t pauses = 0;
    int64_t delivered() const
    {
        const int64_t until = std::min(now, started + stallAtMs);
        return static_cast<int64_t>((until - started) * rate);
    }
};
FakeMicrophone mic;

const CaptureSource fakeSource = {
    [] { return mic.now; },
    [] { return static_cast<int32_t>(mic.delivered() - mic.taken); },
    [](int16_t *block, int32_t n) {
        std::fill(block, block + n, int16_t{7});
        mic.taken += n;
    },
    [] {
        ++mic.pauses;
        mic.now += 1;
    },
};

struct CaptureLag : ::testing::Test {
    void SetUp() override
    {
        mic = FakeMicrophone{};
        setCaptureSource(fakeSource);
        startRecordingClock(); // a recording on the fake microphone
        captureRunning = 1;
    }
    void TearDown() override
    {
        stopCapture();
        setCaptureSource(realCaptureSource());
    }
    // Reads blocks as a recording does, one per frame of `frameMs`; the
    // number read before the first that failed (or n).
    int readBlocks(int n, int64_t frameMs = 0)
    {
        std::vector<int16_t> block(samplesPerBlock);
        for (int i = 0; i < n; ++i) {
            mic.now += frameMs;
            if (!readCaptureBlock(block.data())) return i;
        }
        return n;
    }
};

} // namespace

TEST_F(CaptureLag, AMicrophoneInRealTimeNeverFallsBehind)
{
    // 59 blocks, the sung-note check's answer, with frames of any cost below a block.
    for (const int64_t frameMs : {0, 10, 40}) {
        SetUp();
        EXPECT_EQ(readBlocks(59, frameMs), 59) << frameMs;
        EXPECT_FALSE(captureFellBehind());
        EXPECT_LE(captureLagMs(mic.now, 0), 47);
    }
    // A frame of two seconds finds the sound waiting: late frames are not a late microphone.
    SetUp();
    EXPECT_EQ(readBlocks(10), 10);
    mic.now += 2000;
    EXPECT_EQ(readBlocks(40), 40);
    EXPECT_FALSE(captureFellBehind());
}

TEST_F(CaptureLag, AMicrophoneThatStopsOrSlowsFailsOnceTheToleranceIsPassed)
{
    struct Case {
        double rate;
        int64_t stallAtMs;
        int blocksRead; // before the first block that came too late
    };
    const Case cases[] = {
        {44.1, 1000, 21},  // stops after 1 s: 44100 samples hold 21 whole blocks
        {44.1, 0, 0},      // never delivers
        {44.1 / 2, 1 << 30, 10}, // half speed: 500 ms behind after about 1 s of sound
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rate);
        SetUp();
        mic.rate = c.rate;
        mic.stallAtMs = c.stallAtMs;
        EXPECT_EQ(readBlocks(59), c.blocksRead);
        EXPECT_TRUE(captureFellBehind());
        // The wait ended at the tolerance, not at a fixed bound per block.
        const int64_t lag = captureLagMs(mic.now, static_cast<int32_t>(mic.delivered() - mic.taken));
        EXPECT_GT(lag, captureLagToleranceMs);
        EXPECT_LE(lag, captureLagToleranceMs + 2);
        // Every later read of the recording gives up at once, with silence.
        const int32_t pauses = mic.pauses;
        std::vector<int16_t> block(samplesPerBlock, 5);
        mic.stallAtMs = 1 << 30; // even if sound came back
        EXPECT_FALSE(readCaptureBlock(block.data()));
        EXPECT_EQ(block, std::vector<int16_t>(samplesPerBlock, 0));
        EXPECT_EQ(mic.pauses, pauses);
    }
    // The next recording starts afresh.
    stopCapture();
    mic.now += 10000;
    mic.started = mic.now;
    mic.taken = 0;
    startRecordingClock();
    captureRunning = 1;
    EXPECT_FALSE(captureFellBehind());
    EXPECT_EQ(readBlocks(5), 5);
}
