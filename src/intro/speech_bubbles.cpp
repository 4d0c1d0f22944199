#include "intro/speech_bubbles.h"

#include <algorithm>
#include <cmath>

#include "base/shared.h"
#include "frame/immediate_draw.h"
#include "frame/text.h"
#include "intro/intro_tables.h"

enum class Pointer { down, up, right };

// How far a bubble at x must move left so that its box, its pointer and its
// lines (which may run past the box) end at the window's right edge; 0 when
// they end inside.
static int32_t shiftIntoWindow(Pointer kind, int32_t x, int32_t w, const std::string_view *lines)
{
    double right = w + (kind == Pointer::right ? 18 : 0);
    for (int i = 0; i < 3; ++i)
        if (!lines[i].empty()) right = std::max(right, textBox(introLessonFont, lines[i], 5, 0).right);
    const double over = x + right - mainWindowWidth;
    return over > 0 ? static_cast<int32_t>(std::ceil(over)) : 0;
}

static void drawBubble(ImmediateDraw &draw, Pointer kind, int32_t x, int32_t y, int32_t w, int32_t h, int32_t p,
                       std::string_view line1, std::string_view line2, std::string_view line3)
{
    const std::string_view lines[3] = {line1, line2, line3};
    x -= shiftIntoWindow(kind, x, w, lines);
    draw.pushTranslate(x, y);
    draw.colour(1, 1, 1, 0.5f);
    draw.quad(0, 0, w, h, -3);
    switch (kind) {
    case Pointer::down: draw.triangle(p, 0, p + 7, -10, p + 12, 0, -3); break;
    case Pointer::up: draw.triangle(p, h, p + 12, h, p + 7, h + 50, -3); break;
    case Pointer::right: draw.triangle(w, h - p - 12, w + 18, h - p - 7, w, h - p, -3); break;
    }
    draw.colour(0, 0, 1, 0.5f);
    for (int i = 0; i < 3; ++i)
        if (!lines[i].empty()) draw.text(DrawnText::control, introLessonFont, lines[i], 5, h - 20 * (i + 1));
    draw.colour(0, 0, 0, 0.5f);
    const double down[] = {0, 0, double(p), 0, p + 7.0, -10, p + 12.0, 0, double(w), 0,
                           double(w), double(h), 0, double(h), 0, 0};
    const double up[] = {0, 0, double(w), 0, double(w), double(h), p + 12.0, double(h), p + 7.0, h + 50.0,
                         double(p), double(h), 0, double(h), 0, 0};
    const double right[] = {0, 0, double(w), 0, double(w), h - p - 12.0, w + 18.0, h - p - 7.0,
                            double(w), double(h - p), double(w), double(h), 0, double(h), 0, 0};
    draw.lineStrip(kind == Pointer::down ? down : kind == Pointer::up ? up : right, 8, -2);
    draw.pop();
}

void drawSpeechBubbleDown(ImmediateDraw &draw, int32_t x, int32_t y, int32_t width, int32_t height, int32_t pointerX,
                          std::string_view line1, std::string_view line2, std::string_view line3)
{
    drawBubble(draw, Pointer::down, x, y, width, height, pointerX, line1, line2, line3);
}

void drawSpeechBubbleUp(ImmediateDraw &draw, int32_t x, int32_t y, int32_t width, int32_t height, int32_t pointerX,
                        std::string_view line1, std::string_view line2, std::string_view line3)
{
    drawBubble(draw, Pointer::up, x, y, width, height, pointerX, line1, line2, line3);
}

void drawSpeechBubbleRight(ImmediateDraw &draw, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t pointerFromTop, std::string_view line1, std::string_view line2,
                           std::string_view line3)
{
    drawBubble(draw, Pointer::right, x, y, width, height, pointerFromTop, line1, line2, line3);
}

void drawWordCard(ImmediateDraw &draw, int32_t x, int32_t y, std::string_view language, std::string_view word)
{
    draw.pushTranslate(x, y);
    draw.colour(1, 1, 0.8f, 0.5f);
    draw.quad(300, 250, 500, 350, -10);
    draw.colour(0, 0, 1, 0.5f);
    draw.lineWidth(3);
    const double frame[] = {300, 250, 500, 250, 500, 350, 300, 350, 300, 250};
    draw.lineStrip(frame, 5, -10);
    draw.lineWidth(1);
    draw.text(DrawnText::normal, introLessonFont, language, 315, 320);
    draw.text(DrawnText::large, introLessonFont, word, 320, 265);
    draw.pop();
}

void drawIntroSeparatorLine(ImmediateDraw &draw)
{
    draw.colour(1, 0, 1, 0.4f);
    draw.line(1, 101, 1100, 101, -11);
}

std::string spokenBubbleText(const IntroPageRow &row)
{
    std::string text;
    for (const char *line : row.lines) {
        std::string s = line;
        while (!s.empty() && s.back() == ' ') s.pop_back();
        if (!s.empty()) text += (text.empty() ? "" : " ") + s;
    }
    std::string spoken;
    int depth = 0;
    for (char c : text) {
        if (c == '(') ++depth;
        if (depth == 0) spoken += c;
        if (c == ')' && depth > 0) --depth;
    }
    while (!spoken.empty() && spoken.back() == ' ') spoken.pop_back();
    spoken.erase(0, spoken.find_first_not_of("- "));
    return spoken;
}
