// Screen 1: the sound input device cannot be used. It tells the user so and
// offers only to end the program (Close).
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers unsupportedScreenHandlers;

// The screen's state, for tests.
struct UnsupportedState {
    int32_t phase = 0; // 0 enter, 1 shown
    int32_t frameCounter = 0; // 0..189
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord closeButton;
};
extern UnsupportedState unsupportedState;
