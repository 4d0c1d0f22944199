// Screen 574, the time-line graph: one thin row per training day of the
// current user, with the day's date and counts, and one cell per lesson of
// the page, green where the day's notes of that lesson passed, red where
// they were missed. Five pages cover the lesson blocks 1..554.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers timeLineGraphScreenHandlers;

void createTimeLineGraphControls();
int32_t resetTimeLineGraphControls(ControlRecord *control);
void timeLineGraphKeyboard(unsigned char key, int x, int y);
void timeLineGraphSpecialKey(int key, int x, int y);
void timeLineGraphMouse(int button, int state, int x, int y);
void timeLineGraphMotion(int x, int y);
void timeLineGraphPassiveMotion(int x, int y);
void drawTimeLineGraphControls();
void handleTimeLineGraphAction();
void displayTimeLineGraphScreen();

// Draws day `day` of the current user for the page starting at block
// `firstBlock`; rowOffset grows by 6 for a training day.
void drawTimeLineGraphDay(int32_t firstBlock, int32_t day, int32_t &rowOffset);
void drawTimeLineGraphCell(int32_t x, int32_t y, int32_t successes, int32_t misses);

// State, for tests.
extern int32_t timeLineGraphPhase; // 0 first display to come, 1 showing
extern int32_t timeLineGraphPage;  // 1..5
extern int32_t timeLineGraphFrameCounter;
extern int32_t timeLineGraphPendingAction;
extern int32_t timeLineGraphDeferredAction;
extern ControlRecord timeLineGraphPreviousButton;
extern ControlRecord timeLineGraphNextButton;
extern ControlRecord timeLineGraphQuitButton;
