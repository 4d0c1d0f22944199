// Immediate-mode drawing helpers; every filled polygon is counter-clockwise.
#include "frame/gl_draw.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
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

namespace {

// What decides the pixels a backdrop leaves on the cleared frame.
struct BackdropKey {
    std::array<double, 5> corners{};
    std::array<GLfloat, 4> colour{}, clear{};
    GLuint texture = 0;
    GLint width = 0, height = 0;
    GLboolean blend = GL_FALSE;
    bool operator==(const BackdropKey &) const = default;
};

struct BackdropCopy {
    bool tried = false, usable = false, valid = false;
    GLuint texture = 0, framebuffer = 0;
    GLint width = 0, height = 0;
    BackdropKey key;
};

BackdropCopy backdrop;

bool framebufferObjects()
{
    const char *version = reinterpret_cast<const char *>(glGetString(GL_VERSION));
    const char *extensions = reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS));
    if (version && version[0] >= '3' && version[0] <= '9' && version[1] == '.') return true;
    return extensions && std::strstr(extensions, "GL_ARB_framebuffer_object");
}

// The window's pixels into the copy (made or resized to the window; the
// framebuffer object only checks that the renderer can hold the format).
bool keepWindowPixels(GLint width, GLint height)
{
    GLint boundTexture = 0, readFramebuffer = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    if (backdrop.texture == 0) glGenTextures(1, &backdrop.texture);
    glBindTexture(GL_TEXTURE_2D, backdrop.texture);
    if (backdrop.width != width || backdrop.height != height) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        if (backdrop.framebuffer == 0) glGenFramebuffers(1, &backdrop.framebuffer);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, backdrop.framebuffer);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backdrop.texture, 0);
        const bool complete = glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
        backdrop.width = complete ? width : 0;
        backdrop.height = complete ? height : 0;
    }
    const bool ok = backdrop.width == width && backdrop.height == height;
    if (ok) glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    return ok;
}

} // namespace

void forgetBackdropCopy() { backdrop.valid = false; }

void drawBackdropPicture(unsigned int texture, double x0, double y0, double x1, double y1, double z)
{
    if (!backdrop.tried && haveGlContext()) {
        backdrop.tried = true;
        backdrop.usable = framebufferObjects();
    }
    GLint readFramebuffer = 0, drawFramebuffer = 0;
    if (backdrop.usable) {
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    }
    if (!backdrop.usable || texture == 0 || readFramebuffer != 0 || drawFramebuffer != 0) {
        drawTexturedRect(texture, x0, y0, x1, y1, z);
        return;
    }
    BackdropKey key;
    key.corners = {x0, y0, x1, y1, z};
    glGetFloatv(GL_CURRENT_COLOR, key.colour.data());
    glGetFloatv(GL_COLOR_CLEAR_VALUE, key.clear.data());
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    key.texture = texture;
    key.width = viewport[2];
    key.height = viewport[3];
    key.blend = glIsEnabled(GL_BLEND);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    static const GLfloat identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const bool plain = viewport[0] == 0 && viewport[1] == 0 && std::memcmp(modelView, identity, sizeof identity) == 0;
    if (plain && backdrop.valid && backdrop.key == key) {
        // The kept pixels of the picture's box, texel for pixel: nearest
        // sampling at texel centres, replacing, with neither alpha test nor
        // blending in the way.
        const double W = key.width, H = key.height;
        const double left = std::clamp(std::floor(std::min(x0, x1)), 0.0, W);
        const double right = std::clamp(std::ceil(std::max(x0, x1)), 0.0, W);
        const double bottom = std::clamp(std::floor(std::min(y0, y1)), 0.0, H);
        const double top = std::clamp(std::ceil(std::max(y0, y1)), 0.0, H);
        glDisable(GL_ALPHA_TEST);
        if (key.blend) glDisable(GL_BLEND);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, backdrop.texture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBegin(GL_QUADS);
        glTexCoord2d(left / W, bottom / H);
        glVertex3d(left, bottom, z);
        glTexCoord2d(right / W, bottom / H);
        glVertex3d(right, bottom, z);
        glTexCoord2d(right / W, top / H);
        glVertex3d(right, top, z);
        glTexCoord2d(left / W, top / H);
        glVertex3d(left, top, z);
        glEnd();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        if (key.blend) glEnable(GL_BLEND);
        // The state drawTexturedRect leaves.
        glBindTexture(GL_TEXTURE_2D, texture);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.1f);
        glDisable(GL_TEXTURE_2D);
        return;
    }
    drawTexturedRect(texture, x0, y0, x1, y1, z);
    backdrop.valid = plain && keepWindowPixels(key.width, key.height);
    backdrop.key = key;
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
