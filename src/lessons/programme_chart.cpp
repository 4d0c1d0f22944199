#include "lessons/programme_chart.h"

#include "base/rounding.h"
#include "base/shared.h"
#include "frame/text.h"

int32_t lessonMarkerX(int32_t lesson)
{
    if (lesson == 1) return 140;
    if (lesson == 2) return 210;
    if (lesson >= 3 && lesson <= 240) return 260 + roundToInt32((lesson - 3) / 239.0 * 240);
    if (lesson >= 241 && lesson <= 480) return 500 + roundToInt32((lesson - 241) / 240.0 * 210);
    if (lesson >= 481 && lesson <= 503) return 710 + roundToInt32((lesson - 481) / 23.0 * 248);
    if (lesson >= 504 && lesson <= 556) return 958 + roundToInt32((lesson - 504) / 52.0 * 154);
    return 0;
}

int32_t lessonMarkerTop(int32_t lesson)
{
    if (lesson == 1) return 215;
    if (lesson == 2) return 430;
    return 530;
}

void drawChartDivider(ImmediateDraw &draw)
{
    draw.colour(0.734375f, 0.35546875f, 0.63671875f, 0.4f);
    draw.lineWidth(2);
    draw.line(817, 180, 817, 640, -6);
    draw.lineWidth(1);
}

// A label at x, or as far left of it as it needs to end at the window's
// right edge (the right column at x 1120 leaves 4 pixels).
static void drawLabels(ImmediateDraw &draw, const std::array<std::string, chartRows> &labels, ChartColour c, int32_t x)
{
    draw.colour(c.r, c.g, c.b, c.a);
    for (int32_t row = 0; row < chartRows; ++row) {
        const TextBox box = textBox(fontTimesRoman24, labels[row], x, chartRowY[row]);
        const double shift = box.right > mainWindowWidth ? box.right - mainWindowWidth : 0;
        draw.text(DrawnText::large, 2, labels[row], x - shift, chartRowY[row]);
    }
}

void drawProgrammeChart(ImmediateDraw &draw, int32_t lesson, const std::array<std::string, chartRows> &labels,
                        ChartColour leftColour, ChartColour rightColour)
{
    drawLabels(draw, labels, leftColour, chartLeftLabelX);

    // Blue: the numbered lessons' first stretch, longer for the slots trained
    // longer; cyan: slot 1 alone; green: from where each slot drops out; yellow: all.
    draw.colour(0, 0, 1, 0.4f);
    for (int32_t row = 0; row < chartRows; ++row) {
        const int32_t k = chartRowSlot[row];
        draw.quad(260, chartRowY[row], 260 + 30 * (9 - k), chartRowY[row] + chartBarHeight, -8);
    }
    draw.colour(0, 1, 1, 0.4f);
    for (int32_t row = 0; row < chartRows; ++row)
        if (chartRowSlot[row] == 1) draw.quad(500, chartRowY[row], 710, chartRowY[row] + chartBarHeight, -8);
    draw.colour(0, 1, 0, 0.4f);
    for (int32_t row = 0; row < chartRows; ++row) {
        const int32_t k = chartRowSlot[row];
        draw.quad(710 + 30 * (k - 1), chartRowY[row], 950, chartRowY[row] + chartBarHeight, -8);
    }
    draw.colour(1, 1, 0, 0.4f);
    for (int32_t row = 0; row < chartRows; ++row)
        draw.quad(950, chartRowY[row], 1110, chartRowY[row] + chartBarHeight, -8);

    drawLabels(draw, labels, rightColour, chartRightLabelX);

    const int32_t x = lessonMarkerX(lesson);
    if (x != 0) {
        draw.colour(0.8f, 0, 0, 0.4f);
        draw.lineWidth(3);
        draw.line(x, 160, x, lessonMarkerTop(lesson), -6);
        draw.lineWidth(1);
    }
    drawChartDivider(draw);
}
