// Screen dispatch table.
//
// Every screen is one module with (as far as it needs them) ten procedures.
// The module exposes one ScreenHandlers value; src/app/screen_table.cpp
// lists which ScreenId range it serves. The dispatcher only ever calls the
// display and the five input procedures; the loading screen calls `create`
// once; the rest are the screen's own.
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

struct ScreenTableEntry {
    int32_t firstId;
    int32_t lastId;
    const ScreenHandlers *handlers;
};

// The table (screen_table.cpp). Ids not covered draw nothing and ignore input.
extern const ScreenTableEntry screenTable[];
extern const int screenTableSize;

// The handlers serving a screen id, or nullptr.
const ScreenHandlers *screenHandlersFor(int32_t id);
