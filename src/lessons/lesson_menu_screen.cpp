// Screen 6: the lesson menu.
#include "lessons/lesson_menu_screen.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/shared.h"
#include "frame/capture.h"
#include "frame/control_drawing.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/text.h"
#include "frame/texture_pack.h"
#include "frame/timer.h"
#include "lessons/picture_sets.h"
#include "lessons/lesson_menu_alert.h"
#include "lessons/lesson_menu_panels.h"
#include "lessons/lesson_one_screen.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_params.h"
#include "lessons/lesson_state.h"
#include "store/user_actions.h"
#include "store/users_file.h"

LessonMenuState lessonMenuState;
LessonMenuHooks lessonMenuHooks;

static int32_t lessonMenuFont = font9By15;
static std::array<std::string, chartRows> noteColumn;

// Action codes.
constexpr int32_t firstRowAction = 10; // .. 17: list rows 1..8
constexpr int32_t statisticsAction = 26;
constexpr int32_t timeLineGraphAction = 27;
constexpr int32_t timeLineNumbersAction = 28;
constexpr int32_t previousPageAction = 30;
constexpr int32_t nextPageAction = 31;
constexpr int32_t prevLessonAction = 32;
constexpr int32_t nextLessonAction = 33;
constexpr int32_t startLessonAction = 34;
constexpr int32_t exitAction = 36;
constexpr int32_t changeUserAction = 37;

constexpr int32_t runningPhase = 2;
constexpr int32_t framePeriod = 190;

// ---- The lesson values the menu keeps ----------------------------------------

static int32_t shownWithinLessons(int32_t lesson) { return std::clamp(lesson, 1, lastParamsLesson); }

int32_t lessonMenuRowLesson(int32_t row)
{
    // Pages run to 70; past lesson 556 a row repeats the last lesson.
    return std::min((lessonMenuState.listPage - 1) * lessonMenuListRows + 1 + row, lastParamsLesson);
}

void enterLessonMenu()
{
    const int32_t saved = shownWithinLessons(getUserCurrentLesson(currentUserKey));
    lessonMenuState.listPage = (saved - 1) / lessonMenuListRows + 1;
    shownLesson = saved;
    lessonMenuState.highestDoableLesson = getHighestPassedLesson(currentUserKey);
    currentLesson = 0;
    lessonMenuState.phase = 0;
    lessonMenuFont = font9By15;
}

static bool startLessonClickable() { return shownLesson <= lessonMenuState.highestDoableLesson + 1; }

// The menu's gate, for the mouse and the keys alike: a lesson beyond the
// first one not passed yet (lesson 2, the note choice, until it is passed)
// starts that one instead.
static int32_t gatedLesson(int32_t lesson)
{
    return lesson > lessonMenuState.highestDoableLesson + 1 ? lessonMenuState.highestDoableLesson + 1 : lesson;
}

// ---- Input -------------------------------------------------------------------

// The controls the mouse and the pointer reach, rebuilt by every set-up (what
// is drawn and what Start Lesson accepts change only there): list row 3
// (hover only), then the buttons drawn, in their test order.
static TemplateControl activeControls[10];

static void lessonMenuAction(int32_t code);
static bool lessonMenuOwnKey(unsigned char key);
static void lessonMenuOwnSpecialKey(int32_t key);

static ScreenInput lessonMenuInput = {
    .controls = activeControls,
    .controlCount = 0,
    .pending = &lessonMenuState.pendingAction,
    .deferred = &lessonMenuState.deferredAction,
    .phase = &lessonMenuState.phase,
    .runningPhase = runningPhase,
    .frameCounter = &lessonMenuState.frameCounter,
    .keyHelp = {"Click a lesson or hit <Return>", "to start the lesson", "or \"Quit\" to return"},
    .returnHelp = {"Click a leeson", "to start the lesson", "or \"Quit\" to return"},
    .ownKey = lessonMenuOwnKey,
    .ownSpecialKey = lessonMenuOwnSpecialKey,
    .action = lessonMenuAction,
};

static void collectActiveControls()
{
    LessonMenuState &s = lessonMenuState;
    int n = 0;
    auto add = [&](ControlRecord *c, int32_t code, const char *release, const char *click) {
        activeControls[n++] = {c, 0, 0, code, 0, release, click, 0};
    };
    if (s.listStart + 2 <= lastParamsLesson) add(&s.listRows[2], 0, nullptr, "Click to select lesson");
    add(&s.statisticsButton, statisticsAction, "Release Button to display statistics", "Click to display statistics");
    add(&s.graphButton, timeLineGraphAction, "Release Button to display TimeLineGraph",
        "Click to display TimeLineGraph");
    add(&s.numbersButton, timeLineNumbersAction, "Release Button to display TimeLineNumbers",
        "Click to display TimeLineNumbers");
    if (shownLesson > 1)
        add(&s.prevButton, prevLessonAction, "Release Button to select previous lessons",
            "Click to select previous lessons");
    if (shownLesson < lastParamsLesson)
        add(&s.nextButton, nextLessonAction, "Release Button to select further lessons",
            "Click to select further lessons");
    if (startLessonClickable())
        add(&s.startButton, startLessonAction, "Release Button to select further lessons",
            "Click to select further lessons");
    add(&s.exitButton, exitAction, "Release Button to exit the program", "Click to ext program");
    add(&s.changeUserButton, changeUserAction, "Release Button to select another User",
        "Click to return to the User selection dialog");
    lessonMenuInput.controlCount = n;
}

// The action Return posts on the control with the keyboard focus; 0 none.
static int32_t returnActionOfFocus()
{
    LessonMenuState &s = lessonMenuState;
    for (int32_t r = 0; r < lessonMenuListRows; ++r)
        if (keyboardFocus == &s.listRows[r]) return firstRowAction + r;
    if (keyboardFocus == &s.previousPageButton) return previousPageAction;
    if (keyboardFocus == &s.nextPageButton) return nextPageAction;
    if (keyboardFocus == &s.prevButton) return prevLessonAction;
    if (keyboardFocus == &s.nextButton) return nextLessonAction;
    if (keyboardFocus == &s.startButton) return startLessonAction;
    return 0;
}

static bool lessonMenuOwnKey(unsigned char key)
{
    if (key != keyReturn) return false;
    const int32_t code = returnActionOfFocus();
    if (code == 0) return false; // the template shows the Return help
    lessonMenuState.pendingAction = code;
    if (lessonMenuState.deferredAction == 0) lessonMenuState.deferredAction = code;
    return true;
}

static int32_t focusedRow()
{
    for (int32_t r = 0; r < lessonMenuListRows; ++r)
        if (keyboardFocus == &lessonMenuState.listRows[r]) return r;
    return -1;
}

static void lessonMenuOwnSpecialKey(int32_t key)
{
    LessonMenuState &s = lessonMenuState;
    if (key != keyUp && key != keyDown) return;
    const int32_t row = focusedRow();
    const bool onPageButton = keyboardFocus == &s.previousPageButton || keyboardFocus == &s.nextPageButton;
    ControlRecord *to;
    if (key == keyUp) {
        if (row == 0) to = s.listPage > 1 ? &s.previousPageButton : &s.nextPageButton;
        else if (row > 0) to = &s.listRows[row - 1];
        else if (onPageButton) to = &s.listRows[lessonMenuListRows - 1];
        else to = &s.listRows[0];
    } else {
        if (row >= 0 && row < lessonMenuListRows - 1) to = &s.listRows[row + 1];
        else if (row == lessonMenuListRows - 1) to = s.listPage < lessonMenuLastPage ? &s.nextPageButton : &s.previousPageButton;
        else to = &s.listRows[0];
    }
    setKeyboardFocus(to);
    promptLine.clear();
    s.pendingAction = 0;
}

static void lessonMenuKeyboard(unsigned char key, int x, int y) { templateKeyboard(lessonMenuInput, key, x, y); }
static void lessonMenuSpecialKey(int key, int x, int y) { templateSpecialKey(lessonMenuInput, key, x, y); }
static void lessonMenuMouse(int button, int state, int x, int y) { templateMouse(lessonMenuInput, button, state, x, y); }
static void lessonMenuMotion(int x, int y) { templateMotion(lessonMenuInput, x, y); }
static void lessonMenuPassiveMotion(int x, int y) { templatePassiveMotion(lessonMenuInput, x, y); }

// ---- Actions -------------------------------------------------------------------

static void prepareLessonStart()
{
    if (lessonMenuHooks.prepareLessonStart != nullptr) {
        lessonMenuHooks.prepareLessonStart();
        return;
    }
    setUpLessonOneScreen();
    setUpExerciseOptions();
}

static void leaveTo(int32_t screen)
{
    // The menu picture is loaded by the set-up of every visit; leaving frees it.
    if (screen != lessonMenuScreenId) freeImages51Textures();
    setKeyboardFocus(nullptr);
    lessonMenuState.phase = 0;
    currentScreen = screen;
}

// The lesson start: the loader takes currentLesson, which becomes the user's
// current lesson (saved) for the next time the user is chosen.
static void startLesson(int32_t lesson)
{
    currentLesson = lesson;
    prepareLessonStart();
    leaveTo(lessonLoaderScreenId);
    setUserCurrentLesson(currentUserKey, currentLesson);
}

static void lessonMenuAction(int32_t code)
{
    LessonMenuState &s = lessonMenuState;
    promptLine.clear();
    if (code >= firstRowAction && code < firstRowAction + lessonMenuListRows) {
        startLesson(gatedLesson(lessonMenuRowLesson(code - firstRowAction)));
        return;
    }
    switch (code) {
    case statisticsAction: leaveTo(noteStatisticsScreenId); break;
    case timeLineGraphAction: leaveTo(timeLineGraphScreenId); break;
    case timeLineNumbersAction: leaveTo(timeLineNumbersScreenId); break;
    case previousPageAction:
        if (s.listPage > 1) --s.listPage;
        s.phase = 0;
        break;
    case nextPageAction:
        if (s.listPage < lessonMenuLastPage) ++s.listPage;
        s.phase = 0;
        break;
    case prevLessonAction:
        if (shownLesson > 1) --shownLesson;
        s.phase = 0;
        break;
    case nextLessonAction:
        if (shownLesson < lastParamsLesson) ++shownLesson;
        s.phase = 0;
        break;
    case startLessonAction:
        // Return reaches Start Lesson beyond what a click accepts: it starts
        // the first lesson not passed yet instead.
        shownLesson = gatedLesson(shownLesson);
        startLesson(shownLesson);
        break;
    case exitAction: leaveTo(quitScreenId); break;
    case changeUserAction: leaveTo(userManagementScreenId); break;
    default: break;
    }
}

static void handleLessonMenuAction() { templateHandleAction(lessonMenuInput); }

// ---- Set-up ----------------------------------------------------------------------

static void loadMenuPicture()
{
    if (lessonMenuHooks.loadMenuPicture != nullptr) {
        lessonMenuHooks.loadMenuPicture();
        return;
    }
    loadImages51MenuPicture(); // through the pack's one owner, shared with the introduction
}

static void createLessonMenuControls()
{
    LessonMenuState &s = lessonMenuState;
    static constexpr int32_t rowBottom[lessonMenuListRows] = {568, 546, 524, 502, 480, 458, 438, 416};
    ControlRecord *previous = nullptr;
    for (int32_t r = 0; r < lessonMenuListRows; ++r) {
        initControl(&s.listRows[r],
                    {.kind = kindPushButton, .left = 30, .right = 290, .bottom = rowBottom[r], .top = rowBottom[r] + 18,
                     .value = 1, .caption = lessonTitleTable[lessonMenuRowLesson(r)], .previous = previous});
        previous = &s.listRows[r];
    }
    struct Button {
        ControlRecord *control;
        int32_t left, right, bottom, top;
        const char *caption;
    };
    const Button buttons[] = {
        {&s.previousPageButton, 30, 150, 354, 372, "PreviousPage"},
        {&s.nextPageButton, 170, 290, 354, 372, "NextPage"},
        {&s.prevButton, 30, 90, 172, 190, "Prev"},
        {&s.nextButton, 870, 930, 172, 190, "Next"},
        {&s.startButton, 940, 1060, 172, 190, "Start Lesson"},
        {&s.statisticsButton, 30, 290, 110, 128, "Statistics"},
        {&s.graphButton, 310, 570, 110, 128, "TimeLine Graph"},
        {&s.numbersButton, 590, 850, 110, 128, "TimeLine Numbers"},
        {&s.exitButton, 650, 699, 48, 66, "Exit"},
        {&s.changeUserButton, 650, 760, 26, 44, "Change User"},
    };
    for (const Button &b : buttons) {
        initControl(b.control,
                    {.kind = kindPushButton, .left = b.left, .right = b.right, .bottom = b.bottom, .top = b.top,
                     .value = 1, .caption = b.caption, .previous = previous});
        previous = b.control;
    }
    s.changeUserButton.next = nullptr;
}

static void setUpLessonMenu()
{
    LessonMenuState &s = lessonMenuState;
    alertKind = 0;
    restartFreeGrid();
    clearScreenMessages();
    s.listPage = std::clamp(s.listPage, 1, lessonMenuLastPage);
    s.listStart = (s.listPage - 1) * lessonMenuListRows + 1;
    shownLesson = shownWithinLessons(shownLesson);
    createLessonMenuControls();
    loadMenuPicture();
    const int32_t highestPassed = getHighestPassedLesson(currentUserKey);
    s.highestDoableLesson = highestPassed >= 2 ? lastParamsLesson : highestPassed;
    // No recording runs behind the menu.
    stopCapture();
    noteColumn = lessonNoteColumn(shownLesson, highestPassed, getUserLessonBlock, currentUserKey);
    collectActiveControls();
    s.phase = runningPhase;
    setKeyboardFocus(&s.startButton);
    // An alert another screen handed over: after the set-up, which cleared the lines.
    showPendingMenuAlert();
}

// ---- Drawing -------------------------------------------------------------------

static void drawLessonMenuControls()
{
    LessonMenuState &s = lessonMenuState;
    drawControl(&s.statisticsButton);
    drawControl(&s.graphButton);
    drawControl(&s.numbersButton);
    if (shownLesson > 1) drawControl(&s.prevButton);
    if (shownLesson < lastParamsLesson) drawControl(&s.nextButton);
    drawControl(&s.startButton);
    drawControl(&s.exitButton);
    drawControl(&s.changeUserButton);
}

static void drawLowerArea(ImmediateDraw &draw)
{
    draw.colour(0.1f, 0.5f, 0.1f, 0.4f);
    draw.text(DrawnText::normal, lessonMenuFont, "Display Statistics: ", 30, 137);
    frameRect(draw, 25, 107, 979, 130, -6);
    draw.text(DrawnText::normal, lessonMenuFont, "Control:", 470, 75);
    frameRect(draw, 465, 20, 983, 68, -6);
    draw.colour(0, 0, 0, 0.4f);
    draw.text(DrawnText::normal, lessonMenuFont, "Quit Program .....", 470, 48);
    draw.text(DrawnText::normal, lessonMenuFont, "Change User ......", 470, 26);
}

static void displayLessonMenuScreen()
{
    LessonMenuState &s = lessonMenuState;
    if (!beginScreenFrame(lessonMenuInput, setUpLessonMenu, handleLessonMenuAction, s.frameCounter, framePeriod))
        return;
    ImmediateDraw &draw = lessonMenuHooks.draw != nullptr ? *lessonMenuHooks.draw : glImmediateDraw();
    draw.beginFrame();
    LessonMenuPanelInput panels;
    panels.lesson = shownLesson;
    panels.userName = currentUserName;
    panels.tessitura = currentUserTessitura;
    panels.picture = diagramTextures[1];
    panels.column = noteColumn;
    drawLessonMenuPanels(draw, panels);
    drawLowerArea(draw);
    drawLessonMenuControls();
    finishScreenFrame(4, "Select a lesson");
    endScreenFrame(s.frameCounter, framePeriod);
}

const ScreenHandlers lessonMenuScreenHandlers = {
    .create = createLessonMenuControls,
    .keyboard = lessonMenuKeyboard,
    .specialKey = lessonMenuSpecialKey,
    .mouse = lessonMenuMouse,
    .motion = lessonMenuMotion,
    .passiveMotion = lessonMenuPassiveMotion,
    .drawControls = drawLessonMenuControls,
    .handleAction = handleLessonMenuAction,
    .display = displayLessonMenuScreen,
    .enter = enterLessonMenu,
};
