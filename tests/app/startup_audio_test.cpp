// The start's capture checks with OpenAL errors made up by a hook: each query
// that reports an error ends the program with its own stop.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int errorCalls = 0;   // alcGetError calls so far
int failingCall = 0;  // the call that reports an error (1-based); 0 none

ALCenum fakeAlcError(ALCdevice *)
{
    ++errorCalls;
    return errorCalls == failingCall ? ALC_INVALID_VALUE : ALC_NO_ERROR;
}

int fakeDevice = 0;
ALCdevice *fakeCaptureDevice() { return reinterpret_cast<ALCdevice *>(&fakeDevice); }

struct StartupAudio : ::testing::Test {
    void SetUp() override
    {
        errorCalls = failingCall = 0;
        setStartupAudioHooks({.alcError = fakeAlcError, .openCaptureDevice = fakeCaptureDevice});
    }
    void TearDown() override { setStartupAudioHooks(realStartupAudioHooks()); }
};

TEST_F(StartupAudio, AnErrorAfterACaptureQueryEndsInItsStop)
{
    struct Case {
        void (*check)();
        int failingCall; // the first error query only clears what came before
        int stop;
    };
    const Case cases[] = {
        {checkCaptureSupport, 2, stopCaptureDefaultQuery},
        {checkCaptureSupport, 3, stopCaptureEnumerationQuery},
        {checkCaptureSupport, 4, stopCaptureDeviceQuery},
        {openCapture, 1, stopCaptureCheckDevice},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stop);
        errorCalls = 0;
        failingCall = c.failingCall;
        EXPECT_EXIT(c.check(), ::testing::ExitedWithCode(c.stop % 250), "stopNumber=" + std::to_string(c.stop));
    }
    // Without an error the checks go on (the first call's error was cleared).
    errorCalls = 0;
    failingCall = 1;
    checkCaptureSupport();
    EXPECT_EQ(errorCalls, 4);
}

} // namespace
