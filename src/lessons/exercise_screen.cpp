#include "lessons/exercise_screen.h"

#include <AL/al.h>
#include <GL/freeglut.h>
#include <algorithm>
#include <cstring>

#include "frame/capture.h"
#include "frame/control_drawing.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "base/stops.h"
#include "frame/timer.h"
#include "lessons/exercise_drawing.h"
#include "lessons/exercise_parts.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "lessons/options_screen.h"
#include "lessons/replay_link.h"
#include "platform/paths.h"
#include "store/user_actions.h"
#include "store/users_file.h"
#include "store/recording_file.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

ExerciseScreenState exerciseScreen;


namespace {

ExerciseScreenState &s = exerciseScreen;

// ---- Input ----------------------------------------------------------------

TemplateControl exerciseControls[] = {
    {&exerciseScreen.quitControl, 0, 0, exerciseQuitAction, 0,
     "Release Button to return to the lessons choice menu", "Click to return to the lessons choice menu",
     exerciseQuitAction},
};

const int32_t alwaysRunning = 1;

void exerciseOwnAction(int32_t code)
{
    if (code == exerciseQuitAction) quitExercise();
}

ScreenInput exerciseInput = {
    .controls = exerciseControls,
    .controlCount = 1,
    .pending = &exerciseScreen.pendingAction,
    .deferred = &exerciseScreen.deferredAction,
    .phase = &alwaysRunning,
    .runningPhase = alwaysRunning,
    .frameCounter = &exerciseRun.progressStep,
    .keyHelp = {"Click \"Quit\" to return", "to the lessons choice menu", ""},
    .returnHelp = {"Click \"Quit\" to return", "to the lessons choice menu", ""},
    .action = exerciseOwnAction,
};

// Mouse and motion are ignored in waitInitialisation and prepareExercise;
// keys only count from prepareExercise on.
bool mouseIgnored()
{
    const int32_t p = exerciseRun.lessonProgress;
    return p >= 1 && p <= 3;
}
bool keysIgnored()
{
    const int32_t p = exerciseRun.lessonProgress;
    return p < 2 || p > 15;
}

void createExerciseControls()
{
    setExerciseHooks(realExerciseHooks());
    resetExerciseRun();
    initControl(&s.quitControl,
                {.kind = kindPushButton, .left = 810, .right = 859, .bottom = 28, .top = 46, .value = 1,
                 .caption = "Quit"});
    lessonScreenFont = 2;
}

void exerciseKeyboard(unsigned char key, int x, int y)
{
    if (keysIgnored()) return;
    templateKeyboard(exerciseInput, key, x, y);
}

void exerciseSpecialKey(int key, int x, int y) {}

void exerciseMouse(int button, int state, int x, int y)
{
    if (mouseIgnored()) return;
    const bool answering = exerciseRun.lessonProgress == progressGetExerciseAnswer;
    const bool dismissing = alertShown() && state == 1;
    templateMouse(exerciseInput, button, state, x, y);
    // While the answer runs the Quit control keeps the keyboard focus.
    if (dismissing && answering) setKeyboardFocus(&s.quitControl);
}

void exerciseMotion(int x, int y)
{
    if (!mouseIgnored()) templateMotion(exerciseInput, x, y);
}

void exercisePassiveMotion(int x, int y)
{
    if (!mouseIgnored()) templatePassiveMotion(exerciseInput, x, y);
}

void drawExerciseQuitButton() { drawControl(&s.quitControl); }

void handleExerciseAction() { templateHandleAction(exerciseInput); }

// The values the run takes from the loaded lesson, the user and the options:
// read here and nowhere else, at the first frame of each lesson.
void takeLessonInputs()
{
    ExerciseLessonInputs in;
    in.lesson = currentLesson;
    in.userKey = currentUserKey;
    in.showScope = showScope != 0;
    const ExercisePart &first = exerciseParts[0];
    in.firstPart[0] = first.firstNote;
    in.firstPart[1] = first.lastNote;
    in.firstPart[2] = first.refNote;
    in.firstPart[3] = first.startNote;
    setExerciseLessonInputs(in);
}

void displayExerciseScreen()
{
    if (exerciseRun.lessonProgress == progressPreparation && exerciseRun.progressStep == 0)
        takeLessonInputs();
    runExerciseFrame();
}

// ---- Real hooks -------------------------------------------------------------

ALuint exerciseSoundBuffers[2];
bool exerciseSoundsLoaded = false;

ALuint source(int32_t id) { return soundSources[id]; }

void loadTeacherSounds()
{
    // Made at a lesson start, deleted when the screen is left.
    if (exerciseSoundsLoaded) return;
    alGetError();
    alGenBuffers(2, exerciseSoundBuffers);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopExerciseBuffers);
    const std::string files[2] = {soundsDir + "BrimbleDingDong.ogg", soundsDir + "BrimbleWhiteNoise.ogg"};
    for (int i = 0; i < 2; ++i) {
        // A missing cue is this screen's stop; a damaged one the decoder's.
        if (!fileExists(resolveDataPath(files[i]))) stopProgram(0, stopExerciseSoundFile);
        if (!loadOggIntoBuffer(files[i], exerciseSoundBuffers[i])) stopProgram(0, stopExerciseSoundFile);
    }
    exerciseSoundsLoaded = true;
}

// Every way out of the screen: its pictures and teacher sounds go.
void releaseExerciseResources()
{
    freeExercisePictures();
    if (!exerciseSoundsLoaded) return;
    stopSource(source(teacherSource));
    alGetError();
    alSourcei(source(teacherSource), AL_BUFFER, 0);
    alDeleteBuffers(2, exerciseSoundBuffers);
    alGetError(); // a failed delete only keeps the two small buffers
    exerciseSoundsLoaded = false;
}

void stopMusic(int32_t stopNumber)
{
    alGetError();
    alSourceStop(source(musicSource));
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopNumber);
}

void detachMusic(int32_t stopNumber)
{
    alGetError();
    alSourcei(source(musicSource), AL_BUFFER, 0);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopNumber);
}


const ExerciseHooks realHooks = {
    .draw = drawExerciseFrame,
    .actionQueued = [] { return templateHasAction(exerciseInput); },
    .runAction = handleExerciseAction,
    .elapsedMs = [] { return static_cast<int32_t>(glutGet(GLUT_ELAPSED_TIME)); },
    .timerDelay = [] { return nextTimerDelay; },
    .startCapture = startCapture,
    .stopCapture = stopCapture,
    .captureRunning = [] { return captureRunning != 0; },
    .readBlock = readCaptureBlockOrRest,
    .captureFellBehind = captureFellBehind,
    .loadTeacherSounds = loadTeacherSounds,
    .playDingDong = [] { playBufferOnSource(source(teacherSource), exerciseSoundBuffers[0]); },
    .playWhiteNoise = [] { playBufferOnSource(source(teacherSource), exerciseSoundBuffers[1]); },
    .stopTeacherSource = [] { stopSource(source(teacherSource)); },
    .stopMusicSource = stopMusic,
    .stopClickSource = [] { stopSource(source(clickSource)); },
    .detachMusicSource = detachMusic,
    .loadPicturePack = loadExercisePicturePack,
    .releaseResources = releaseExerciseResources,
    .focusQuit = [](bool on) { setKeyboardFocus(on ? &exerciseScreen.quitControl : nullptr); },
    .highestPassedLesson = getHighestPassedLesson,
    .readLessonBlock = getUserLessonBlock,
    .userCurrentLesson = getUserCurrentLesson,
    // The frame that ends the lesson hands the disk work to the store's
    // writer thread: the screens after it read the results from memory.
    .storeLessonEnd =
        [](int32_t key, int32_t lesson, const LessonBlock &results, bool passed) {
            return storeLessonResult(key, lesson, results, passed, StoreCommit::inBackground);
        },
    .setUpExerciseOptions = [] { setUpExerciseOptions(); },
    .resetReplayPlayPosition = resetReplayPosition,
    // The last test recording goes to the replay's raw file, written on the
    // store's writer thread after the lesson's results; a failure only costs
    // the replay (its options screen says the recording is missing).
    .handRecordingToReplay =
        [] { saveReplayRecordingInBackground(exerciseRun.captureWritePos, RecordingKind::oneAnswer); },
};

} // namespace

const ExerciseHooks &realExerciseHooks() { return realHooks; }

void startExerciseScreen()
{
    shortenedTick = 0;
    setKeyboardFocus(nullptr);
    enterOptionsScreenAtEntry();
    if (currentLesson < 2 || currentLesson > 557) stopProgram(0, stopExerciseScreenLesson);
    currentScreen = lessonScreenFor(currentLesson);
}

const ScreenHandlers exerciseScreenHandlers = {
    .create = createExerciseControls,
    .keyboard = exerciseKeyboard,
    .specialKey = exerciseSpecialKey,
    .mouse = exerciseMouse,
    .motion = exerciseMotion,
    .passiveMotion = exercisePassiveMotion,
    .drawControls = drawExerciseQuitButton,
    .handleAction = handleExerciseAction,
    .display = displayExerciseScreen,
};
