// Screens 14, 15 and 16: the lesson information screens.
#include "lessons/lesson_info_screens.h"

#include <AL/al.h>
#include <cmath>

#include "base/shared.h"
#include "base/stops.h"
#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "frame/text.h"
#include "lessons/lesson_info_texts.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "platform/paths.h"
#include "store/users_file.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

InfoScreenState lessonOverviewState;
InfoScreenState exerciseInfoState;
InfoScreenState exerciseSampleState;

namespace {

int32_t infoFont = font9By15;

// ---- Screen 16's sound ----------------------------------------------------------

ALuint sampleBuffers[3];
bool sampleBuffersMade = false;

void detachTeacherSource(int32_t stopNumber)
{
    alGetError();
    alSourcei(soundSources[teacherSource], AL_BUFFER, 0);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopNumber);
}

void makeSampleBuffers()
{
    if (sampleBuffersMade) return;
    alGetError();
    alGenBuffers(3, sampleBuffers);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopSampleBuffers);
    sampleBuffersMade = true;
}

void playLessonSample(const std::string &path)
{
    // A lesson folder without a sample plays nothing and keeps what plays.
    if (!fileExists(resolveDataPath(path))) return;
    makeSampleBuffers();
    stopSource(soundSources[teacherSource]);
    detachTeacherSource(stopSampleDetach);
    if (!loadOggIntoBuffer(path, sampleBuffers[1])) stopProgram(0, stopSampleLoad);
    playBufferOnSource(soundSources[teacherSource], sampleBuffers[1]);
}

void stopLessonSample()
{
    stopSource(soundSources[teacherSource]);
    detachTeacherSource(stopSampleCloseDetach);
}

const ExerciseSampleHooks realSampleHooks = {.playSample = playLessonSample, .stopSample = stopLessonSample};
ExerciseSampleHooks sampleHooks = realSampleHooks;

// ---- Leaving ------------------------------------------------------------------------

bool lessonInTable(int32_t L) { return L >= 1 && L <= 557; }

void finishLeaving(InfoScreenState &st, ControlRecord &button)
{
    finishButtonAction(button);
    setKeyboardFocus(nullptr);
    st.phase = 0;
}

void lessonOverviewAction(int32_t code)
{
    InfoScreenState &st = lessonOverviewState;
    const int32_t L = currentLesson;
    if (code == infoStartAction) {
        finishLeaving(st, st.startButton);
        if (L == 1 || L == 557) currentScreen = lessonScreenFor(L);
        else openLessonOptions();
    } else if (code == infoChangeLessonAction) {
        finishLeaving(st, st.changeButton);
        if (L != 1 && lessonInTable(L)) setUpExerciseOptions();
        currentScreen = lessonMenuScreenId;
    }
    promptLine.clear();
}

void exerciseInfoAction(int32_t code)
{
    InfoScreenState &st = exerciseInfoState;
    if (code != infoStartAction) return;
    const int32_t L = currentLesson;
    finishLeaving(st, st.startButton);
    if (lessonInTable(L)) currentScreen = lessonScreenFor(L);
    else openLessonOptions();
    promptLine.clear();
}

void exerciseSampleAction(int32_t code)
{
    InfoScreenState &st = exerciseSampleState;
    if (code != infoStartAction) return;
    const int32_t L = currentLesson;
    finishLeaving(st, st.startButton);
    st.frameCounter = 0;
    if (L == 1 || L == 2) currentScreen = lessonScreenFor(L);
    else openLessonOptions();
    if (sampleHooks.stopSample) sampleHooks.stopSample();
    promptLine.clear();
}

// ---- Input ------------------------------------------------------------------------------

TemplateControl overviewControls[] = {
    {&lessonOverviewState.startButton, 0, 0, infoStartAction, 0, "Release Button to start lesson",
     "Click to start the lesson", infoStartAction},
    {&lessonOverviewState.changeButton, 0, 0, infoChangeLessonAction, 0,
     "Release Button to return to the lesson select menu", "Click to return to the lesson select menu", 0},
};
TemplateControl infoControls[] = {
    {&exerciseInfoState.startButton, 0, 0, infoStartAction, 0, "Release Button to return to the exercise choices",
     "Click to return to the exercise choices", infoStartAction},
};
TemplateControl sampleControls[] = {
    {&exerciseSampleState.startButton, 0, 0, infoStartAction, 0, "Release Button to return to exercise choices",
     "Click to return to exercise choices", infoStartAction},
};

const ScreenInput overviewInput = {
    .controls = overviewControls,
    .controlCount = 2,
    .pending = &lessonOverviewState.pendingAction,
    .deferred = &lessonOverviewState.deferredAction,
    .phase = &lessonOverviewState.phase,
    .runningPhase = 1,
    .frameCounter = &lessonOverviewState.frameCounter,
    .keyHelp = {"Click \"Quit\" or hit <Return>", "to return", ""},
    .returnHelp = {"Click \"Quit\"", "to return", ""},
    .action = lessonOverviewAction,
};
const ScreenInput infoInput = {
    .controls = infoControls,
    .controlCount = 1,
    .pending = &exerciseInfoState.pendingAction,
    .deferred = &exerciseInfoState.deferredAction,
    .phase = &exerciseInfoState.phase,
    .runningPhase = 1,
    .frameCounter = &exerciseInfoState.frameCounter,
    .keyHelp = {"Click \"Quit\" or hit <Return>", "", ""},
    .returnHelp = {"Click \"Quit\" to return", "", ""},
    .action = exerciseInfoAction,
};
const ScreenInput sampleInput = {
    .controls = sampleControls,
    .controlCount = 1,
    .pending = &exerciseSampleState.pendingAction,
    .deferred = &exerciseSampleState.deferredAction,
    .phase = &exerciseSampleState.phase,
    .runningPhase = 1,
    .frameCounter = &exerciseSampleState.frameCounter,
    .keyHelp = {"Click \"Quit\" or hit <Return>", "to return", ""},
    .returnHelp = {"Click \"Quit\" to return", "", ""},
    .action = exerciseSampleAction,
};

// ---- Drawing --------------------------------------------------------------------------

void drawInfoFrame(InfoScreenState &st, bool overview, int32_t icon, const char *status,
                   const std::vector<InfoLine> &lines)
{
    clearScreenFrame();
    drawFrameAnimation(st.frameCounter / 5);
    setColour(0, 0, 0, 0.4f);
    if (overview) {
        drawText(infoFont, "Lesson Overview ", 20, 702);
        setColour(0.5f, 0.5f, 0.1f, 0.4f);
        drawLine(15, 697, 1100, 697, -11);
        setColour(0, 0, 0, 0.4f);
    }
    drawText(infoFont, "User:", 130, 620);
    drawText(infoFont, currentUserName, 190, 620);
    drawText(infoFont, "Tessitura:", 330, 620);
    drawText(infoFont, tessituraName(currentUserTessitura), 430, 620);
    drawText(infoFont, "Lesson:", 130, 590);
    drawText(infoFont, infoLessonTitle(currentLesson), 196, 590);
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 585, 980, 585, -6);
    setColour(1, 1, 1, 0.5f);
    fillRect(90, overview ? 240 : 310, overview ? 980 : 910, 560, -11);
    setColour(0, 0, 0, 0.5f);
    for (const InfoLine &line : lines) drawText(infoFont, line.text, 130, line.y);
    if (overview) {
        drawControlBox(infoFont, "Close Info box and start lesson ..");
        drawText(infoFont, "Choose new lesson ................", 350, 136);
        drawControl(&st.startButton);
        drawControl(&st.changeButton);
    } else {
        setColour(0, 0, 0, 0.4f);
        drawText(infoFont, "start lesson", 130, 290);
        drawControl(&st.startButton);
    }
    finishScreenFrame(icon, status);
}

// ---- The three screens ------------------------------------------------------------------

void enterInfoScreen(InfoScreenState &st)
{
    alertKind = 0;
    hintLine.clear();
    promptLine.clear();
    clearAlertLines();
    setKeyboardFocus(&st.startButton);
    st.phase = 1;
}

void createLessonOverviewControls()
{
    InfoScreenState &st = lessonOverviewState;
    st.phase = 0;
    initControl(&st.startButton,
                {.kind = kindPushButton, .left = 660, .right = 780, .bottom = 158, .top = 176, .value = 1,
                 .caption = "Start"});
    initControl(&st.changeButton,
                {.kind = kindPushButton, .left = 660, .right = 780, .bottom = 138, .top = 156, .value = 1,
                 .caption = "ChangeLesson"});
    infoFont = font9By15;
}
void createExerciseInfoControls()
{
    exerciseInfoState.phase = 0;
    initControl(&exerciseInfoState.startButton,
                {.kind = kindPushButton, .left = 130, .right = 193, .bottom = 270, .top = 288, .value = 1,
                 .caption = "Close"});
    infoFont = font9By15;
}
void createExerciseSampleControls()
{
    exerciseSampleState.phase = 0;
    initControl(&exerciseSampleState.startButton,
                {.kind = kindPushButton, .left = 130, .right = 193, .bottom = 270, .top = 288, .value = 1,
                 .caption = "Close"});
    infoFont = font9By15;
}

#define INFO_INPUT(name, input)                                                                              \
    void name##Keyboard(unsigned char key, int x, int y) { templateKeyboard(input, key, x, y); }          \
    void name##SpecialKey(int key, int x, int y) { templateSpecialKey(input, key, x, y); }                \
    void name##Mouse(int button, int state, int x, int y) { templateMouse(input, button, state, x, y); }  \
    void name##Motion(int x, int y) { templateMotion(input, x, y); }                                      \
    void name##PassiveMotion(int x, int y) { templatePassiveMotion(input, x, y); }                        \
    void handle##name##Action() { templateHandleAction(input); }

INFO_INPUT(lessonOverview, overviewInput)
INFO_INPUT(exerciseInfo, infoInput)
INFO_INPUT(exerciseSample, sampleInput)

void enterLessonOverview() { enterInfoScreen(lessonOverviewState); }
void enterExerciseInfo() { enterInfoScreen(exerciseInfoState); }
void enterExerciseSample()
{
    exerciseSampleState.frameCounter = 0;
    enterInfoScreen(exerciseSampleState);
}

constexpr int32_t overviewPeriod = 190;
constexpr int32_t exerciseInfoPeriod = 112;

// Screen 16 repeats its sample: the frames of one sample and the pause after
// it, rounded up (the counter wraps once it reaches the exact figure).
int32_t samplePeriod() { return static_cast<int32_t>(std::ceil(sampleRepeatFrames(currentLesson))); }

// The sample starts on the first frame of each period, with or without a
// window.
void playSampleAtPeriodStart()
{
    if (exerciseSampleState.frameCounter == 0 && currentScreen == exerciseSampleScreenId && sampleHooks.playSample)
        sampleHooks.playSample(resourceDir + infoLessonTitle(currentLesson) + "/SampleSound.ogg");
}

void displayLessonOverviewScreen()
{
    InfoScreenState &st = lessonOverviewState;
    if (!beginScreenFrame(overviewInput, enterLessonOverview, handlelessonOverviewAction, st.frameCounter,
                          overviewPeriod))
        return;
    drawInfoFrame(st, true, 3, "Read the Introduction to the lesson", lessonOverviewLines(currentLesson));
    endScreenFrame(st.frameCounter, overviewPeriod);
}

void displayExerciseInfoScreen()
{
    InfoScreenState &st = exerciseInfoState;
    if (!beginScreenFrame(infoInput, enterExerciseInfo, handleexerciseInfoAction, st.frameCounter,
                          exerciseInfoPeriod))
        return;
    drawInfoFrame(st, false, 3, "Info about Song/Exercise", exerciseInfoLines(currentLesson));
    endScreenFrame(st.frameCounter, exerciseInfoPeriod);
}

void displayExerciseSampleScreen()
{
    InfoScreenState &st = exerciseSampleState;
    const int32_t period = samplePeriod();
    if (!beginScreenFrame(sampleInput, enterExerciseSample, handleexerciseSampleAction, st.frameCounter, period,
                          playSampleAtPeriodStart))
        return;
    drawInfoFrame(st, false, 3, "Listen to Song/Exercisesample", exerciseSampleLines(currentLesson));
    endScreenFrame(st.frameCounter, period);
}

void drawLessonOverviewControls() { templateDrawControls(overviewInput); }
void drawExerciseInfoControls() { templateDrawControls(infoInput); }
void drawExerciseSampleControls() { templateDrawControls(sampleInput); }

} // namespace

const ExerciseSampleHooks &realExerciseSampleHooks() { return realSampleHooks; }
void setExerciseSampleHooks(const ExerciseSampleHooks &hooks) { sampleHooks = hooks; }

const ScreenHandlers lessonOverviewScreenHandlers = {
    .create = createLessonOverviewControls,
    .keyboard = lessonOverviewKeyboard,
    .specialKey = lessonOverviewSpecialKey,
    .mouse = lessonOverviewMouse,
    .motion = lessonOverviewMotion,
    .passiveMotion = lessonOverviewPassiveMotion,
    .drawControls = drawLessonOverviewControls,
    .handleAction = handlelessonOverviewAction,
    .display = displayLessonOverviewScreen,
};
const ScreenHandlers exerciseInfoScreenHandlers = {
    .create = createExerciseInfoControls,
    .keyboard = exerciseInfoKeyboard,
    .specialKey = exerciseInfoSpecialKey,
    .mouse = exerciseInfoMouse,
    .motion = exerciseInfoMotion,
    .passiveMotion = exerciseInfoPassiveMotion,
    .drawControls = drawExerciseInfoControls,
    .handleAction = handleexerciseInfoAction,
    .display = displayExerciseInfoScreen,
};
const ScreenHandlers exerciseSampleScreenHandlers = {
    .create = createExerciseSampleControls,
    .keyboard = exerciseSampleKeyboard,
    .specialKey = exerciseSampleSpecialKey,
    .mouse = exerciseSampleMouse,
    .motion = exerciseSampleMotion,
    .passiveMotion = exerciseSamplePassiveMotion,
    .drawControls = drawExerciseSampleControls,
    .handleAction = handleexerciseSampleAction,
    .display = displayExerciseSampleScreen,
};
