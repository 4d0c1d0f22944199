#include "music/staff_geometry.h"

#include <cmath>

#include "music/note_labels.h"

ShakeOffset noteShakeOffset = {0, 0};
int32_t shakeStep = 0;

int32_t ledgerLineRows(int32_t s, int32_t lines[2])
{
    int32_t count = 0, first = 0;
    ledgerLinesForShownStaff(s, count, first);
    for (int32_t k = 0; k < count; ++k) lines[k] = first + 20 * k + staffPictureOffsetY;
    return count;
}

ShakeOffset shakeOffsetForStep(int32_t step)
{
    static constexpr ShakeOffset cycle[10] = {{0, 0},  {1, 0},   {1, 1},  {0, 1},  {-1, 1},
                                              {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}};
    if (step < 0 || step > 9) return {0, 0};
    return cycle[step];
}

void nextShakeOffset(int32_t &step)
{
    noteShakeOffset = shakeOffsetForStep(step);
    step = step >= 9 ? 0 : step + 1;
}

ArrowHead arrowHeadPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double headLength, double halfWidth)
{
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
    if (d == 0.0) return {double(x2), double(y2), double(x2), double(y2)};
    const double ux = dx * headLength / d, uy = dy * headLength / d;
    const double side = halfWidth / headLength;
    return {x2 - ux + uy * side, y2 - uy - ux * side, x2 - ux - uy * side, y2 - uy + ux * side};
}

float frequencyToStaffHeight(double hz)
{
    // Anchors at A1, then every B, C, E and F up to C6. Segments starting at
    // B or E span one semitone per letter step (120 units per octave), the
    // others two (60 units per octave).
    struct Anchor {
        double hz;
        double height;
        double unitsPerOctave;
    };
    static constexpr Anchor anchors[19] = {
        {55.0, 0, 60},         {61.7354, 10, 120},    {65.4064, 20, 60},    {82.4069, 40, 120},
        {87.3071, 50, 60},     {123.4708, 80, 120},   {130.8128, 90, 60},   {164.8138, 110, 120},
        {174.6141, 120, 60},   {246.9416, 150, 120},  {261.6256, 160, 60},  {329.6276, 180, 120},
        {349.2282, 190, 60},   {493.8833, 220, 120},  {523.2511, 230, 60},  {659.2551, 250, 120},
        {698.4564, 260, 60},   {987.7666, 290, 120},  {1046.5022, 300, 60},
    };
    if (!(hz >= 55.0) || hz >= 1318.5102) return 0.0f;
    int32_t k = 18;
    while (k > 0 && hz < anchors[k].hz) --k;
    const Anchor &a = anchors[k];
    return static_cast<float>(a.height + a.unitsPerOctave * std::log2(hz / a.hz));
}
