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
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/small_routines.h"

bool haveGlContext() { return glXGetCurrentContext() != nullptr; }

// No context check here: screens set colours hundreds of times a frame, the
// check is a system call each time, and without a current context the GL
// library sends the call to its do-nothing table, as it does every other
// call these helpers make.
void setColour(float r, float g, float b, float a) { glColor4f(r, g, b, a); }

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

void leaveTexturedRectState(unsigned int texture)
{
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glDisable(GL_TEXTURE_2D);
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

namespace {

// The inked box of an uploaded picture, in texels (rows top first).
struct PictureInk {
    int32_t width = 0, height = 0;
    int32_t left = 0, right = 0, top = 0, bottom = 0; // columns left..right-1, rows top..bottom-1
};

std::unordered_map<unsigned int, PictureInk> pictureInks;

// Window coordinates of an object point (model view, projection, viewport).
void toWindow(const GLfloat *mv, const GLfloat *pr, const GLint *vp, double x, double y, double z, double &wx,
              double &wy)
{
    double e[4], c[4];
    for (int i = 0; i < 4; ++i) e[i] = mv[i] * x + mv[4 + i] * y + mv[8 + i] * z + mv[12 + i];
    for (int i = 0; i < 4; ++i) c[i] = pr[i] * e[0] + pr[4 + i] * e[1] + pr[8 + i] * e[2] + pr[12 + i] * e[3];
    wx = vp[0] + (c[0] / c[3] + 1) * vp[2] / 2;
    wy = vp[1] + (c[1] / c[3] + 1) * vp[3] / 2;
}

// The window box the picture's ink can reach when drawn on the rectangle;
// false when no limit applies (no inked box noted, a turned or mirrored
// view, a box as large as the picture).
bool inkScissor(const PictureInk &ink, double left, double bottom, double right, double top, double z, GLint *box)
{
    GLfloat mv[16], pr[16];
    GLint vp[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    glGetFloatv(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    if (mv[1] != 0 || mv[4] != 0 || mv[3] != 0 || mv[7] != 0 || pr[1] != 0 || pr[4] != 0 || pr[3] != 0 ||
        pr[7] != 0)
        return false;
    double wl, wb, wr, wt;
    toWindow(mv, pr, vp, left, bottom, z, wl, wb);
    toWindow(mv, pr, vp, right, top, z, wr, wt);
    const double w = wr - wl, h = wt - wb;
    if (!(w > 0.5) || !(h > 0.5)) return false;
    // Texels per pixel along each axis; the filter reaches one texel of the
    // level it samples, levels lie at most twice as coarse as the scale,
    // and the levels' grids drift from the picture's by at most as much
    // again: 8 texels of the scale (at least 1) and 2 more, plus 2 pixels.
    const double sx = ink.width / w, sy = ink.height / h;
    const double rho = std::max({sx, sy, 1.0});
    const double mx = (8 * rho + 2) / sx + 2, my = (8 * rho + 2) / sy + 2;
    const double x0 = wl + w * ink.left / ink.width - mx, x1 = wl + w * ink.right / ink.width + mx;
    const double y0 = wt - h * ink.bottom / ink.height - my, y1 = wt - h * ink.top / ink.height + my;
    if (x0 <= wl && x1 >= wr && y0 <= wb && y1 >= wt) return false;
    const double fx0 = std::floor(x0), fy0 = std::floor(y0);
    box[0] = static_cast<GLint>(std::clamp(fx0, -1e6, 1e6));
    box[1] = static_cast<GLint>(std::clamp(fy0, -1e6, 1e6));
    box[2] = static_cast<GLint>(std::clamp(std::ceil(x1) - fx0, 0.0, 1e6));
    box[3] = static_cast<GLint>(std::clamp(std::ceil(y1) - fy0, 0.0, 1e6));
    return true;
}

} // namespace

void notePictureInk(unsigned int texture, int32_t width, int32_t height, const uint8_t *rgba, bool repeats)
{
    if (repeats || width <= 0 || height <= 0 || rgba == nullptr) {
        pictureInks.erase(texture);
        return;
    }
    PictureInk ink{width, height, width, 0, height, 0};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if (rgba[(static_cast<size_t>(y) * width + x) * 4 + 3] != 0) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x + 1);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
    if (ink.right <= ink.left) ink.left = ink.right = ink.top = ink.bottom = 0; // nothing can show
    pictureInks[texture] = ink;
}

void drawTexturedRect(unsigned int texture, double x0, double y0, double x1, double y1, double z)
{
    const double left = x0 < x1 ? x0 : x1, right = x0 < x1 ? x1 : x0;
    const double bottom = y0 < y1 ? y0 : y1, top = y0 < y1 ? y1 : y0;
    const double xy[8] = {left, bottom, right, bottom, right, top, left, top};
    GLint box[4];
    const auto ink = pictureInks.find(texture);
    if (ink != pictureInks.end() && !glIsEnabled(GL_SCISSOR_TEST) &&
        inkScissor(ink->second, left, bottom, right, top, z, box)) {
        glScissor(box[0], box[1], box[2], box[3]);
        glEnable(GL_SCISSOR_TEST);
        drawTexturedQuad(texture, xy, z);
        glDisable(GL_SCISSOR_TEST);
        return;
    }
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

// Kept pixels live in a texture of the window's pixel layout (BGRA), rows
// stored top first, behind a framebuffer object, and move between it and the
// window only by framebuffer blits of the same size. The renderer keeps the
// window's rows top first too, so these flipped blits are plain copies of
// memory to a software renderer (llvmpipe copies a blit whose formats match
// and whose rows run the same way without shading a fragment: about the cost
// of a clear, where a textured quad over the window shaded every pixel of
// it). Any renderer leaves the same pixels: a blit of equal size copies pixel
// for pixel.
struct KeptPixels {
    GLuint texture = 0, framebuffer = 0;
    GLint width = 0, height = 0; // 0 until a texture of this size is complete
};

// Makes (or resizes) the texture and its framebuffer object; false when the
// renderer cannot hold it.
bool makeKeptPixels(KeptPixels &k, GLint width, GLint height)
{
    if (k.width == width && k.height == height && k.texture != 0) return true;
    GLint boundTexture = 0, readFramebuffer = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    if (k.texture == 0) glGenTextures(1, &k.texture);
    glBindTexture(GL_TEXTURE_2D, k.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    while (glGetError() != GL_NO_ERROR) {}
    // An unsized format given BGRA bytes lets the renderer pick the layout
    // of those bytes, the window's own (a sized GL_RGBA8 gets RGBA from
    // llvmpipe, and a blit between the two shades every pixel). A renderer
    // that picks fewer than 8 bits a channel gets GL_RGBA8 instead: kept
    // pixels must come back exactly.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    GLint bits[4] = {};
    const GLenum sizes[4] = {GL_TEXTURE_RED_SIZE, GL_TEXTURE_GREEN_SIZE, GL_TEXTURE_BLUE_SIZE, GL_TEXTURE_ALPHA_SIZE};
    for (int i = 0; i < 4; ++i) glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, sizes[i], &bits[i]);
    if (bits[0] != 8 || bits[1] != 8 || bits[2] != 8 || bits[3] != 8)
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    bool complete = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    if (complete) {
        if (k.framebuffer == 0) glGenFramebuffers(1, &k.framebuffer);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, k.framebuffer);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, k.texture, 0);
        complete = glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
    }
    k.width = complete ? width : 0;
    k.height = complete ? height : 0;
    return complete;
}

// The window's box (left, bottom, width x height; the kept texture's size)
// into the kept pixels, top row first. The scissor test, which a blit
// honours, is off for it.
void keepWindowBox(const KeptPixels &k, GLint left, GLint bottom)
{
    GLint readFramebuffer = 0, drawFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    if (scissor) glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, k.framebuffer);
    glBlitFramebuffer(left, bottom, left + k.width, bottom + k.height, 0, k.height, k.width, 0, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer));
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

// Part of the kept pixels back into the window: the kept texture's box
// (x, y, width x height, in window rows counted from the kept box's bottom)
// onto the window at (left + x, bottom + y). The scissor test applies as it
// stands (callers that must not be clipped turn it off).
void restoreWindowBox(const KeptPixels &k, GLint left, GLint bottom, GLint x, GLint y, GLint width, GLint height)
{
    GLint readFramebuffer = 0, drawFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, k.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // Window row r of the box is texture row height - 1 - r.
    glBlitFramebuffer(x, k.height - y, x + width, k.height - y - height, left + x, bottom + y, left + x + width,
                      bottom + y + height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer));
}

KeptPixels backdropPixels, boxPixels;

// The window's pixels into the backdrop's copy.
bool keepWindowPixels(GLint width, GLint height)
{
    if (!makeKeptPixels(backdropPixels, width, height)) return false;
    keepWindowBox(backdropPixels, 0, 0);
    return true;
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
        // The kept pixels of the picture's box (the window's pixels under
        // it are the ones drawing it left), then the state drawing leaves.
        const double W = key.width, H = key.height;
        const GLint left = static_cast<GLint>(std::clamp(std::floor(std::min(x0, x1)), 0.0, W));
        const GLint right = static_cast<GLint>(std::clamp(std::ceil(std::max(x0, x1)), 0.0, W));
        const GLint bottom = static_cast<GLint>(std::clamp(std::floor(std::min(y0, y1)), 0.0, H));
        const GLint top = static_cast<GLint>(std::clamp(std::ceil(std::max(y0, y1)), 0.0, H));
        if (right > left && top > bottom)
            restoreWindowBox(backdropPixels, 0, 0, left, bottom, right - left, top - bottom);
        leaveTexturedRectState(texture);
        return;
    }
    drawTexturedRect(texture, x0, y0, x1, y1, z);
    backdrop.valid = plain && keepWindowPixels(key.width, key.height);
    backdrop.key = key;
}

namespace {

struct KeptBox {
    bool valid = false;
    std::string signature;
    GLint left = 0, bottom = 0, width = 0, height = 0; // the box in window pixels
    GLint windowWidth = 0, windowHeight = 0;
};

KeptBox kept;

// The viewport's size when object coordinates are window pixels (viewport at
// 0, 0, identity model view, the orthographic pixel projection), else false.
bool pixelProjection(GLint &width, GLint &height)
{
    GLint viewport[4] = {};
    GLfloat modelView[16], projection[16];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    static const GLfloat identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    if (viewport[0] != 0 || viewport[1] != 0 || viewport[2] <= 0 || viewport[3] <= 0) return false;
    if (std::memcmp(modelView, identity, sizeof identity) != 0) return false;
    const GLfloat pixel[12] = {2.0f / viewport[2], 0, 0, 0, 0, 2.0f / viewport[3], 0, 0, 0, 0, projection[10], 0};
    if (std::memcmp(projection, pixel, sizeof pixel) != 0 || projection[12] != -1 || projection[13] != -1 ||
        projection[15] != 1)
        return false;
    width = viewport[2];
    height = viewport[3];
    return true;
}

bool boxInside(GLint left, GLint bottom, GLint width, GLint height, GLint windowWidth, GLint windowHeight)
{
    return left >= 0 && bottom >= 0 && width > 0 && height > 0 && left + width <= windowWidth &&
           bottom + height <= windowHeight;
}

} // namespace

void forgetKeptBox() { kept.valid = false; }

void keepBox(const std::string &signature, int32_t left, int32_t bottom, int32_t width, int32_t height)
{
    kept.valid = false;
    if (!haveGlContext()) return;
    if (!backdrop.tried) {
        backdrop.tried = true;
        backdrop.usable = framebufferObjects();
    }
    GLint windowWidth = 0, windowHeight = 0, readFramebuffer = 0;
    if (!backdrop.usable || !pixelProjection(windowWidth, windowHeight)) return;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    if (readFramebuffer != 0 || !boxInside(left, bottom, width, height, windowWidth, windowHeight)) return;
    if (!makeKeptPixels(boxPixels, width, height)) return;
    keepWindowBox(boxPixels, left, bottom);
    kept.valid = true;
    kept.signature = signature;
    kept.left = left;
    kept.bottom = bottom;
    kept.width = width;
    kept.height = height;
    kept.windowWidth = windowWidth;
    kept.windowHeight = windowHeight;
}

bool drawKeptBox(const std::string &signature, int32_t left, int32_t bottom, int32_t width, int32_t height)
{
    if (!kept.valid || kept.signature != signature || kept.left != left || kept.bottom != bottom ||
        kept.width != width || kept.height != height || !haveGlContext())
        return false;
    GLint windowWidth = 0, windowHeight = 0, drawFramebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    if (drawFramebuffer != 0 || !pixelProjection(windowWidth, windowHeight) || windowWidth != kept.windowWidth ||
        windowHeight != kept.windowHeight)
        return false;
    // The kept pixels as they were, the scissor test out of their way.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    if (scissor) glDisable(GL_SCISSOR_TEST);
    restoreWindowBox(boxPixels, left, bottom, 0, 0, width, height);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    return true;
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
