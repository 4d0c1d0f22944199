// Screens 18..571, the exercise screen of lessons 3..556 (lesson index + 15):
// the exercise run's display, its one control (Quit) and its input. The run
// itself is exercise_run.*, its drawing exercise_drawing.*.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"
#include "lessons/exercise_run.h"

extern const ScreenHandlers exerciseScreenHandlers;

constexpr int32_t exerciseQuitAction = 55;
constexpr int32_t stopExerciseScreenLesson = 7752; // startExerciseScreen with a lesson outside 2..557

// Switches to the exercise screen of currentLesson (the options screen calls it).
void startExerciseScreen();

// The screen's own state, for the tests.
struct ExerciseScreenState {
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord quitControl;
};
extern ExerciseScreenState exerciseScreen;

// The hooks of the run on the real window, capture device, sources and store.
const ExerciseHooks &realExerciseHooks();
