// The two definitions the teacher reads item by item (a white panel whose
// items appear one by one: the item being read red, those already read blue)
// and the day chart whose 18 bars fill one unit per step, 104 units in all.
// Window pixels, y up; nothing is kept between frames.
#pragma once
#include <cstdint>

struct ImmediateDraw;

// Stage k: item i (2..6) hidden while k < i, red while k = i, blue once k > i.
void drawPitchPointDefinition(ImmediateDraw &draw, int32_t stage);
void drawAbsolutePitchDefinition(ImmediateDraw &draw, int32_t stage);
void drawGrowingBarChart(ImmediateDraw &draw, int32_t tick);

constexpr int32_t dayChartBarCount = 18;
// Bar b's (0..17) length in units after tick ticks.
int32_t dayChartBarUnits(int32_t bar, int32_t tick);
