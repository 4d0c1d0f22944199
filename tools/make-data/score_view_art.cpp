// The pictures of the replay's score view as it uses them. Images6: the
// teacher's cue figure in four sets of 27 frames (0 singing along, 27 and
// 54 the two baton kicks before a new note, 81 waiting through a rest) and
// the count-in metronome (162..173, its arm from the left extreme to the
// right). Images7: the key signatures (2..16) and time signatures (17..37)
// placed so that they sit on the view's staff where it draws them, and the
// loudness marks (53..58: loud, soft). The other pictures stay as
// picture_art.cpp draws them.
#include "picture_art.h"

#include <cmath>
#include <string>

namespace {

const Colour fur = {0.55f, 0.45f, 0.35f, 1};
const Colour coat = {0.2f, 0.3f, 0.6f, 1};
const Colour pink = {0.95f, 0.6f, 0.65f, 1};
const Colour wood = {0.55f, 0.32f, 0.15f, 1};
const Colour brass = {0.85f, 0.65f, 0.1f, 1};

struct Pose {
    double arm;     // angle of the baton arm from the shoulder, radians (0 right, negative up)
    double mouth;   // 0 closed .. 1 wide open
    double kick;    // 0 both feet down .. 1 the right foot lifted
    bool motion;    // lines of a fast stroke behind the baton
};

void drawFigure(Canvas &c, const Pose &p)
{
    const double hx = c.width / 2.0, hy = 50;
    // Ears, head, eyes, whiskers, mouth.
    c.fillPolygon({{hx - 20, hy - 8}, {hx - 14, hy - 30}, {hx - 4, hy - 14}}, fur);
    c.fillPolygon({{hx + 20, hy - 8}, {hx + 14, hy - 30}, {hx + 4, hy - 14}}, fur);
    c.fillDisc(hx, hy, 20, fur);
    c.fillDisc(hx - 7, hy - 4, 2.5, ink);
    c.fillDisc(hx + 7, hy - 4, 2.5, ink);
    c.fillDisc(hx, hy + 3, 2, pink);
    for (int s : {-1, 1}) {
        c.line(hx + 6 * s, hy + 5, hx + 22 * s, hy + 2, 1, ink);
        c.line(hx + 6 * s, hy + 7, hx + 22 * s, hy + 9, 1, ink);
    }
    if (p.mouth > 0.05)
        c.fillEllipse(hx, hy + 11, 5, 1 + 5 * p.mouth, 0, {0.45f, 0.1f, 0.15f, 1});
    else
        c.line(hx - 4, hy + 10, hx + 4, hy + 10, 1.5, ink);
    // Coat and legs; a kick lifts the right foot.
    c.fillPolygon({{hx - 22, 72}, {hx + 22, 72}, {hx + 28, 150}, {hx - 28, 150}}, coat);
    c.line(hx - 12, 150, hx - 14, 202, 8, ink);
    c.line(hx + 12, 150, hx + 14 + 26 * p.kick, 202 - 30 * p.kick, 8, ink);
    // The left arm rests; the right one holds the baton.
    c.line(hx - 20, 84, hx - 36, 126, 7, coat);
    const double ex = hx + 22 + 36 * std::cos(p.arm), ey = 84 + 36 * std::sin(p.arm);
    c.line(hx + 20, 84, ex, ey, 7, coat);
    const double bx = ex + 34 * std::cos(p.arm - 0.4), by = ey + 34 * std::sin(p.arm - 0.4);
    c.line(ex, ey, bx, by, 2.5, ink);
    if (p.motion)
        for (int k = 1; k <= 3; ++k)
            c.line(bx - 6 * k, by - 10 - 6 * k, bx - 6 * k + 10, by - 16 - 6 * k, 1.5, {0.9f, 0.5f, 0.1f, 1});
}

void pictureNumber(Canvas &c, int slot)
{
    const std::string number = std::to_string(slot);
    c.text(c.width - Canvas::textWidth(number, 2) - 6, c.height - 20, number, 2, ink);
}

// The count-in metronome with its arm at `angle` radians from upright.
void drawMetronome(Canvas &c, double angle)
{
    const double cx = c.width / 2.0, base = 196, pivot = 170;
    c.fillPolygon({{cx - 52, base}, {cx + 52, base}, {cx + 24, 30}, {cx - 24, 30}}, wood);
    c.fillRect(cx - 30, 120, cx + 30, 180, {0.95f, 0.9f, 0.75f, 1});
    for (int k = -3; k <= 3; ++k) c.line(cx + 8 * k, 124, cx + 8 * k, 132, 1.2, ink);
    const double tx = cx + 130 * std::sin(angle), ty = pivot - 130 * std::cos(angle);
    c.line(cx, pivot, tx, ty, 3, ink);
    const double wx = cx + 95 * std::sin(angle), wy = pivot - 95 * std::cos(angle);
    c.fillRect(wx - 9, wy - 7, wx + 9, wy + 7, brass);
    c.fillDisc(cx, pivot, 5, brass);
}

} // namespace

Canvas drawScoreViewFigure(int slot, int width, int height)
{
    Canvas c(width, height);
    if (slot >= 162 && slot <= 173) {
        drawMetronome(c, (-35 + 70 * (slot - 162) / 11.0) * M_PI / 180);
        pictureNumber(c, slot);
        return c;
    }
    if (slot > 107) return drawCueFigure(slot, width, height);
    const int set = slot / 27, f = slot % 27;
    const double phase = 2 * M_PI * f / 27.0;
    Pose p{};
    switch (set) {
    case 0: // singing along: the baton beats, the mouth opens and closes
        p = {-0.3 + 0.6 * std::sin(phase), 0.5 + 0.5 * std::sin(2 * phase), 0, false};
        break;
    case 1: // kick 1: the baton raised high, the foot lifted
        p = {-1.3, 0.2, 1, false};
        break;
    case 2: // kick 2: the baton struck down
        p = {0.9, 0.6, 0.3, true};
        break;
    default: // waiting through a rest: arm low, mouth closed, a slow sway
        p = {0.8 + 0.1 * std::sin(phase), 0, 0, false};
        break;
    }
    drawFigure(c, p);
    pictureNumber(c, slot);
    return c;
}

bool drawScoreViewNotation(int slot, Canvas &c)
{
    if (slot >= 2 && slot <= 16) {
        // Signs per picture (positive sharps, negative flats) and the view's
        // lower y of the picture (which sets where the treble staff falls).
        static const int signs[17] = {0, 0, 0, 2, -5, 4, -3, -1, 1, -6, 3, -4, 5, -2, 7, 6, -7};
        static const int bottoms[17] = {0, 0, 490, 487, 467, 490, 470, 470, 490, 470, 490, 470, 490, 470, 490, 490, 470};
        // Staff heights (screen y) of the signs in their order.
        static const int sharpY[7] = {560, 530, 570, 540, 510, 550, 520};
        static const int flatY[7] = {520, 550, 510, 540, 500, 530, 490};
        const int n = signs[slot];
        for (int i = 0; i < std::abs(n); ++i) {
            const double x = 8 + 12 * i;
            if (n > 0)
                sharpSign(c, x, bottoms[slot] + c.height - sharpY[i], 0.7, ink);
            else
                flatSign(c, x, bottoms[slot] + c.height - flatY[i] - 2, 0.7, ink);
        }
        return true;
    }
    if (slot >= 17 && slot <= 37) {
        // The meters by picture; 35 stands for any meter the pack has no picture of.
        static const int meters[21][2] = {{2, 2},  {3, 2}, {4, 2}, {6, 2}, {9, 2}, {12, 2}, {2, 4},
                                          {3, 4},  {4, 4}, {6, 4}, {9, 4}, {12, 4}, {2, 8}, {3, 8},
                                          {4, 8},  {6, 8}, {9, 8}, {12, 8}, {0, 0}, {5, 4}, {8, 4}};
        const int *m = meters[slot - 17];
        const std::string top = m[0] ? std::to_string(m[0]) : "X";
        const std::string bottom = m[0] ? std::to_string(m[1]) : "X";
        // The view draws the picture from y 450 (and 330): the numerator fills
        // the staff's upper half, the denominator its lower half.
        c.text((c.width - Canvas::textWidth(top, 4)) / 2.0, 36, top, 4, ink);
        c.text((c.width - Canvas::textWidth(bottom, 4)) / 2.0, 76, bottom, 4, ink);
        return true;
    }
    if (slot >= 53 && slot <= 58) {
        const std::string mark = slot <= 55 ? "f" : "p";
        const Colour col = variantColour((slot - 53) % 3);
        c.text((c.width - Canvas::textWidth(mark, 3)) / 2.0, 3, mark, 3, col);
        return true;
    }
    return false;
}
