#include "frame/capture.h"

#include "base/stops.h"
#include "frame/timer.h"

#include <AL/al.h>
#include <algorithm>
#include <cstring>
#include <unistd.h>

ALCdevice *captureDevice = nullptr;
ALCenum captureSamplesEnum = 0;
uint8_t captureRunning = 0;

ALCdevice *openCaptureDevice()
{
    return alcCaptureOpenDevice(nullptr, samplesPerSecond, AL_FORMAT_MONO16, captureRingSamples);
}

static bool deviceStarted = false; // alcCaptureStart ran on captureDevice

void startCaptureDevice()
{
    if (!captureDevice || deviceStarted) return;
    alcCaptureStart(captureDevice);
    alcGetError(captureDevice);
    deviceStarted = true;
}

void startCapture()
{
    if (captureRunning) return;
    if (!captureDevice) {
        captureDevice = openCaptureDevice();
        if (!captureDevice || alcGetError(captureDevice) != ALC_NO_ERROR) stopProgram(0, stopCaptureReopen);
        deviceStarted = false;
    }
    startCaptureDevice();
    discardCapturedSamples();
    captureRunning = 1;
}

void stopCapture() { captureRunning = 0; }

void discardCapturedSamples()
{
    if (!captureDevice || !deviceStarted) return;
    int16_t scratch[4 * samplesPerBlock];
    // At most the ring's worth: samples arriving meanwhile are not chased.
    for (int32_t left = captureRingSamples; left > 0;) {
        const int32_t n = std::min({captureSamplesAvailable(), left, 4 * samplesPerBlock});
        if (n <= 0) break;
        alcCaptureSamples(captureDevice, scratch, n);
        left -= n;
    }
}

int32_t captureSamplesAvailable()
{
    if (!captureDevice) return 0;
    ALCint n = 0;
    alcGetIntegerv(captureDevice, captureSamplesEnum, 1, &n);
    return n;
}

bool readCaptureBlock(int16_t *block, int32_t maxWaitMs)
{
    int32_t waited = 0;
    while (captureRunning && captureSamplesAvailable() < samplesPerBlock && waited < maxWaitMs) {
        usleep(1000);
        ++waited;
    }
    if (captureDevice && captureSamplesAvailable() >= samplesPerBlock) {
        alcCaptureSamples(captureDevice, block, samplesPerBlock);
        return true;
    }
    std::memset(block, 0, sizeof(int16_t) * samplesPerBlock);
    return false;
}

void readCaptureBlockOrRest(int16_t *block)
{
    if (captureRunning) {
        readCaptureBlock(block, 1000);
        return;
    }
    const int32_t n = std::min(captureSamplesAvailable(), samplesPerBlock);
    if (n > 0) alcCaptureSamples(captureDevice, block, n);
    std::memset(block + std::max(n, 0), 0, sizeof(int16_t) * (samplesPerBlock - std::max(n, 0)));
}
