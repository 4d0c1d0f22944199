// Immediate-mode drawing helpers; every filled polygon is counter-clockwise.
#include "frame/gl_draw.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <utility>
#include <vector>

#include "base/small_routines.h"

bool haveGlContext() { return glXGetCurrentContext() != nullptr; }

void setColour(float r, float g, float b, float a)
{
    if (haveGlContext())
        glColor4f(r, g, b, a);
}

double signedArea2(const double *xy, int n)
{
    double a = 0;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        a += xy[2 * i] * xy[2 * j + 1] - xy[2 * j] * xy[2 * i + 1];
    }
    return a;
}

void fillRect(double x0, double y0, double x1, double y1, double z)
{
    const double left = x0 < x1 ? x0 : x1, right = x0 < x1 ? x1 : x0;
    const double bottom = y0 < y1 ? y0 : y1, top = y0 < y1 ? y1 : y0;
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glVertex3d(left, bottom, z);
    glVertex3d(right, bottom, z);
    glVertex3d(right, top, z);
    glVertex3d(left, top, z);
    glEnd();
}

void drawTexturedQuad(unsigned int texture, const double *xy, double z)
{
    // The texture's corners in the order of a counter-clockwise quad from
    // its bottom left.
    static const double tex[8] = {0, 1, 1, 1, 1, 0, 0, 0};
    const bool ccw = signedArea2(xy, 4) >= 0;
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glBegin(GL_QUADS);
    for (int k = 0; k < 4; ++k) {
        const int i = ccw ? k : 3 - k;
        glTexCoord2d(tex[2 * i], tex[2 * i + 1]);
        glVertex3d(xy[2 * i], xy[2 * i + 1], z);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void drawTexturedRect(unsigned int texture, double x0, double y0, double x1, double y1, double z)
{
    const double left = x0 < x1 ? x0 : x1, right = x0 < x1 ? x1 : x0;
    const double bottom = y0 < y1 ? y0 : y1, top = y0 < y1 ? y1 : y0;
    const double xy[8] = {left, bottom, right, bottom, right, top, left, top};
    drawTexturedQuad(texture, xy, z);
}

void drawLine(double x0, double y0, double x1, double y1, double z)
{
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    glVertex3d(x0, y0, z);
    glVertex3d(x1, y1, z);
    glEnd();
}

static void drawLines(GLenum mode, const double *xy, int n, double z)
{
    glDisable(GL_TEXTURE_2D);
    glBegin(mode);
    for (int i = 0; i < n; ++i)
        glVertex3d(xy[2 * i], xy[2 * i + 1], z);
    glEnd();
}

void drawLineStrip(const double *xy, int n, double z) { drawLines(GL_LINE_STRIP, xy, n, z); }
void drawLineLoop(const double *xy, int n, double z) { drawLines(GL_LINE_LOOP, xy, n, z); }

void fillTriangle(double x0, double y0, double x1, double y1, double x2, double y2, double z)
{
    double p[6] = {x0, y0, x1, y1, x2, y2};
    if (signedArea2(p, 3) < 0) {
        std::swap(p[2], p[4]);
        std::swap(p[3], p[5]);
    }
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3; ++i)
        glVertex3d(p[2 * i], p[2 * i + 1], z);
    glEnd();
}

void drawFrameRect(double left, double bottom, double right, double top, double z)
{
    const double corners[] = {left, top, right, top, right, bottom, left, bottom};
    drawLineLoop(corners, 4, z);
}

void drawEllipseOutline(int32_t cx, int32_t cy, int32_t n, double rx, double ry, int32_t lineWidth)
{
    if (n <= 0) return;
    // The same vertices the outline maths gives (one place computes them).
    std::vector<double> xy(2 * static_cast<size_t>(n));
    ellipseOutlineVertices(cx, cy, n, rx, ry, xy.data());
    glLineWidth(static_cast<GLfloat>(lineWidth));
    glBegin(GL_LINE_LOOP);
    for (int32_t i = 0; i < n; ++i) glVertex2d(xy[2 * i], xy[2 * i + 1]);
    glEnd();
    glLineWidth(1.0f);
}
