#include "picture_art.h"

#include <cmath>
#include <string>

const Colour ink = {0.08f, 0.08f, 0.1f, 1.0f};
static const Colour white = {1, 1, 1, 1};

// The three drawing states of notation pictures (upcoming, current, passed)
// and a fourth for the whole note.
Colour variantColour(int variant)
{
    switch (variant) {
    case 1: return {0.15f, 0.55f, 0.1f, 1};
    case 2: return {0.0f, 0.45f, 0.85f, 1};
    case 3: return {0.8f, 0.1f, 0.1f, 1};
    default: return ink;
    }
}

// ---- Logo animation: the name, a staff and a note that rises and falls ----

Canvas drawLogoFrame(int frame, int width, int height)
{
    Canvas c(width, height);
    const double phase = 2 * M_PI * frame / 38.0;
    const Colour blue = {0.1f, 0.2f, 0.6f, 1};
    const Colour gold = {0.85f, 0.55f, 0.05f, 1};
    c.text(4, 40, "TARNOVA", 3, blue);
    // A short staff on the right with a note moving along a sine.
    for (int k = 0; k < 5; ++k) c.line(166, 30 + 10 * k, 226, 30 + 10 * k, 1.2, ink);
    const double noteX = 176 + 19 * (1 - std::cos(phase));
    const double noteY = 50 - 16 * std::sin(phase);
    c.fillEllipse(noteX, noteY, 6.5, 4.5, -0.35, gold);
    c.line(noteX + 5.5, noteY - 1, noteX + 5.5, noteY - 26, 1.6, gold);
    // Sound rings that widen and fade through the cycle.
    for (int r = 0; r < 3; ++r) {
        const double t = std::fmod(frame / 38.0 * 3 + r, 3.0) / 3.0;
        const Colour ring = {blue.r, blue.g, blue.b, static_cast<float>(1 - t)};
        const double rad = 5 + 11 * t;
        c.ellipseRing(146, 50, rad, rad, rad - 1.8, rad - 1.8, 0, ring);
    }
    c.fillDisc(146, 50, 3.5, blue);
    return c;
}

// ---- Panel icons ----------------------------------------------------------

static void iconTile(Canvas &c, const Colour &tint)
{
    std::vector<Point> tile;
    const double x0 = 4, y0 = 4, x1 = c.width - 4, y1 = c.height - 4, r = 12;
    for (int i = 0; i <= 40; ++i) {
        const double a = M_PI / 2 * (i % 10) / 9.0;
        const int q = i / 10;
        const double cx = (q == 0 || q == 3) ? x1 - r : x0 + r;
        const double cy = (q < 2) ? y0 + r : y1 - r;
        const double base = q * M_PI / 2;
        if (i == 40) break;
        tile.push_back({cx + r * std::cos(-base - a), cy + r * std::sin(-base - a)});
    }
    c.fillPolygon(tile, tint);
}

Canvas drawPanelIcon(int icon, int width, int height)
{
    Canvas c(width, height);
    const double cx = width / 2.0, cy = height / 2.0;
    const Colour pale = {0.93f, 0.95f, 1.0f, 1};
    const Colour dark = {0.15f, 0.2f, 0.35f, 1};
    const Colour red = {0.85f, 0.1f, 0.1f, 1};
    const Colour green = {0.15f, 0.6f, 0.2f, 1};
    const Colour amber = {0.95f, 0.7f, 0.1f, 1};
    iconTile(c, icon == 0 ? Colour{1.0f, 0.93f, 0.75f, 1} : pale);
    switch (icon) {
    case 0: // alert: warning triangle
        c.fillPolygon({{cx, 10}, {cx + 34, 72}, {cx - 34, 72}}, amber);
        c.polyline({{cx, 10}, {cx + 34, 72}, {cx - 34, 72}, {cx, 10}}, 3, red);
        c.fillRect(cx - 3, 28, cx + 3, 56, ink);
        c.fillDisc(cx, 64, 3.5, ink);
        break;
    case 1: // please wait: hourglass
        c.fillRect(cx - 22, 10, cx + 22, 15, dark);
        c.fillRect(cx - 22, 67, cx + 22, 72, dark);
        c.polyline({{cx - 18, 15}, {cx + 18, 15}, {cx + 3, 41}, {cx + 18, 67}, {cx - 18, 67},
                    {cx - 3, 41}, {cx - 18, 15}},
                   3, dark);
        c.fillPolygon({{cx - 12, 20}, {cx + 12, 20}, {cx, 38}}, amber);
        c.fillPolygon({{cx, 52}, {cx + 14, 65}, {cx - 14, 65}}, amber);
        break;
    case 2: // first-time setup: a person with a plus
        c.fillDisc(cx - 10, 28, 12, dark);
        c.fillEllipse(cx - 10, 63, 24, 14, 0, dark); // shoulders end inside the tile
        c.fillRect(cx + 22, 28, cx + 28, 52, green);
        c.fillRect(cx + 13, 37, cx + 37, 43, green);
        break;
    case 3: // information
        c.fillDisc(cx, cy, 30, {0.15f, 0.4f, 0.8f, 1});
        c.fillDisc(cx, cy - 16, 4.5, white);
        c.fillRect(cx - 4, cy - 6, cx + 4, cy + 20, white);
        break;
    case 4: // make a choice: a list with a tick
        for (int k = 0; k < 3; ++k) {
            c.ellipseRing(cx - 30, 22 + 19 * k, 6, 6, 4, 4, 0, dark);
            c.fillRect(cx - 18, 19 + 19 * k, cx + 34, 25 + 19 * k, dark);
        }
        c.polyline({{cx - 35, 40}, {cx - 30, 46}, {cx - 20, 30}}, 4, green);
        break;
    case 5: // listen: a speaker with waves
        c.fillPolygon({{cx - 34, cy - 10}, {cx - 20, cy - 10}, {cx - 2, cy - 26}, {cx - 2, cy + 26},
                       {cx - 20, cy + 10}, {cx - 34, cy + 10}},
                      dark);
        for (int k = 1; k <= 3; ++k) {
            std::vector<Point> arc;
            for (int i = -8; i <= 8; ++i) {
                const double a = i * 0.09;
                arc.push_back({cx + 2 + 10 * k * std::cos(a), cy + 10 * k * std::sin(a)});
            }
            c.polyline(arc, 3, dark);
        }
        break;
    case 6: // prepare: a stopwatch
        c.ellipseRing(cx, cy + 4, 28, 28, 23, 23, 0, dark);
        c.fillRect(cx - 6, 6, cx + 6, 12, dark);
        c.line(cx, cy + 4, cx, cy - 16, 3, red);
        c.line(cx, cy + 4, cx + 12, cy + 10, 3, dark);
        break;
    case 7: // sing: a microphone
        c.fillEllipse(cx, 30, 13, 20, 0, dark);
        {
            std::vector<Point> cup;
            for (int i = 0; i <= 16; ++i) {
                const double a = M_PI * i / 16.0;
                cup.push_back({cx + 22 * std::cos(a), 36 + 18 * std::sin(a)});
            }
            c.polyline(cup, 3, dark);
        }
        c.line(cx, 54, cx, 70, 4, dark);
        c.fillRect(cx - 14, 68, cx + 14, 73, dark);
        break;
    case 8: // play
        c.fillPolygon({{cx - 18, 14}, {cx + 26, cy}, {cx - 18, 68}}, green);
        break;
    case 9: // a note
        c.fillEllipse(cx - 8, 58, 12, 8.5, -0.4, dark);
        c.line(cx + 3, 56, cx + 3, 14, 3, dark);
        c.curve({{cx + 3, 14}, {cx + 16, 26}, {cx + 20, 40}}, 3, dark);
        break;
    case 10: // analyse: a magnifying glass
        c.ellipseRing(cx - 8, cy - 6, 22, 22, 16, 16, 0, dark);
        c.line(cx + 8, cy + 10, cx + 30, cy + 30, 7, dark);
        break;
    case 11: // check your progress: a cup
        c.fillPolygon({{cx - 22, 12}, {cx + 22, 12}, {cx + 16, 42}, {cx - 16, 42}}, amber);
        c.ellipseRing(cx - 24, 24, 10, 10, 6, 6, 0, amber);
        c.ellipseRing(cx + 24, 24, 10, 10, 6, 6, 0, amber);
        c.fillRect(cx - 4, 42, cx + 4, 60, amber);
        c.fillRect(cx - 18, 60, cx + 18, 70, dark);
        break;
    case 12: // recognise trends: bars and a rising arrow
        for (int k = 0; k < 4; ++k) c.fillRect(cx - 36 + 19 * k, 62 - 10 * k, cx - 24 + 19 * k, 70, dark);
        c.line(cx - 36, 50, cx + 26, 16, 4, red);
        c.fillPolygon({{cx + 36, 10}, {cx + 30, 26}, {cx + 20, 12}}, red);
        break;
    default: // 13 and up: track progress: a line graph
        c.line(cx - 40, 12, cx - 40, 70, 3, dark);
        c.line(cx - 40, 70, cx + 40, 70, 3, dark);
        c.polyline({{cx - 36, 60}, {cx - 18, 44}, {cx - 2, 52}, {cx + 16, 28}, {cx + 36, 20}}, 4, green);
        break;
    }
    return c;
}

// ---- Images6: the teacher's cue figure, one pose per picture --------------

Canvas drawCueFigure(int slot, int width, int height)
{
    Canvas c(width, height);
    const double phase = 2 * M_PI * (slot % 24) / 24.0;
    const Colour coat = {0.25f + 0.5f * (slot % 7) / 6.0f, 0.3f, 0.55f, 1};
    const double hx = width / 2.0, hy = 46;
    // Head, body, legs.
    c.fillDisc(hx, hy, 18, {0.95f, 0.8f, 0.65f, 1});
    c.ellipseRing(hx, hy, 18, 18, 16, 16, 0, ink);
    c.fillDisc(hx - 6, hy - 3, 2, ink);
    c.fillDisc(hx + 6, hy - 3, 2, ink);
    c.curve({{hx - 7, hy + 7}, {hx, hy + 10 + 3 * std::sin(phase)}, {hx + 7, hy + 7}}, 2, ink);
    c.fillPolygon({{hx - 22, 70}, {hx + 22, 70}, {hx + 28, 150}, {hx - 28, 150}}, coat);
    c.line(hx - 12, 150, hx - 16 - 6 * std::sin(phase), 200, 8, ink);
    c.line(hx + 12, 150, hx + 16 + 6 * std::sin(phase), 200, 8, ink);
    // The conducting arm swings with the pose; the baton follows it.
    const double a = -0.6 + 0.9 * std::sin(phase);
    const double ex = hx + 22 + 34 * std::cos(a), ey = 82 + 34 * std::sin(a);
    c.line(hx + 20, 82, ex, ey, 7, coat);
    c.line(ex, ey, ex + 30 * std::cos(a - 0.5), ey + 30 * std::sin(a - 0.5), 2.5, ink);
    c.line(hx - 20, 82, hx - 38, 124, 7, coat);
    // The picture's number, small, so every picture is told apart.
    const std::string number = std::to_string(slot);
    c.text(width - Canvas::textWidth(number, 2) - 6, height - 20, number, 2, ink);
    return c;
}

// ---- Images7: notation ----------------------------------------------------

static void trebleClef(Canvas &c, const Colour &col)
{
    const double sx = c.width / 86.0, sy = c.height / 144.0;
    std::vector<Point> pts = {
        {44, 96},  {50, 92},  {46, 84},  {36, 86},  {31, 96},  {36, 107}, {48, 110},
        {58, 101}, {60, 88},  {55, 76},  {49, 63},  {47, 47},  {51, 31},  {56, 18},
        {54, 8},   {47, 5},   {41, 12},  {40, 25},  {43, 42},  {46, 62},  {48, 86},
        {50, 110}, {51, 126}, {48, 135}, {40, 138}, {33, 133}};
    for (Point &p : pts) p = {p.x * sx, p.y * sy};
    c.curve(pts, 4.2, col);
    c.fillDisc(36 * sx, 128 * sy, 5.5, col);
}

static void bassClef(Canvas &c, const Colour &col)
{
    c.fillDisc(15, 28, 7, col);
    c.curve({{12, 24}, {18, 13}, {32, 9}, {46, 16}, {50, 30}, {44, 46}, {30, 58}, {12, 66}}, 4.5, col);
    c.fillDisc(59, 19, 3.5, col);
    c.fillDisc(59, 37, 3.5, col);
}

// Sharp, flat and natural, centred on (cx, cy) at size s (1 = 20 x 28).
void sharpSign(Canvas &c, double cx, double cy, double s, const Colour &col)
{
    c.line(cx - 3 * s, cy - 12 * s, cx - 3 * s, cy + 12 * s, 1.6 * s, col);
    c.line(cx + 3 * s, cy - 13 * s, cx + 3 * s, cy + 11 * s, 1.6 * s, col);
    c.line(cx - 8 * s, cy - 3 * s, cx + 8 * s, cy - 6 * s, 3 * s, col);
    c.line(cx - 8 * s, cy + 5 * s, cx + 8 * s, cy + 2 * s, 3 * s, col);
}

void flatSign(Canvas &c, double cx, double cy, double s, const Colour &col)
{
    c.line(cx - 4 * s, cy - 14 * s, cx - 4 * s, cy + 8 * s, 1.8 * s, col);
    c.curve({{cx - 4 * s, cy - 1 * s}, {cx + 2 * s, cy - 4 * s}, {cx + 6 * s, cy - 1 * s},
             {cx + 3 * s, cy + 4 * s}, {cx - 4 * s, cy + 8 * s}},
            2.2 * s, col);
}

void naturalSign(Canvas &c, double cx, double cy, double s, const Colour &col)
{
    c.line(cx - 4 * s, cy - 12 * s, cx - 4 * s, cy + 5 * s, 1.6 * s, col);
    c.line(cx + 4 * s, cy - 5 * s, cx + 4 * s, cy + 12 * s, 1.6 * s, col);
    c.line(cx - 4 * s, cy - 3 * s, cx + 4 * s, cy - 5 * s, 3 * s, col);
    c.line(cx - 4 * s, cy + 5 * s, cx + 4 * s, cy + 3 * s, 3 * s, col);
}

// Note pictures: the head centre lies at (20, 53) of the 50 x 67 picture.
enum NoteShape { sixteenth, eighth, quarter, half, whole };

static void notePicture(Canvas &c, NoteShape shape, bool dotted, const Colour &col)
{
    const double hx = 20, hy = 53;
    if (shape == whole) {
        c.ellipseRing(hx, hy, 11, 8, 6.5, 4.2, 0.5, col);
    } else if (shape == half) {
        c.ellipseRing(hx, hy, 10, 7.5, 7, 3.6, -0.45, col);
    } else {
        c.fillEllipse(hx, hy, 10, 7.5, -0.45, col);
    }
    if (shape != whole) {
        const double sx = hx + 8.8;
        c.line(sx, hy - 3, sx, 4, 2, col);
        if (shape == eighth || shape == sixteenth)
            c.curve({{sx, 4}, {sx + 6, 12}, {sx + 12, 20}, {sx + 9, 30}}, 2.6, col);
        if (shape == sixteenth)
            c.curve({{sx, 14}, {sx + 6, 22}, {sx + 12, 30}, {sx + 9, 40}}, 2.6, col);
    }
    if (dotted) c.fillDisc(hx + 17, hy - 2, 2.6, col);
}

enum RestShape { restSixteenth, restEighth, restQuarter, restHalf, restWhole };

static void restPicture(Canvas &c, RestShape shape, bool dotted, const Colour &col)
{
    const double cx = 22, cy = 34;
    switch (shape) {
    case restWhole: c.fillRect(cx - 9, cy - 10, cx + 9, cy - 3, col); break;
    case restHalf: c.fillRect(cx - 9, cy - 7, cx + 9, cy, col); break;
    case restQuarter:
        c.curve({{cx - 3, cy - 20}, {cx + 5, cy - 10}, {cx - 4, cy - 2}, {cx + 5, cy + 8},
                 {cx - 3, cy + 6}, {cx + 1, cy + 18}},
                3.2, col);
        break;
    case restEighth:
    case restSixteenth:
        c.line(cx + 6, cy - 12, cx - 2, cy + 16, 2.2, col);
        c.fillDisc(cx - 3, cy - 10, 3.5, col);
        c.curve({{cx - 3, cy - 8}, {cx + 2, cy - 8}, {cx + 6, cy - 12}}, 2, col);
        if (shape == restSixteenth) {
            c.fillDisc(cx - 6, cy - 1, 3.5, col);
            c.curve({{cx - 6, cy + 1}, {cx - 1, cy + 1}, {cx + 3, cy - 3}}, 2, col);
        }
        break;
    }
    if (dotted) c.fillDisc(cx + 13, cy - 6, 2.6, col);
}

static void staffLines(Canvas &c, double top, double gap, const Colour &col)
{
    for (int k = 0; k < 5; ++k) c.line(1, top + gap * k, c.width - 1, top + gap * k, 1, col);
}

static const int timeSignatures[21][2] = {
    {2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}, {2, 2}, {3, 2}, {4, 2}, {3, 8}, {5, 8},
    {6, 8}, {7, 8}, {9, 8}, {12, 8}, {2, 8}, {4, 8}, {1, 4}, {6, 16}, {9, 16}, {12, 16}};

Canvas drawNotationPicture(int slot, int width, int height)
{
    Canvas c(width, height);
    if (slot == 0) {
        trebleClef(c, ink);
    } else if (slot == 1) {
        bassClef(c, ink);
    } else if (slot >= 2 && slot <= 16) {
        // Key signatures: 7 flats .. none .. 7 sharps.
        const int k = slot - 9;
        staffLines(c, 30, 10, {0.5f, 0.5f, 0.5f, 1});
        const int n = k < 0 ? -k : k;
        for (int i = 0; i < n; ++i) {
            const double x = 8 + 11 * i;
            const double y = k > 0 ? 30 + 5 * ((i * 4) % 7) : 50 - 5 * ((i * 3) % 7) + 10;
            if (k > 0)
                sharpSign(c, x + 3, y, 0.55, ink);
            else
                flatSign(c, x + 3, y, 0.55, ink);
        }
    } else if (slot >= 17 && slot <= 37) {
        const int *ts = timeSignatures[slot - 17];
        const std::string top = std::to_string(ts[0]), bottom = std::to_string(ts[1]);
        c.text((width - Canvas::textWidth(top, 4)) / 2.0, 40, top, 4, ink);
        c.text((width - Canvas::textWidth(bottom, 4)) / 2.0, 74, bottom, 4, ink);
    } else if (slot >= 38 && slot <= 40) {
        c.line(29, 2, 29, height - 2, 2, variantColour(slot - 38)); // stem extension
    } else if (slot >= 41 && slot <= 43) {
        std::vector<Point> arc; // slur arc
        for (int i = 0; i <= 20; ++i) {
            const double t = i / 20.0;
            arc.push_back({4 + t * (width - 8), 6 + 16 * std::sin(M_PI * t)});
        }
        c.polyline(arc, 2.5, variantColour(slot - 41));
    } else if (slot >= 44 && slot <= 52) {
        const Colour col = variantColour((slot - 44) % 3);
        if (slot <= 46)
            sharpSign(c, 10, 15, 1, col);
        else if (slot <= 49)
            flatSign(c, 10, 15, 1, col);
        else
            naturalSign(c, 10, 15, 1, col);
    } else if (slot >= 53 && slot <= 58) {
        static const char *const marks[6] = {"pp", "p", "mp", "mf", "f", "ff"};
        const std::string m = marks[slot - 53];
        c.text((width - Canvas::textWidth(m, 1)) / 2.0, 10, m, 1, ink);
    } else if (slot >= 59 && slot <= 60) {
        // Cover over a hidden note.
        c.fillRect(3, 3, width - 3, height - 3, {0.75f, 0.75f, 0.8f, 1});
        c.text((width - Canvas::textWidth("?", 4)) / 2.0, height / 2.0 - 14, "?", 4, ink);
    } else if (slot >= 61 && slot <= 88) {
        static const NoteShape shapes[9] = {sixteenth, sixteenth, eighth, eighth, quarter,
                                            quarter,   half,      half,   whole};
        const int group = slot >= 85 ? 8 : (slot - 61) / 3;
        const int variant = slot >= 85 ? slot - 85 : (slot - 61) % 3;
        notePicture(c, shapes[group], group % 2 == 1 && group < 8, variantColour(variant));
    } else if (slot >= 89 && slot <= 115) {
        static const RestShape shapes[9] = {restSixteenth, restSixteenth, restEighth,
                                            restEighth,    restQuarter,   restQuarter,
                                            restHalf,      restHalf,      restWhole};
        const int group = (slot - 89) / 3;
        restPicture(c, shapes[group], group % 2 == 1 && group < 8, variantColour((slot - 89) % 3));
    }
    return c;
}
