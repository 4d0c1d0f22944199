// The introduction's slides (Images50 pictures 1..14) and diagram pictures
// (Images51 from picture 2; the first, the training-overview screen behind
// the lesson menu and the mock, is overview_background.cpp's): the
// accuracy-over-time graph in its halves and its curve, the note-selection pairs, the
// runner, the stopwatch, the high-jump bars, the day calendar, small icons
// and the eight travelling note glyphs. Each is drawn where the pages show it:
// the content is laid out in window pixels (y up) and mapped into the picture
// through the place and size the page draws it at, so it lines up with the
// lines, texts and charts the pages draw over it. Backgrounds are clear
// (alpha 0) unless the picture is a backdrop, so stacked pictures never hide
// each other.
#include "intro_art.h"
#include "overview_background.h"

#include "lessons/picture_sets.h"

#include <cmath>
#include <string>

namespace {

const Colour clear = {0, 0, 0, 0};
const Colour ink = {0.08f, 0.1f, 0.3f, 1};
const Colour grey = {0.45f, 0.45f, 0.5f, 1};
const Colour red = {0.8f, 0.1f, 0.1f, 1};
const Colour blue = {0.15f, 0.3f, 0.8f, 1};
const Colour green = {0.1f, 0.55f, 0.2f, 1};
const Colour orange = {0.9f, 0.5f, 0.1f, 1};
const Colour paper = {0.97f, 0.96f, 0.9f, 1};
const Colour brown = {0.5f, 0.3f, 0.15f, 1};

// A picture of side `side` drawn on the window from (ox, oy) at w x h: window
// coordinates (y up) to picture pixels (y down).
struct Placed {
    Canvas c;
    double ox, oy, sx, sy;
    Placed(int side, double x, double y, double w, double h)
        : c(side, side), ox(x), oy(y), sx(side / w), sy(side / h)
    {
        c.fill(clear);
    }
    Point at(double x, double y) const { return {(x - ox) * sx, c.height - (y - oy) * sy}; }
    void line(double x0, double y0, double x1, double y1, double width, const Colour &col)
    {
        const Point a = at(x0, y0), b = at(x1, y1);
        c.line(a.x, a.y, b.x, b.y, width, col);
    }
    void rect(double x0, double y0, double x1, double y1, const Colour &col)
    {
        const Point a = at(x0, y1), b = at(x1, y0);
        c.fillRect(a.x, a.y, b.x, b.y, col);
    }
    void frame(double x0, double y0, double x1, double y1, double width, const Colour &col)
    {
        line(x0, y0, x1, y0, width, col);
        line(x1, y0, x1, y1, width, col);
        line(x1, y1, x0, y1, width, col);
        line(x0, y1, x0, y0, width, col);
    }
    void disc(double x, double y, double r, const Colour &col)
    {
        const Point p = at(x, y);
        c.fillDisc(p.x, p.y, r * sx, col);
    }
    // Text whose lower left corner is at window (x, y), scale in picture pixels.
    void text(double x, double y, const std::string &s, int scale, const Colour &col)
    {
        const Point p = at(x, y);
        c.text(p.x, p.y - 7 * scale, s, scale, col);
    }
    void curve(const std::vector<Point> &windowPoints, double width, const Colour &col)
    {
        std::vector<Point> pts;
        for (const Point &w : windowPoints) pts.push_back(at(w.x, w.y));
        c.curve(pts, width, col);
    }
};

// ---- Images50: slides -------------------------------------------------------------

// Slide 11 at x 0 (from -140, 56): the graph's left half, the deviation axis.
Canvas graphLeftHalf()
{
    Placed p(1024, -140, 56, 1024, 1024);
    p.line(100, 180, 100, 620, 4, ink);
    p.line(100, 620, 90, 600, 4, ink);
    p.line(100, 620, 110, 600, 4, ink);
    for (int y = 230; y <= 580; y += 50) p.line(92, y, 108, y, 3, ink);
    p.text(20, 630, "CENTS", 3, ink);
    p.text(30, 400, "50", 3, red);
    p.text(30, 250, "0", 3, ink);
    p.text(30, 590, "100", 3, ink);
    return p.c;
}

// Slide 10 at x 325 (from 185, 56): the graph's right half, the time axis.
Canvas graphRightHalf()
{
    Placed p(1024, 185, 56, 1024, 1024);
    p.line(190, 180, 1040, 180, 4, ink);
    p.line(1040, 180, 1020, 170, 4, ink);
    p.line(1040, 180, 1020, 190, 4, ink);
    for (int x = 250; x <= 1000; x += 75) p.line(x, 172, x, 188, 3, ink);
    p.text(990, 150, "TIME", 4, ink);
    p.text(420, 130, "SECONDS", 3, grey);
    return p.c;
}

// Slide 13, drawn from (90, 156) 1524 wide: the deviation one can still
// discern, growing with time; it passes 50 cents at x 735 (the pages' cross).
Canvas accuracyCurve()
{
    Placed p(1024, 90, 156, 1524, 1024);
    std::vector<Point> pts;
    for (int i = 0; i <= 40; ++i) {
        const double x = 100 + i * 23.0;
        // 0 cents at the start, 50 cents (y 408) at x 735, rising ever faster.
        const double t = (x - 100) / 635.0;
        pts.push_back({x, 230 + 178 * t * t});
    }
    p.curve(pts, 5, blue);
    p.line(100, 408, 735, 408, 2, red);
    p.text(760, 420, "50 CENTS", 3, red);
    return p.c;
}

// Other slides: a titled card in the window's visible part.
Canvas titledSlide(int n)
{
    Placed p(1024, -140, 56, 1024, 1024);
    p.rect(-20, 80, 860, 700, {0.93f, 0.95f, 1, 1});
    p.frame(-20, 80, 860, 700, 4, ink);
    p.text(40, 640, "SLIDE " + std::to_string(n), 8, ink);
    for (int i = 0; i < 5; ++i) p.line(60, 560 - i * 70, 760 - i * 60, 560 - i * 70, 10, grey);
    return p.c;
}

// ---- Images51: diagrams ------------------------------------------------------------

// Pictures 2 and 3, drawn from (70, 76): the runner and the stopwatch.
Canvas runner()
{
    Placed p(1024, 70, 76, 1024, 1024);
    p.line(100, 200, 900, 200, 4, ink);             // the track
    p.line(760, 200, 760, 340, 4, red);             // the finish
    p.disc(420, 420, 22, ink);                      // head
    p.line(420, 398, 400, 300, 10, ink);            // body
    p.line(405, 370, 470, 390, 8, ink);             // arms
    p.line(405, 370, 350, 330, 8, ink);
    p.line(400, 300, 460, 250, 9, ink);             // legs
    p.line(460, 250, 450, 205, 9, ink);
    p.line(400, 300, 350, 240, 9, ink);
    p.line(350, 240, 300, 250, 9, ink);
    p.text(540, 470, "100 M", 6, blue);
    p.text(540, 410, "IN LESS THAN 10 SEC?", 3, blue);
    return p.c;
}

Canvas stopwatchPicture()
{
    Placed p(1024, 70, 76, 1024, 1024);
    p.disc(480, 330, 110, ink);
    p.disc(480, 330, 100, paper);
    p.rect(465, 440, 495, 470, ink);
    p.line(480, 330, 480, 415, 6, red);
    p.line(480, 330, 540, 330, 6, ink);
    for (int u = 0; u < 12; ++u) {
        const double a = u * 3.14159265358979 / 6;
        p.line(480 + 85 * std::sin(a), 330 + 85 * std::cos(a), 480 + 98 * std::sin(a), 330 + 98 * std::cos(a), 4,
               ink);
    }
    p.text(640, 340, "9.8 SEC", 6, blue);
    p.text(640, 280, "JUST TAKE THE TIME", 3, blue);
    return p.c;
}

// Pictures 33 and 34, drawn from (270, 76): the high-jump bar, low and raised.
Canvas highJump(bool raised)
{
    Placed p(1024, 270, 76, 1024, 1024);
    const double bar = raised ? 420 : 330;
    p.line(330, 200, 330, 480, 6, ink);
    p.line(630, 200, 630, 480, 6, ink);
    p.line(330, bar, 630, bar, 8, red);
    p.line(280, 200, 700, 200, 4, grey);
    p.text(660, bar - 10, raised ? "4 MIN 30 S" : "4 MIN", 4, blue);
    p.text(340, 520, raised ? "NEXT LEVEL" : "START", 5, ink);
    return p.c;
}

// Pictures 37 and 38, drawn from (120, 96): the handle (time) and the
// feedback chart of training progress.
Canvas handleDiagram()
{
    Placed p(1024, 120, 96, 1024, 1024);
    p.frame(260, 300, 700, 460, 6, ink);
    p.text(300, 400, "HANDLE", 7, blue);
    p.text(300, 330, "TIME", 7, red);
    return p.c;
}

Canvas feedbackDiagram()
{
    Placed p(1024, 120, 96, 1024, 1024);
    p.line(260, 230, 760, 230, 4, ink);
    p.line(260, 230, 260, 530, 4, ink);
    const double h[7] = {40, 70, 60, 110, 150, 140, 210};
    for (int i = 0; i < 7; ++i) p.rect(290 + i * 65, 232, 330 + i * 65, 232 + h[i], green);
    p.text(270, 560, "FEEDBACK", 6, blue);
    return p.c;
}

// Picture 39, drawn from (70, 176): the 100-day calendar under the day chart.
Canvas dayCalendar()
{
    Placed p(1024, 70, 176, 1024, 1024);
    p.text(80, 640, "100 DAYS", 6, ink);
    for (double y : {352.0, 369.0, 385.0, 401.0, 418.0, 435.0, 529.0, 546.0, 563.0, 580.0, 597.0})
        p.line(60, y, 1000, y, 1, grey);
    p.text(60, 460, "WEEKS 1 - 7", 3, grey);
    p.text(560, 615, "WEEKS 8 - 14", 3, grey);
    return p.c;
}

// Small icons (256), drawn from (x + 180, y + 610): organ, tuning fork,
// instrument, medal.
Canvas icon(int which)
{
    Canvas c(256, 256);
    c.fill(clear);
    switch (which) {
    case 1: // a church organ: pipes
        for (int i = 0; i < 7; ++i) {
            const double h = 60 + 18 * (3 - std::abs(i - 3));
            c.fillRect(30 + i * 28, 200 - h * 1.4, 48 + i * 28, 200, brown);
        }
        c.fillRect(20, 200, 236, 230, brown);
        c.text(40, 236, "ORGAN", 3, ink);
        break;
    case 2: // a tuning fork with 440
        c.line(110, 30, 110, 140, 10, grey);
        c.line(146, 30, 146, 140, 10, grey);
        c.line(110, 140, 146, 140, 10, grey);
        c.line(128, 140, 128, 220, 10, grey);
        c.text(60, 226, "440 HZ", 4, ink);
        break;
    case 3: // an instrument: a guitar
        c.fillDisc(128, 170, 55, orange);
        c.fillDisc(128, 105, 40, orange);
        c.fillDisc(128, 165, 15, ink);
        c.line(128, 20, 128, 150, 10, brown);
        break;
    default: // a medal
        c.line(100, 20, 128, 120, 14, red);
        c.line(156, 20, 128, 120, 14, blue);
        c.fillDisc(128, 160, 60, orange);
        c.text(98, 146, "100", 4, ink);
        break;
    }
    return c;
}

// Pictures 41..48 (128): the travelling notes, a note head with its name.
Canvas noteGlyph(int n)
{
    static const char *names[8] = {"C", "D", "E", "F", "G", "A", "B", "C"};
    Canvas c(128, 128);
    c.fill(clear);
    c.fillEllipse(52, 92, 24, 16, -0.4, ink);
    c.line(74, 88, 74, 14, 6, ink);
    c.line(74, 14, 100, 36, 6, ink);
    c.text(88, 64, names[n - 1], 5, red);
    return c;
}

// The note-selection scene of the pairs, left picture at (0, 155) and right
// at (700, 155): a keyboard on the left, the list of chosen notes on the
// right with `chosen` of its eight places filled (the places lie where the
// travelling icons land, 960..1050 x 440..600).
constexpr int pairSlotX[8] = {960, 1005, 1050, 960, 1005, 1050, 960, 1005};
constexpr int pairSlotY[8] = {600, 600, 600, 520, 520, 520, 440, 440};

Canvas selectionLeft(int picked)
{
    Placed p(1024, 0, 155, 1024, 1024);
    p.text(30, 680, "SELECT EIGHT NOTES", 4, ink);
    for (int k = 0; k < 15; ++k) {
        const double x = 30 + k * 45;
        p.rect(x, 470, x + 42, 620, paper);
        p.frame(x, 470, x + 42, 620, 2, ink);
    }
    for (int k : {0, 1, 3, 4, 5, 7, 8, 10, 11, 12})
        p.rect(30 + k * 45 + 30, 540, 30 + k * 45 + 58, 620, ink);
    // Already picked keys marked green.
    for (int k = 0; k < picked && k < 8; ++k) p.rect(40 + (k + (k >= 1) + (k >= 5)) * 45 - 5, 475, 65 + (k + (k >= 1) + (k >= 5)) * 45, 490, green);
    return p.c;
}

Canvas selectionRight(int picked)
{
    Placed p(1024, 700, 155, 1024, 1024);
    p.text(950, 700, "YOUR NOTES", 3, ink);
    for (int k = 0; k < 8; ++k) {
        p.frame(pairSlotX[k], pairSlotY[k], pairSlotX[k] + 42, pairSlotY[k] + 42, 2, grey);
        if (k < picked) p.disc(pairSlotX[k] + 21, pairSlotY[k] + 21, 14, green);
    }
    return p.c;
}

// Pair 4: confirm by singing, a microphone on the left and a staff with
// middle C's place on the right (the marker note lands at x 820, y 446).
Canvas singLeft()
{
    Placed p(1024, 0, 155, 1024, 1024);
    p.text(30, 680, "CONFIRM BY SINGING", 4, ink);
    p.disc(300, 540, 40, grey);
    p.line(300, 500, 300, 380, 10, ink);
    p.line(250, 380, 350, 380, 10, ink);
    return p.c;
}

Canvas singRight()
{
    Placed p(1024, 700, 155, 1024, 1024);
    for (int i = 0; i < 5; ++i) p.line(720, 480 + i * 20, 1110, 480 + i * 20, 2, ink);
    p.line(810, 460, 860, 460, 2, ink); // middle C's ledger line
    return p.c;
}

// Pair 6: the stage of Brimble's Pitch Point, a target on the left and the
// definition's frame place on the right.
Canvas targetLeft()
{
    Placed p(1024, 0, 155, 1024, 1024);
    for (int r = 5; r >= 1; --r) p.disc(420, 430, r * 40, r % 2 ? red : paper);
    p.text(300, 220, "4 NOTES  4 MIN  50 CENTS", 3, ink);
    return p.c;
}

Canvas targetRight()
{
    Placed p(1024, 700, 155, 1024, 1024);
    p.line(830, 640, 1124, 640, 4, blue);
    p.line(830, 365, 1124, 365, 4, blue);
    return p.c;
}

Canvas images51Picture(int n, int side)
{
    switch (n) {
    case 1: {
        // The lesson menu's background, clear above window y 690 and below
        // y 105: the introduction draws its page head and separator line
        // before the mock, and with no depth buffer the picture would cover
        // them (the menu draws its user line after the picture anyway).
        Canvas c = overviewBackground();
        const auto clearRows = [&c](int from, int to) {
            for (size_t i = size_t(from) * c.width * 4; i < size_t(to) * c.width * 4; ++i) c.px[i] = 0;
        };
        clearRows(0, 1100 - 690);
        clearRows(1100 - 105, c.height);
        return c;
    }
    case 2: return runner();
    case 3: return stopwatchPicture();
    case 4: return icon(1);
    case 5: return icon(2);
    case 6: return icon(3);
    case 40: return icon(4);
    case 11: return selectionLeft(0);
    case 12: return selectionRight(0);
    case 13: return singLeft();
    case 14: return singRight();
    case 29: return selectionLeft(8);
    case 30: return selectionRight(8);
    case 31: return targetLeft();
    case 32: return targetRight();
    case 33: return highJump(false);
    case 34: return highJump(true);
    case 37: return handleDiagram();
    case 38: return feedbackDiagram();
    case 39: return dayCalendar();
    default: break;
    }
    if (n >= 41 && n <= 48) return noteGlyph(n - 40);
    // Pairs 8..14 (pictures 15..28): the selection after 1..7 picks; pair 1
    // and 2 (7..10) and 7 (35, 36): the selection before any pick.
    if (n >= 15 && n <= 28) {
        const int picked = (n - 15) / 2 + 1;
        return n % 2 == 1 ? selectionLeft(picked) : selectionRight(picked);
    }
    if (side == 1024) return n % 2 == 1 ? selectionLeft(0) : selectionRight(0);
    return labelledPicture("IMAGES51", n, side, side, 510 + n);
}

} // namespace

Canvas images50Picture(int n)
{
    switch (n) {
    case 10: return graphRightHalf();
    case 11: return graphLeftHalf();
    case 13: return accuracyCurve();
    default: break;
    }
    if (n >= 1 && n <= 14) return titledSlide(n);
    return labelledPicture("IMAGES50", n, 256, 256, 50 + n);
}

Canvas images51Picture(int n) { return images51Picture(n, images51Sides[n - 1]); }
