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
#include "store/users_file.h"

NoteStatisticsState noteStatisticsState;

static int32_t noteStatisticsFont = font9By15;

constexpr int32_t previousPageAction = 23;
constexpr int32_t nextPageAction = 24;
constexpr int32_t quitAction = 25;

static void noteStatisticsAction(int32_t code)
{
    switch (code) {
    case previousPageAction:
        finishButtonAction(noteStatisticsState.previousButton);
        if (noteStatisticsState.page > 1) --noteStatisticsState.page;
        break;
    case nextPageAction:
        finishButtonAction(noteStatisticsState.nextButton);
        if (noteStatisticsState.page < 1) ++noteStatisticsState.page; // one page only
        break;
    case quitAction:
        finishButtonAction(noteStatisticsState.quitButton);
        setKeyboardFocus(nullptr);
        noteStatisticsState.phase = 0;
        currentScreen = lessonMenuScreenId;
        break;
    default: break;
    }
}

static TemplateControl noteStatisticsControls[] = {
    {&noteStatisticsState.previousButton, 0, 0, previousPageAction, 0,
     "Release Button to get to the previous statistics page", "Click to get to the previous statistics page", 0},
    {&noteStatisticsState.nextButton, 0, 0, nextPageAction, 0, "Release Button to get to the next statistics page",
     "Click to get to the next statistics page", 0},
    {&noteStatisticsState.quitButton, 0, 0, quitAction, 0, "Release Button to return to the lessons choice menu",
     "Click to return to the lessons choice menu", quitAction},
};

static const ScreenInput noteStatisticsInput = {
    .controls = noteStatisticsControls,
    .controlCount = 3,
    .pending = &noteStatisticsState.pendingAction,
    .deferred = &noteStatisticsState.deferredAction,
    .phase = &noteStatisticsState.phase,
    .runningPhase = 1,
    .frameCounter = &noteStatisticsState.frameCounter,
    .action = noteStatisticsAction,
};

static void createNoteStatisticsControls()
{
    noteStatisticsState.phase = 0;
    initControl(&noteStatisticsState.previousButton,
                {.kind = kindPushButton, .left = 660, .right = 790, .bottom = 230, .top = 248, .value = 1,
                 .caption = "PreviousPage"});
    initControl(&noteStatisticsState.nextButton,
                {.kind = kindPushButton, .left = 820, .right = 950, .bottom = 230, .top = 248, .value = 1,
                 .caption = "NextPage", .previous = &noteStatisticsState.previousButton});
    initControl(&noteStatisticsState.quitButton,
                {.kind = kindPushButton, .left = 660, .right = 709, .bottom = 208, .top = 226, .value = 1,
                 .caption = "quit", .previous = &noteStatisticsState.nextButton});
    noteStatisticsState.quitButton.next = nullptr;
    noteStatisticsFont = font9By15;
}

static void noteStatisticsKeyboard(unsigned char key, int x, int y) { templateKeyboard(noteStatisticsInput, key, x, y); }
static void noteStatisticsSpecialKey(int key, int x, int y) { templateSpecialKey(noteStatisticsInput, key, x, y); }
static void noteStatisticsMouse(int button, int state, int x, int y)
{
    templateMouse(noteStatisticsInput, button, state, x, y);
}
static void noteStatisticsMotion(int x, int y) { templateMotion(noteStatisticsInput, x, y); }
static void noteStatisticsPassiveMotion(int x, int y) { templatePassiveMotion(noteStatisticsInput, x, y); }

static void drawNoteStatisticsControls()
{
    if (noteStatisticsState.page > 1) drawControl(&noteStatisticsState.previousButton);
    if (noteStatisticsState.page < 1) drawControl(&noteStatisticsState.nextButton);
    drawControl(&noteStatisticsState.quitButton);
}

static void handleNoteStatisticsAction() { templateHandleAction(noteStatisticsInput); }

static void enterNoteStatisticsScreen()
{
    clearScreenMessages();
    noteStatisticsState.page = 1;
    setKeyboardFocus(&noteStatisticsState.quitButton);
    noteStatisticsState.phase = 1;
}

static void displayNoteStatisticsScreen()
{
    if (!beginScreenFrame(noteStatisticsInput, enterNoteStatisticsScreen, handleNoteStatisticsAction, noteStatisticsState.frameCounter, 190)) return;

    clearScreenFrame();
    drawFrameAnimation(noteStatisticsState.frameCounter / 5);
    drawUserHeader(705);
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 697, 980, 697, -6);
    drawLabelledPanel(noteStatisticsFont, "Note Statistics:", 30, 677, 25, 272, 983, 670);

    const int32_t slot = userSlotForKey(currentUserKey);
    bool currentLevel = false;
    const int32_t L = slot < 0 ? -1 : noteStatisticsBlock(userRecords[slot], shownLesson, currentLevel);
    if (L < 0) {
        setColour(0.1f, 0.5f, 0.1f, 0.4f);
        drawText(noteStatisticsFont, "No Statistics yet", 30, 495);
    } else {
        const LessonParams &p = lessonParamsTable[L + 2];
        setColour(0.1f, 0.5f, 0.1f, 0.4f);
        drawText(noteStatisticsFont,
                 currentLevel ? std::string("Stats for your current highest level:")
                              : std::string("Stats for lesson: ") + lessonTitleTable[shownLesson],
                 30, 535);
        drawText(noteStatisticsFont, requirementLine(p), 30, 495);
        drawFrameRect(25, 305, 967, 488, -6);
        drawNoteResultTable(userRecords[slot].lessonBlocks[L], p.noteCount);
    }

    drawLabelledPanel(noteStatisticsFont, "Navigation:", 470, 257, 465, 202, 983, 250);
    drawText(noteStatisticsFont, "Quit Statistcs .....", 470, 208);
    drawNoteStatisticsControls();
    finishScreenFrame(12, "Recognize Trends");

    endScreenFrame(noteStatisticsState.frameCounter, 190);
}

const ScreenHandlers noteStatisticsScreenHandlers = {
    .create = createNoteStatisticsControls,
    .keyboard = noteStatisticsKeyboard,
    .specialKey = noteStatisticsSpecialKey,
    .mouse = noteStatisticsMouse,
    .motion = noteStatisticsMotion,
    .passiveMotion = noteStatisticsPassiveMotion,
    .drawControls = drawNoteStatisticsControls,
    .handleAction = handleNoteStatisticsAction,
    .display = displayNoteStatisticsScreen,
};
