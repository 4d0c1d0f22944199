// The generated pictures of the four packs read while loading.
#pragma once
#include "picture_canvas.h"

Canvas drawLogoFrame(int frame, int width, int height);   // Images8: logo animation
Canvas drawPanelIcon(int icon, int width, int height);    // Images9: message-panel icons
Canvas drawCueFigure(int slot, int width, int height);    // Images6: teacher cue and count-in
Canvas drawNotationPicture(int slot, int width, int height); // Images7: clefs, notes, signs
