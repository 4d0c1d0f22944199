// Screen 576, the score overview after every lesson: adds the run to the
// user's tallies, records and rates the score, shows personal and lesson
// bests, the lesson's requirements and its per-note results, and offers
// Exit, ChangeLesson (lesson menu), RepeatLesson (the lesson again) and
// Replay (the replay options of the lesson's last recording).
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers scoreOverviewScreenHandlers;

void createScoreOverviewControls();
int32_t resetScoreOverviewControls(ControlRecord *control);
void scoreOverviewKeyboard(unsigned char key, int x, int y);
void scoreOverviewSpecialKey(int key, int x, int y);
void scoreOverviewMouse(int button, int state, int x, int y);
void scoreOverviewMotion(int x, int y);
void scoreOverviewPassiveMotion(int x, int y);
void drawScoreOverviewControls();
void handleScoreOverviewAction();
void displayScoreOverviewScreen();

// State, for tests.
extern int32_t scoreOverviewPhase; // 0 first display to come, 1 showing
extern int32_t scoreOverviewFrameCounter;
extern int32_t scoreOverviewPendingAction;
extern int32_t scoreOverviewDeferredAction;
extern int32_t scoreOverviewRating; // rating of the run, set by the first display
extern ControlRecord scoreOverviewExitButton;
extern ControlRecord scoreOverviewChangeButton;
extern ControlRecord scoreOverviewRepeatButton;
extern ControlRecord scoreOverviewReplayButton; // opens the replay options (577)

// Prepares the exercise options for the current lesson; the lessons
// subsystem provides it (a stand-in that does nothing is used until then).
void setUpExerciseOptions();
