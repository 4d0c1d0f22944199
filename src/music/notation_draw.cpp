#include "music/notation_draw.h"

#include "music/staff_drawing.h"

namespace {

struct GlNotationDraw final : ImmediateDraw {
    ImmediateDraw &gl = glImmediateDraw();
    void beginFrame() override { gl.beginFrame(); }
    void endFrame() override { gl.endFrame(); }
    void colour(float r, float g, float b, float a) override { gl.colour(r, g, b, a); }
    void lineWidth(float width) override { gl.lineWidth(width); }
    void quad(double x0, double y0, double x1, double y1, double z) override { gl.quad(x0, y0, x1, y1, z); }
    void triangle(double x0, double y0, double x1, double y1, double x2, double y2, double z) override
    {
        gl.triangle(x0, y0, x1, y1, x2, y2, z);
    }
    void line(double x0, double y0, double x1, double y1, double z) override { gl.line(x0, y0, x1, y1, z); }
    void lineStrip(const double *xy, int n, double z) override { gl.lineStrip(xy, n, z); }
    void lineLoop(const double *xy, int n, double z) override { gl.lineLoop(xy, n, z); }
    void text(DrawnText kind, int32_t font, std::string_view s, double x, double y) override
    {
        gl.text(kind, font, s, x, y);
    }
    void picture(uint32_t texture, double x0, double y0, double x1, double y1, double z) override
    {
        gl.picture(texture, x0, y0, x1, y1, z);
    }
    void pushTranslate(double x, double y) override { gl.pushTranslate(x, y); }
    void pop() override { gl.pop(); }
    void frameAnimation(int32_t n) override { gl.frameAnimation(n); }
    void controls() override { gl.controls(); }
    void popupList() override { gl.popupList(); }
    void lessonMessagePanel(int32_t icon, std::string_view status) override { gl.lessonMessagePanel(icon, status); }
    void fan(const double *xy, int n, double z) override { gl.fan(xy, n, z); }
    void point(double x, double y, double z, float size) override { gl.point(x, y, z, size); }
    void ellipseOutline(int32_t cx, int32_t cy, int32_t n, double rx, double ry, int32_t lineWidth) override
    {
        gl.ellipseOutline(cx, cy, n, rx, ry, lineWidth);
    }
    void control(ControlRecord *c) override { gl.control(c); }
    void arrow(bool big, int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width) override
    {
        if (big) drawBigArrow(style, x1, y1, x2, y2, width);
        else drawArrow(style, x1, y1, x2, y2, width);
    }
    void trebleStaff(int32_t x1, int32_t x2) override { drawTrebleStaff(x1, x2); }
    void trebleClef(int32_t x) override { drawTrebleClef(x); }
    void staffNote(int32_t x, int32_t key, int32_t note, int32_t colour) override
    {
        drawStaffNote(x, key, note, colour);
    }
};

} // namespace

ImmediateDraw &glNotationDraw()
{
    static GlNotationDraw draw;
    return draw;
}
