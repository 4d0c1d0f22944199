// Rounding used everywhere a real becomes a whole number: to nearest, ties to
// even (the default floating-point rounding mode). Truncation is written out
// explicitly where a computation needs it instead.
//
// std::rint gives the same value as std::nearbyint in every rounding mode
// (it may also raise the inexact flag, which nothing here reads), and the
// compiler does it in two instructions where nearbyint is a library call.
#pragma once
#include <cmath>
#include <cstdint>

inline double roundNearest(double x) { return std::rint(x); }

inline int32_t roundToInt32(double x) { return static_cast<int32_t>(std::rint(x)); }

inline int64_t roundToInt64(double x) { return static_cast<int64_t>(std::rint(x)); }

// The same in extended precision, for sums that must not lose the low bits of
// a large sample count before rounding.
inline long double roundNearest(long double x) { return std::nearbyint(x); }

inline int32_t roundToInt32(long double x) { return static_cast<int32_t>(std::nearbyint(x)); }
