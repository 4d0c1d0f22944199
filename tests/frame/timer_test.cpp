// The heartbeat arithmetic, driven by a fake clock and a fake capture counter.
#include "frame/capture.h"
#include "base/shared.h"
#include "frame/timer.h"

#include <gtest/gtest.h>
#include <cmath>
#include <vector>

namespace {

int32_t fakeNow;
int32_t frameCost;       // ms the frame takes
int32_t samplesBefore;   // ALC_CAPTURE_SAMPLES before the frame
int32_t samplesAfter;    // ... and after it
bool drawn;
bool windowPresent;
bool frameStartsCapture;

int32_t now() { return fakeNow; }
int32_t samples() { return drawn ? samplesAfter : samplesBefore; }
void draw()
{
    drawn = true;
    fakeNow += frameCost;
    if (frameStartsCapture) captureRunning = 1;
}
bool windowThere() { return windowPresent; }

const TimerHooks hooks = {now, samples, draw, windowThere};

class TimerTick : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeNow = 10000;
        frameCost = 5;
        samplesBefore = samplesAfter = 0;
        windowPresent = true;
        frameStartsCapture = false;
        captureRunning = 0;
        audioClockMs = 0;
        samplesConsumed = 0;
        nextSoundEventMs[0] = nextSoundEventMs[1] = nextSoundEventMs[2] = 0;
        shortenedTick = shortTickRun = audioResyncPending = 0;
        eventSyncMode = 0;
        eventSyncOffset = 0;
        freeClockStart = freeTickCount = 0;
        lastTickEnd = fakeNow;
    }
    // One tick, fired `wait` ms after the previous one ended.
    int32_t tick(int32_t wait = 0)
    {
        fakeNow = lastTickEnd + wait;
        drawn = false;
        return runTimerTick(hooks);
    }
};

TEST_F(TimerTick, CapturingBlockDelayAddsOneTwiceThenResyncsTheClock)
{
    captureRunning = 1;
    nextSoundEventMs[0] = nextSoundEventMs[1] = nextSoundEventMs[2] = 1000000;
    samplesAfter = 1000;
    EXPECT_EQ(tick(), 26); // nearest(1048 * 1000 / 44100 + 1) + 1
    EXPECT_EQ(nextTimerDelay, 26);
    EXPECT_TRUE(audioResyncPending);

    samplesConsumed = 44100;  // the screen read 1 s of blocks
    samplesBefore = 2205;     // 50 ms more waiting
    samplesAfter = 2205;
    frameCost = 0;
    tick(26);
    EXPECT_EQ(audioClockMs, 1050);
}

TEST_F(TimerTick, EventsAtZeroGiveThreeShortTicksThenOneBlockTick)
{
    captureRunning = 1;
    samplesConsumed = 441000;
    audioClockMs = 10000;
    std::vector<int32_t> delays;
    for (int i = 0; i < 8; ++i) delays.push_back(tick(delays.empty() ? 0 : delays.back()));
    const int32_t block = 48; // nearest(2048 * 1000 / 44100 + 1) + 1
    EXPECT_EQ(delays, (std::vector<int32_t>{0, 0, 0, block, 0, 0, 0, block}));
}

TEST_F(TimerTick, EventJustAheadShortensTheTickWithoutResync)
{
    captureRunning = 1;
    audioClockMs = 2000;
    frameCost = 4;
    // The clock reads 2004 after the frame; the melody event lies 5 ms ahead.
    nextSoundEventMs[0] = nextSoundEventMs[2] = 90000;
    nextSoundEventMs[1] = 2009;
    EXPECT_EQ(tick(), 6);
    EXPECT_TRUE(shortenedTick);
    EXPECT_FALSE(audioResyncPending);
    samplesConsumed = 0; // would move the clock far back if it were resynced
    frameCost = 0;
    tick(6);
    EXPECT_EQ(audioClockMs, 2010);
}

TEST_F(TimerTick, EventSyncModeTakesTheFirstEventEvenOnTheFourthTick)
{
    captureRunning = 1;
    audioClockMs = 10000;
    samplesConsumed = 441000;
    eventSyncMode = 1;
    eventSyncOffset = 100;
    nextSoundEventMs[0] = 300; // first event, behind the clock: every tick is shortened
    for (int i = 0; i < 4; ++i) EXPECT_EQ(tick(), 300 - (5 + 100) + 1) << "tick " << i;
    EXPECT_EQ(shortTickRun, 0); // the fourth tick was turned into a block tick
}

TEST_F(TimerTick, FrameThatStartsCaptureWaitsForTheFirstBlock)
{
    frameStartsCapture = true;
    samplesAfter = 1000;
    audioClockMs = 0;
    EXPECT_EQ(tick(), 25); // nearest(1048 * 1000 / 44100 + 1), one added only
    EXPECT_EQ(projectedTickMs, 25);
}

TEST_F(TimerTick, FreeGridStaysOnItsStepsOver200Ticks)
{
    freeClockStart = fakeNow;
    freeTickCount = 0;
    frameCost = 7;
    int32_t wait = 0;
    for (int k = 1; k <= 200; ++k) {
        int32_t start = lastTickEnd + wait;
        double target = freeClockStart + (k - 2) * gridStepMs; // tick 2 is due at once
        if (k > 2) {
            EXPECT_LE(std::fabs(start - target), 1.0) << "tick " << k;
        }
        wait = tick(wait);
        if (k == 1) {
            EXPECT_EQ(wait, 0) << "the tick after a restart is due at once";
        }
    }
}

TEST_F(TimerTick, SlowFramesClampToZeroAndCatchUp)
{
    freeClockStart = fakeNow;
    frameCost = 100; // two steps per frame
    windowPresent = false;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(tick(), 0);
}

TEST_F(TimerTick, DelayLimitsAndWindowTest)
{
    struct Case { int32_t gridAhead; bool window; int32_t result; };
    // gridAhead: the grid target's distance from "now" after the frame.
    const Case cases[] = {
        {1000, true, 464},  // cut to ten steps
        {464, true, 464},
        {465, true, 464},
        {-50, false, 0},    // late: clamped, the window test is skipped
        {10, false, 10},    // 10 ms: no window test
        {11, false, -1},    // above 10 ms: the lost window ends the program
        {11, true, 11},
    };
    for (const Case &c : cases) {
        SetUp();
        frameCost = 0;
        windowPresent = c.window;
        freeClockStart = fakeNow + c.gridAhead;
        EXPECT_EQ(tick(), c.result) << c.gridAhead << " " << c.window;
    }
}

} // namespace
