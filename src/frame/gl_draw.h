// Small immediate-mode drawing helpers. Back-face culling stays on once the
// first pictures are drawn, so every filled polygon here is wound
// counter-clockwise whatever order the corners are given in.
#pragma once
#include <cstdint>
#include <string>

// True when a GL context is current (tests run the toolkit without one).
bool haveGlContext();

void setColour(float r, float g, float b, float a);

// Filled rectangle between two opposite corners, texturing off.
void fillRect(double x0, double y0, double x1, double y1, double z);
// Textured rectangle between two corners; texture coordinates (0, 1) at the
// lower left, (1, 0) at the upper right (pictures are stored top row first).
// Texturing, culling and the alpha test (> 0.1) are enabled; texturing is off
// afterwards, culling and the alpha test stay on. Texture name 0 draws an
// untextured quad in the current colour's alpha test, never a crash.
void drawTexturedRect(unsigned int texture, double x0, double y0, double x1, double y1, double z);
// The GL state drawTexturedRect leaves after drawing `texture`, set without drawing.
void leaveTexturedRectState(unsigned int texture);
// Notes the part of an uploaded picture that can ever show: the box of its
// texels whose alpha is above 0 (rgba top row first, width x height).
// drawTexturedRect then limits the drawing to that box and a margin wider
// than any filter reaches (every fragment outside it has alpha 0 and the
// alpha test drops it): the same pixels, for a fraction of the work where a
// picture is mostly transparent. Pictures whose edges repeat are not limited.
void notePictureInk(unsigned int texture, int32_t width, int32_t height, const uint8_t *rgba, bool repeats);

// A texture's picture on four corners (x, y pairs; texture (0, 1), (1, 1),
// (1, 0), (0, 0) at corners 0..3), drawn counter-clockwise whichever way
// they are given; texturing, culling and the alpha test as drawTexturedRect.
void drawTexturedQuad(unsigned int texture, const double *xy, double z);

// A picture that lies on the cleared frame with nothing drawn before it (a
// screen's backdrop), drawn as drawTexturedRect draws it. The first frame
// draws it and keeps the window's pixels as they then are; later frames with
// the same picture, corners, depth, colour, clear colour, blending and window
// size copy those pixels back in one blit instead of sampling the picture
// again (the same pixels: they are the ones it made). Without framebuffer
// objects it is drawn every frame. The copy is forgotten when the screen
// changes (forgetBackdropCopy), so a picture loaded again under the same
// texture name is drawn anew.
void drawBackdropPicture(unsigned int texture, double x0, double y0, double x1, double y1, double z);
void forgetBackdropCopy();

// A box of the window whose pixels a screen draws alike frame after frame,
// as long as what decides them stays the same (the caller sums that up in
// `signature`, compared byte for byte: what it draws there and what lies
// under it). keepBox keeps
// the box's pixels as they are now; drawKeptBox copies them back, texel for
// pixel, and returns true when the signature, the box and the window are the
// kept ones, under the pixel projection the screens use (otherwise it draws
// nothing and returns false, and the caller draws the box and keeps it).
// Both leave the GL state as they found it. Without framebuffer objects
// nothing is kept. A change of screen forgets the box (forgetKeptBox).
bool drawKeptBox(const std::string &signature, int32_t left, int32_t bottom, int32_t width, int32_t height);
void keepBox(const std::string &signature, int32_t left, int32_t bottom, int32_t width, int32_t height);
void forgetKeptBox();

void drawLine(double x0, double y0, double x1, double y1, double z);
// Line strip / closed loop through n points (xy pairs).
void drawLineStrip(const double *xy, int n, double z);
void drawLineLoop(const double *xy, int n, double z);
// The outline of an axis-parallel rectangle: a closed line from the upper
// left corner clockwise (panels, boxes and frames of the screens).
void drawFrameRect(double left, double bottom, double right, double top, double z);
// Filled triangle, wound counter-clockwise whatever the corner order.
void fillTriangle(double x0, double y0, double x1, double y1, double x2, double y2, double z);

// Signed doubled area of a polygon: positive for counter-clockwise corners.
double signedArea2(const double *xy, int n);

// Outline of an axis-parallel ellipse as a closed line of n vertices, in the
// current colour; the line width is 1 again afterwards.
void drawEllipseOutline(int32_t cx, int32_t cy, int32_t n, double rx, double ry, int32_t lineWidth);
