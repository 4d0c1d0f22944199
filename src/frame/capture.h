// The microphone capture device: opened at start-up, reopened by every
// startCapture (which empties its ring, so the first block after a start is
// new sound), stopped by stopCapture. Capturing screens read blocks of 2048
// samples with readCaptureBlock.
#pragma once
#include <AL/alc.h>
#include <cstdint>

// Numbered stops of this module.
constexpr int32_t stopCaptureReopen = 5016; // the capture device cannot be opened again


constexpr int32_t captureRingSamples = 220500; // 5 s at 44100 Hz

extern ALCdevice *captureDevice;     // null when no capture device could be opened
extern ALCenum captureSamplesEnum;   // enum value of "ALC_CAPTURE_SAMPLES"
extern uint8_t captureRunning;       // the device is started

// Opens the default capture device (44100 Hz, mono 16-bit, 5 s ring); null on failure.
ALCdevice *openCaptureDevice();

// If not running: stop and close the device, open it again and start it.
// A device that cannot be reopened ends the program with stop 5016.
void startCapture();

// If running: stop the device (it stays open) and clear captureRunning.
void stopCapture();

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
