// The clock dial of a lesson's delay, as the lesson menu shows it and the
// introductory lesson's copy of that screen draws it: a pie of the delay's
// seconds, a long hand for the seconds and a short hand for the minutes,
// centred at (532, 238). Drawn through the immediate-mode facade, so a test
// reads it as a trace.
#pragma once
#include <cstdint>

#include "frame/immediate_draw.h"

constexpr int32_t dialCentreX = 532;
constexpr int32_t dialCentreY = 238;
constexpr double dialPieRadius = 43;
constexpr double dialSecondsHandRadius = 31;
constexpr double dialMinutesHandRadius = 19;
constexpr int32_t dialStepsPerTurn = 120; // one step is 3 degrees, clockwise from 12 o'clock

// Where the hands of lesson 1..556 stand, in steps: `seconds` twice the
// delay's seconds (three steps per 1.5 s; beyond one turn for delays of a
// minute and more, 480 from lesson 483 on), `minutes` twice its whole minutes
// (0 for lesson 1..119, 40 at 554..556). Both 0 for lessons 1 and 2, which
// have no delay.
struct DialSteps {
    int32_t seconds;
    int32_t minutes;
};
DialSteps lessonDialSteps(int32_t lesson);

// The point at radius r and step count s around the dial's centre (not rounded).
void dialPoint(double r, int32_t s, double &x, double &y);

// An arrow as drawArrow draws it, through the facade: the colour of `style`
// (0 black, 1 red, 2 green, 3 yellow at alpha 0.4; 4 mauve, 5 dark green,
// 6 olive yellow, opaque), the given line width, the shaft and two head
// strokes at depth -6, then line width 1. The style's colour stays current.
void drawStyledArrow(ImmediateDraw &draw, int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     int32_t width);

// The whole dial of lesson 1..556: for lessons above 2 the pie (mauve, depth
// -7; a full disc from one turn on), then the seconds hand and the minutes
// hand (black arrows of width 2, their ends rounded to whole pixels). Lessons
// 1 and 2 show both hands straight up and no pie. Leaves the colour black at
// alpha 0.4.
void drawLessonDial(ImmediateDraw &draw, int32_t lesson);
