#include "intro/overview_mock.h"

#include "base/rounding.h"
#include "frame/immediate_draw.h"
#include "intro/intro_lesson_screen.h"
#include "intro/intro_slides.h"
#include "intro/speech_bubbles.h"
#include "lessons/lesson_params.h"

#include <cstdio>
#include <vector>

namespace {

constexpr double dialX = 532, dialY = 238;

void hand(ImmediateDraw &draw, int32_t units, double radius)
{
    const DialPoint p = dialPoint(dialX, dialY, units, radius);
    draw.arrow(false, 0, int32_t(dialX), int32_t(dialY), roundToInt32(p.x), roundToInt32(p.y), 2);
}

void largeText(ImmediateDraw &draw, const std::string &s, double x, double y)
{
    draw.text(DrawnText::large, introLessonFont, s, x, y);
}

// The curriculum chart: one row per solfege syllable, top row first.
struct ChartRow {
    const char *label;
    int16_t y;
    int16_t blueRight, cyanLeft, greenLeft; // cyanLeft 0: no cyan bar
};
constexpr ChartRow chartRows[8] = {
    {"Do", 477, 320, 0, 890}, {"Ti", 452, 380, 0, 830}, {"La", 427, 440, 0, 770}, {"So", 402, 470, 0, 740},
    {"Fa", 377, 500, 500, 710}, {"Mi", 352, 410, 0, 800}, {"Re", 327, 350, 0, 860}, {"Do", 302, 290, 0, 920},
};

void chartLabels(ImmediateDraw &draw, double x)
{
    for (const ChartRow &row : chartRows) largeText(draw, row.label, x, row.y);
}

void drawCurriculumChart(ImmediateDraw &draw)
{
    draw.colour(0, 0, 0, 0.4f);
    chartLabels(draw, 220);
    draw.colour(0, 0, 1, 0.4f);
    for (const ChartRow &row : chartRows) draw.quad(260, row.y, row.blueRight, row.y + 21, -8);
    draw.colour(0, 1, 1, 0.4f);
    for (const ChartRow &row : chartRows)
        if (row.cyanLeft != 0) draw.quad(row.cyanLeft, row.y, 710, row.y + 21, -8);
    draw.colour(0, 1, 0, 0.4f);
    for (const ChartRow &row : chartRows) draw.quad(row.greenLeft, row.y, 950, row.y + 21, -8);
    draw.colour(1, 1, 0, 0.4f);
    for (const ChartRow &row : chartRows) draw.quad(950, row.y, 1110, row.y + 21, -8);
    draw.colour(0.5f, 0.5f, 0.1f, 0.4f);
    chartLabels(draw, 1120);
}

// An arrow up and one down from (x, 659) by 0.6 pixels per cent, then the two
// limit lines at their heights in the arrow's colour.
void limitBand(ImmediateDraw &draw, int32_t style, int32_t x, double cents, double lineFrom)
{
    const int32_t up = roundToInt32(659 + 0.6 * cents), down = roundToInt32(659 - 0.6 * cents);
    draw.arrow(false, style, x, 659, x, up, 2);
    draw.arrow(false, style, x, 659, x, down, 2);
    draw.line(lineFrom, up, 825, up, -6);
    draw.line(lineFrom, down, 825, down, -6);
}

} // namespace

DelayDialUnits delayDialUnits(int32_t lesson)
{
    DelayDialUnits u{0, 0};
    if (lesson < 3) return u;
    u.sector = lesson <= 482 ? 3 * ((lesson - 3) / 3 + 1) : 480;
    if (lesson <= 119) u.minuteHand = 0;
    else if (lesson <= 239) u.minuteHand = 2;
    else if (lesson <= 359) u.minuteHand = 4;
    else if (lesson <= 479) u.minuteHand = 6;
    else if (lesson <= 508) u.minuteHand = 8;
    else u.minuteHand = 10 + 2 * ((lesson - 509) / 3);
    return u;
}

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
    return lesson >= 3 && lesson <= 556 ? 530 : 0;
}

std::string delayText(double delayMs)
{
    char b[48];
    std::snprintf(b, sizeof b, "Delay %.1f sec", delayMs / 1000);
    return b;
}

void drawLessonDelayStopwatch(ImmediateDraw &draw, int32_t lesson)
{
    if (lesson <= 2) {
        draw.arrow(false, 0, 532, 238, 532, 269, 2);
        draw.arrow(false, 0, 532, 238, 532, 257, 2);
        return;
    }
    const DelayDialUnits u = delayDialUnits(lesson);
    draw.colour(0.8f, 0.4f, 0.6f, 1);
    std::vector<double> xy{dialX, dialY};
    for (int32_t k = u.sector; k >= 0; --k) {
        const DialPoint p = dialPoint(dialX, dialY, k, 43);
        xy.push_back(p.x);
        xy.push_back(p.y);
    }
    draw.fan(xy.data(), int(xy.size() / 2), -7);
    hand(draw, u.sector, 31);
    hand(draw, u.minuteHand, 19);
}

void drawTrainingOverviewMock(ImmediateDraw &draw, bool showTitle, int32_t lesson)
{
    if (lesson < 1 || lesson > lastParamsLesson) return;
    drawDiagramPicture(draw, 1, 0, 0);
    drawLessonDelayStopwatch(draw, lesson); // leaves (0, 0, 0, 0.4), the hands' colour
    if (showTitle) largeText(draw, lessonTitleTable[lesson], 940, 227);
    if (lesson == 1) {
        if (showTitle) largeText(draw, "Explanations", 940, 202);
    } else if (lesson == 2) {
        largeText(draw, "Select Notes", 940, 202);
    } else {
        const LessonParams &p = lessonParamsTable[lesson];
        const std::string delay = delayText(p.delayMs);
        largeText(draw, delay, 940, 202);
        largeText(draw, delay, 50, 637);
        largeText(draw, "max. Tol. " + std::to_string(roundToInt32(p.maxTolCents)) + " cents", 910, 662);
        largeText(draw, "max. Dev. " + std::to_string(roundToInt32(p.maxDevCents)) + " cents", 910, 637);
        largeText(draw, std::to_string(p.noteCount) + " Notes", 50, 662);
        limitBand(draw, 6, 895, p.maxTolCents, 900);
        limitBand(draw, 5, 885, p.maxDevCents, 890);
    }
    drawCurriculumChart(draw);
    draw.colour(0.8f, 0, 0, 0.4f);
    draw.lineWidth(3);
    const int32_t markerX = lessonMarkerX(lesson);
    draw.line(markerX, 160, markerX, lessonMarkerTop(lesson), -6);
    draw.lineWidth(1);
    draw.colour(0.734375f, 0.35546875f, 0.63671875f, 0.4f);
    draw.lineWidth(2);
    draw.line(817, 180, 817, 640, -6);
    draw.lineWidth(1);
    if (showTitle) {
        if (lesson > 1) draw.control(&introLesson.mockPrev);
        if (lesson < lastParamsLesson) draw.control(&introLesson.mockNext);
        draw.control(&introLesson.mockStartLesson);
    }
}

void drawMockNextPressed(ImmediateDraw &draw)
{
    draw.colour(0, 0.549f, 0, 1);
    draw.quad(870, 172, 930, 190, -8);
}

void drawMockStartLessonPressed(ImmediateDraw &draw)
{
    draw.colour(0, 0.549f, 0, 1);
    draw.quad(940, 172, 1060, 190, -8);
}
