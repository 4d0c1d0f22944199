// Rounding used everywhere a real becomes a whole number: to nearest, ties to
// even (the default floating-point rounding mode). Truncation is written out
// explicitly where a computation needs it instead.
#pragma once
#include <cmath>
#include <cstdint>

inline double roundNearest(double x) { return std::nearbyint(x); }

inline int32_t roundToInt32(double x) { return static_cast<int32_t>(std::nearbyint(x)); }

inline int64_t roundToInt64(double x) { return static_cast<int64_t>(std::nearbyint(x)); }

// The same in extended precision, for sums that must not lose the low bits of
// a large sample count before rounding.
inline long double roundNearest(long double x) { return std::nearbyint(x); }

inline int32_t roundToInt32(long double x) { return static_cast<int32_t>(std::nearbyint(x)); }
