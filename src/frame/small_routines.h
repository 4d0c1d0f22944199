// Small routines many modules share: byte swap, the random generator, a
// lenient decimal-text reader, the logo animation and an ellipse outline.
#pragma once
#include <cstdint>
#include <string>

// v with its four bytes in reverse order.
uint32_t swapBytes32(uint32_t v);

// Seeds the program's single pseudo-random generator (start-up: once, from
// the clock).
void seedRandomGenerator(uint64_t seed);
void seedRandomFromClock();
// Uniform integer 0 <= r < n; 0 when n <= 0.
int32_t randomBelow(int32_t n);

// Reads a decimal number from a line of lesson data: digits before the first
// '.' build the integer part; every character after the '.' moves the next
// digit one place further; anything but digits and '.' is skipped; no sign.
// "1.5" -> 1.5, "1.x5" -> 1.05, "12a3" -> 123, "1.2.3" -> 1.203, "-2" -> 2.
double decimalTextToReal(const std::string &text);

// Draws picture n mod 38 of the logo animation centred on (175, 150).
void drawFrameAnimation(int32_t n);
// Index into frameAnimationTextures for a counter n (negative n wraps too).
int32_t frameAnimationIndex(int32_t n);

// Outline of an axis-parallel ellipse as a closed line of n vertices, in the
// current colour; the line width is 1 again afterwards.
void drawEllipseOutline(int32_t cx, int32_t cy, int32_t n, double rx, double ry, int32_t lineWidth);
// The vertices drawEllipseOutline emits (x, y pairs), made by repeated
// rotation from (cx + rx, cy).
void ellipseOutlineVertices(int32_t cx, int32_t cy, int32_t n, double rx, double ry, double *xy);
