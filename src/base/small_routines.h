// Small routines many modules share: byte swap, the random generator, a
// lenient decimal-text reader, fixed-point number texts and the vertices of
// an ellipse outline.
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

// value in fixed notation with `decimals` places ("%.*f"), never with a
// minus before digits that are all zero: a mean of -0.04 cents reads "0.0",
// not "-0.0"; -0.05 reads "-0.1" (ties to even as printf rounds).
std::string fixedText(double value, int decimals);

// The vertices of an ellipse outline (drawEllipseOutline draws them) (x, y pairs), made by repeated
// rotation from (cx + rx, cy).
void ellipseOutlineVertices(int32_t cx, int32_t cy, int32_t n, double rx, double ry, double *xy);
