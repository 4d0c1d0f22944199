// Drawing pieces that several full-window screens share.
#pragma once
#include <cstdint>

// The start of a screen's frame: clears the picture and sets the depth test
// the screens draw with.
void clearScreenFrame();

// The olive rule under a screen's title line.
void drawTitleRule();

// The white panel of the information screens (About, loading) with its
// heading in black.
void drawInfoPanel(int32_t font, const char *heading);

// A labelled panel: the heading in green at (x, y), the panel's outline
// (drawFrameRect at depth -6), then black for what is written inside.
void drawLabelledPanel(int32_t font, const char *heading, double x, double y, double left, double bottom,
                       double right, double top);

// The "Control:" box at the lower right of the information screens: the
// green heading and outline, and buttonLabel in black beside the place of
// the screen's one button.
void drawControlBox(int32_t font, const char *buttonLabel);

// The ownership notice and the program version, in the current colour.
void drawVersionLines(int32_t font);

// Draws picture n mod 38 of the logo animation centred on (175, 150).
void drawFrameAnimation(int32_t n);
// Index into frameAnimationTextures for a counter n (negative n wraps too).
int32_t frameAnimationIndex(int32_t n);
