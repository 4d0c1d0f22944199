// Everything the screens draw lies inside the program's window: in a real
// window (the test rig's X server) every screen the dispatcher serves is
// drawn with a prepared store, and each text line (its box: textBox) and
// each control drawn must lie within mainWindowWidth x mainWindowHeight.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "app/screen_table.h"

#include "app/startup.h"
#include "base/shared.h"
#include "frame/control_drawing.h"
#include "frame/controls.h"
#include "frame/dispatch.h"
#include "frame/message_panel.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "common/generated_data.h"
#include "lessons/lesson_menu_screen.h"
#include "lessons/lesson_one_screen.h"
#include "lessons/lesson_options.h"
#include "lessons/options_screen.h"
#include "lessons/lesson_state.h"
#include "progress/time_line_numbers_screen.h"
#include "store/store_fixture.h"

namespace {

int32_t fixedDay() { return 44100; }
void noPicture() {}

std::vector<std::string> outside;
int32_t drawingScreen = 0;

bool inside(double left, double bottom, double right, double top)
{
    return left >= 0 && bottom >= 0 && right <= mainWindowWidth && top <= mainWindowHeight;
}

void watchText(int32_t font, std::string_view text, double x, double y)
{
    if (text.empty()) return;
    const TextBox b = textBox(font, text, x, y);
    if (!inside(b.left, b.bottom, b.right, b.top))
        outside.push_back("screen " + std::to_string(drawingScreen) + ": text \"" + std::string(text) + "\" at " +
                          std::to_string(int(x)) + ", " + std::to_string(int(y)) + " reaches " +
                          std::to_string(int(b.right)) + ", " + std::to_string(int(b.top)));
}

void watchControl(const ControlRecord &c)
{
    if (!inside(c.left, c.bottom, c.right, c.top))
        outside.push_back("screen " + std::to_string(drawingScreen) + ": control \"" + c.caption + "\" " +
                          std::to_string(c.left) + ".." + std::to_string(c.right) + " x " +
                          std::to_string(c.bottom) + ".." + std::to_string(c.top));
}

void drawScreen(int32_t id, int frames)
{
    // What the screen before left in the shared toolkit state.
    resetTextEditing();
    clearAlertLines();
    setKeyboardFocus(nullptr);
    drawingScreen = id;
    currentScreen = id;
    for (int f = 0; f < frames && currentScreen == id; ++f) displayCurrentScreen();
}

// Runs in a child process (GLUT starts once per process); exits 0 when
// nothing lay outside, else prints what did.
[[noreturn]] void drawEveryScreen()
{
    int argc = 1;
    char name[] = "screens_in_window";
    char *argv[] = {name, nullptr};
    createMainWindow(&argc, argv);
    glutDisplayFunc([] {});
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    initProjection();
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    setTextObserver(watchText);
    setControlObserver(watchControl);

    currentUserKey = 1;
    currentUserName = "Administrator";
    currentUserTessitura = 3;
    setTodayFunction(fixedDay);
    // Lesson 2 passed with its eight notes: the menu shows every panel.
    LessonBlock chosen = emptyLessonBlock();
    for (int j = 0; j < 8; ++j) chosen.slots[j] = NoteSlot{27 + j, -0.04, 3.0, 1};
    chosen.done = 1;
    setUserLessonBlock(1, 0, chosen);
    setUserLessonBlock(1, 1, chosen);
    addTimeLineEntry(1, 1, chosen);
    setScreenLookup(screenHandlersFor);
    for (int32_t id : {setupScreenId, userManagementScreenId, aboutScreenId, lessonOverviewScreenId,
                       exerciseInfoScreenId, exerciseSampleScreenId, noteStatisticsScreenId, timeLineGraphScreenId,
                       timeLineNumbersScreenId, scoreOverviewScreenId, replayOptionsScreenId})
        if (screenHandlersFor(id)->create != nullptr) screenHandlersFor(id)->create();
    currentLesson = 3;
    exerciseType = 22;

    drawScreen(setupScreenId, 3);
    drawScreen(userManagementScreenId, 3);
    drawScreen(aboutScreenId, 3);
    for (int32_t id : {lessonOverviewScreenId, exerciseInfoScreenId, exerciseSampleScreenId}) {
        currentLesson = 3;
        drawScreen(id, 3);
    }
    lessonMenuHooks.loadMenuPicture = noPicture;
    screenHandlersFor(lessonMenuScreenId)->create();
    enterLessonMenu();
    drawScreen(lessonMenuScreenId, 3);
    currentLesson = 3;
    drawScreen(noteStatisticsScreenId, 3);
    drawScreen(timeLineGraphScreenId, 3);
    drawScreen(timeLineNumbersScreenId, 3);
    // The export form.
    drawingScreen = timeLineNumbersScreenId;
    timeLineNumbersState.pendingAction = 0;
    mouseCurrentScreen(0, 0, (timeLineNumbersState.controls[tlnExport].left + timeLineNumbersState.controls[tlnExport].right) / 2,
                       mainWindowHeight - (timeLineNumbersState.controls[tlnExport].bottom + timeLineNumbersState.controls[tlnExport].top) / 2);
    mouseCurrentScreen(0, 1, (timeLineNumbersState.controls[tlnExport].left + timeLineNumbersState.controls[tlnExport].right) / 2,
                       mainWindowHeight - (timeLineNumbersState.controls[tlnExport].bottom + timeLineNumbersState.controls[tlnExport].top) / 2);
    drawScreen(timeLineNumbersScreenId, 3);
    if (timeLineNumbersState.phase != 2) _exit(3);
    drawScreen(scoreOverviewScreenId, 3);
    drawScreen(replayOptionsScreenId, 3);

    // The options dialog of lesson 2 (the note choice) with its pictures and
    // notes chosen.
    userDataDirAlt = generatedData();
    setUpLessonOneScreen();
    currentLesson = 2;
    setUpExerciseOptions();
    for (int32_t note : {27, 29, 31, 32, 34, 36, 39}) preselectNote(note);
    createOptionsControls();
    drawScreen(exerciseOptionsScreenId, 3);
    if (optionsScreen.state != 1) _exit(4);

    for (const std::string &s : outside) std::fprintf(stderr, "%s\n", s.c_str());
    _exit(outside.empty() ? 0 : 1);
}

} // namespace

using ScreensInWindow = StoreFolderTest;

TEST_F(ScreensInWindow, NoTextOrControlLiesOutsideTheWindow)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    createStore();
    EXPECT_EXIT(drawEveryScreen(), ::testing::ExitedWithCode(0), "");
}

TEST(TextBoxes, MeasureWhatGlutDraws)
{
    // The 9 x 15 font advances 9 pixels a character.
    const TextBox a = textBox(font9By15, "Note Name", 251, 770);
    EXPECT_EQ(a.right, 251 + 81);
    EXPECT_EQ(a.top, 781);
    EXPECT_EQ(a.bottom, 767);
    // Times Roman 24 has GLUT's widths: "Do" is 17 + 12.
    const TextBox b = textBox(fontTimesRoman24, "Do", 1120, 477);
    EXPECT_EQ(b.right, 1149);
    EXPECT_EQ(b.top, 494);
}
