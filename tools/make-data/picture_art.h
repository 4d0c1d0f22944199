// The generated pictures of the four packs read while loading.
#pragma once
#include "picture_canvas.h"

Canvas drawLogoFrame(int frame, int width, int height);   // Images8: logo animation
Canvas drawPanelIcon(int icon, int width, int height);    // Images9: message-panel icons
Canvas drawCueFigure(int slot, int width, int height);    // Images6: teacher cue and count-in
Canvas drawNotationPicture(int slot, int width, int height); // Images7: clefs, notes, signs

// Shared by the notation pictures of the score view (score_view_art.cpp).
extern const Colour ink;
Colour variantColour(int variant); // 0 upcoming (ink), 1 current (green), 2 passed (blue)
// Sharp, flat and natural centred on (cx, cy) at size s (1 = 20 x 28).
void sharpSign(Canvas &c, double cx, double cy, double s, const Colour &col);
void flatSign(Canvas &c, double cx, double cy, double s, const Colour &col);
void naturalSign(Canvas &c, double cx, double cy, double s, const Colour &col);

// The pictures the score view draws as what it draws them for: Images6's cue
// figure sets and count-in metronome, Images7's key and time signatures and
// loudness marks. drawScoreViewNotation returns false for the Images7
// pictures it leaves to drawNotationPicture.
Canvas drawScoreViewFigure(int slot, int width, int height);
bool drawScoreViewNotation(int slot, Canvas &c);
