#include "overview_background.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Window pixels (y up) to picture pixels (y down).
double px(double windowX) { return windowX + 80; }
double py(double windowY) { return 1100 - windowY; }

void panel(Canvas &c, double x0, double y0, double x1, double y1, const Colour &fill, const Colour &edge)
{
    c.fillRect(px(x0), py(y1), px(x1), py(y0), fill);
    const double w = 2;
    c.line(px(x0), py(y0), px(x1), py(y0), w, edge);
    c.line(px(x0), py(y1), px(x1), py(y1), w, edge);
    c.line(px(x0), py(y0), px(x0), py(y1), w, edge);
    c.line(px(x1), py(y0), px(x1), py(y1), w, edge);
}

} // namespace

Canvas overviewBackground()
{
    Canvas c(1024, 1024);
    // A soft vertical wash from pale sky at the top to warm paper at the bottom.
    for (int row = 0; row < 1024; ++row) {
        const float t = static_cast<float>(row) / 1023.0f;
        c.fillRect(0, row, 1024, row + 1, {0.86f + 0.1f * t, 0.92f + 0.03f * t, 0.98f - 0.12f * t, 1});
    }
    const Colour edge = {0.45f, 0.5f, 0.6f, 1};
    // Behind the lesson's parameters, the programme chart and the dial.
    panel(c, 35, 625, 800, 690, {0.95f, 0.97f, 1.0f, 1}, edge);
    panel(c, 205, 292, 940, 510, {0.97f, 0.98f, 0.96f, 1}, edge);
    c.fillDisc(px(532), py(238), 56, edge);
    c.fillDisc(px(532), py(238), 53, {1, 1, 1, 1});
    // The dial's twelve hour marks.
    for (int h = 0; h < 12; ++h) {
        const double a = h * M_PI / 6;
        c.line(px(532 + 46 * std::sin(a)), py(238 + 46 * std::cos(a)), px(532 + 52 * std::sin(a)),
               py(238 + 52 * std::cos(a)), 2, edge);
    }
    // Which picture this is, small, in a free strip under the user line.
    const Colour ink = {0.35f, 0.38f, 0.45f, 1};
    c.text(px(100), py(712), "IMAGES51 #1 OVERVIEW BACKGROUND 1024X1024", 2, ink);
    return c;
}
