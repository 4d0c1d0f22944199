// Screen 578, the replay of the last recording against the loaded lesson.
// The state machine is the engine of replay_run.*; this screen fills its
// hooks with the real devices, draws its frames and routes the input.
// Entered only from the replay options (577), to which it returns.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers replayScreenHandlers;

struct ReplayScreenState {
    int32_t inputPhase = 0; // 1 while the input acts (count-off, replay, freeze)
    int32_t frameCounter = 0;
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord quitControl;
    ControlRecord pauseControl;
    ControlRecord analyseCursor;
};
extern ReplayScreenState replayScreen;
