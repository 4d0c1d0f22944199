#include "intro/definition_panels.h"

#include "frame/immediate_draw.h"
#include "intro/speech_bubbles.h"

#include <algorithm>

namespace {

struct PanelLine {
    int8_t item; // 1 the title, 2..6 the items
    int16_t y;
    const char *text;
};

constexpr PanelLine pitchPointLines[] = {
    {1, 245, "Brimble's Pitch Point"},
    {2, 225, "- Choose four notes that you can sing comfortably."},
    {2, 205, "  (e.g. E4, F4, G4, A4) "},
    {3, 185, "- Listen to one of your chosen note and prepare "},
    {3, 165, "  for the test (e. g. sing the note)"},
    {4, 145, "- After 4 minutes sing the note back."},
    {4, 125, "  (without an external reference)"},
    {5, 105, "- Repeat the process for the remaining 3 notes."},
    {5, 85, "  (listen and prepare, then after"},
    {5, 65, "   4 minutes sing back)"},
    {6, 45, "- If you hit all 4 notes with a precision of "},
    {6, 25, "  50 cents, then you have reached "},
    {6, 5, "  > Brimble's Pitch Point <"},
};

constexpr PanelLine absolutePitchLines[] = {
    {1, 205, "Absolute Pitch or Absolute Pitch (Wikipedia)"},
    {2, 185, "- Identify by name individual pitches"},
    {2, 165, "  (e.g. A, B, C) played on various instruments"},
    {3, 145, "- Name the key of a given piece of tonal music"},
    {3, 125, "  just by listening (without reference to an external tone)"},
    {4, 105, "- Identify and name all the tones of"},
    {4, 85, "  a given chord or other tonal mass"},
    {5, 65, "- Accurately sing a named pitch"},
    {5, 45, "  without an external reference"},
    {6, 25, "- Name the pitches of common everyday sounds"},
    {6, 5, "  such as car horns and alarms"},
};

template <size_t N>
void drawPanel(ImmediateDraw &draw, int32_t stage, double x, double y, double w, double h, DrawnText kind,
               const PanelLine (&lines)[N])
{
    draw.pushTranslate(x, y);
    draw.colour(1, 1, 1, 0.5f);
    draw.quad(0, 0, w, h, -10);
    int32_t shownItem = 0; // the colour is set once per item
    for (const PanelLine &line : lines) {
        if (line.item > 1 && stage < line.item) continue;
        if (line.item != shownItem) {
            shownItem = line.item;
            if (line.item > 1 && stage == line.item) draw.colour(1, 0, 0, 0.5f);
            else draw.colour(0, 0, 1, 0.5f);
        }
        draw.text(kind, introLessonFont, line.text, 5, line.y);
    }
    draw.pop();
}

struct DayChartBar {
    int16_t x, y;
    double pixelsPerUnit;
    int16_t start, units;
};

constexpr DayChartBar dayChartBars[dayChartBarCount] = {
    {580, 563, 30, 0, 5},   {540, 546, 26.5, 5, 7}, {540, 529, 28, 12, 4}, {874, 597, 28, 16, 3},
    {760, 580, 28, 19, 7},  {760, 563, 28, 26, 7},  {760, 546, 28, 33, 7}, {760, 529, 28, 40, 7},
    {250, 435, 28, 47, 1},  {80, 418, 28, 48, 7},   {80, 401, 28, 55, 7},  {80, 385, 28, 62, 7},
    {80, 369, 28, 69, 7},   {80, 352, 28, 76, 2},   {370, 435, 28, 78, 5}, {310, 418, 28, 83, 7},
    {310, 401, 28, 90, 7},  {310, 385, 28, 97, 7},
};

} // namespace

void drawPitchPointDefinition(ImmediateDraw &draw, int32_t stage)
{
    drawPanel(draw, stage, 830, 370, 485, 265, DrawnText::normal, pitchPointLines);
}

void drawAbsolutePitchDefinition(ImmediateDraw &draw, int32_t stage)
{
    drawPanel(draw, stage, 220, 210, 545, 225, DrawnText::control, absolutePitchLines);
}

int32_t dayChartBarUnits(int32_t bar, int32_t tick)
{
    const DayChartBar &b = dayChartBars[bar];
    if (tick <= b.start) return 0;
    return std::min<int32_t>(tick - b.start, b.units);
}

void drawGrowingBarChart(ImmediateDraw &draw, int32_t tick)
{
    draw.colour(0.5f, 0.5f, 0.1f, 0.2f);
    for (int32_t i = 0; i < dayChartBarCount; ++i) {
        const int32_t units = dayChartBarUnits(i, tick);
        if (units == 0) continue;
        const DayChartBar &b = dayChartBars[i];
        draw.quad(b.x, b.y, b.x + b.pixelsPerUnit * units, b.y + 10, -6);
    }
}
