// Screen 573: note statistics.
#include "progress/note_statistics_screen.h"

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
#include "lessons/lesson_state.h"
#include "progress/results_drawing.h"
#include "progress/results_logic.h"
#include "progress/users_file.h"

int32_t noteStatisticsPhase = 0;
int32_t noteStatisticsPage = 1;
int32_t noteStatisticsFrameCounter = 0;
int32_t noteStatisticsPendingAction = 0;
int32_t noteStatisticsDeferredAction = 0;
ControlRecord noteStatisticsPreviousButton;
ControlRecord noteStatisticsNextButton;
ControlRecord noteStatisticsQuitButton;
static int32_t noteStatisticsFont = font9By15;

constexpr int32_t previousPageAction = 23;
constexpr int32_t nextPageAction = 24;
constexpr int32_t quitAction = 25;

static void noteStatisticsAction(int32_t code)
{
    switch (code) {
    case previousPageAction:
        finishButtonAction(noteStatisticsPreviousButton);
        if (noteStatisticsPage > 1) --noteStatisticsPage;
        break;
    case nextPageAction:
        finishButtonAction(noteStatisticsNextButton);
        if (noteStatisticsPage < 1) ++noteStatisticsPage; // one page only
        break;
    case quitAction:
        finishButtonAction(noteStatisticsQuitButton);
        setKeyboardFocus(nullptr);
        noteStatisticsPhase = 0;
        currentScreen = lessonMenuScreenId;
        break;
    default: break;
    }
}

static TemplateControl noteStatisticsControls[] = {
    {&noteStatisticsPreviousButton, 0, 0, previousPageAction, 0,
     "Release Button to get to the previous statistics page", "Click to get to the previous statistics page", 0},
    {&noteStatisticsNextButton, 0, 0, nextPageAction, 0, "Release Button to get to the next statistics page",
     "Click to get to the next statistics page", 0},
    {&noteStatisticsQuitButton, 0, 0, quitAction, 0, "Release Button to return to the lessons choice menu",
     "Click to return to the lessons choice menu", quitAction},
};

static const ScreenInput noteStatisticsInput = {
    noteStatisticsControls, 3, &noteStatisticsPendingAction, &noteStatisticsDeferredAction, &noteStatisticsPhase,
    1, &noteStatisticsFrameCounter, {nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr},
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, noteStatisticsAction,
};

void createNoteStatisticsControls()
{
    noteStatisticsPhase = 0;
    initControl(0, &noteStatisticsPreviousButton, kindPushButton, 660, 790, 230, 248, stateIdle, 1, "PreviousPage",
                nullptr);
    initControl(0, &noteStatisticsNextButton, kindPushButton, 820, 950, 230, 248, stateIdle, 1, "NextPage",
                &noteStatisticsPreviousButton);
    initControl(0, &noteStatisticsQuitButton, kindPushButton, 660, 709, 208, 226, stateIdle, 1, "quit",
                &noteStatisticsNextButton);
    noteStatisticsQuitButton.next = nullptr;
    noteStatisticsFont = font9By15;
}

int32_t resetNoteStatisticsControls(ControlRecord *control)
{
    return templateResetControls(noteStatisticsInput, control);
}
void noteStatisticsKeyboard(unsigned char key, int x, int y) { templateKeyboard(noteStatisticsInput, key, x, y); }
void noteStatisticsSpecialKey(int key, int x, int y) { templateSpecialKey(noteStatisticsInput, key, x, y); }
void noteStatisticsMouse(int button, int state, int x, int y)
{
    templateMouse(noteStatisticsInput, button, state, x, y);
}
void noteStatisticsMotion(int x, int y) { templateMotion(noteStatisticsInput, x, y); }
void noteStatisticsPassiveMotion(int x, int y) { templatePassiveMotion(noteStatisticsInput, x, y); }

void drawNoteStatisticsControls()
{
    if (noteStatisticsPage > 1) drawControl(&noteStatisticsPreviousButton);
    if (noteStatisticsPage < 1) drawControl(&noteStatisticsNextButton);
    drawControl(&noteStatisticsQuitButton);
}

void handleNoteStatisticsAction() { templateHandleAction(noteStatisticsInput); }

void displayNoteStatisticsScreen()
{
    if (noteStatisticsPhase == 0) {
        clearScreenMessages();
        noteStatisticsPage = 1;
        setKeyboardFocus(&noteStatisticsQuitButton);
        noteStatisticsPhase = 1;
        return;
    }
    if (templateHasAction(noteStatisticsInput)) handleNoteStatisticsAction();
    if (noteStatisticsPhase != 1) return; // quit left the screen
    if (!haveGlContext()) { // driven without a window (tests): no drawing
        if (++noteStatisticsFrameCounter >= 190) noteStatisticsFrameCounter = 0;
        return;
    }

    clearScreenFrame();
    drawFrameAnimation(noteStatisticsFrameCounter / 5);
    drawUserHeader(705);
    glColor4f(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 697, 980, 697, -6);
    glColor4f(0.1f, 0.5f, 0.1f, 0.4f);
    drawText(noteStatisticsFont, "Note Statistics:", 30, 677);
    const double outline[] = {25, 670, 983, 670, 983, 272, 25, 272, 25, 670};
    drawLineStrip(outline, 5, -6);

    glColor4f(0, 0, 0, 0.4f);
    const int32_t slot = userSlotForKey(currentUserKey);
    bool currentLevel = false;
    const int32_t L = slot < 0 ? -1 : noteStatisticsBlock(userRecords[slot], shownLesson, currentLevel);
    if (L < 0) {
        glColor4f(0.1f, 0.5f, 0.1f, 0.4f);
        drawText(noteStatisticsFont, "No Statistics yet", 30, 495);
    } else {
        const LessonParams &p = lessonParamsTable[L + 2];
        glColor4f(0.1f, 0.5f, 0.1f, 0.4f);
        drawText(noteStatisticsFont,
                 currentLevel ? std::string("Stats for your current highest level:")
                              : std::string("Stats for lesson: ") + lessonTitleTable[shownLesson],
                 30, 535);
        drawText(noteStatisticsFont, requirementLine(p), 30, 495);
        drawFrameRect(25, 305, 967, 488, -6);
        drawNoteResultTable(userRecords[slot].lessonBlocks[L], p.noteCount);
    }

    glColor4f(0.1f, 0.5f, 0.1f, 0.4f);
    drawText(noteStatisticsFont, "Navigation:", 470, 257);
    const double nav[] = {465, 250, 983, 250, 983, 202, 465, 202, 465, 250};
    drawLineStrip(nav, 5, -6);
    glColor4f(0, 0, 0, 0.4f);
    drawText(noteStatisticsFont, "Quit Statistcs .....", 470, 208);
    drawNoteStatisticsControls();
    finishScreenFrame(12, "Recognize Trends");

    if (++noteStatisticsFrameCounter >= 190) noteStatisticsFrameCounter = 0;
}

const ScreenHandlers noteStatisticsScreenHandlers = {
    createNoteStatisticsControls, nullptr, noteStatisticsKeyboard, noteStatisticsSpecialKey, noteStatisticsMouse,
    noteStatisticsMotion, noteStatisticsPassiveMotion, drawNoteStatisticsControls, handleNoteStatisticsAction,
    displayNoteStatisticsScreen,
};
