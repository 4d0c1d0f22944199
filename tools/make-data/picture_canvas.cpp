#include "picture_canvas.h"

#include "base/rounding.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int w, int h) : width(w), height(h), px(static_cast<size_t>(w) * h * 4, 0.0f) {}

void Canvas::blend(int x, int y, const Colour &c, double coverage)
{
    if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0) return;
    if (coverage > 1) coverage = 1;
    const float a = static_cast<float>(c.a * coverage);
    float *p = &px[(static_cast<size_t>(y) * width + x) * 4];
    p[0] = c.r * a + p[0] * (1 - a);
    p[1] = c.g * a + p[1] * (1 - a);
    p[2] = c.b * a + p[2] * (1 - a);
    p[3] = a + p[3] * (1 - a);
}

std::vector<uint8_t> Canvas::rgba() const
{
    std::vector<uint8_t> out(px.size());
    for (size_t i = 0; i < px.size(); i += 4) {
        const float a = px[i + 3];
        for (int k = 0; k < 3; ++k) {
            const float v = a > 0 ? px[i + k] / a : 0.0f;
            out[i + k] = static_cast<uint8_t>(roundToInt32(std::clamp(v, 0.0f, 1.0f) * 255));
        }
        out[i + 3] = static_cast<uint8_t>(roundToInt32(std::clamp(a, 0.0f, 1.0f) * 255));
    }
    return out;
}

void Canvas::fill(const Colour &c)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) blend(x, y, c, 1);
}

void Canvas::fillRect(double x0, double y0, double x1, double y1, const Colour &c)
{
    for (int y = static_cast<int>(std::floor(y0)); y < std::ceil(y1); ++y)
        for (int x = static_cast<int>(std::floor(x0)); x < std::ceil(x1); ++x) {
            const double cx = std::min<double>(x + 1, x1) - std::max<double>(x, x0);
            const double cy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
            if (cx > 0 && cy > 0) blend(x, y, c, cx * cy);
        }
}

// Coverage from a signed distance (negative inside), one pixel of smoothing.
static double coverage(double d) { return std::clamp(0.5 - d, 0.0, 1.0); }

static double ellipseDistance(double px, double py, double cx, double cy, double rx, double ry,
                              double angle)
{
    const double dx = px - cx, dy = py - cy;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double u = dx * ca + dy * sa, v = -dx * sa + dy * ca;
    const double k = std::sqrt((u * u) / (rx * rx) + (v * v) / (ry * ry));
    return (k - 1) * std::min(rx, ry);
}

void Canvas::fillDisc(double cx, double cy, double r, const Colour &c)
{
    fillEllipse(cx, cy, r, r, 0, c);
}

void Canvas::fillEllipse(double cx, double cy, double rx, double ry, double angle, const Colour &c)
{
    const double m = std::max(rx, ry) + 2;
    for (int y = static_cast<int>(cy - m); y <= cy + m; ++y)
        for (int x = static_cast<int>(cx - m); x <= cx + m; ++x)
            blend(x, y, c, coverage(ellipseDistance(x + 0.5, y + 0.5, cx, cy, rx, ry, angle)));
}

void Canvas::ellipseRing(double cx, double cy, double rx, double ry, double irx, double iry,
                         double angle, const Colour &c)
{
    const double m = std::max(rx, ry) + 2;
    for (int y = static_cast<int>(cy - m); y <= cy + m; ++y)
        for (int x = static_cast<int>(cx - m); x <= cx + m; ++x) {
            const double outer = coverage(ellipseDistance(x + 0.5, y + 0.5, cx, cy, rx, ry, angle));
            const double inner = coverage(ellipseDistance(x + 0.5, y + 0.5, cx, cy, irx, iry, angle));
            blend(x, y, c, outer * (1 - inner));
        }
}

static double segmentDistance(double px, double py, double x0, double y0, double x1, double y1)
{
    const double vx = x1 - x0, vy = y1 - y0;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((px - x0) * vx + (py - y0) * vy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = px - (x0 + t * vx), dy = py - (y0 + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

// The smallest axis-parallel box around a non-empty list of points.
static void boundingBox(const std::vector<Point> &pts, double &minX, double &maxX, double &minY, double &maxY)
{
    minX = maxX = pts[0].x;
    minY = maxY = pts[0].y;
    for (const Point &p : pts) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
}

void Canvas::polyline(const std::vector<Point> &pts, double width, const Colour &c)
{
    if (pts.empty()) return;
    double minX, maxX, minY, maxY;
    boundingBox(pts, minX, maxX, minY, maxY);
    const double m = width / 2 + 2;
    for (int y = static_cast<int>(minY - m); y <= maxY + m; ++y)
        for (int x = static_cast<int>(minX - m); x <= maxX + m; ++x) {
            double d = 1e9;
            for (size_t i = 0; i + 1 < pts.size(); ++i)
                d = std::min(d, segmentDistance(x + 0.5, y + 0.5, pts[i].x, pts[i].y,
                                                pts[i + 1].x, pts[i + 1].y));
            if (pts.size() == 1) d = segmentDistance(x + 0.5, y + 0.5, pts[0].x, pts[0].y, pts[0].x, pts[0].y);
            blend(x, y, c, coverage(d - width / 2));
        }
}

void Canvas::line(double x0, double y0, double x1, double y1, double width, const Colour &c)
{
    polyline({{x0, y0}, {x1, y1}}, width, c);
}

void Canvas::curve(const std::vector<Point> &pts, double width, const Colour &c)
{
    if (pts.size() < 3) {
        polyline(pts, width, c);
        return;
    }
    std::vector<Point> out;
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        const Point p0 = pts[i == 0 ? 0 : i - 1], p1 = pts[i], p2 = pts[i + 1];
        const Point p3 = pts[i + 2 < pts.size() ? i + 2 : i + 1];
        for (int k = 0; k < 8; ++k) {
            const double t = k / 8.0, t2 = t * t, t3 = t2 * t;
            auto cr = [&](double a, double b, double cc, double d) {
                return 0.5 * (2 * b + (-a + cc) * t + (2 * a - 5 * b + 4 * cc - d) * t2 +
                              (-a + 3 * b - 3 * cc + d) * t3);
            };
            out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    out.push_back(pts.back());
    polyline(out, width, c);
}

static bool insidePolygon(const std::vector<Point> &pts, double x, double y)
{
    bool in = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        if ((pts[i].y > y) != (pts[j].y > y) &&
            x < (pts[j].x - pts[i].x) * (y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
            in = !in;
    }
    return in;
}

void Canvas::fillPolygon(const std::vector<Point> &pts, const Colour &c)
{
    if (pts.size() < 3) return;
    double minX, maxX, minY, maxY;
    boundingBox(pts, minX, maxX, minY, maxY);
    for (int y = static_cast<int>(minY) - 1; y <= maxY + 1; ++y)
        for (int x = static_cast<int>(minX) - 1; x <= maxX + 1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += insidePolygon(pts, x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
            blend(x, y, c, hits / 16.0);
        }
}

// 5 x 7 glyphs, one byte per row, bit 4 = leftmost column.
struct Glyph {
    char ch;
    uint8_t rows[7];
};

static const Glyph glyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}}, {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}}, {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}}, {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}}, {' ', {0, 0, 0, 0, 0, 0, 0}},
};

static const Glyph *findGlyph(char ch)
{
    for (const Glyph &g : glyphs)
        if (g.ch == ch) return &g;
    if (ch >= 'a' && ch <= 'z') return findGlyph(static_cast<char>(ch - 'a' + 'A'));
    return nullptr;
}

int Canvas::textWidth(const std::string &s, int scale)
{
    return s.empty() ? 0 : static_cast<int>(s.size()) * 6 * scale - scale;
}

int Canvas::text(double x, double y, const std::string &s, int scale, const Colour &c)
{
    double cx = x;
    for (char ch : s) {
        if (const Glyph *g = findGlyph(ch))
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g->rows[row] & (0x10 >> col))
                        fillRect(cx + col * scale, y + row * scale, cx + (col + 1) * scale,
                                 y + (row + 1) * scale, c);
        cx += 6 * scale;
    }
    return textWidth(s, scale);
}
