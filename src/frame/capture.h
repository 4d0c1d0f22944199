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

// Waits, 1 ms per try and at most `maxWaitMs`, until 2048 samples are waiting
// or capture stops running, then reads 2048 samples into `block`. Returns
// false (and fills `block` with silence) when the samples did not arrive.
bool readCaptureBlock(int16_t *block, int32_t maxWaitMs = 1000);

// The block an exercise or a sung-note check reads each frame: while capture
// runs, readCaptureBlock; after it stopped, what the device still holds,
// then silence.
void readCaptureBlockOrRest(int16_t *block);
