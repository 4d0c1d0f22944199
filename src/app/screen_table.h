// The program's screen table: which module serves which ScreenId. Start-up
// hands screenHandlersFor to the dispatcher (setScreenLookup), so the
// toolkit below never names the table.
#pragma once
#include <cstdint>

#include "frame/screens.h"

struct ScreenTableEntry {
    int32_t firstId;
    int32_t lastId;
    const ScreenHandlers *handlers;
};

// One row per screen module (screen_table.cpp). Ids not covered draw nothing
// and ignore input.
extern const ScreenTableEntry screenTable[];
extern const int screenTableSize;

// The handlers serving a screen id, or nullptr.
const ScreenHandlers *screenHandlersFor(int32_t id);
