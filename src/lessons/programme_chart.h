// The chart of the whole training programme under the lesson menu's panels
// (and the introductory lesson's copy of that screen): eight rows of bars,
// one per note slot of a lesson, showing how many notes the lessons of each
// stretch train, a label column on either side and a red marker at the shown
// lesson. Drawn through the immediate-mode facade.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "frame/immediate_draw.h"

constexpr int32_t chartRows = 8;
// Bottom y of each row, top to bottom; each row's bars are 21 pixels high.
constexpr std::array<int32_t, chartRows> chartRowY = {477, 452, 427, 402, 377, 352, 327, 302};
// The note slot (1..8) each row shows, top to bottom.
constexpr std::array<int32_t, chartRows> chartRowSlot = {7, 5, 3, 2, 1, 4, 6, 8};
constexpr int32_t chartBarHeight = 21;
constexpr int32_t chartLeftLabelX = 220;
constexpr int32_t chartRightLabelX = 1120;

// The x of the lesson marker of lesson 1..556 (0 for any other lesson):
// 140 and 210 for lessons 1 and 2, then four stretches ending at 1112.
int32_t lessonMarkerX(int32_t lesson);
// The marker's top: 215 for lesson 1, 430 for lesson 2, 530 otherwise (its
// bottom is 160).
int32_t lessonMarkerTop(int32_t lesson);

struct ChartColour {
    float r, g, b, a;
};

// Labels (top to bottom) in Times Roman 24 at x 220 in `leftColour`, the bars
// (blue, cyan, green, yellow at alpha 0.4, depth -8), the labels again at
// x 1120 in `rightColour`, the marker of `lesson` (width 3, dark red, depth
// -6; none outside 1..556) and the fixed mauve line at x 817 (width 2).
// Leaves line width 1.
void drawProgrammeChart(ImmediateDraw &draw, int32_t lesson, const std::array<std::string, chartRows> &labels,
                        ChartColour leftColour, ChartColour rightColour);

// The mauve line from (817, 180) to (817, 640), width 2, then width 1: the
// menu picture's divider, drawn again after the chart.
void drawChartDivider(ImmediateDraw &draw);
