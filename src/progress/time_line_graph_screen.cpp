// Screen 574: the time-line graph.
#include "progress/time_line_graph_screen.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "base/stops.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "progress/results_drawing.h"
#include "progress/results_logic.h"
#include "store/time_line.h"
#include "store/users_file.h"

TimeLineGraphState timeLineGraphState;

static int32_t timeLineGraphFont = font9By15;

constexpr int32_t previousPageAction = 23;
constexpr int32_t nextPageAction = 24;
constexpr int32_t quitAction = 27;

static void timeLineGraphAction(int32_t code)
{
    switch (code) {
    case previousPageAction:
        finishButtonAction(timeLineGraphState.previousButton);
        if (timeLineGraphState.page > 1) --timeLineGraphState.page;
        break;
    case nextPageAction:
        finishButtonAction(timeLineGraphState.nextButton);
        if (timeLineGraphState.page < graphPageCount) ++timeLineGraphState.page;
        break;
    case quitAction:
        finishButtonAction(timeLineGraphState.quitButton);
        setKeyboardFocus(nullptr);
        timeLineGraphState.phase = 0;
        currentScreen = lessonMenuScreenId;
        break;
    default: break;
    }
}

// The screen has no text field: a request to close one is an impossible state.
static void timeLineGraphBeforeClose()
{
    if (textEditActive && activeFieldId != 0) stopProgram(0, stopTimeLineFieldEdited);
}

static TemplateControl timeLineGraphControls[] = {
    {&timeLineGraphState.previousButton, 0, 0, previousPageAction, 0,
     "Release Button to get to the previous statistics page", "Click to get to the previous statistics page", 0},
    {&timeLineGraphState.nextButton, 0, 0, nextPageAction, 0, "Release Button to get to the next statistics page",
     "Click to get to the next statistics page", 0},
    {&timeLineGraphState.quitButton, 0, 0, quitAction, 0, "Release Button to return to the lessons choice menu",
     "Click to return to the lessons choice menu", quitAction},
};

static const ScreenInput timeLineGraphInput = {
    .controls = timeLineGraphControls,
    .controlCount = 3,
    .pending = &timeLineGraphState.pendingAction,
    .deferred = &timeLineGraphState.deferredAction,
    .phase = &timeLineGraphState.phase,
    .runningPhase = 1,
    .frameCounter = &timeLineGraphState.frameCounter,
    .keyHelp = {"Click \"Quit\" or hit <Return>", "to end exercise", ""},
    .returnHelp = {"Click \"Quit\"", "to end exercise", ""},
    .beforeCloseByClick = timeLineGraphBeforeClose,
    .action = timeLineGraphAction,
};

static void createTimeLineGraphControls()
{
    timeLineGraphState.phase = 0;
    // Next Page ends at the window's right edge, Previous Page left of it
    // (laid out from 870 and 1020, the second ran 36 pixels past the edge).
    initControl(&timeLineGraphState.previousButton,
                {.kind = kindPushButton, .left = 842, .right = 982, .bottom = 26, .top = 44, .value = 1,
                 .caption = "Previous Page"});
    initControl(&timeLineGraphState.nextButton,
                {.kind = kindPushButton, .left = mainWindowWidth - 140, .right = mainWindowWidth, .bottom = 26,
                 .top = 44, .value = 1, .caption = "Next Page", .previous = &timeLineGraphState.previousButton});
    initControl(&timeLineGraphState.quitButton,
                {.kind = kindPushButton, .left = 775, .right = 839, .bottom = 26, .top = 44, .value = 1,
                 .caption = "Quit", .previous = &timeLineGraphState.nextButton});
    timeLineGraphState.quitButton.next = nullptr;
    timeLineGraphFont = font9By15;
}

static void timeLineGraphKeyboard(unsigned char key, int x, int y) { templateKeyboard(timeLineGraphInput, key, x, y); }
static void timeLineGraphSpecialKey(int key, int x, int y) { templateSpecialKey(timeLineGraphInput, key, x, y); }
static void timeLineGraphMouse(int button, int state, int x, int y) { templateMouse(timeLineGraphInput, button, state, x, y); }
static void timeLineGraphMotion(int x, int y) { templateMotion(timeLineGraphInput, x, y); }
static void timeLineGraphPassiveMotion(int x, int y) { templatePassiveMotion(timeLineGraphInput, x, y); }

static void drawTimeLineGraphControls()
{
    if (timeLineGraphState.page > 1) drawControl(&timeLineGraphState.previousButton);
    if (timeLineGraphState.page < graphPageCount) drawControl(&timeLineGraphState.nextButton);
    drawControl(&timeLineGraphState.quitButton);
}

static void handleTimeLineGraphAction() { templateHandleAction(timeLineGraphInput); }

static void drawTimeLineGraphCell(int32_t x, int32_t y, int32_t successes, int32_t misses)
{
    if (successes == 0 && misses == 0) return;
    if (misses == 0) {
        setColour(0, 1, 0, 1);
        fillRect(x - 4, y, x, y + 5, -12);
    } else if (successes == 0) {
        setColour(1, 0, 0, 1);
        fillRect(x - 4, y, x, y + 5, -12);
    } else {
        const int32_t h = graphCellRedHeight(successes, misses);
        setColour(1, 0, 0, 1);
        fillRect(x - 4, y, x, y + h, -12);
        setColour(0, 1, 0, 1);
        fillRect(x - 4, y + h, x, y + 5, -12);
    }
}

static void drawTimeLineGraphDay(int32_t firstBlock, int32_t day, int32_t &rowOffset)
{
    const int32_t slot = userSlotForKey(currentUserKey);
    if (slot < 0) return;
    const TimeLineDay &d = timeLineDay(slot, day);
    const std::string date = formatDayNumber(d.date);
    if (date == "5-May-00") return;
    setColour(0, 0, 0, 0.9f);
    const int32_t y = rowOffset + 100;
    const bool labelled = rowOffset % 18 == 0;
    if (labelled) drawText(timeLineGraphFont, date, 35, y);
    int32_t successes, misses;
    dayCounts(d, successes, misses);
    if (labelled) {
        drawText(timeLineGraphFont, graphCountText(successes), 125, y);
        drawText(timeLineGraphFont, graphCountText(misses), 185, y);
    }
    int32_t page = 0;
    for (int32_t p = 1; p <= graphPageCount; ++p)
        if (graphPageGroups(p)[0].first == firstBlock) page = p;
    if (page == 0) stopProgram(0, stopGraphPageOfBlock);
    const int32_t lastBlock = graphPageGroups(page)[4].last;
    for (int32_t L = firstBlock; L <= lastBlock; ++L) {
        blockCounts(d.lessonBlocks[L], L, successes, misses);
        drawTimeLineGraphCell(graphCellX(page, L), y, successes, misses);
    }
    rowOffset += 6;
}

static void enterTimeLineGraphScreen()
{
    clearScreenMessages();
    timeLineGraphState.page = 1;
    setKeyboardFocus(&timeLineGraphState.quitButton);
    timeLineGraphState.phase = 1;
}

static void displayTimeLineGraphScreen()
{
    if (!beginScreenFrame(timeLineGraphInput, enterTimeLineGraphScreen, handleTimeLineGraphAction, timeLineGraphState.frameCounter, 190)) return;

    clearScreenFrame();
    drawUserHeader(754); // its tallest letters end in the window's top row
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 747, 2097, 747, -6);

    setColour(0, 0, 0, 0.4f);
    const GraphGroup *groups = graphPageGroups(timeLineGraphState.page);
    if (!groups) stopProgram(0, stopGraphPage);
    drawText(timeLineGraphFont, "Date:", 35, 710);
    drawText(timeLineGraphFont, "Total Attempts", 112, 730);
    drawText(timeLineGraphFont, "Succ", 125, 710);
    drawText(timeLineGraphFont, "Miss", 185, 710);
    for (int i = 0; i < 5; ++i) {
        drawText(timeLineGraphFont, groups[i].heading1, 255 + groups[i].offset, 730);
        drawText(timeLineGraphFont, groups[i].heading2, 255 + groups[i].offset, 710);
    }
    setColour(0.2f, 0.1f, 0.3f, 0.9f);
    drawLine(20, 705, 1019, 705, -5);

    int32_t rowOffset = 0;
    for (int32_t d = 0; d < timeLineDayCount; ++d) drawTimeLineGraphDay(groups[0].first, d, rowOffset);

    setColour(0.2f, 0.1f, 0.3f, 0.9f);
    for (double x : {249.0, 403.0, 557.0, 711.0, 865.0, 1019.0}) drawLine(x, 100, x, 745, -5);
    drawLabelledPanel(timeLineGraphFont, "Navigation:", 625, 55, 620, 18, 1177, 48);
    drawText(timeLineGraphFont, "Quit Statistcs:", 625, 30);

    drawTimeLineGraphControls();
    drawPopupList();
    drawTextCaret();
    drawStatisticsMessagePanel(13, "Track Progress", 1167);
    glFlush();
    glutSwapBuffers();

    endScreenFrame(timeLineGraphState.frameCounter, 190);
}

const ScreenHandlers timeLineGraphScreenHandlers = {
    .create = createTimeLineGraphControls,
    .keyboard = timeLineGraphKeyboard,
    .specialKey = timeLineGraphSpecialKey,
    .mouse = timeLineGraphMouse,
    .motion = timeLineGraphMotion,
    .passiveMotion = timeLineGraphPassiveMotion,
    .drawControls = drawTimeLineGraphControls,
    .handleAction = handleTimeLineGraphAction,
    .display = displayTimeLineGraphScreen,
};
