// The result screens driven through their handlers with a store prepared by
// the test: paging, the export form and an export through a scripted file
// chooser that imports back.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "frame/message_panel.h"
#include "frame/screens.h"
#include "lessons/lesson_state.h"
#include "progress/note_statistics_screen.h"
#include "store/user_actions.h"
#include "store/statistics_file.h"
#include "progress/time_line_graph_screen.h"
#include "progress/time_line_numbers_screen.h"
#include "common/screen_driver.h"
#include "store/store_fixture.h"

namespace {

int32_t day = 0;
int32_t today() { return day; }

LessonBlock lessonResult(int32_t note, double mean)
{
    LessonBlock b = emptyLessonBlock();
    for (int j = 0; j < 3; ++j) b.slots[j] = NoteSlot{note + j, mean + j, 4.5, uint8_t(mean < 50)};
    b.done = mean < 50;
    return b;
}

const ScreenDriver numbers{timeLineNumbersScreenHandlers};

ControlRecord &tln(TimeLineNumbersControl c) { return timeLineNumbersState.controls[c]; }

} // namespace

struct ResultScreens : StoreFolderTest {
    std::string chooserDir;
    std::string oldPath;

    void SetUp() override
    {
        StoreFolderTest::SetUp();
        resetToolkitState();
        createStore();
        currentUserKey = 1;
        currentUserSlot = 0;
        currentUserName = "Admin";
        currentUserTessitura = 3;
        setTodayFunction(today);
        beginStoreUpdate();
        for (int32_t d = 0; d < 25; ++d) {
            day = 44000 + d;
            addTimeLineEntry(1, 1, lessonResult(20 + d % 10, d % 2 ? -80.0 : 10.0));
            setUserLessonBlock(1, 1, lessonResult(20 + d % 10, 10.0));
        }
        endStoreUpdate();
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    }

    void TearDown() override
    {
        setenv("PATH", oldPath.c_str(), 1);
        StoreFolderTest::TearDown();
    }

    // A file chooser that answers with `answer` (empty: cancelled).
    void scriptChooser(const std::string &answer)
    {
        chooserDir = dir + "/bin";
        ::mkdir(chooserDir.c_str(), 0755);
        std::ofstream script(chooserDir + "/zenity");
        if (answer.empty())
            script << "#!/bin/sh\nexit 1\n";
        else
            script << "#!/bin/sh\necho '" << answer << "'\n";
        script.close();
        ::chmod((chooserDir + "/zenity").c_str(), 0755);
        setenv("PATH", (chooserDir + ":" + oldPath).c_str(), 1);
    }
};

TEST_F(ResultScreens, NumbersPagesStopAtTheirBounds)
{
    timeLineNumbersScreenHandlers.create();
    numbers.frame();
    EXPECT_EQ(timeLineNumbersState.phase, 1);
    EXPECT_EQ(timeLineNumbersState.shownLessonBlock, 1);
    EXPECT_EQ(timeLineNumbersState.datePage, 1);
    numbers.click(tln(tlnPreviousPage)); // not drawn at the bound: changes nothing
    numbers.frame();
    EXPECT_EQ(timeLineNumbersState.shownLessonBlock, 1);
    for (int i = 0; i < 7; ++i) {
        numbers.click(tln(tlnNextDates));
        numbers.frame();
    }
    EXPECT_EQ(timeLineNumbersState.datePage, 5);
    numbers.click(tln(tlnNextPage));
    numbers.frame();
    EXPECT_EQ(timeLineNumbersState.shownLessonBlock, 2);
    timeLineNumbersState.shownLessonBlock = 554;
    numbers.click(tln(tlnNextPage));
    numbers.frame();
    EXPECT_EQ(timeLineNumbersState.shownLessonBlock, 554);
    setKeyboardFocus(&tln(tlnQuit));
    numbers.type("\r");
    numbers.frame();
    EXPECT_EQ(currentScreen, 6);
    EXPECT_EQ(timeLineNumbersState.phase, 0);
    numbers.frame(); // entering again starts from block 1 and date page 1
    EXPECT_EQ(timeLineNumbersState.shownLessonBlock, 1);
    EXPECT_EQ(timeLineNumbersState.datePage, 1);
}

TEST_F(ResultScreens, ExportFormChecksThenWritesAFileThatImportsBack)
{
    const std::string exported = dir + "/TNVStats.txt";
    timeLineNumbersScreenHandlers.create();
    numbers.frame();

    // Export opens the form with the age field edited and empty: what the
    // user types is the age.
    numbers.click(tln(tlnExport));
    numbers.frame();
    ASSERT_EQ(timeLineNumbersState.phase, 2);
    EXPECT_TRUE(textEditActive);
    EXPECT_EQ(tln(tlnAge).caption, "");

    // 250 is refused but stays in the field.
    numbers.type("250x\r");
    numbers.frame(2);
    EXPECT_EQ(alertLines[0], "Age must be between 1 and 200");
    EXPECT_EQ(tln(tlnAge).caption, "250");
    numbers.type("\r"); // dismisses the alert
    EXPECT_EQ(alertLines[0], "");

    // The checks, in order.
    numbers.click(tln(tlnExport));
    numbers.frame();
    EXPECT_EQ(alertLines[0], "Please set your gender");
    numbers.type("\r");
    numbers.click(tln(tlnFemale));
    numbers.frame();
    numbers.click(tln(tlnReport4));
    numbers.frame();
    numbers.click(tln(tlnExport));
    numbers.frame();
    EXPECT_EQ(alertLines[0], "Please choose a reason for giving up");
    numbers.type("\r");
    numbers.click(tln(tlnReason3));
    numbers.frame();
    numbers.click(tln(tlnReport2)); // the reason stays chosen
    numbers.frame();

    // Age by keyboard: Return opens the experience list, Return on it goes on
    // to the years field, Return there leaves the focus on Export.
    numbers.click(tln(tlnAge));
    numbers.frame();
    numbers.type("\b\b\b42\r");
    numbers.frame(2);
    EXPECT_EQ(alertLines[1], "Age set to: 42");
    ASSERT_TRUE(popupOpen);
    popupChosenItem = 2;
    numbers.type("\r");
    EXPECT_EQ(timeLineNumbersState.experienceIndex, 2);
    EXPECT_EQ(tln(tlnExperience).caption, "Keyboard");
    numbers.frame();
    numbers.type("\b7\r");
    numbers.frame(2);
    EXPECT_EQ(tln(tlnYears).caption, "7");
    EXPECT_EQ(keyboardFocus, &tln(tlnExport));

    // A cancelled chooser keeps the form; a chosen name writes the file.
    scriptChooser("");
    numbers.type("\r");
    numbers.frame();
    EXPECT_EQ(alertLines[0], "Export canceled");
    EXPECT_EQ(timeLineNumbersState.phase, 1);
    numbers.type("\r");
    numbers.click(tln(tlnExport));
    numbers.frame(); // the form again, the age empty and the gender cleared
    EXPECT_EQ(tln(tlnFemale).value, 1);
    EXPECT_EQ(tln(tlnAge).caption, "");
    numbers.type("35\r");
    EXPECT_EQ(tln(tlnAge).caption, "35");
    numbers.frame(2);
    numbers.frame(2);
    numbers.type("\x1b"); // leaves the experience list
    numbers.frame();
    numbers.click(tln(tlnFemale));
    numbers.frame();
    scriptChooser(exported);
    numbers.click(tln(tlnExport));
    numbers.frame();
    EXPECT_EQ(alertLines[0], "File exported successfully to " + exported);
    EXPECT_EQ(messagePanelLayout(11, "").icon, informationIcon); // a success, not a warning
    EXPECT_EQ(timeLineNumbersState.phase, 1);

    std::ifstream in(exported);
    std::string line, lines[12];
    for (int i = 0; i < 12 && std::getline(in, line); ++i) lines[i] = line.substr(0, line.find('\r'));
    EXPECT_EQ(lines[2], "Admin");
    EXPECT_EQ(lines[3], "25");
    EXPECT_EQ(lines[7], "35");

    // The file imports back into the user once the user's results are
    // cleared: every block of the record and every day (date and blocks)
    // comes back, deviations to the two decimals the file holds.
    std::vector<LessonBlock> blocksBefore(userRecords[0].lessonBlocks,
                                          userRecords[0].lessonBlocks + lessonBlockCount);
    std::vector<TimeLineDay> daysBefore;
    for (int32_t d = 0; d < timeLineDayCount; ++d) daysBefore.push_back(timeLineDay(0, d));
    ASSERT_FALSE(isEmptyTimeLineDay(daysBefore[24])); // there is something to bring back
    for (LessonBlock &b : userRecords[0].lessonBlocks) b = emptyLessonBlock();
    const uint8_t full = userRecords[0].timeLineFull;
    resetUserTimeLine(0);
    userRecords[0].timeLineFull = full;

    EXPECT_EQ(importUserStatistics(0, exported), importOk);
    auto sameToTwoDecimals = [](const LessonBlock &a, const LessonBlock &b) {
        for (int j = 0; j < 8; ++j)
            if (a.slots[j].note != b.slots[j].note || a.slots[j].passed != b.slots[j].passed ||
                std::fabs(a.slots[j].mean - b.slots[j].mean) > 0.005 + 1e-9 ||
                std::fabs(a.slots[j].standardDeviation - b.slots[j].standardDeviation) > 0.005 + 1e-9)
                return false;
        return a.done == b.done;
    };
    int mismatches = 0;
    for (int32_t b = 0; b < lessonBlockCount; ++b)
        if (!sameToTwoDecimals(userRecords[0].lessonBlocks[b], blocksBefore[size_t(b)]) && ++mismatches < 5)
            ADD_FAILURE() << "record block " << b;
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        const TimeLineDay &day = timeLineDay(0, d);
        if (day.date != daysBefore[size_t(d)].date && ++mismatches < 5)
            ADD_FAILURE() << "date of day " << d;
        for (int32_t b = 0; b < lessonBlockCount; ++b)
            if (!sameToTwoDecimals(day.lessonBlocks[b], daysBefore[size_t(d)].lessonBlocks[b]) &&
                ++mismatches < 5)
                ADD_FAILURE() << "day " << d << " block " << b;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(ResultScreens, GraphAndNoteStatisticsPageAndQuit)
{
    const ScreenDriver graph{timeLineGraphScreenHandlers};
    timeLineGraphScreenHandlers.create();
    graph.frame();
    EXPECT_EQ(timeLineGraphState.page, 1);
    for (int i = 0; i < 6; ++i) {
        graph.click(timeLineGraphState.nextButton);
        graph.frame();
    }
    EXPECT_EQ(timeLineGraphState.page, 5);
    graph.click(timeLineGraphState.previousButton);
    graph.frame();
    EXPECT_EQ(timeLineGraphState.page, 4);
    graph.type("x");
    EXPECT_EQ(alertLines[0], "Click \"Quit\" or hit <Return>");
    graph.type("\r"); // dismisses
    graph.click(timeLineGraphState.quitButton);
    graph.frame();
    EXPECT_EQ(currentScreen, 6);

    const ScreenDriver stats{noteStatisticsScreenHandlers};
    noteStatisticsScreenHandlers.create();
    shownLesson = 3;
    stats.frame();
    stats.click(noteStatisticsState.nextButton); // invisible: the page stays 1
    stats.frame();
    EXPECT_EQ(noteStatisticsState.page, 1);
    stats.type("\r"); // "quit" has the focus after the first display
    stats.frame();
    EXPECT_EQ(currentScreen, 6);
    EXPECT_EQ(noteStatisticsState.phase, 0);
}
