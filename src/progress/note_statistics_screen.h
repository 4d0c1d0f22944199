// Screen 573, "Note Statistics:": the current user's per-note results of the
// lesson the lesson menu shows (for the note-selection lesson: the user's
// current highest level). "quit" returns to the lesson menu.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers noteStatisticsScreenHandlers;

// The screen's state, for tests.
struct NoteStatisticsState {
    int32_t phase = 0; // 0 first display to come, 1 showing
    int32_t page = 1; // always 1: the screen has one page
    int32_t frameCounter = 0;
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord previousButton;
    ControlRecord nextButton;
    ControlRecord quitButton;
};
extern NoteStatisticsState noteStatisticsState;
