#include "lessons/delay_dial.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"
#include "music/staff_geometry.h"

DialSteps lessonDialSteps(int32_t lesson)
{
    if (lesson <= 2) return {0, 0};
    const int32_t seconds = lesson <= 482 ? 3 * ((lesson - 3) / 3 + 1) : 480;
    int32_t minutes;
    if (lesson <= 119) minutes = 0;
    else if (lesson <= 239) minutes = 2;
    else if (lesson <= 359) minutes = 4;
    else if (lesson <= 479) minutes = 6;
    else if (lesson <= 508) minutes = 8;
    else minutes = 10 + 2 * ((lesson - 509) / 3);
    return {seconds, minutes};
}

void dialPoint(double r, int32_t s, double &x, double &y)
{
    const double angle = M_PI / 2 + s * M_PI / 60;
    x = dialCentreX - r * std::cos(angle);
    y = dialCentreY + r * std::sin(angle);
}

void drawStyledArrow(ImmediateDraw &draw, int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     int32_t width)
{
    static constexpr float colours[7][4] = {{0, 0, 0, 0.4f},       {1, 0, 0, 0.4f},
                                            {0, 1, 0, 0.4f},       {1, 1, 0, 0.4f},
                                            {0.8f, 0.4f, 0.6f, 1}, {0, 140.0f / 255, 0, 1},
                                            {0.8f, 0.8f, 0, 1}};
    if (style >= 0 && style <= 6) draw.colour(colours[style][0], colours[style][1], colours[style][2], colours[style][3]);
    const ArrowHead h = arrowHeadPoints(x1, y1, x2, y2, 12, 4);
    draw.lineWidth(static_cast<float>(width));
    draw.line(x1, y1, x2, y2, -6);
    draw.line(h.leftX, h.leftY, x2, y2, -6);
    draw.line(h.rightX, h.rightY, x2, y2, -6);
    draw.lineWidth(1);
}

static void drawHand(ImmediateDraw &draw, double radius, int32_t steps)
{
    double x, y;
    dialPoint(radius, steps, x, y);
    drawStyledArrow(draw, 0, dialCentreX, dialCentreY, roundToInt32(x), roundToInt32(y), 2);
}

void drawLessonDial(ImmediateDraw &draw, int32_t lesson)
{
    const DialSteps steps = lessonDialSteps(lesson);
    if (lesson > 2) {
        // A fan of 3-degree wedges from the hand back to 12 o'clock, counter-
        // clockwise as culling wants; a second turn would only cover the first.
        draw.colour(0.8f, 0.4f, 0.6f, 1.0f);
        for (int32_t s = std::min(steps.seconds, dialStepsPerTurn); s > 0; --s) {
            double x0, y0, x1, y1;
            dialPoint(dialPieRadius, s, x0, y0);
            dialPoint(dialPieRadius, s - 1, x1, y1);
            draw.triangle(dialCentreX, dialCentreY, x0, y0, x1, y1, -7);
        }
    }
    drawHand(draw, dialSecondsHandRadius, steps.seconds);
    drawHand(draw, dialMinutesHandRadius, steps.minutes);
}
