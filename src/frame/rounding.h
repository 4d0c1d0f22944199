// Rounding used everywhere a real becomes a whole number: to nearest, ties to
// even (the default floating-point rounding mode). Truncation is written out
// explicitly where a computation needs it instead.
#pragma once
#include <cmath>
#include <cstdint>

inline double roundNearest(double x) { return std::nearbyint(x); }

inline int32_t roundToInt32(double x) { return static_cast<int32_t>(std::nearbyint(x)); }

inline int64_t roundToInt64(double x) { return static_cast<int64_t>(std::nearbyint(x)); }
