// Screen 6, the lesson menu: a chosen user's home. It shows one lesson at a
// time (Prev and Next step through them) with the panels around it, starts
// the shown lesson through the lesson loader (Start Lesson, accepted up to
// one lesson past the user's highest passed one, and every lesson once
// lesson 2 is passed), opens the three statistics screens, returns to the
// user selection or quits. A list of eight lessons that is never drawn can be
// walked with Up and Down and started with Return.
//
// Other screens come back by assigning currentScreen only: every action that
// leaves the menu puts it back to its set-up, which keeps shownLesson.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/immediate_draw.h"
#include "frame/screens.h"

extern const ScreenHandlers lessonMenuScreenHandlers;

// Prepares the menu for the current user (currentUserKey) before the switch
// to it (user management): the shown lesson is the user's saved current
// lesson, kept within 1..556, and the hidden list opens at its page.
void enterLessonMenu();

constexpr int32_t lessonMenuListRows = 8;
constexpr int32_t lessonMenuLastPage = 70; // page 70 holds lessons 553..556

// The screen's state, for tests. shownLesson and currentLesson are the
// lesson values' (lesson_state.h).
struct LessonMenuState {
    int32_t phase = 0; // lessonMenuState: 0 set-up, 2 running
    int32_t highestDoableLesson = 1; // Start Lesson accepts up to this + 1
    int32_t listPage = 1;            // page of the hidden list, 8 lessons each
    int32_t listStart = 1;           // lesson of the list's first row
    int32_t frameCounter = 0;        // 0..189
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord listRows[lessonMenuListRows];
    ControlRecord previousPageButton, nextPageButton; // never drawn
    ControlRecord prevButton, nextButton, startButton;
    ControlRecord statisticsButton, graphButton, numbersButton;
    ControlRecord exitButton, changeUserButton;
};
extern LessonMenuState lessonMenuState;

// The lesson a hidden-list row starts (row 0..7 of the current page).
int32_t lessonMenuRowLesson(int32_t row);

// What tests replace: the picture's one-time load and the lesson start's
// preparation (the lesson-one screen's set-up with its pictures, then the
// option defaults), and the facade the frame is drawn through.
struct LessonMenuHooks {
    void (*loadMenuPicture)() = nullptr;    // default: Images51's first picture, at every visit (freed on leaving)
    void (*prepareLessonStart)() = nullptr; // default: setUpLessonOneScreen, setUpExerciseOptions
    ImmediateDraw *draw = nullptr;          // default: glImmediateDraw()
};
extern LessonMenuHooks lessonMenuHooks;

