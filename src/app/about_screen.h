// Screen 4, About: the program's name and version; Close returns to the user
// management screen (3), from which it is opened.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers aboutScreenHandlers;

// The screen's state, for tests.
struct AboutState {
    int32_t phase = 0; // 0 enter (the next frame sets the screen up), 1 shown
    int32_t frameCounter = 0; // 0..189
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord closeButton;
};
extern AboutState aboutState;
