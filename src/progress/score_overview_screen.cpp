// Screen 576: the score overview.
#include "progress/score_overview_screen.h"


#include <GL/gl.h>

#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "frame/text.h"
#include "lessons/lesson_params.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "progress/results_drawing.h"
#include "progress/results_logic.h"
#include "store/score_file.h"
#include "store/users_file.h"
#include "replay/replay_options_screen.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

ScoreOverviewState scoreOverviewState;

static int32_t scoreOverviewFont = font9By15;

constexpr int32_t replayAction = 25;
constexpr int32_t exitAction = 26;
constexpr int32_t changeLessonAction = 27;
constexpr int32_t repeatLessonAction = 28;

static void stopTeacher()
{
    if (soundSources[teacherSource] != 0) stopSource(soundSources[teacherSource]);
}

// When the options are prepared: ChangeLesson before the focus is removed,
// RepeatLesson right before the lesson loader takes over (its entry).
enum class OptionsSetUp { none, beforeFocus, last };

static void leave(ControlRecord &button, int32_t screen, OptionsSetUp options)
{
    button.value = button.value == 0 ? 1 : 0;
    stopTeacher();
    button.state = stateIdle;
    if (options == OptionsSetUp::beforeFocus) setUpExerciseOptions();
    setKeyboardFocus(nullptr);
    scoreOverviewState.phase = 0;
    if (options == OptionsSetUp::last) lessonLoaderScreenHandlers.enter();
    currentScreen = screen;
    promptLine.clear();
}

static void scoreOverviewAction(int32_t code)
{
    switch (code) {
    case exitAction: leave(scoreOverviewState.exitButton, quitScreenId, OptionsSetUp::none); break;
    case changeLessonAction: leave(scoreOverviewState.changeButton, lessonMenuScreenId, OptionsSetUp::beforeFocus); break;
    case repeatLessonAction: leave(scoreOverviewState.repeatButton, lessonLoaderScreenId, OptionsSetUp::last); break;
    case replayAction:
        if (!scoreOverviewState.replayShown) break; // Replay is not offered for this lesson
        scoreOverviewState.replayButton.value = scoreOverviewState.replayButton.value == 0 ? 1 : 0;
        stopTeacher();
        scoreOverviewState.replayButton.state = stateIdle;
        replayOptionsScreenHandlers.enter();
        setKeyboardFocus(nullptr);
        scoreOverviewState.phase = 0;
        currentScreen = replayOptionsScreenId;
        promptLine.clear();
        break;
    default: break;
    }
}

static TemplateControl scoreOverviewControls[] = {
    {&scoreOverviewState.exitButton, 0, 0, exitAction, 0, "Release Button to continue with replay",
     "Click to to continue with replay", 0},
    {&scoreOverviewState.changeButton, 0, 0, changeLessonAction, 0, "Release Button to go to the lesson select menu",
     "Click to go to the lesson select menu", changeLessonAction},
    {&scoreOverviewState.repeatButton, 0, 0, repeatLessonAction, 0, "Release Button to repeat lesson",
     "Click to go to repeat the lesson", repeatLessonAction},
    {&scoreOverviewState.replayButton, 0, 0, replayAction, 0, "Release Button to replay the exercise",
     "Click to replay the exercise", replayAction},
};

// Replay is the last control: while it is not offered, the mouse and the
// pointer reach the first three only.
static ScreenInput scoreOverviewInput = {
    .controls = scoreOverviewControls,
    .controlCount = 4,
    .pending = &scoreOverviewState.pendingAction,
    .deferred = &scoreOverviewState.deferredAction,
    .phase = &scoreOverviewState.phase,
    .runningPhase = 1,
    .frameCounter = &scoreOverviewState.frameCounter,
    .keyHelp = {"Click \"Quit\" or hit <Return>", "to return to the lessons choice menu", nullptr},
    .returnHelp = {"Click \"Quit\"", "to return to the lessons choice menu", nullptr},
    .action = scoreOverviewAction,
};

static void createScoreOverviewControls()
{
    scoreOverviewState.phase = 0;
    initControl(&scoreOverviewState.exitButton,
                {.kind = kindPushButton, .left = 650, .right = 770, .bottom = 226, .top = 244, .value = 1,
                 .caption = "Exit"});
    initControl(&scoreOverviewState.changeButton,
                {.kind = kindPushButton, .left = 650, .right = 770, .bottom = 204, .top = 222, .value = 1,
                 .caption = "ChangeLesson"});
    initControl(&scoreOverviewState.repeatButton,
                {.kind = kindPushButton, .left = 785, .right = 905, .bottom = 204, .top = 222, .value = 1,
                 .caption = "RepeatLesson"});
    // The way into the replay, right of "Exit".
    initControl(&scoreOverviewState.replayButton,
                {.kind = kindPushButton, .left = 785, .right = 905, .bottom = 226, .top = 244, .value = 1,
                 .caption = "Replay"});
    scoreOverviewFont = font9By15;
}

static void scoreOverviewKeyboard(unsigned char key, int x, int y) { templateKeyboard(scoreOverviewInput, key, x, y); }
static void scoreOverviewSpecialKey(int key, int x, int y) { templateSpecialKey(scoreOverviewInput, key, x, y); }
static void scoreOverviewMouse(int button, int state, int x, int y)
{
    templateMouse(scoreOverviewInput, button, state, x, y);
}
static void scoreOverviewMotion(int x, int y) { templateMotion(scoreOverviewInput, x, y); }
static void scoreOverviewPassiveMotion(int x, int y) { templatePassiveMotion(scoreOverviewInput, x, y); }

static void drawScoreOverviewControls()
{
    drawControl(&scoreOverviewState.exitButton);
    drawControl(&scoreOverviewState.changeButton);
    drawControl(&scoreOverviewState.repeatButton);
    if (scoreOverviewState.replayShown) drawControl(&scoreOverviewState.replayButton);
}

static void handleScoreOverviewAction() { templateHandleAction(scoreOverviewInput); }

static void enterScoreOverviewScreen()
{
    clearScreenMessages();
    scoreOverviewState.rating = recordFinishedLesson();
    scoreOverviewState.replayShown = replayOffered(exerciseType, lastRecordingKind);
    scoreOverviewInput.controlCount = scoreOverviewState.replayShown ? 4 : 3;
    scoreOverviewState.phase = 1;
    scoreOverviewState.frameCounter = 0;
    setKeyboardFocus(&scoreOverviewState.changeButton);
}

static void displayScoreOverviewScreen()
{
    if (!beginScreenFrame(scoreOverviewInput, enterScoreOverviewScreen, handleScoreOverviewAction, scoreOverviewState.frameCounter, 19000)) return;

    const int32_t lesson = currentLesson;
    const bool known = lesson >= firstParamsLesson && lesson <= lastParamsLesson;
    const char *title = lesson >= 0 && lesson <= 557 ? lessonTitleTable[lesson] : "";

    clearScreenFrame();
    setColour(0, 0, 0, 0.4f);
    drawText(scoreOverviewFont, std::string("Exercise Title: ") + title, 30, 650);
    drawText(scoreOverviewFont, exerciseTypeTitle(exerciseType), 470, 650);
    int32_t rating = 0;
    ratingForScore(exerciseScore(exerciseType), lesson, rating);
    drawFrameAnimation((scoreOverviewState.frameCounter % 190) / 5);

    setColour(0, 0, 0, 0.4f);
    drawText(scoreOverviewFont, "User:", 30, 630);
    drawText(scoreOverviewFont, currentUserName, 90, 630);
    drawText(scoreOverviewFont, "Tessitura:", 470, 630);
    drawText(scoreOverviewFont, tessituraName(currentUserTessitura), 605, 630);
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 623, 930, 623, -6);

    drawLabelledPanel(scoreOverviewFont, "Score Overview: ", 30, 587, 25, 532, 912, 580);
    drawText(scoreOverviewFont, "Lesson:", 30, 560);
    drawText(scoreOverviewFont, title, 30, 540);
    drawText(scoreOverviewFont, "PersonalScore", 300, 560);
    drawText(scoreOverviewFont, "Tessit.", 430, 560);
    drawText(scoreOverviewFont, "HighScore ", 530, 560);
    drawText(scoreOverviewFont, "Tessit. ", 620, 560);
    drawText(scoreOverviewFont, "Who: ", 710, 560);

    int32_t tessitura = 0, personalRating = 0;
    const int32_t personal = getUserScoreRating(lesson, currentUserKey, tessitura, personalRating);
    drawText(scoreOverviewFont, std::to_string(personal), 300, 540);
    drawText(scoreOverviewFont, tessituraName(tessitura), 430, 540);

    int32_t holder = 0, holderTessitura = 0, bestRating = 0;
    std::string holderName;
    const int32_t best = getLessonBest(lesson, holder, holderTessitura, bestRating, holderName);
    drawText(scoreOverviewFont, std::to_string(best), 530, 540);
    drawText(scoreOverviewFont, tessituraName(holderTessitura), 620, 540);
    if (holder != currentUserKey) ratingColour(bestRating);
    drawText(scoreOverviewFont, holderName, 710, 540);
    setColour(0, 0, 0, 0.4f);

    int32_t notes = 0;
    if (known) {
        const LessonParams &p = lessonParamsTable[lesson];
        notes = p.noteCount;
        setColour(0.1f, 0.5f, 0.1f, 0.4f);
        drawText(scoreOverviewFont, requirementLine(p), 30, 495);
    }
    ratingColour(rating);
    drawFrameRect(25, 305, 912, 488, -6);
    LessonBlock block = emptyLessonBlock();
    if (known) getUserLessonBlock(currentUserKey, lesson - 2, block);
    drawNoteResultTable(block, notes);

    drawLabelledPanel(scoreOverviewFont, "Control:", 470, 257, 405, 202, 912, 250);
    drawText(scoreOverviewFont, "Exit Program ....", 410, 230);
    drawText(scoreOverviewFont, "Choose new Lesson  ......", 410, 208);
    drawScoreOverviewControls();
    finishScreenFrame(11, "Check Your Progress");

    endScreenFrame(scoreOverviewState.frameCounter, 19000);
}

const ScreenHandlers scoreOverviewScreenHandlers = {
    .create = createScoreOverviewControls,
    .keyboard = scoreOverviewKeyboard,
    .specialKey = scoreOverviewSpecialKey,
    .mouse = scoreOverviewMouse,
    .motion = scoreOverviewMotion,
    .passiveMotion = scoreOverviewPassiveMotion,
    .drawControls = drawScoreOverviewControls,
    .handleAction = handleScoreOverviewAction,
    .display = displayScoreOverviewScreen,
};
