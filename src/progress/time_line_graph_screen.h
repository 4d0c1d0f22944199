// Screen 574, the time-line graph: one thin row per training day of the
// current user, with the day's date and counts, and one cell per lesson of
// the page, green where the day's notes of that lesson passed, red where
// they were missed. Five pages cover the lesson blocks 1..554.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

// Numbered stops of this module.
constexpr int32_t stopTimeLineFieldEdited = 9512; // a field other than the form's is being edited
constexpr int32_t stopGraphPageOfBlock = 9503;    // no graph page starts with the block
constexpr int32_t stopGraphPage = 9501;           // the graph page does not exist


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
