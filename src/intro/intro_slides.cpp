#include "intro/intro_slides.h"

#include "base/rounding.h"
#include "frame/immediate_draw.h"
#include "frame/picture_catalogue.h"
#include "lessons/picture_sets.h"
#include "intro/speech_bubbles.h"
#include "music/staff_drawing.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int32_t diagramPictures[9] = {0, 1, 2, 3, 33, 34, 37, 38, 39};
constexpr int32_t diagramIcons[5] = {0, 4, 5, 6, 40};
constexpr int32_t diagramPairs[15][2] = {{0, 0},   {7, 8},   {9, 10},  {11, 12}, {13, 14},
                                         {29, 30}, {31, 32}, {35, 36}, {15, 16}, {17, 18},
                                         {19, 20}, {21, 22}, {23, 24}, {25, 26}, {27, 28}};

uint32_t diagram(int32_t picture)
{
    return picture >= 1 && picture <= images51PictureCount ? diagramTextures[picture] : 0;
}

// A pack picture as a white-modulated quad with its lower left corner at (x, y).
void texturedPicture(ImmediateDraw &draw, uint32_t texture, double x, double y, double w, double h, double z)
{
    draw.colour(1, 1, 1, 0.4f);
    draw.picture(texture, x, y, x + w, y + h, z);
}

constexpr double stopwatchX = 472, stopwatchY = 218;

void dialHand(ImmediateDraw &draw, double cx, double cy, double units, double radius)
{
    const DialPoint p = dialPointAt(cx, cy, units, radius);
    draw.arrow(false, 0, int32_t(cx), int32_t(cy), roundToInt32(p.x), roundToInt32(p.y), 2);
}

} // namespace

DialPoint dialPointAt(double cx, double cy, double units, double radius)
{
    const double a = units * 3.0 * std::numbers::pi / 180.0;
    return {cx + radius * std::sin(a), cy + radius * std::cos(a)};
}

int32_t iconTransferCoordinate(int32_t from, int32_t to, int32_t t)
{
    return from + roundToInt32(double(to - from) / 9.0 * double(t - 1));
}

void drawSlide(ImmediateDraw &draw, int32_t n, int32_t x)
{
    if (n < 1 || n > 14) return;
    texturedPicture(draw, slideTextures[n], x - 140, 56, 1024, 1024, -8);
}

void drawGraphSlide(ImmediateDraw &draw, int32_t extraWidth, int32_t extraHeight)
{
    texturedPicture(draw, slideTextures[13], 90, 156, 1024 + extraWidth, 1024 + extraHeight, -6);
}

void drawDiagramPicture(ImmediateDraw &draw, int32_t n, int32_t x, int32_t y)
{
    if (n < 1 || n > 8) return;
    texturedPicture(draw, diagram(diagramPictures[n]), x - 80, y + 76, 1024, 1024, -11);
}

void drawDiagramIcon(ImmediateDraw &draw, int32_t n, int32_t x, int32_t y)
{
    if (n < 1 || n > 4) return;
    texturedPicture(draw, diagram(diagramIcons[n]), x + 180, y + 610, 256, 256, -8);
}

void drawDiagramPair(ImmediateDraw &draw, int32_t n, int32_t x)
{
    if (n < 1 || n > 14) return;
    texturedPicture(draw, diagram(diagramPairs[n][0]), x, 155, 1024, 1024, -11);
    texturedPicture(draw, diagram(diagramPairs[n][1]), x + 700, 155, 1024, 1024, -11);
}

void drawTransferIcon(ImmediateDraw &draw, int32_t n, int32_t x, int32_t y, bool highlighted)
{
    if (n < 1 || n > 8) return;
    if (highlighted) draw.colour(0.6f, 0.8f, 0.3f, 0.4f);
    else draw.colour(1, 1, 1, 0.4f);
    draw.picture(diagram(40 + n), x, y, x + 128, y + 128, -8);
}

void drawIconTransfer(ImmediateDraw &draw, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t t, int32_t n)
{
    if (t == 1) drawTransferIcon(draw, n, x1, y1, true);
    else if (t >= 2 && t <= 9)
        drawTransferIcon(draw, n, iconTransferCoordinate(x1, x2, t), iconTransferCoordinate(y1, y2, t), false);
}

void drawPortraitPicture(ImmediateDraw &draw, int32_t x, int32_t y)
{
    texturedPicture(draw, introPictureTextures[1], x, y, 152, 207, -7);
}

void drawSmallPicture(ImmediateDraw &draw, int32_t x, int32_t y)
{
    texturedPicture(draw, introPictureTextures[17], x, y, 78, 75, -7);
}

void drawStaffMarkerNote(ImmediateDraw &draw, int32_t x, int32_t colour, float staffHeight)
{
    // The pages' colour 0 is the note pictures' colour 1 and the other way round.
    const int32_t pictureColour = colour == 0 ? 1 : colour == 1 ? 0 : colour;
    const int32_t slot = notePictureSlot(64, pictureColour);
    const uint32_t texture = slot >= 0 && slot < images7Count ? images7Textures[slot] : 0;
    draw.pushTranslate(x - 2, staffHeight + 286);
    texturedPicture(draw, texture, 0, 0, 50, 67, -11);
    draw.pop();
    draw.colour(1, 0.5f, 1, 0.4f);
    draw.point(x + 18, staffHeight + 300, -10, 3);
}

void drawTickingStopwatch(ImmediateDraw &draw, int32_t tick)
{
    if (tick <= 2) {
        draw.arrow(false, 0, int32_t(stopwatchX), int32_t(stopwatchY), 472, 249, 2);
        return;
    }
    draw.colour(0.8f, 0.4f, 0.6f, 1);
    std::vector<double> xy{stopwatchX, stopwatchY};
    for (int32_t u = tick + 7; u >= 0; --u) {
        const DialPoint p = dialPointAt(stopwatchX, stopwatchY, u, 43);
        xy.push_back(p.x);
        xy.push_back(p.y);
    }
    draw.fan(xy.data(), int(xy.size() / 2), -7);
    dialHand(draw, stopwatchX, stopwatchY, tick + 7, 31);
}

void drawAccuracyGraph(ImmediateDraw &draw, int32_t tick, int32_t extraWidth)
{
    drawSlide(draw, 11, 0);
    drawSlide(draw, 10, 325);
    drawTickingStopwatch(draw, tick);
    if (tick == 0) draw.arrow(true, 4, 380, 407, 705, 407, 3);
    drawGraphSlide(draw, extraWidth, 0);
    draw.colour(0.2f, 0.4f, 0.6f, 1);
    draw.text(DrawnText::large, introLessonFont, "Pitch Deviation Detection Accuracy", 400, 655);
    draw.text(DrawnText::large, introLessonFont, "over time", 400, 630);
}
