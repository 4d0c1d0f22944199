#include "app/startup.h"

#include "frame/capture.h"
#include "frame/dispatch.h"
#include "app/loading_screen.h"
#include "app/screen_table.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "base/stops.h"
#include "frame/timer.h"
#include "lessons/replay_link.h"
#include "platform/folder_lock.h"
#include "platform/memory.h"
#include "platform/paths.h"
#include "platform/window_watch.h"
#include "replay/replay_run.h"

#include <AL/al.h>
#include <GL/freeglut.h>
#include <cfenv>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

ALCdevice *outputDevice = nullptr;
ALCcontext *outputContext = nullptr;

static const StartupAudioHooks realAudioHooks = {
    .alcError = alcGetError,
    .openCaptureDevice = openCaptureDevice,
};
static StartupAudioHooks audioHooks = realAudioHooks;

const StartupAudioHooks &realStartupAudioHooks() { return realAudioHooks; }
void setStartupAudioHooks(const StartupAudioHooks &hooks) { audioHooks = hooks; }

// An error from the last OpenAL call, on either error queue.
static bool audioErrorPending()
{
    bool alc = audioHooks.alcError(nullptr) != ALC_NO_ERROR;
    bool al = outputContext && alGetError() != AL_NO_ERROR;
    return alc || al;
}

static void goToUnsupportedScreen()
{
    unsupportedReason = 1;
    currentScreen = unsupportedDeviceScreenId;
}

// Output device and context; no device (no sound server, no card) means the
// program cannot train, so it shows screen 1 like an unusable microphone.
static bool openAudioOutput()
{
    outputDevice = alcOpenDevice(nullptr);
    if (!outputDevice) return false;
    outputContext = alcCreateContext(outputDevice, nullptr);
    if (!outputContext || !alcMakeContextCurrent(outputContext)) return false;
    return true;
}

void checkCaptureSupport()
{
    alcIsExtensionPresent(nullptr, "ALC_EXT_CAPTURE");
    audioErrorPending(); // clears the error state
    ALCenum e = alcGetEnumValue(nullptr, "ALC_CAPTURE_DEFAULT_DEVICE_SPECIFIER");
    if (audioErrorPending()) stopProgram(0, stopCaptureDefaultQuery);
    alcGetString(nullptr, e);
    alcIsExtensionPresent(nullptr, "ALC_ENUMERATION_EXT");
    if (audioErrorPending()) stopProgram(0, stopCaptureEnumerationQuery);
    e = alcGetEnumValue(nullptr, "ALC_CAPTURE_DEVICE_SPECIFIER");
    if (audioErrorPending()) stopProgram(0, stopCaptureDeviceQuery);
    alcGetString(nullptr, e);
}

void openCapture()
{
    captureDevice = audioHooks.openCaptureDevice();
    if (!captureDevice) {
        goToUnsupportedScreen();
        return;
    }
    if (audioHooks.alcError(captureDevice) != ALC_NO_ERROR) stopProgram(0, stopCaptureCheckDevice);
    captureSamplesEnum = alcGetEnumValue(captureDevice, "ALC_CAPTURE_SAMPLES");
    if (audioHooks.alcError(captureDevice) != ALC_NO_ERROR || captureSamplesEnum == 0) {
        goToUnsupportedScreen();
        return;
    }
    // Started once and kept running: no recording's start waits on the
    // sound server (frame/capture.h).
    startCaptureDevice();
}

// The close button: freeglut destroys the window and leaves the main loop,
// but may still run a due timer first; the program ends here, normally.
static void onWindowClose()
{
    markWindowGone();
    quitProgram();
}

void keepDepthFromDeciding()
{
    // A visual with a depth buffer would let depth values decide what covers
    // what; clear it once to the far value and never write it, so every
    // fragment passes the screens' "less" test.
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthMask(GL_FALSE);
}

void createMainWindow(int *argc, char **argv)
{
    glutInit(argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_ALPHA);
    glutInitWindowPosition(25, 25);
    glutInitWindowSize(mainWindowWidth, mainWindowHeight);
    glutCreateWindow("Tarnova");
    if (glutGet(GLUT_WINDOW_DEPTH_SIZE) > 0) keepDepthFromDeciding();
    glutCloseFunc(onWindowClose);
    watchWindowLoss(markWindowGone);
}

void openProgramWindow(int *argc, char **argv)
{
    windowWidth = mainWindowWidth;
    windowHeight = mainWindowHeight;
    createMainWindow(argc, argv);
    initProjection();
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    setScreenLookup(screenHandlersFor);
    // The lesson side and the introduction reach the replay above them only
    // through this link.
    setReplayLink({.resetPlayPosition = resetReplayPlayPosition});
    glutDisplayFunc(displayCurrentScreen);
}

int runTarnova(int argc, char **argv)
{
    keepLargeBlocksOutOfTheHeap();
    setUpFolders(applicationDataFolder(), documentsFolder());
    lockDataFolderOrExit(resolveDataPath(userDataDir));

    std::string logPath = debugLogPath.empty() ? std::string() : resolveDataPath(debugLogPath);
    if (int code = openDebugLog(logPath); code != 0) {
        const std::string why = systemErrorText(errno);
        // The usual cause: no data folder (or one without ResourceFiles),
        // which only the data generator makes.
        const std::string folder = nativePath(userDataDir);
        struct stat st;
        if (::stat(resolveDataPath(userDataDir + "ResourceFiles").c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            std::fprintf(stderr,
                         "Tarnova: the data folder %s is missing or has no ResourceFiles folder; make it with "
                         "build/tarnova-make-data \"%s\" (or start Tarnova with tools/run, which makes it)\n",
                         folder.c_str(), folder.c_str());
        } else {
            std::fprintf(stderr, "Tarnova: cannot create the debug log %s: %s\n", nativePath(debugLogPath).c_str(),
                         why.c_str());
        }
        return code;
    }

    bool haveOutput = openAudioOutput();
    fedisableexcept(FE_ALL_EXCEPT);
    currentScreen = loadingScreenId;
    if (haveOutput) {
        checkCaptureSupport();
        openCapture();
    } else {
        goToUnsupportedScreen();
    }

    openProgramWindow(&argc, argv);
    glutReshapeFunc(reshapeWindow);
    glutKeyboardFunc(keyboardCurrentScreen);
    glutSpecialFunc(specialKeyCurrentScreen);
    glutMouseFunc(mouseCurrentScreen);
    glutMotionFunc(motionCurrentScreen);
    glutPassiveMotionFunc(passiveMotionCurrentScreen);
    glutEntryFunc(ignoreWindowEntry);

    seedRandomFromClock();

    createControlsOfScreen(1);
    createControlsOfScreen(0);

    frameTime = glutGet(GLUT_ELAPSED_TIME);
    lastTickEnd = frameTime;
    glutTimerFunc(46, onTimerTick, 1);
    glutMainLoop();

    // The main loop returns only when the window was closed: a lost window
    // ends the program normally.
    quitProgram();
}
