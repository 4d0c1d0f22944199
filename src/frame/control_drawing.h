// Drawing of controls and of the open pop-up list (GL, immediate mode).
// A screen draws its controls, then drawPopupList, then drawTextCaret, then
// its message panel.
#pragma once
#include "frame/controls.h"

struct Rgba {
    float r, g, b, a;
};
// Background colour of a control or a pop-up entry in a given state.
Rgba controlStateColour(int32_t state);
// Tint of a picture toggle in a given state.
Rgba pictureToggleTint(int32_t state);

void drawControl(ControlRecord *control); // also stores a picker's picked position
// Watches every control drawControl draws (tests check where they lie);
// nullptr (the default) watches nothing.
using ControlObserver = void (*)(const ControlRecord &control);
void setControlObserver(ControlObserver observer);
void drawPopupList();                      // nothing while no list is open
void drawPopupEntry(const ControlRecord &entry);
