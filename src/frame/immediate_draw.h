// The introductory lesson draws every frame through this small immediate-mode
// facade (coloured quads and triangles, lines, bitmap texts, textured quads,
// a translation stack), so a test can install a recorder and read a frame as a
// trace instead of pixels. glDraw() is the real one.
#pragma once
#include <cstdint>
#include <string_view>

struct ControlRecord;

enum class DrawnText : int8_t {
    normal,  // drawText: depth -5, hidden under an open pop-up list
    large,   // drawLargeText: Times Roman 24
    control, // drawControlText: depth -2, never hidden
    score,   // drawScoreText: depth -11, hidden under an open pop-up list
};

struct ImmediateDraw;
// The outline of an axis-parallel rectangle through the facade, as
// drawFrameRect draws it (from the upper left corner clockwise).
void frameRect(ImmediateDraw &d, double left, double bottom, double right, double top, double z);

struct ImmediateDraw {
    virtual ~ImmediateDraw() = default;
    virtual void beginFrame() = 0;              // clear the colour buffer, depth test GL_LESS
    virtual void endFrame() = 0;                // glFlush, swap buffers
    virtual void colour(float r, float g, float b, float a) = 0;
    virtual void lineWidth(float width) = 0;
    virtual void quad(double x0, double y0, double x1, double y1, double z) = 0;
    virtual void triangle(double x0, double y0, double x1, double y1, double x2, double y2,
                          double z) = 0;
    virtual void line(double x0, double y0, double x1, double y1, double z) = 0;
    virtual void lineStrip(const double *xy, int n, double z) = 0; // n points
    virtual void lineLoop(const double *xy, int n, double z) = 0;
    virtual void text(DrawnText kind, int32_t font, std::string_view s, double x, double y) = 0;
    // A 190 x 210-style picture quad: texture bound, texturing on, alpha test
    // > 0.1, culling on; corners (x0, y0)-(x1, y1), texture (0, 1) lower left.
    virtual void picture(uint32_t texture, double x0, double y0, double x1, double y1, double z) = 0;
    // A picture lying on the cleared frame with nothing drawn before it; the
    // window's facade keeps the pixels it leaves and copies them back on
    // later frames (drawBackdropPicture). Otherwise as picture().
    virtual void backdropPicture(uint32_t texture, double x0, double y0, double x1, double y1, double z)
    {
        picture(texture, x0, y0, x1, y1, z);
    }
    // A line whose depth runs from z0 at its first end to z1 at its second.
    virtual void lineDepths(double x0, double y0, double z0, double x1, double y1, double z1)
    {
        line(x0, y0, x1, y1, z0);
    }
    // One smooth point of the given size (the point size is 1 again afterwards).
    virtual void point(double x, double y, double z, float size)
    {
        quad(x - size / 2, y - size / 2, x + size / 2, y + size / 2, z);
    }
    // A filled four-cornered polygon (xy: four corner pairs in order).
    virtual void polygon4(const double *xy, double z)
    {
        triangle(xy[0], xy[1], xy[2], xy[3], xy[4], xy[5], z);
        triangle(xy[0], xy[1], xy[4], xy[5], xy[6], xy[7], z);
    }
    // A picture stretched over four corners: texture (0, 1), (1, 1), (1, 0),
    // (0, 0) at corners 0..3; otherwise as picture().
    virtual void picture4(uint32_t texture, const double *xy, double z)
    {
        picture(texture, xy[0], xy[1], xy[4], xy[5], z);
    }
    virtual void pushTranslate(double x, double y) = 0;
    virtual void pop() = 0;
    // Pieces of the frame's toolkit the page frame shares with other screens.
    virtual void frameAnimation(int32_t n) = 0;
    virtual void controls() = 0;                 // the current screen's controls
    virtual void popupList() = 0;
    virtual void lessonMessagePanel(int32_t icon, std::string_view status) = 0;
    // Pictures, dials and diagrams of the introduction (a facade that does
    // not draw them ignores them). A filled fan round xy[0] through the other
    // n - 1 points, texturing off (a dial's sector: counter-clockwise when the
    // rim runs against the clock).
    virtual void fan(const double *, int, double) {}
    virtual void ellipseOutline(int32_t, int32_t, int32_t, double, double, int32_t) {}
    virtual void control(ControlRecord *) {} // drawControl
    // The notation's pieces (music/staff_drawing.h): drawArrow (big false) or
    // drawBigArrow (big true), a treble staff and clef, a staff note. The
    // toolkit does not link the notation, so glImmediateDraw() draws nothing
    // for them; glNotationDraw() (music/notation_draw.h) draws everything.
    virtual void arrow(bool, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
    virtual void trebleStaff(int32_t, int32_t) {}
    virtual void trebleClef(int32_t) {}
    virtual void staffNote(int32_t, int32_t, int32_t, int32_t) {}
};

ImmediateDraw &glImmediateDraw();
