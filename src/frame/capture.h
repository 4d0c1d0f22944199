// The microphone capture device: opened and started once (at start-up, or
// by the first startCapture) and kept running for the whole program, so no
// frame waits on the sound server when a recording starts or ends. A
// recording is a stretch of that running capture: startCapture discards what
// the device holds (the first block after a start is new sound) and marks
// the capture running; stopCapture only clears the mark. While no recording
// runs, every tick discards what arrived (discardCapturedSamples), so the
// device's ring never fills. Capturing screens read blocks of 2048 samples
// with readCaptureBlock.
#pragma once
#include <AL/alc.h>
#include <cstdint>

// Numbered stops of this module.
constexpr int32_t stopCaptureReopen = 5016; // the capture device cannot be opened again


constexpr int32_t captureRingSamples = 220500; // 5 s at 44100 Hz

extern ALCdevice *captureDevice;     // null when no capture device could be opened
extern ALCenum captureSamplesEnum;   // enum value of "ALC_CAPTURE_SAMPLES"
extern uint8_t captureRunning;       // a recording runs (the device itself always does)

// Opens the default capture device (44100 Hz, mono 16-bit, 5 s ring); null on failure.
ALCdevice *openCaptureDevice();

// Starts the opened device once (start-up); nothing without a device or
// when it runs already.
void startCaptureDevice();

// If no recording runs: makes sure the device runs (opening it when none is
// open; a device that cannot be opened ends the program with stop 5016),
// discards what it holds and sets captureRunning.
void startCapture();

// Clears captureRunning; the device keeps running.
void stopCapture();

// Reads and drops every sample the running device holds (no recording runs).
void discardCapturedSamples();

// Samples waiting in the capture device (0 without a device).
int32_t captureSamplesAvailable();

// How far a recording's capture may fall behind real time: the time since
// its start less the sound delivered (read and waiting). A microphone that
// keeps up stays within a few tens of milliseconds of its stream's latency.
constexpr int32_t captureLagToleranceMs = 500;

// What the block reads wait on: the clock, the device's count and read, and
// the pause between polls (tests put fakes here).
struct CaptureSource {
    int64_t (*nowMs)();                             // a monotonic clock
    int32_t (*available)();                         // samples waiting
    void (*read)(int16_t *block, int32_t samples);  // takes that many
    void (*pause)();                                // 1 ms
};
const CaptureSource &realCaptureSource();
void setCaptureSource(const CaptureSource &source);

// The recording's clock starts now, with nothing read (startCapture does
// this after it discarded what the device held).
void startRecordingClock();

// The recording's lag behind real time in ms (negative: ahead) with
// `waiting` samples not yet read.
int64_t captureLagMs(int64_t nowMs, int32_t waiting);

// Waits, polling every 1 ms, until 2048 samples are waiting or the capture
// stops running, then reads them into `block`. A capture that falls behind
// real time by more than the tolerance marks the recording as fallen behind
// (captureFellBehind) and gives up at once, then and on every later read of
// the recording: false, and `block` is silence.
bool readCaptureBlock(int16_t *block);

// Wall milliseconds readCaptureBlock has spent waiting for the device since
// the start: a frame watcher leaves this wait out of a frame's cost.
extern double captureWaitedMs;

// The running recording (since the last startCapture) fell behind real
// time: the microphone stopped delivering sound, and nothing it gave may be
// judged.
bool captureFellBehind();

// The block an exercise or a sung-note check reads each frame: while capture
// runs, readCaptureBlock; after it stopped, what the device holds (up to a
// block), then silence.
void readCaptureBlockOrRest(int16_t *block);
