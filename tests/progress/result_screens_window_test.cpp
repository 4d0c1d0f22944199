// The four result screens in a real window (the test rig's X server): the
// dispatcher draws each of them, input pages through them, and the graph
// shows a day's passed lesson as a green cell.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/screen_table.h"

#include "frame/dispatch.h"
#include "base/shared.h"
#include "app/startup.h"
#include "lessons/lesson_state.h"
#include "progress/time_line_graph_screen.h"
#include "progress/time_line_numbers_screen.h"
#include "store/user_actions.h"
#include "store/store_fixture.h"

namespace {

int32_t fixedDay() { return 44100; }

// Reads one pixel of the frame just drawn (window pixels, y up). The rig's
// software renderer keeps the back buffer's contents across the swap.
void frontPixel(int x, int y, unsigned char rgb[3])
{
    glFinish();
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

// Runs in a child process (GLUT starts once per process); exits with the
// number of the first check that failed.
[[noreturn]] void drawResultScreens()
{
    int argc = 1;
    char name[] = "result_screens";
    char *argv[] = {name, nullptr};
    createMainWindow(&argc, argv);
    glutDisplayFunc([] {}); // the frames below are drawn by the test itself
    for (int i = 0; i < 20; ++i) glutMainLoopEvent(); // the window gets mapped
    initProjection();
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);

    currentUserKey = 1;
    currentUserName = "Admin";
    currentUserTessitura = 3;
    setTodayFunction(fixedDay);
    LessonBlock passed = emptyLessonBlock();
    for (int j = 0; j < 3; ++j) passed.slots[j] = NoteSlot{27 + j, 5.0, 3.0, 1};
    passed.done = 1;
    addTimeLineEntry(1, 1, passed);
    setUserLessonBlock(1, 1, passed);

    setScreenLookup(screenHandlersFor);
    const int32_t screens[4] = {scoreOverviewScreenId, noteStatisticsScreenId, timeLineGraphScreenId,
                                timeLineNumbersScreenId};
    for (int32_t id : screens) {
        currentScreen = id;
        screenHandlersFor(id)->create();
        currentLesson = 3;
        shownLesson = 3;
        exerciseType = 0;
        for (int f = 0; f < 4; ++f) displayCurrentScreen();
        if (currentScreen != id) _exit(10);
    }

    // The graph: block 1 of day 0 is a green cell at x 251..255, y 100..105.
    currentScreen = timeLineGraphScreenId;
    displayCurrentScreen();
    unsigned char rgb[3];
    frontPixel(253, 102, rgb);
    if (!(rgb[0] < 40 && rgb[1] > 200 && rgb[2] < 40)) {
        std::fprintf(stderr, "pixel %d %d %d\n", rgb[0], rgb[1], rgb[2]);
        _exit(11);
    }
    // Next Page by mouse (GLUT y from the top), then Quit.
    mouseCurrentScreen(0, 0, 1090, 765 - 35);
    mouseCurrentScreen(0, 1, 1090, 765 - 35);
    displayCurrentScreen();
    if (timeLineGraphState.page != 2) _exit(12);
    frontPixel(253, 102, rgb); // page 2 has no result on that day
    if (rgb[1] > 200 && rgb[0] < 40) _exit(13);

    // The numbers page: Next Dates, then Quit by Return.
    currentScreen = timeLineNumbersScreenId;
    displayCurrentScreen();
    mouseCurrentScreen(0, 0, 890, 765 - 115);
    mouseCurrentScreen(0, 1, 890, 765 - 115);
    displayCurrentScreen();
    if (timeLineNumbersState.datePage != 2) _exit(14);
    setKeyboardFocus(&timeLineNumbersState.controls[tlnQuit]);
    keyboardCurrentScreen(13, 0, 0);
    displayCurrentScreen();
    if (currentScreen != lessonMenuScreenId) _exit(15);
    _exit(0);
}

} // namespace

using ResultScreensWindow = StoreFolderTest;

TEST_F(ResultScreensWindow, DrawPageAndLeave)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    createStore();
    EXPECT_EXIT(drawResultScreens(), ::testing::ExitedWithCode(0), "");
}
