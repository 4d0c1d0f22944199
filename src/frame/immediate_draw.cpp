#include "frame/immediate_draw.h"

#include "frame/screen_frame.h"
#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/message_panel.h"
#include "base/small_routines.h"
#include "frame/text.h"
#include "frame/dispatch.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <string>

namespace {

struct GlImmediateDraw final : ImmediateDraw {
    void beginFrame() override
    {
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
    }
    void endFrame() override
    {
        glFlush();
        glutSwapBuffers();
    }
    void colour(float r, float g, float b, float a) override { setColour(r, g, b, a); }
    void lineWidth(float width) override { glLineWidth(width); }
    void quad(double x0, double y0, double x1, double y1, double z) override { fillRect(x0, y0, x1, y1, z); }
    void triangle(double x0, double y0, double x1, double y1, double x2, double y2, double z) override
    {
        fillTriangle(x0, y0, x1, y1, x2, y2, z);
    }
    void line(double x0, double y0, double x1, double y1, double z) override { drawLine(x0, y0, x1, y1, z); }
    void lineStrip(const double *xy, int n, double z) override { drawLineStrip(xy, n, z); }
    void lineLoop(const double *xy, int n, double z) override { drawLineLoop(xy, n, z); }
    void text(DrawnText kind, int32_t font, std::string_view s, double x, double y) override
    {
        switch (kind) {
        case DrawnText::normal: drawText(font, s, x, y); break;
        case DrawnText::large: drawLargeText(font, s, x, y); break;
        case DrawnText::control: drawControlText(font, s, x, y); break;
        case DrawnText::score: drawScoreText(font, s, x, y); break;
        }
    }
    void picture(uint32_t texture, double x0, double y0, double x1, double y1, double z) override
    {
        drawTexturedRect(texture, x0, y0, x1, y1, z);
    }
    void backdropPicture(uint32_t texture, double x0, double y0, double x1, double y1, double z) override
    {
        drawBackdropPicture(texture, x0, y0, x1, y1, z);
    }
    void lineDepths(double x0, double y0, double z0, double x1, double y1, double z1) override
    {
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_LINES);
        glVertex3d(x0, y0, z0);
        glVertex3d(x1, y1, z1);
        glEnd();
    }
    void point(double x, double y, double z, float size) override
    {
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_POINT_SMOOTH);
        glPointSize(size);
        glBegin(GL_POINTS);
        glVertex3d(x, y, z);
        glEnd();
        glPointSize(1);
        glDisable(GL_POINT_SMOOTH);
    }
    void polygon4(const double *xy, double z) override
    {
        // Wound counter-clockwise whatever the corner order (culling stays on).
        const bool ccw = signedArea2(xy, 4) >= 0;
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_QUADS);
        for (int k = 0; k < 4; ++k) {
            const int i = ccw ? k : 3 - k;
            glVertex3d(xy[2 * i], xy[2 * i + 1], z);
        }
        glEnd();
    }
    void picture4(uint32_t texture, const double *xy, double z) override { drawTexturedQuad(texture, xy, z); }
    void pushTranslate(double x, double y) override
    {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslated(x, y, 0);
    }
    void pop() override
    {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    void frameAnimation(int32_t n) override { drawFrameAnimation(n); }
    void controls() override
    {
        if (const ScreenHandlers *h = currentScreenHandlers(); h && h->drawControls) h->drawControls();
    }
    void popupList() override { drawPopupList(); }
    void lessonMessagePanel(int32_t icon, std::string_view status) override
    {
        drawLessonMessagePanel(icon, std::string(status));
    }
    void fan(const double *xy, int n, double z) override
    {
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_TRIANGLE_FAN);
        for (int i = 0; i < n; ++i) glVertex3d(xy[2 * i], xy[2 * i + 1], z);
        glEnd();
    }
    void ellipseOutline(int32_t cx, int32_t cy, int32_t n, double rx, double ry, int32_t lineWidth) override
    {
        drawEllipseOutline(cx, cy, n, rx, ry, lineWidth);
    }
    void control(ControlRecord *c) override { drawControl(c); }
};

} // namespace

ImmediateDraw &glImmediateDraw()
{
    static GlImmediateDraw draw;
    return draw;
}

void frameRect(ImmediateDraw &d, double left, double bottom, double right, double top, double z)
{
    const double corners[] = {left, top, right, top, right, bottom, left, bottom};
    d.lineLoop(corners, 4, z);
}
