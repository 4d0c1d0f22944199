// The ScreenHandlers record: the procedures of one screen.
//
// Every screen is one module with (as far as it needs them) ten procedures.
// The module exposes one ScreenHandlers value; the program's screen table
// (src/app/screen_table.*) lists which ScreenId range it serves and reaches
// the dispatcher through setScreenLookup (dispatch.h). The dispatcher only
// ever calls the display and the five input procedures; the loading screen
// calls `create` once; `enter` is called by a screen of another folder that
// opens this one; the rest are the screen's own.
#pragma once
#include <cstdint>

#include "base/screen_id.h"

struct ScreenHandlers {
    void (*create)() = nullptr;                                   // create<X>Controls
    void (*keyboard)(unsigned char key, int x, int y) = nullptr;  // <x>Keyboard
    void (*specialKey)(int key, int x, int y) = nullptr;          // <x>SpecialKey
    void (*mouse)(int button, int state, int x, int y) = nullptr; // <x>Mouse
    void (*motion)(int x, int y) = nullptr;                       // <x>Motion
    void (*passiveMotion)(int x, int y) = nullptr;                // <x>PassiveMotion
    void (*drawControls)() = nullptr;                             // draw<X>Controls
    void (*handleAction)() = nullptr;                             // handle<X>Action
    void (*display)() = nullptr;                                  // display<X>Screen
    // enter<X>: what the screen sets up when a screen of another folder opens
    // it (that screen calls it, then makes it current); nullptr: nothing.
    void (*enter)() = nullptr;
};
