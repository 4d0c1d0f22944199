// The exercise screen's input and the pure rules of its drawing.
#include <gtest/gtest.h>

#include "frame/controls.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "lessons/exercise_drawing.h"
#include "lessons/exercise_screen.h"
#include "lessons/lesson_state.h"

namespace {

struct ExerciseScreenInput : ::testing::Test {
    void SetUp() override
    {
        exerciseScreenHandlers.create();
        resetMessageState();
        exerciseScreen.pendingAction = exerciseScreen.deferredAction = 0;
        windowHeight = 765;
    }
};

TEST_F(ExerciseScreenInput, KeysByStateAndAlertDismissal)
{
    exerciseRun.lessonProgress = progressWaitInitialisation;
    exerciseScreenHandlers.keyboard('x', 0, 0);
    EXPECT_FALSE(alertShown());

    exerciseRun.lessonProgress = progressGetExerciseAnswer;
    setKeyboardFocus(&exerciseScreen.quitControl);
    exerciseScreenHandlers.keyboard('x', 0, 0);
    EXPECT_EQ(alertLines[0], "Click \"Quit\" to return");
    EXPECT_EQ(alertLines[1], "to the lessons choice menu");
    // A release anywhere dismisses it; the Quit control keeps the focus.
    exerciseScreenHandlers.mouse(0, 0, 10, 10);
    EXPECT_TRUE(alertShown());
    exerciseScreenHandlers.mouse(0, 1, 10, 10);
    EXPECT_FALSE(alertShown());
    EXPECT_EQ(keyboardFocus, &exerciseScreen.quitControl);
    EXPECT_EQ(exerciseScreen.pendingAction, 0);
    // Return on the focused Quit queues 55.
    exerciseScreenHandlers.keyboard(13, 0, 0);
    EXPECT_EQ(exerciseScreen.pendingAction, exerciseQuitAction);
}

TEST_F(ExerciseScreenInput, QuitButtonHoverAndRelease)
{
    exerciseRun.lessonProgress = progressPrepareExercise;
    exerciseScreenHandlers.passiveMotion(830, 765 - 37);
    EXPECT_EQ(hintLine, ""); // ignored while an exercise is prepared

    exerciseRun.lessonProgress = progressGetExerciseAnswer;
    exerciseScreenHandlers.passiveMotion(830, 765 - 37);
    EXPECT_EQ(hintLine, "Click to return to the lessons choice menu");
    exerciseScreenHandlers.passiveMotion(100, 100);
    EXPECT_EQ(hintLine, "");
    exerciseScreenHandlers.mouse(0, 0, 830, 765 - 37);
    exerciseScreenHandlers.mouse(0, 1, 830, 765 - 37);
    EXPECT_TRUE(exerciseScreen.pendingAction == exerciseQuitAction ||
                exerciseScreen.deferredAction == exerciseQuitAction);
}

TEST(ExerciseScreenStart, ScreenOfTheCurrentLesson)
{
    const int32_t lessons[][2] = {{20, 35}, {2, 17}, {3, 18}, {556, 571}, {557, 572}};
    for (const auto &l : lessons) {
        currentLesson = l[0];
        startExerciseScreen();
        EXPECT_EQ(currentScreen, l[1]);
    }
    currentLesson = 1;
    EXPECT_EXIT(startExerciseScreen(), ::testing::ExitedWithCode(7752 % 250), "7752");
    currentLesson = 558;
    EXPECT_EXIT(startExerciseScreen(), ::testing::ExitedWithCode(7752 % 250), "7752");
}

TEST(ExerciseDrawingRules, TimelineMarker)
{
    const double f = exerciseFrameMs;
    EXPECT_EQ(timelineMarkerLength(answerPreparing, 0, 1500), -1);
    EXPECT_NEAR(timelineMarkerLength(answerRelax, 10, 1500), 10 * f / 500 * 30, 1e-9);
    // The delay segment reaches 195 + 420 at the end of a 1500-ms delay.
    EXPECT_NEAR(timelineMarkerLength(answerDelay, 0, 1500) + 0, 150 + (0 - listenFrameLimit) * f / 1500 * 270, 1e-9);
    EXPECT_NEAR(timelineMarkerLength(answerDelay, 86, 1500), 420, 1.2); // last delay frame
    EXPECT_EQ(timelineMarkerLength(answerEvaluate, 130, 1500), 540);
    EXPECT_EQ(timelineMarkerLength(answerFeedback, 200, 1500), 540);
}

TEST(ExerciseDrawingRules, ScopeReadout)
{
    EXPECT_EQ(scopeReadout(440.5), "f= 440.50");
    EXPECT_EQ(scopeReadout(98.07), "f=  98.07");
    EXPECT_EQ(scopeReadout(9.5), "f=    9.50");
    EXPECT_EQ(scopeReadout(6.0), "f=    0.00");
    EXPECT_EQ(scopeReadout(1318.51), "f=1318.51");
}

TEST(ExerciseDrawingRules, TraceMarks)
{
    //               block:  0    1    2    3     4    5    6
    const double values[] = {0, 170, 175, 0, 180, 500, 150};
    const double meter[] = {0, 160, 170, 5, 160, 322, 150};
    EXPECT_EQ(traceMark(values, meter, 0), TraceMark::point);
    EXPECT_EQ(traceMark(values, meter, 1), TraceMark::point);   // after a value of 10 or less
    EXPECT_EQ(traceMark(values, meter, 2), TraceMark::line);
    EXPECT_EQ(traceMark(values, meter, 3), TraceMark::point);   // no pitch: a point
    EXPECT_EQ(traceMark(values, meter, 4), TraceMark::point);   // after the point at 0
    EXPECT_EQ(traceMark(values, meter, 5), TraceMark::point);   // jump of 320: a new point
    const double notTaken[] = {0, 170, 0};
    EXPECT_EQ(traceMark(values, notTaken, 2), TraceMark::nothing);
}

TEST(ExerciseDrawingRules, AnswerStatusWords)
{
    EXPECT_STREQ(answerStatus(answerRelax, 3, 7500, false).text, "Relax");
    EXPECT_EQ(answerStatus(answerListen, 20, 7500, false).icon, 5);
    EXPECT_STREQ(answerStatus(answerDelay, 60, 7500, true).text, "Sing");
    EXPECT_STREQ(answerStatus(answerDelay, 100, 7500, false).text, "relax");
    const ExerciseStatus prepare = answerStatus(answerDelay, 108, 7500, false); // 5 s before singing
    EXPECT_STREQ(prepare.text, "Prepare");
    EXPECT_EQ(prepare.icon, 6);
    EXPECT_EQ(answerStatus(answerSing, 230, 7500, false).icon, 7);
}

} // namespace
