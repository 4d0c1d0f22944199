#include "common/recording_draw.h"

#include <cstdio>

static std::string num(double v)
{
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

void RecordingDraw::colour(float r, float g, float b, float a)
{
    add("colour " + num(r) + " " + num(g) + " " + num(b) + " " + num(a));
}
void RecordingDraw::quad(double x0, double y0, double x1, double y1, double z)
{
    add("quad " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) + " " + num(z));
}
void RecordingDraw::triangle(double x0, double y0, double x1, double y1, double x2, double y2, double z)
{
    add("triangle " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) + " " + num(x2) + " " +
        num(y2) + " " + num(z));
}
void RecordingDraw::line(double x0, double y0, double x1, double y1, double z)
{
    add("line " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) + " " + num(z));
}
static std::string points(const double *xy, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += " " + num(xy[2 * i]) + "," + num(xy[2 * i + 1]);
    return s;
}
void RecordingDraw::lineStrip(const double *xy, int n, double z) { add("strip" + points(xy, n) + " " + num(z)); }
void RecordingDraw::lineLoop(const double *xy, int n, double z) { add("loop" + points(xy, n) + " " + num(z)); }
void RecordingDraw::text(DrawnText kind, int32_t, std::string_view s, double x, double y)
{
    const char *k = kind == DrawnText::large     ? "large"
                    : kind == DrawnText::control ? "ctext"
                    : kind == DrawnText::score   ? "stext"
                                                 : "text";
    add(std::string(k) + " " + num(x) + " " + num(y) + " " + std::string(s));
}
void RecordingDraw::picture(uint32_t texture, double x0, double y0, double x1, double y1, double z)
{
    add("picture " + std::to_string(texture) + " " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) +
        " " + num(z));
}
void RecordingDraw::pushTranslate(double x, double y) { add("translate " + num(x) + " " + num(y)); }
std::vector<std::string> RecordingDraw::matching(const std::string &prefix) const
{
    std::vector<std::string> out;
    for (const std::string &op : ops)
        if (op.rfind(prefix, 0) == 0) out.push_back(op);
    return out;
}

void RecordingDraw::lineDepths(double x0, double y0, double z0, double x1, double y1, double z1)
{
    add("line " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) + " " + num(z0) + ".." + num(z1));
}
void RecordingDraw::point(double x, double y, double z, float size)
{
    add("point " + num(x) + " " + num(y) + " " + num(z) + " size " + num(size));
}
void RecordingDraw::polygon4(const double *xy, double z) { add("polygon" + points(xy, 4) + " " + num(z)); }
void RecordingDraw::picture4(uint32_t texture, const double *xy, double z)
{
    add("picture4 " + std::to_string(texture) + points(xy, 4) + " " + num(z));
}

void RecordingDraw::fan(const double *xy, int n, double z) { add("fan" + points(xy, n) + " " + num(z)); }
void RecordingDraw::ellipseOutline(int32_t cx, int32_t cy, int32_t n, double rx, double ry, int32_t w)
{
    add("ellipse " + num(cx) + " " + num(cy) + " " + num(n) + " " + num(rx) + " " + num(ry) + " width " + num(w));
}
void RecordingDraw::control(ControlRecord *c) { add("control " + c->caption); }
void RecordingDraw::arrow(bool big, int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w)
{
    add(std::string(big ? "bigarrow " : "arrow ") + num(style) + " " + num(x1) + " " + num(y1) + " " + num(x2) +
        " " + num(y2) + " width " + num(w));
}
void RecordingDraw::trebleStaff(int32_t x1, int32_t x2) { add("staff " + num(x1) + " " + num(x2)); }
void RecordingDraw::trebleClef(int32_t x) { add("clef " + num(x)); }
void RecordingDraw::staffNote(int32_t x, int32_t key, int32_t note, int32_t colour)
{
    add("note " + num(x) + " " + num(key) + " " + num(note) + " " + num(colour));
}
