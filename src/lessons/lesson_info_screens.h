// Screens 14 (lesson overview), 15 (exercise information) and 16 (exercise
// sample): each describes the current lesson and leaves with one button to
// the introduction, the options screen, an exercise screen or the lesson
// menu. No screen switches to them; they show only when currentScreen is set
// to their id. Screen 16 plays the lesson folder's "SampleSound.ogg" over
// and over (a folder without one plays nothing).
#pragma once
#include <cstdint>
#include <string>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers lessonOverviewScreenHandlers;
extern const ScreenHandlers exerciseInfoScreenHandlers;
extern const ScreenHandlers exerciseSampleScreenHandlers;

constexpr int32_t infoStartAction = 25;        // Start (14), Close (15, 16)
constexpr int32_t infoChangeLessonAction = 26; // ChangeLesson (14)

// Stops of the exercise sample screen.
constexpr int32_t stopSampleCloseDetach = 8501;
constexpr int32_t stopSampleDetach = 8503;
constexpr int32_t stopSampleLoad = 8504;
constexpr int32_t stopSampleBuffers = 8505;
constexpr int32_t stopSampleFieldEdit = 8510;

// One screen's state, for tests.
struct InfoScreenState {
    int32_t phase = 0; // 0 entry, 1 running
    int32_t frameCounter = 0;
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord startButton;  // Start on 14, Close on 15 and 16
    ControlRecord changeButton; // ChangeLesson on 14 only
};
extern InfoScreenState lessonOverviewState;
extern InfoScreenState exerciseInfoState;
extern InfoScreenState exerciseSampleState;

// What screen 16 plays, so tests can replace it.
struct ExerciseSampleHooks {
    void (*playSample)(const std::string &path); // playLessonSample
    void (*stopSample)();                        // stop the teacher source, detach its buffer
};
const ExerciseSampleHooks &realExerciseSampleHooks();
void setExerciseSampleHooks(const ExerciseSampleHooks &hooks);
