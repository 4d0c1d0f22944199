#include "app/loading_screen.h"

#include "app/screen_table.h"

#include "frame/control_drawing.h"
#include "frame/controls.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/picture_catalogue.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "base/stops.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "frame/timer.h"
#include "store/user_actions.h"
#include "store/score_file.h"
#include "store/users_file.h"
#include "sound/recording.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

#include <AL/al.h>
#include <GL/freeglut.h>
#include <GL/gl.h>

const char *const startTuneFileNames[5] = {"MyBonnieTrumpet.ogg", "MyBonnieGuitar.ogg",
                                           "MyBonniePiano.ogg", "MyBonnieOrgan.ogg",
                                           "MyBonnieViolin.ogg"};

// User management, About, lesson overview, exercise information, exercise
// sample, introductory lesson, the first numbered lesson, the exercise
// screens, score overview, replay, note statistics, time-line numbers and
// time-line graph.
const int32_t finishScreenOrder[13] = {
    userManagementScreenId, aboutScreenId,        lessonOverviewScreenId, exerciseInfoScreenId,
    exerciseSampleScreenId, introLessonScreenId,  lessonOneScreenId,      firstExerciseScreenId,
    scoreOverviewScreenId,  replayScreenId,       noteStatisticsScreenId, timeLineNumbersScreenId,
    timeLineGraphScreenId};

// ---- State ---------------------------------------------------------------

LoadingState loadingState;
static int32_t loadingFont = font9By15;

static ALuint startTuneBuffers[2];
static ALuint startTuneSources[2];
static std::string startTuneFileName;

// ---- Schedule --------------------------------------------------------------

LoadingWork loadingStepWork(int32_t step)
{
    if (step == 1) return LoadingWork::startTune;
    if (step == 2) return LoadingWork::createSetupControls;
    if (step >= 4 && step <= 85) return LoadingWork::images6PartA;
    if (step >= 87 && step <= 185) return LoadingWork::images6PartB;
    if (step >= 187 && step <= 302) return LoadingWork::images7;
    if (step >= 320 && step <= 357) return LoadingWork::soundBank;
    if (step == 359) return LoadingWork::finish;
    return LoadingWork::nothing; // 0, 3, 86, 186, 303..319, 358
}

int32_t loadingLinesShown(int32_t step)
{
    if (step >= 358) return 6;
    if (step >= 319) return 5;
    if (step >= 303) return 4;
    if (step >= 186) return 3;
    if (step >= 86) return 2;
    if (step >= 1) return 1;
    return 0;
}

double progressBarRight(int32_t step) { return 345.0 + step / 360.0 * 250.0; }

// ---- Hooks -----------------------------------------------------------------

void createControlsOfScreen(int32_t screenId)
{
    const ScreenHandlers *h = screenHandlersFor(screenId);
    if (h && h->create) h->create();
}

static void startTheTune()
{
    initSoundLayer();
    alGetError();
    alGenBuffers(2, startTuneBuffers);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopStartTuneBuffers);
    alGenSources(2, startTuneSources);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopStartTuneSources);
    setupSource(startTuneSources[0]);
    startTuneFileName = startTuneFileNames[randomBelow(5)];
    if (!loadOggIntoBuffer(soundsDir + startTuneFileName, startTuneBuffers[0]))
        stopProgram(0, stopStartTuneFile);
    playBufferOnSource(startTuneSources[0], startTuneBuffers[0]);
}

static void stopTheTune()
{
    stopSource(startTuneSources[0]);
    alDeleteSources(2, startTuneSources);
    alDeleteBuffers(2, startTuneBuffers);
    alGetError(); // the tune is gone either way; nothing depends on it
}

static const LoadingHooks realHooks = {
    true,
    loadFrameAnimationPictures,
    loadImages9Step,
    usersFileNeedsFirstUse,
    loadUsersFiles,
    loadScoreFile,
    startTheTune,
    stopTheTune,
    loadImages6PartA,
    loadImages6PartB,
    loadImages7Step,
    loadSoundBankStep,
    clearRecordingHead,
    createControlsOfScreen,
};
static LoadingHooks hooks = realHooks;

const LoadingHooks &realLoadingHooks() { return realHooks; }
void setLoadingHooks(const LoadingHooks &h) { hooks = h; }

// ---- Input -----------------------------------------------------------------

static void loadingOwnAction(int32_t code)
{
    if (code != loadingExitAction) return;
    loadingState.exitButton.value = loadingState.exitButton.value ? 0 : 1;
    loadingState.exitButton.state = stateIdle;
    promptLine.clear();
    currentScreen = quitScreenId; // the next frame ends the program
}

static TemplateControl loadingControls[] = {
    {&loadingState.exitButton, 0, 0, loadingExitAction, 0, "Release Button to exit program",
     "Click to exit program", 0},
};

static const int32_t loadingRunningPhase = 1;

static ScreenInput loadingInput = {
    .controls = loadingControls,
    .controlCount = 1,
    .pending = &loadingState.pendingAction,
    .deferred = &loadingState.deferredAction,
    .phase = &loadingState.phase,
    .runningPhase = loadingRunningPhase,
    .action = loadingOwnAction,
};

static void loadingKeyboard(unsigned char key, int x, int y)
{
    // Any key clears the message lines in every phase; with an alert shown,
    // Return and Escape dismiss it.
    if (loadingState.phase != loadingRunningPhase && !alertShown()) {
        clearAlertLines();
        return;
    }
    templateKeyboard(loadingInput, key, x, y);
}

static void loadingSpecialKey(int key, int x, int y)
{
    if (!alertShown()) clearAlertLines();
}

static void loadingMouse(int button, int state, int x, int y)
{
    if (loadingState.phase == loadingRunningPhase) templateMouse(loadingInput, button, state, x, y);
}

static void loadingMotion(int x, int y)
{
    if (loadingState.phase == loadingRunningPhase) templateMotion(loadingInput, x, y);
}

static void loadingPassiveMotion(int x, int y)
{
    if (loadingState.phase == loadingRunningPhase) templatePassiveMotion(loadingInput, x, y);
}

static void drawLoadingControls() { drawControl(&loadingState.exitButton); }

static void handleLoadingAction() { templateHandleAction(loadingInput); }

static void createLoadingControls()
{
    loadingState.phase = 0;
    loadingState.step = 0;
    loadingState.pendingAction = loadingState.deferredAction = 0;
    initControl(&loadingState.exitButton,
                {.kind = kindPushButton, .left = 580, .right = 643, .bottom = 158, .top = 176, .value = 1,
                 .caption = "Exit"});
    loadingFont = font9By15;
}

// ---- Frames ----------------------------------------------------------------

static void loadingPhaseZero()
{
    resetMessageState();
    hooks.loadFrameAnimation();
    for (int32_t step = 304; step <= 319; ++step) hooks.loadImages9Step(step);
    // First use only for a missing or empty users file; the store ends the
    // program on a users file it cannot read, so nobody's data is replaced.
    if (hooks.usersFileNeedsFirstUse()) {
        loadingState.nextScreen = setupScreenId;
    } else {
        hooks.loadUsersFiles();
        hooks.loadScoreFile();
        loadingState.nextScreen = userManagementScreenId;
    }
    loadingState.phase = 1;
}

static void doStepWork(int32_t step)
{
    switch (loadingStepWork(step)) {
    case LoadingWork::nothing: break;
    case LoadingWork::startTune:
        hooks.startTune();
        showAlert("", "Please wait while I load pictures and sounds", "");
        break;
    case LoadingWork::createSetupControls: hooks.createScreenControls(2); break;
    case LoadingWork::images6PartA: hooks.loadImages6PartA(step); break;
    case LoadingWork::images6PartB: hooks.loadImages6PartB(step); break;
    case LoadingWork::images7: hooks.loadImages7Step(step); break;
    case LoadingWork::soundBank: hooks.loadSoundBankStep(step); break;
    case LoadingWork::finish:
        hooks.stopTune();
        showAlert("", "", "");
        hooks.clearRecordingHead();
        for (int32_t id : finishScreenOrder) hooks.createScreenControls(id);
        break;
    }
}

static const char *const loadingLines[6] = {
    "Loading Images part1 ...", "Loading Images part2 ...", "Loading Images part3 ...",
    "Loading Images part4 ...", "Loading Sounds part  ...", "Initializing Modules ...",
};

static void drawLoadingLines(int32_t step)
{
    const int32_t shown = loadingLinesShown(step);
    for (int32_t i = 0; i < shown; ++i) drawText(loadingFont, loadingLines[i], 130, 580 - 20 * i);
}

static void drawFrameHead(int32_t step)
{
    clearScreenFrame();
    drawFrameAnimation(step / 5);
    setColour(0, 0, 0, 0.5f);
    drawLargeText(loadingFont, "Tarnova ", 130, 680);
    drawTitleRule();
    drawInfoPanel(loadingFont, "Initialisation");
}

static void drawFrameTail(int32_t step)
{
    // In the colour current now: black, or the grey that the message lines
    // set in the frames of steps 1 and 359.
    drawVersionLines(loadingFont);
    drawControlBox(loadingFont, "Exit Program ............");
    drawLoadingControls();
    drawPopupList();
    drawTextCaret();
    drawMessagePanel(1, "Please wait: Initializing");

    setColour(0.5f, 0, 0.3f, 0.9f);
    fillRect(345, 100, 595, 120, -9);
    setColour(1, 0, 0.3f, 0.9f);
    if (step > 0) fillRect(345, 100, progressBarRight(step), 120, -6);

    glFlush();
    glutSwapBuffers();
}

static void displayLoadingScreen()
{
    if (loadingState.phase == 0) {
        loadingPhaseZero(); // nothing is drawn in the first frame
        return;
    }
    if (loadingState.phase == 1) {
        if (templateHasAction(loadingInput)) {
            handleLoadingAction();
            if (hooks.draw) {
                drawLoadingControls();
                glFlush();
                glutSwapBuffers();
            }
            return; // this frame does not count as a step
        }
        const int32_t step = loadingState.step;
        if (hooks.draw) drawFrameHead(step);
        if (step == 359) {
            if (hooks.draw) drawLoadingLines(step);
            doStepWork(step);
        } else {
            doStepWork(step);
            if (hooks.draw) drawLoadingLines(step);
        }
        if (hooks.draw) drawFrameTail(step);
        loadingState.step += 1;
        if (loadingState.step == loadingStepCount) loadingState.phase = 2;
        // While loading every tick comes at once, up to the hand-over.
        freeClockStart = -20000;
        return;
    }
    // The hand-over restarts the grid, which still counts the loading's ticks:
    // the next screen's first frame comes at once, its later ones on the grid.
    currentScreen = loadingState.nextScreen;
    freeClockStart = frameTime;
    freeTickCount = 0;
}

const ScreenHandlers loadingScreenHandlers = {
    .create = createLoadingControls,
    .keyboard = loadingKeyboard,
    .specialKey = loadingSpecialKey,
    .mouse = loadingMouse,
    .motion = loadingMotion,
    .passiveMotion = loadingPassiveMotion,
    .drawControls = drawLoadingControls,
    .handleAction = handleLoadingAction,
    .display = displayLoadingScreen,
};
