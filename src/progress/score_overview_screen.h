// Screen 576, the score overview after every lesson: adds the run to the
// user's tallies, records and rates the score, shows personal and lesson
// bests, the lesson's requirements and its per-note results, and offers
// Exit, ChangeLesson (lesson menu), RepeatLesson (the lesson again) and,
// where the replay fits the recording (results_logic.h, replayOffered),
// Replay (the replay options of the lesson's last recording).
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers scoreOverviewScreenHandlers;


// The screen's state, for tests.
struct ScoreOverviewState {
    int32_t phase = 0; // 0 first display to come, 1 showing
    int32_t frameCounter = 0;
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    int32_t rating = 0; // rating of the run, set by the first display
    bool replayShown = false; // Replay drawn and acting, set by the first display
    ControlRecord exitButton;
    ControlRecord changeButton;
    ControlRecord repeatButton;
    ControlRecord replayButton; // opens the replay options
};
extern ScoreOverviewState scoreOverviewState;
