#include "base/small_routines.h"


#include <chrono>
#include <cstdio>
#include <cmath>
#include <random>

uint32_t swapBytes32(uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
}

static std::mt19937_64 randomGenerator(0x5EED);

void seedRandomGenerator(uint64_t seed) { randomGenerator.seed(seed); }

void seedRandomFromClock()
{
    seedRandomGenerator(static_cast<uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
}

int32_t randomBelow(int32_t n)
{
    if (n <= 0) return 0;
    std::uniform_int_distribution<int32_t> pick(0, n - 1);
    return pick(randomGenerator);
}

std::string fixedText(double value, int decimals)
{
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (text[0] == '-') {
        bool allZero = true;
        for (const char *c = text + 1; *c != '\0'; ++c)
            if (*c >= '1' && *c <= '9') allZero = false;
        if (allZero) return text + 1;
    }
    return text;
}

double decimalTextToReal(const std::string &text)
{
    double value = 0.0;
    bool afterPoint = false;
    // The place value is a double, so a long fraction only makes its later
    // digits vanish instead of overflowing a counter.
    double place = 1.0;
    const size_t length = text.size() < 255 ? text.size() : 255;
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (afterPoint) place *= 10.0;
        if (c == '.') {
            afterPoint = true;
        } else if (c >= '0' && c <= '9') {
            const int d = c - '0';
            if (!afterPoint)
                value = value * 10.0 + d;
            else
                value = value + d / place;
        }
    }
    return value;
}

void ellipseOutlineVertices(int32_t cx, int32_t cy, int32_t n, double rx, double ry, double *xy)
{
    const double theta = 2.0 * M_PI / n;
    const double cosT = std::cos(theta), sinT = std::sin(theta);
    double c = 1.0, s = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        xy[2 * i] = cx + rx * c;
        xy[2 * i + 1] = cy + ry * s;
        const double c2 = c * cosT - s * sinT;
        s = c * sinT + s * cosT;
        c = c2;
    }
}
