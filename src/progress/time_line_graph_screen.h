// Screen 574, the time-line graph: one thin row per training day of the
// current user, with the day's date and counts, and one cell per lesson of
// the page, green where the day's notes of that lesson passed, red where
// they were missed. Five pages cover the lesson blocks 1..554.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers timeLineGraphScreenHandlers;

// Draws day `day` of the current user for the page starting at block
// `firstBlock`; rowOffset grows by 6 for a training day.

// The screen's state, for tests.
struct TimeLineGraphState {
    int32_t phase = 0; // 0 first display to come, 1 showing
    int32_t page = 1; // 1..5
    int32_t frameCounter = 0;
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord previousButton;
    ControlRecord nextButton;
    ControlRecord quitButton;
};
extern TimeLineGraphState timeLineGraphState;
