// Screen 575: time-line numbers and the statistics export form.
#include "progress/time_line_numbers_screen.h"
#include "progress/time_line_graph_screen.h" // stopTimeLineFieldEdited

#include <GL/gl.h>
#include <cstring>

#include "frame/control_drawing.h"
#include "frame/file_dialogs.h"
#include "frame/gl_draw.h"
#include "base/rounding.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "base/stops.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "lessons/lesson_params.h"
#include "music/notes.h"
#include "progress/results_drawing.h"
#include "progress/results_logic.h"
#include "store/statistics_file.h"
#include "store/time_line.h"
#include "store/users_file.h"

TimeLineNumbersState timeLineNumbersState;


static int32_t inputRunning = 0; // 1 while the phase is 1 or 2 (the input template's phase)
static int32_t trainingDays = 0, successfulMoves = 0, missedMoves = 0;
static const int32_t fontId = font9By15;

static ControlRecord &control(TimeLineNumbersControl c) { return timeLineNumbersState.controls[c]; }

// Field numbers of the two text fields.
constexpr int32_t ageFieldId = 2;
constexpr int32_t yearsFieldId = 3;
constexpr int32_t experienceListId = 1;

enum : int32_t {
    openExperienceAction = 22,
    previousPageAction = 23,
    nextPageAction = 24,
    previousDatesAction = 25,
    nextDatesAction = 26,
    quitAction = 27,
    exportAction = 28,
    maleAction = 29,
    femaleAction = 30,
    firstReportAction = 34,
    ageAction = 50,
    yearsAction = 51,
};
static const int32_t reasonActions[6] = {40, 41, 42, 43, 45, 46};

static void setPhase(int32_t phase)
{
    timeLineNumbersState.phase = phase;
    inputRunning = phase == 0 ? 0 : 1;
}

static bool chosen(const ControlRecord &c) { return c.value == 0; }

static int32_t chosenInGroup(TimeLineNumbersControl first, int count)
{
    for (int i = 0; i < count; ++i)
        if (chosen(timeLineNumbersState.controls[first + i])) return i + 1;
    return 0;
}

static void chooseOnly(TimeLineNumbersControl first, int count, int which)
{
    if (chosen(timeLineNumbersState.controls[first + which])) return; // a chosen box stays chosen
    for (int i = 0; i < count; ++i) timeLineNumbersState.controls[first + i].value = i == which ? 0 : 1;
}

static void openExperienceList()
{
    std::string items[8];
    for (int i = 0; i < 8; ++i) items[i] = experienceNames[i];
    openPopupList(&control(tlnExperience), experienceListId, items, 8);
    setKeyboardFocus(&control(tlnExperience));
    promptLine = "Choose your Instrument from the menu";
}

static void applyExperienceChoice(int32_t listId, int32_t item)
{
    if (listId != experienceListId || item < 0 || item >= 8) return;
    ControlRecord &opener = control(tlnExperience);
    opener.value = 1;
    for (int i = 0; i < popupItemCount && i < maxPopupItems; ++i) popupEntries[i].value = 1;
    popupEntries[item].value = 0;
    timeLineNumbersState.experienceIndex = item;
    opener.caption = experienceNames[item];
}

static void beforeCloseByClick()
{
    setKeyboardFocus(nullptr);
    if (textEditActive && activeFieldId != 0 && activeFieldId != ageFieldId && activeFieldId != yearsFieldId)
        stopProgram(0, stopTimeLineFieldEdited);
    if (popupOpen && !textEditActive) {
        control(tlnExperience).state = stateIdle;
        control(tlnExperience).value = 1;
    }
}

static void runExport()
{
    ExportForm form{chosen(control(tlnMale)), chosen(control(tlnFemale)), control(tlnAge).caption,
                    chosenInGroup(tlnReport1, 4), chosenInGroup(tlnReason1, 6)};
    const std::string problem = exportFormProblem(form);
    promptLine.clear();
    if (!problem.empty()) {
        showAlert(0, problem, "", "");
        return;
    }
    countTrainingDays(currentUserKey, trainingDays, successfulMoves, missedMoves);
    const std::string name = chooseSaveFileAs(documentsDir, "TNVStats.txt", packExtension('t', 'x', 't'),
                                              "Save TimeLineStatistics-File as", "Text Files (*.txt)");
    if (name.empty()) {
        showAlert(0, emptyChoiceMessage("Export canceled"), "", "");
    } else {
        StatisticsPersonalData data;
        data.trainingDays = trainingDays;
        data.successfulMoves = successfulMoves;
        data.missedMoves = missedMoves;
        data.male = form.male;
        data.ageText = form.ageText;
        data.experienceIndex = timeLineNumbersState.experienceIndex;
        data.yearsText = control(tlnYears).caption;
        data.reportType = form.reportType;
        data.reason = form.reason;
        if (writeStatisticsExport(name, data)) {
            showInformation("File exported successfully to " + name, "", "");
            alertKind = 0;
        } else {
            showAlert(0, "Statistics could not be exported", "Could not write the file:", name);
        }
    }
    setPhase(1);
}

static void timeLineNumbersAction(int32_t code)
{
    ControlRecord *pressed = nullptr;
    switch (code) {
    case openExperienceAction:
        openExperienceList();
        return;
    case previousPageAction:
        pressed = &control(tlnPreviousPage);
        if (timeLineNumbersState.shownLessonBlock > 1) --timeLineNumbersState.shownLessonBlock;
        break;
    case nextPageAction:
        pressed = &control(tlnNextPage);
        if (timeLineNumbersState.shownLessonBlock < 554) ++timeLineNumbersState.shownLessonBlock;
        break;
    case previousDatesAction:
        pressed = &control(tlnPreviousDates);
        if (timeLineNumbersState.datePage > 1) --timeLineNumbersState.datePage;
        break;
    case nextDatesAction:
        pressed = &control(tlnNextDates);
        if (timeLineNumbersState.datePage < 5) ++timeLineNumbersState.datePage;
        break;
    case quitAction:
        pressed = &control(tlnQuit);
        setKeyboardFocus(nullptr);
        setPhase(0);
        currentScreen = lessonMenuScreenId;
        break;
    case exportAction:
        control(tlnExport).state = stateIdle;
        setKeyboardFocus(nullptr);
        if (timeLineNumbersState.phase == 1) {
            startTextEditWith(&control(tlnAge), ageFieldId, ""); // what the user types is the age
            hintLine.clear();
            promptLine = "Please type your age and press <Return>";
            clearAlertLines();
            control(tlnMale).value = 1;
            control(tlnFemale).value = 1;
            // The form shows the counts; the time line cannot change while it is open.
            countTrainingDays(currentUserKey, trainingDays, successfulMoves, missedMoves);
            setPhase(2);
            timeLineNumbersState.pendingAction = actionEditing;
        } else {
            runExport();
        }
        return;
    case maleAction:
    case femaleAction: {
        ControlRecord &self = control(code == maleAction ? tlnMale : tlnFemale);
        ControlRecord &other = control(code == maleAction ? tlnFemale : tlnMale);
        if (chosen(self)) {
            other.value = 0;
            self.value = 1;
        } else {
            self.value = 0;
            other.value = 1;
        }
        pressed = &self;
        break;
    }
    case ageAction:
    case yearsAction: {
        ControlRecord &field = control(code == ageAction ? tlnAge : tlnYears);
        timeLineNumbersState.pendingAction =
            startFieldEdit(&field, code == ageAction ? "Type your age" : "Type the number of years of experience");
        return;
    }
    default:
        if (code >= firstReportAction && code < firstReportAction + 4) {
            chooseOnly(tlnReport1, 4, code - firstReportAction);
            pressed = &control(static_cast<TimeLineNumbersControl>(tlnReport1 + code - firstReportAction));
        }
        for (int i = 0; i < 6; ++i)
            if (code == reasonActions[i]) {
                chooseOnly(tlnReason1, 6, i);
                pressed = &control(static_cast<TimeLineNumbersControl>(tlnReason1 + i));
            }
        break;
    }
    if (pressed) pressed->state = stateIdle;
    promptLine.clear();
}

// The end-of-editing checks of the age and years fields (code 6 once the
// editing has finished).
static bool finishFieldEditing()
{
    if (!textEditActive || !editFinished) return false;
    const int32_t fieldId = activeFieldId;
    const bool movesOn = lastEditKey == keyReturn || lastEditKey == keyLineFeed || lastEditKey == keyTab;
    auto endByEditor = [] {
        if (endTextEdit()) {
            timeLineNumbersState.pendingAction = actionEditing;
        } else {
            promptLine.clear();
            timeLineNumbersState.pendingAction = 0;
        }
    };
    if (fieldId == ageFieldId || fieldId == yearsFieldId) {
        const bool age = fieldId == ageFieldId;
        ControlRecord &field = control(age ? tlnAge : tlnYears);
        std::string text = editedText();
        if (text.empty()) text = "0";
        field.caption = text;
        if (age ? ageAccepted(text) : yearsAccepted(text)) {
            showAlert("", (age ? "Age set to: " : "No of years set to: ") + text, "");
            promptLine.clear();
            if (movesOn) {
                cancelTextEdit();
                if (age) {
                    setKeyboardFocus(&control(tlnExperience));
                    promptLine = "Select your musical experience";
                    timeLineNumbersState.pendingAction = openExperienceAction;
                } else {
                    setKeyboardFocus(&control(tlnExport));
                    timeLineNumbersState.pendingAction = 0;
                }
            } else {
                endByEditor();
            }
        } else {
            showAlert(1, age ? "Age must be between 1 and 200" : "No of years must be between 0 and 200", "", "");
            cancelTextEdit();
            timeLineNumbersState.pendingAction = 0;
        }
        return true;
    }
    promptLine.clear();
    showAlert(0, "", "Click \"Next\" or \"Previous\" to view all statistics",
              "or click \"Quit\" to return to the lesson selection menu");
    endByEditor();
    return true;
}

static bool acceptFormKey(int32_t, unsigned char key, const std::string &)
{
    return key == keyBackspace || key == keyTab || key == keyLineFeed || key == keyReturn || key == keyEscape ||
           key == keyDelete || (key >= '0' && key <= '9');
}

// Keys on the form while no field is edited.
static bool formKey(unsigned char key)
{
    if (timeLineNumbersState.phase != 2) return false;
    ControlRecord *focus = keyboardFocus;
    if (key == keyReturn) {
        if (focus == &control(tlnQuit)) {
            timeLineNumbersState.pendingAction = quitAction;
        } else if (focus == &control(tlnExport)) {
            timeLineNumbersState.pendingAction = exportAction;
        } else if (focus == &control(tlnExperience)) {
            if (popupOpen && popupChosenItem >= 0 && popupChosenItem < popupItemCount)
                applyExperienceChoice(openPopupId, popupChosenItem);
            closePopupList();
            control(tlnExperience).value = 1;
            startTextEditWith(&control(tlnYears), yearsFieldId, "0");
            hintLine.clear();
            promptLine = "Please enter your number of years of experience";
            clearAlertLines();
            timeLineNumbersState.pendingAction = actionEditing;
        }
        return true;
    }
    if (key == keyEscape && focus == &control(tlnExperience)) {
        closePopupList();
        control(tlnExperience).value = 1;
        setKeyboardFocus(nullptr);
        timeLineNumbersState.pendingAction = 0;
        return true;
    }
    showAlert(0, "Set your gender and age", "and click \"Export\"", "or \"Quit\" to return");
    return true;
}

// Up and down move between the age and years fields without the checks.
static void formSpecialKey(int32_t key)
{
    if (timeLineNumbersState.phase != 2 || !textEditActive || editedControl == nullptr) return;
    const bool inAge = activeFieldId == ageFieldId, inYears = activeFieldId == yearsFieldId;
    if (!inAge && !inYears) return;
    if ((inAge && key == keyDown) || (inYears && key == keyUp)) {
        cancelTextEdit();
        ControlRecord &other = control(inAge ? tlnYears : tlnAge);
        timeLineNumbersState.pendingAction =
            startFieldEditAtEnd(&other, inAge ? "Type your number of experience" : "Type your age");
    } else if ((inAge && key == keyUp) || (inYears && key == keyDown)) {
        cancelTextEdit();
        setKeyboardFocus(&control(tlnExport));
        promptLine.clear();
        timeLineNumbersState.pendingAction = 0;
    }
}

static TemplateControl statisticsControls[] = {
    {&timeLineNumbersState.controls[tlnPreviousPage], 0, 0, previousPageAction, 0,
     "Release Button to get to the previous statistics page", "Click to get to the previous statistics page", 0},
    {&timeLineNumbersState.controls[tlnNextPage], 0, 0, nextPageAction, 0,
     "Release Button to get to the next statistics page", "Click to get to the next statistics page", 0},
    {&timeLineNumbersState.controls[tlnPreviousDates], 0, 0, previousDatesAction, 0,
     "Release Button to see previous dates", "Click to see previous dates", 0},
    {&timeLineNumbersState.controls[tlnNextDates], 0, 0, nextDatesAction, 0, "Release Button to see more dates",
     "Click to see more dates", 0},
    {&timeLineNumbersState.controls[tlnExport], 0, 0, exportAction, 0,
     "Release Button to export and save your progress statistics",
     "Click to export and save your progress statistics", exportAction},
    {&timeLineNumbersState.controls[tlnQuit], 0, 0, quitAction, 0, "Release Button to return to the lessons choice menu",
     "Click to return to the lessons choice menu", quitAction},
};

#define REPORT_BOX(i)                                                                                           \
    {&timeLineNumbersState.controls[tlnReport1 + i], 0, 0, firstReportAction + i, 0,                                \
     "Release Button to choose this report type", "Click to choose this report type", 0}
#define REASON_BOX(i)                                                                                           \
    {&timeLineNumbersState.controls[tlnReason1 + i], 0, 0, reasonActions[i], 0,                                     \
     "Release Button to choose this reason for giving up", "Click to choose this reason for giving up", 0}

static TemplateControl formControls[] = {
    {&timeLineNumbersState.controls[tlnMale], 0, 0, maleAction, 0, "Release Button to set your gender to male",
     "Click to set your gender to male", 0},
    {&timeLineNumbersState.controls[tlnFemale], 0, 0, femaleAction, 0, "Release Button to set your gender to female",
     "Click to set your gender to female", 0},
    {&timeLineNumbersState.controls[tlnAge], 0, 0, ageAction, 0, "Release Button to set your age", "Click to set your age",
     0},
    {&timeLineNumbersState.controls[tlnExperience], openExperienceAction, 0, 0, 0,
     "Release Button to select the field of your longest musical experience ",
     "Click to select the field of your longest musical experience", 0},
    {&timeLineNumbersState.controls[tlnYears], 0, 0, yearsAction, 0,
     "Release Button to set the number of years of experience", "Click to set the number of years of experience", 0},
    REPORT_BOX(0), REPORT_BOX(1), REPORT_BOX(2), REPORT_BOX(3),
    REASON_BOX(0), REASON_BOX(1), REASON_BOX(2), REASON_BOX(3), REASON_BOX(4), REASON_BOX(5),
    {&timeLineNumbersState.controls[tlnExport], 0, 0, exportAction, 0,
     "Release Button to export and save your progress statistics",
     "Click to export and save your progress statistics", 0},
    {&timeLineNumbersState.controls[tlnQuit], 0, 0, quitAction, 0, "Release Button to return to the lessons choice menu",
     "Click to return to the lessons choice menu", 0},
};
#undef REPORT_BOX
#undef REASON_BOX

static const ScreenInput statisticsInput = {
    .controls = statisticsControls,
    .controlCount = 6,
    .pending = &timeLineNumbersState.pendingAction,
    .deferred = &timeLineNumbersState.deferredAction,
    .phase = &inputRunning,
    .runningPhase = 1,
    .frameCounter = &timeLineNumbersState.frameCounter,
    .keyHelp = {"Click \"Quit\" or hit <Return>", "to to return exercise", nullptr},
    .returnHelp = {"Click \"Quit\"", "to return to exercise", nullptr},
    .acceptKey = acceptFormKey,
    .ownKey = formKey,
    .ownSpecialKey = formSpecialKey,
    .applyPopupChoice = applyExperienceChoice,
    .beforeCloseByClick = beforeCloseByClick,
    .ownEditEnd = finishFieldEditing,
    .action = timeLineNumbersAction,
};

// The export form: the same input with the form's controls.
static const ScreenInput formInput = [] {
    ScreenInput input = statisticsInput;
    input.controls = formControls;
    input.controlCount = 17;
    return input;
}();

static const ScreenInput &currentInput() { return timeLineNumbersState.phase == 2 ? formInput : statisticsInput; }

static void createTimeLineNumbersControls()
{
    struct ControlLayout {
        const char *caption;
        int32_t kind, left, right, bottom, top;
    };
    static const ControlLayout layouts[tlnControlCount] = {
        {"Previous Page", kindPushButton, 670, 810, 126, 144},
        {"Next Page", kindPushButton, 820, 960, 126, 144},
        {"Previous Dates", kindPushButton, 670, 810, 106, 124},
        {"Next Dates", kindPushButton, 820, 960, 106, 124},
        {"Export", kindPushButton, 465, 529, 106, 124},
        {"Male", kindFramedToggle, 105, 170, 526, 544},
        {"Female", kindFramedToggle, 190, 255, 526, 544},
        {"0", kindTextField, 105, 170, 506, 524},
        {"None", kindPopupOpener, 255, 455, 466, 484},
        {"0", kindTextField, 580, 644, 466, 484},
        {"", kindToggle, 55, 73, 400, 418},
        {"", kindToggle, 55, 73, 380, 398},
        {"", kindToggle, 55, 73, 360, 378},
        {"", kindToggle, 55, 73, 340, 358},
        {"", kindToggle, 85, 103, 320, 338},
        {"", kindToggle, 85, 103, 300, 318},
        {"", kindToggle, 85, 103, 280, 298},
        {"", kindToggle, 85, 103, 260, 278},
        {"", kindToggle, 85, 103, 240, 258},
        {"", kindToggle, 85, 103, 220, 238},
        {"Quit", kindPushButton, 465, 529, 126, 144},
    };
    for (int i = 0; i < tlnControlCount; ++i) {
        ControlRecord *previous = i == 0 ? &timeLineNumbersState.controls[tlnYears] : &timeLineNumbersState.controls[i - 1];
        const ControlLayout &s = layouts[i];
        initControl(&timeLineNumbersState.controls[i],
                    {.kind = s.kind, .left = s.left, .right = s.right, .bottom = s.bottom, .top = s.top, .value = 1,
                     .caption = s.caption, .previous = previous});
    }
    // The two fields carry their field numbers, so that the line editor
    // reports which one is edited.
    control(tlnAge).id = ageFieldId;
    control(tlnYears).id = yearsFieldId;
    setPhase(0);
}

static void timeLineNumbersMouse(int button, int state, int x, int y);

static void timeLineNumbersKeyboard(unsigned char key, int x, int y)
{
    // With an alert up, Return and Escape act as a button release.
    if (alertShown()) {
        if (key == keyReturn || key == keyEscape) timeLineNumbersMouse(0, 1, 0, 0);
        return;
    }
    templateKeyboard(currentInput(), key, x, y);
}
static void timeLineNumbersSpecialKey(int key, int x, int y) { templateSpecialKey(currentInput(), key, x, y); }

static void timeLineNumbersMouse(int button, int state, int x, int y)
{
    if (alertShown() && timeLineNumbersState.phase == 1 && alertKind == 1) {
        if (state == 1) alertKind = 0; // the refusal stays up until the next release
        return;
    }
    templateMouse(currentInput(), button, state, x, y);
}

static void timeLineNumbersMotion(int x, int y) { templateMotion(currentInput(), x, y); }
static void timeLineNumbersPassiveMotion(int x, int y) { templatePassiveMotion(currentInput(), x, y); }

static void drawTimeLineNumbersControls()
{
    if (timeLineNumbersState.shownLessonBlock > 1) drawControl(&control(tlnPreviousPage));
    if (timeLineNumbersState.shownLessonBlock < 554) drawControl(&control(tlnNextPage));
    if (timeLineNumbersState.datePage > 1) drawControl(&control(tlnPreviousDates));
    if (timeLineNumbersState.datePage < 5) drawControl(&control(tlnNextDates));
    drawControl(&control(tlnQuit));
    drawControl(&control(tlnExport));
}

static void drawTimeLineExportControls()
{
    for (int i = tlnMale; i <= tlnReason6; ++i) drawControl(&timeLineNumbersState.controls[i]);
    drawControl(&control(tlnQuit));
    drawControl(&control(tlnExport));
}

static void handleTimeLineNumbersAction() { templateHandleAction(currentInput()); }

static void drawTimeLineRow(int32_t block, int32_t day, int32_t rowY)
{
    const int32_t slot = userSlotForKey(currentUserKey);
    if (slot < 0 || block < 1 || block > 554) return;
    const TimeLineDay &d = timeLineDay(slot, day);
    const std::string date = formatDayNumber(d.date);
    if (date == "5-May-00") return;
    setColour(0, 0, 0, 0.9f);
    drawText(fontId, date, 35, rowY);
    int32_t successes, misses;
    dayCounts(d, successes, misses);
    drawText(fontId, " " + std::to_string(successes), 115, rowY);
    drawText(fontId, " " + std::to_string(misses), 185, rowY);
    const LessonParams &p = lessonParamsTable[block + 2];
    for (int32_t k = 1; k <= p.noteCount && k <= 8; ++k) {
        const NoteSlot &s = d.lessonBlocks[block].slots[k - 1];
        if (s.note == emptyNoteIndex) continue;
        if (noteIsSuccess(s, block))
            setColour(0.1f, 0.5f, 0.1f, 0.4f);
        else
            setColour(1, 0, 0, 0.4f);
        std::string name;
        spelledNoteName(0, s.note, name);
        drawText(fontId, name, 251 + 90 * (k - 1), rowY);
        drawText(fontId, formatMeanCell(s.mean), 278 + 90 * (k - 1), rowY);
        drawText(fontId, formatVarianceCell(s.standardDeviation), 314 + 90 * (k - 1), rowY);
    }
}

static void drawNavigationBox(const char *upper, const char *lower)
{
    drawLabelledPanel(fontId, "Navigation:", 315, 155, 310, 98, 983, 148);
    drawText(fontId, upper, 315, 130);
    drawText(fontId, lower, 315, 110);
}

static void drawColumnLine(double x, double top, float width)
{
    glLineWidth(width);
    drawLine(x, 200, x, top, -5);
    glLineWidth(1);
}

static void drawStatisticsPage()
{
    // Laid out for a taller window, the header (y 819) and the legend's top
    // rows (788, 770) lay above the top edge: the header comes down to the
    // top row, and the legend with the first column's lines by the 58 pixels
    // that put it under the header's line, with the frame's top line between
    // two of its rows.
    constexpr int32_t legendShift = 58;
    drawUserHeader(754);
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 746, 980, 746, -6);
    setColour(0.1f, 0.5f, 0.1f, 0.4f);
    drawText(fontId, "Timeline Statistics:", 30, 677);
    drawFrameRect(25, 192, 983, 670, -6);

    const int32_t L = timeLineNumbersState.shownLessonBlock >= 1 && timeLineNumbersState.shownLessonBlock <= 554 ? timeLineNumbersState.shownLessonBlock : 1;
    const LessonParams &p = lessonParamsTable[L + 2];
    setColour(0, 0, 0, 0.4f);
    drawText(fontId, numbersNotesLine(p), 251, 788 - legendShift);
    drawText(fontId, "Note Name", 251, 770 - legendShift);
    drawText(fontId,
             "|  Tolerated deviation " + std::to_string(roundToInt32(p.maxTolCents)) + " cents; Mean within " +
                 std::to_string(roundToInt32(p.maxDevCents)) + " cents",
             251, 752 - legendShift);
    drawText(fontId, "|  Mean ", 251, 734 - legendShift);
    drawText(fontId, "|  |   Variance", 251, 716 - legendShift);
    drawText(fontId, "|  |   | ", 251, 698 - legendShift);
    drawText(fontId, "v  v   v ", 251, 680 - legendShift);

    setColour(0.2f, 0.1f, 0.3f, 0.9f);
    const int32_t n = p.noteCount;
    drawColumnLine(246, 803 - legendShift, 4);
    drawColumnLine(273, 767 - legendShift, 3);
    drawColumnLine(309, 731 - legendShift, 1);
    for (int32_t k = 2; k <= n; ++k) {
        drawColumnLine(246 + 90 * (k - 1), 695, 4);
        drawColumnLine(273 + 90 * (k - 1), 695, 3);
        drawColumnLine(309 + 90 * (k - 1), 677, 1);
    }
    drawColumnLine(246 + 90 * n, 677, 1);
    drawText(fontId, "Date:", 35, 630);

    for (int32_t i = 0; i < 20; ++i) drawTimeLineRow(L, 20 * (timeLineNumbersState.datePage - 1) + i, 200 + 20 * i);

    drawNavigationBox("Quit Statistcs:", "Export Statistcs:");
    drawText(fontId, "Change Page:", 550, 130);
    drawText(fontId, "Change Date:", 550, 110);
    drawTimeLineNumbersControls();
}

static void drawExportForm()
{
    drawUserHeader(705);
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 697, 980, 697, -6);
    setColour(0.1f, 0.5f, 0.1f, 0.4f);
    drawText(fontId, "Timeline Export:", 30, 677);
    drawFrameRect(25, 192, 983, 670, -6);

    setColour(0, 0, 0, 0.4f);
    drawText(fontId, "UserName: " + currentUserName, 35, 630);
    drawText(fontId, "Number of training days in statics file: " + std::to_string(trainingDays), 35, 610);
    drawText(fontId, "Total number of successful moves: " + std::to_string(successfulMoves), 35, 590);
    drawText(fontId, "Total number of missed moves: " + std::to_string(missedMoves), 35, 570);
    drawText(fontId, "Gender: ", 35, 530);
    drawText(fontId, "Age: ", 35, 510);
    drawText(fontId, "Musical experience with: ", 35, 470);
    drawText(fontId, "No of years: ", 465, 470);
    drawText(fontId, "Report Type: ", 35, 420);
    static const char *const reportTexts[4] = {
        "Intermediate: Any report before 100 trainingdays", "Final: First 100 trainingdays",
        "Addidional: Additional trainingdays after submitting final", "Giving Up: Select Reason"};
    static const char *const reasonTexts[6] = {
        "No Progress observed", "Singing/Humming problems (range, muscle mechanics)",
        "Stuck at a level (level seems unachievable, must always return",
        "Necessaray effort seems to be to high for gaining AP", "Not enough time available / other priorities",
        "Other (if possible explain in mail)"};
    for (int i = 0; i < 4; ++i) drawText(fontId, reportTexts[i], 83, 400 - 20 * i);
    for (int i = 0; i < 6; ++i) drawText(fontId, reasonTexts[i], 113, 320 - 20 * i);

    drawNavigationBox("Cancel .........", "Save and export:");
    drawTimeLineExportControls();
}

static void enterTimeLineNumbersScreen()
{
    clearScreenMessages();
    timeLineNumbersState.shownLessonBlock = 1;
    timeLineNumbersState.datePage = 1;
    setKeyboardFocus(&control(tlnQuit));
    setPhase(1);
}

static void displayTimeLineNumbersScreen()
{
    if (!beginScreenFrame(currentInput(), enterTimeLineNumbersScreen, handleTimeLineNumbersAction,
                          timeLineNumbersState.frameCounter, 190))
        return;

    clearScreenFrame();
    drawFrameAnimation(timeLineNumbersState.frameCounter / 5);
    if (timeLineNumbersState.phase == 1) {
        drawStatisticsPage();
        finishScreenFrame(13, "Track Progress");
    } else {
        drawExportForm();
        finishScreenFrame(4, "Enter Additional Information");
    }
    endScreenFrame(timeLineNumbersState.frameCounter, 190);
}

const ScreenHandlers timeLineNumbersScreenHandlers = {
    .create = createTimeLineNumbersControls,
    .keyboard = timeLineNumbersKeyboard,
    .specialKey = timeLineNumbersSpecialKey,
    .mouse = timeLineNumbersMouse,
    .motion = timeLineNumbersMotion,
    .passiveMotion = timeLineNumbersPassiveMotion,
    .drawControls = drawTimeLineNumbersControls,
    .handleAction = handleTimeLineNumbersAction,
    .display = displayTimeLineNumbersScreen,
};
