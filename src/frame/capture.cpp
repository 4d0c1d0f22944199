#include "frame/capture.h"

#include "base/stops.h"
#include "frame/timer.h"

#include <AL/al.h>
#include <algorithm>
#include <chrono>
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

// ---- The recording's clock

static int64_t steadyNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
static void readFromDevice(int16_t *block, int32_t samples) { alcCaptureSamples(captureDevice, block, samples); }
static void pauseOneMs() { usleep(1000); }

static const CaptureSource deviceSource = {steadyNowMs, captureSamplesAvailable, readFromDevice, pauseOneMs};
static CaptureSource source = deviceSource;

static int64_t recordingStartMs = 0; // source.nowMs() at the last startCapture
static int64_t samplesRead = 0;      // samples read by readCaptureBlock since then
static bool fellBehind = false;

const CaptureSource &realCaptureSource() { return deviceSource; }
void setCaptureSource(const CaptureSource &s) { source = s; }

int64_t captureLagMs(int64_t nowMs, int32_t waiting)
{
    const int64_t deliveredMs = (samplesRead + waiting) * 1000 / samplesPerSecond;
    return (nowMs - recordingStartMs) - deliveredMs;
}

bool captureFellBehind() { return fellBehind; }

void startRecordingClock()
{
    recordingStartMs = source.nowMs();
    samplesRead = 0;
    fellBehind = false;
}

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
    startRecordingClock();
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

double captureWaitedMs = 0.0;

static double steadyMsFine()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Adds the time from its making to its end to captureWaitedMs, if it waited.
struct WaitTimer {
    double start = -1.0;
    void pausing()
    {
        if (start < 0) start = steadyMsFine();
    }
    ~WaitTimer()
    {
        if (start >= 0) captureWaitedMs += steadyMsFine() - start;
    }
};

bool readCaptureBlock(int16_t *block)
{
    WaitTimer waited;
    int32_t waiting = source.available();
    while (captureRunning && !fellBehind) {
        if (captureLagMs(source.nowMs(), waiting) > captureLagToleranceMs) {
            fellBehind = true;
            break;
        }
        if (waiting >= samplesPerBlock) {
            source.read(block, samplesPerBlock);
            samplesRead += samplesPerBlock;
            return true;
        }
        waited.pausing();
        source.pause();
        waiting = source.available();
    }
    std::memset(block, 0, sizeof(int16_t) * samplesPerBlock);
    return false;
}

void readCaptureBlockOrRest(int16_t *block)
{
    if (captureRunning) {
        readCaptureBlock(block);
        return;
    }
    const int32_t n = std::min(captureSamplesAvailable(), samplesPerBlock);
    if (n > 0) alcCaptureSamples(captureDevice, block, n);
    std::memset(block + std::max(n, 0), 0, sizeof(int16_t) * (samplesPerBlock - std::max(n, 0)));
}
