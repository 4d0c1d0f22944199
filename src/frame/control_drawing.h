// Drawing of controls and of the open pop-up list (GL, immediate mode).
// A screen draws its controls, then drawPopupList, then drawTextCaret, then
// its message panel.
#pragma once
#include "frame/controls.h"

#include <string>

struct Rgba {
    float r, g, b, a;
};
// Background colour of a control or a pop-up entry in a given state.
Rgba controlStateColour(int32_t state);
// Tint of a picture toggle in a given state.
Rgba pictureToggleTint(int32_t state);

void drawControl(ControlRecord *control); // also stores a picker's picked position
// What decides the pixels of these picture toggles (place, state, value,
// pictures), as bytes; empty when one is no picture toggle or has a caption.
std::string pictureTogglesSignature(ControlRecord *const *toggles, int32_t count);
// For a frame whose toggles' pixels were copied back (drawKeptBox): leaves
// the GL state their drawing leaves and shows them to the control observer.
void passPictureToggles(ControlRecord *const *toggles, int32_t count);
// Watches every control drawControl draws (tests check where they lie);
// nullptr (the default) watches nothing.
using ControlObserver = void (*)(const ControlRecord &control);
void setControlObserver(ControlObserver observer);
void drawPopupList();                      // nothing while no list is open
void drawPopupEntry(const ControlRecord &entry);
