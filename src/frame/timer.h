// Timer heartbeat and audio clock.
//
// One GLUT timer re-arms itself for ever and draws one frame per tick. While
// the microphone is captured a frame is due when the next block of 2048
// samples is complete, and `audioClockMs` follows the capture device's sample
// counter; a tick comes earlier for a scheduled sound event (beat, melody,
// chord), at most three shortened ticks in a row. Without capture the ticks
// lie on a drift-free grid of 46.44 ms that screens restart on entry
// (freeClockStart := now, freeTickCount := 0).
//
// The arithmetic (runTimerTick) takes its clock, sample counter, frame and
// window test through TimerHooks so it runs without a window or sound card.
#pragma once
#include <cstdint>

constexpr int32_t samplesPerSecond = 44100;
constexpr int32_t samplesPerBlock = 2048;
constexpr double gridStepMs = 46.439909297052154;     // 2048 / 44.1
constexpr double maxTimerDelayMs = 464.39909297052156; // ten grid steps
constexpr int32_t windowTestMinDelay = 10;             // window test only above this

// Values the screens read and write (all milliseconds unless said otherwise).
extern int32_t audioClockMs;         // captured sound since capture start
extern int64_t samplesConsumed;      // samples read by the capturing screen since its start
extern int32_t nextSoundEventMs[3];  // audio-clock times of the next beat, melody note, chord
extern uint8_t shortenedTick;        // the last delay was shortened to meet a sound event
extern int32_t shortTickRun;         // shortened ticks in a row before the current one
extern uint8_t audioResyncPending;   // next capturing tick takes the clock from the counter
extern int32_t projectedTickMs;      // audioClockMs + this tick's block delay
extern uint8_t eventSyncMode;        // delay from the first event time relative to the offset
extern int32_t eventSyncOffset;
extern int32_t freeClockStart;       // start of the free grid
extern int32_t freeTickCount;        // ticks since the grid start
extern int32_t lastTickEnd;          // now, just before the timer was re-armed

// Restarts the free grid: the next tick comes at once, then every 46.44 ms.
void restartFreeGrid();

// Forgets every scheduled sound event (the three times := 0, no shortened
// tick pending). A schedule left behind would keep steering the ticks of the
// next capturing screen: while a recording runs in event-sync mode the delay
// is the first event's time, so a track that ran out of events (its time set
// to "never") makes every tick the longest one, 464 ms, and the capture falls
// ever further behind the microphone.
void clearSoundEvents();

struct TimerHooks {
    int32_t (*now)();            // milliseconds since start (GLUT_ELAPSED_TIME)
    int32_t (*capturedSamples)(); // samples waiting in the capture device
    void (*drawFrame)();         // displayCurrentScreen
    bool (*windowExists)();      // the program's window still exists
};

// One tick up to and including `lastTickEnd` := now: draws the frame and
// returns the delay to the next tick (0..464), or -1 when the window is gone
// (the caller then ends the program normally).
int32_t runTimerTick(const TimerHooks &hooks);

// A developer tool's watch on every frame the timer draws (nullptr in the
// program): the screen the frame began on, its start on CLOCK_MONOTONIC and
// the process's CPU time at its start (both ms), and how long it took less
// the time it waited for the microphone's next block (captureWaitedMs).
using FrameWatcher = void (*)(int32_t screen, double startMs, double cpuMs, double durationMs);
extern FrameWatcher frameWatcher;

// The GLUT timer callback; `value` is handed on unchanged.
void onTimerTick(int value);

// Marks the window as gone (the close callback) so the next long tick ends
// the program; also ends a run whose main loop returned.
void markWindowGone();
