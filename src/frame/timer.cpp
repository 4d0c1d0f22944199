#include "frame/timer.h"

#include "frame/capture.h"
#include "frame/dispatch.h"
#include "base/rounding.h"
#include "base/shared.h"
#include "base/stops.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cmath>
#include <ctime>

int32_t audioClockMs = 0;
int64_t samplesConsumed = 0;
int32_t nextSoundEventMs[3] = {0, 0, 0};
uint8_t shortenedTick = 0;
int32_t shortTickRun = 0;
uint8_t audioResyncPending = 0;
int32_t projectedTickMs = 0;
uint8_t eventSyncMode = 0;
int32_t eventSyncOffset = 0;
int32_t freeClockStart = 0;
int32_t freeTickCount = 0;
int32_t lastTickEnd = 0;

static bool windowGone = false;

// Milliseconds until the next block of 2048 samples is complete, plus 1.
static int32_t blockDelayFor(int32_t available)
{
    return roundToInt32(static_cast<long double>(samplesPerBlock - available) / samplesPerSecond * 1000 + 1);
}

void restartFreeGrid()
{
    freeClockStart = glutGet(GLUT_ELAPSED_TIME);
    freeTickCount = 0;
}

void clearSoundEvents()
{
    nextSoundEventMs[0] = nextSoundEventMs[1] = nextSoundEventMs[2] = 0;
    shortenedTick = 0;
    shortTickRun = 0;
}

static int32_t capturingTick(const TimerHooks &h, int32_t t0)
{
    int32_t available = h.capturedSamples();
    frameTime = h.now();
    if (audioResyncPending) {
        audioClockMs = roundToInt32(static_cast<long double>(samplesConsumed + available) / samplesPerSecond * 1000);
        audioResyncPending = 0;
    } else {
        audioClockMs += t0 - lastTickEnd;
    }
    h.drawFrame();
    available = h.capturedSamples();
    int32_t t1 = h.now();
    int32_t blockDelay = blockDelayFor(available);
    audioClockMs += t1 - t0;
    projectedTickMs = audioClockMs + blockDelay;

    shortTickRun = shortenedTick ? shortTickRun + 1 : 0;
    shortenedTick = 0;

    int32_t m = std::min({nextSoundEventMs[0], nextSoundEventMs[1], nextSoundEventMs[2]});
    int32_t d;
    if (m <= projectedTickMs) {
        shortenedTick = 1;
        d = m - audioClockMs;
    } else {
        shortTickRun = 0;
        audioResyncPending = 1;
        d = blockDelay;
    }
    if (shortTickRun > 2) {
        shortenedTick = 0;
        shortTickRun = 0;
        audioResyncPending = 1;
        d = blockDelay;
    }
    if (eventSyncMode) d = nextSoundEventMs[0] - ((t1 - t0) + eventSyncOffset);
    return d + 1;
}

static int32_t freeTick(const TimerHooks &h)
{
    frameTime = h.now();
    h.drawFrame();
    frameTime = h.now();
    if (captureRunning) {
        // The frame started the capture: wait for its first block.
        int32_t delay = blockDelayFor(h.capturedSamples());
        projectedTickMs = audioClockMs + delay;
        return delay;
    }
    freeTickCount += 1;
    shortenedTick = 0;
    long double target = freeClockStart + static_cast<long double>(freeTickCount - 1) * gridStepMs;
    return roundToInt32(target - h.now());
}

int32_t runTimerTick(const TimerHooks &h)
{
    int32_t t0 = h.now();
    nextTimerDelay = captureRunning ? capturingTick(h, t0) : freeTick(h);

    if (nextTimerDelay < 0) {
        nextTimerDelay = 0; // a late tick never runs the window test
    } else if (nextTimerDelay > windowTestMinDelay && !h.windowExists()) {
        return -1;
    }
    if (nextTimerDelay > maxTimerDelayMs) nextTimerDelay = 464;
    lastTickEnd = h.now();
    return nextTimerDelay;
}

// ---- GLUT glue

static int32_t glutNow() { return glutGet(GLUT_ELAPSED_TIME); }
static bool glutWindowExists() { return !windowGone; }

FrameWatcher frameWatcher = nullptr;

static double clockMs(clockid_t clock)
{
    timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static void drawWatchedFrame()
{
    if (!frameWatcher) {
        displayCurrentScreen();
        return;
    }
    const int32_t screen = currentScreen;
    const double cpu = clockMs(CLOCK_PROCESS_CPUTIME_ID);
    const double start = clockMs(CLOCK_MONOTONIC);
    const double waitedBefore = captureWaitedMs;
    displayCurrentScreen();
    // The wait for the microphone's next block is no cost of the frame.
    frameWatcher(screen, start, cpu, clockMs(CLOCK_MONOTONIC) - start - (captureWaitedMs - waitedBefore));
}

static const TimerHooks glutTimerHooks = {glutNow, captureSamplesAvailable, drawWatchedFrame, glutWindowExists};

void markWindowGone() { windowGone = true; }

void onTimerTick(int value)
{
    // A window known to be gone is never drawn into (freeglut ends the
    // process on drawing calls without a window).
    if (windowGone) quitProgram();
    // The capture device runs for the whole program: between recordings
    // what it captured is dropped here, so a recording starts on new sound.
    if (!captureRunning) discardCapturedSamples();
    if (runTimerTick(glutTimerHooks) < 0) quitProgram();
    glutTimerFunc(static_cast<unsigned>(nextTimerDelay), onTimerTick, value);
}
