// Screen 573, "Note Statistics:": the current user's per-note results of the
// lesson the lesson menu shows (for the note-selection lesson: the user's
// current highest level). "quit" returns to the lesson menu.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers noteStatisticsScreenHandlers;

void createNoteStatisticsControls();
int32_t resetNoteStatisticsControls(ControlRecord *control);
void noteStatisticsKeyboard(unsigned char key, int x, int y);
void noteStatisticsSpecialKey(int key, int x, int y);
void noteStatisticsMouse(int button, int state, int x, int y);
void noteStatisticsMotion(int x, int y);
void noteStatisticsPassiveMotion(int x, int y);
void drawNoteStatisticsControls();
void handleNoteStatisticsAction();
void displayNoteStatisticsScreen();

// State, for tests.
extern int32_t noteStatisticsPhase; // 0 first display to come, 1 showing
extern int32_t noteStatisticsPage;  // always 1: the screen has one page
extern int32_t noteStatisticsFrameCounter;
extern int32_t noteStatisticsPendingAction;
extern int32_t noteStatisticsDeferredAction;
extern ControlRecord noteStatisticsPreviousButton;
extern ControlRecord noteStatisticsNextButton;
extern ControlRecord noteStatisticsQuitButton;
