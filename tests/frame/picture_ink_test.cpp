// A picture limited to its inked box must leave exactly the pixels it
// leaves unlimited: minified, at its size, magnified, stretched unevenly,
// at fractional and translated positions, with mipmaps filtered between
// levels, ink at the picture's edge and in its middle.
#include "common/window_pixels.h"
#include "common/rgba_texture.h"
#include "base/shared.h"
#include "frame/dispatch.h"
#include "frame/gl_draw.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>
#include <unistd.h>
#include <vector>

namespace {

struct InkCase {
    double x0, y0, x1, y1;
    double shiftX = 0, shiftY = 0;
};

std::vector<uint8_t> draw(GLuint texture, const InkCase &c)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(c.shiftX, c.shiftY, 0);
    setColour(1, 1, 1, 0.4f);
    drawTexturedRect(texture, c.x0, c.y0, c.x1, c.y1, -6);
    glPopMatrix();
    return readWindowPixels();
}

// A 100 x 90 picture, transparent but for an opaque-edged blob at
// (blobX, blobY), top row first, with its mipmaps.
std::vector<uint8_t> blobPicture(int blobX, int blobY)
{
    std::vector<uint8_t> rgba(100 * 90 * 4, 0);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 100; ++x) {
            const int dx = x - blobX, dy = y - blobY;
            if (dx * dx + dy * dy > 81) continue;
            uint8_t *p = &rgba[(y * 100 + x) * 4];
            p[0] = static_cast<uint8_t>(40 * x);
            p[1] = static_cast<uint8_t>(90 + y);
            p[2] = 200;
            p[3] = (dx + dy) % 3 == 0 ? 255 : 128 + 14 * dx; // hard edges, filtered alphas inside
        }
    return rgba;
}

GLuint upload(const std::vector<uint8_t> &rgba) { return textureFromRgba(rgba, 100, 90, GL_CLAMP_TO_EDGE, true); }

// Runs in a child process (GLUT is initialised once per process); exits
// with 0 when every case matched, 1 after naming the first that did not.
[[noreturn]] void compareLimitedWithWhole()
{
    openTestWindow("picture_ink_test");
    glClearColor(0.9f, 0.9f, 0.9f, 1);
    const InkCase cases[] = {
        {100, 100, 200, 190},                   // at its size
        {100.5, 100.25, 200.5, 190.25},         // at a fractional place
        {100, 100, 198, 189},                   // a little smaller than its size
        {100, 100, 128, 121},                   // minified between levels
        {100, 100, 111, 107.5},                 // minified far
        {100, 100, 420, 370},                   // magnified
        {100, 100, 700, 140},                   // stretched unevenly
        {100, 100, 137, 400.7},                 // and the other way
        {-30, 200, 70, 290, 5.5, -3.25},        // translated, off the window's edge
    };
    for (const auto &blob : {std::pair{50, 45}, std::pair{2, 88}, std::pair{97, 1}}) {
        const std::vector<uint8_t> rgba = blobPicture(blob.first, blob.second);
        const GLuint texture = upload(rgba);
        for (size_t i = 0; i < std::size(cases); ++i) {
            notePictureInk(texture, 100, 90, rgba.data(), true); // no limit
            const std::vector<uint8_t> whole = draw(texture, cases[i]);
            notePictureInk(texture, 100, 90, rgba.data(), false);
            const std::vector<uint8_t> limited = draw(texture, cases[i]);
            if (whole != limited) {
                std::fprintf(stderr, "blob at %d, %d, case %zu differs\n", blob.first, blob.second, i);
                _exit(1);
            }
        }
        // The limit is in force: ink noted at the far corner only cuts the
        // middle blob away.
        if (blob.first == 50) {
            std::vector<uint8_t> corner(100 * 90 * 4, 0);
            corner[((89 * 100) + 99) * 4 + 3] = 255;
            notePictureInk(texture, 100, 90, rgba.data(), true);
            const InkCase magnified = {100, 100, 420, 370};
            const std::vector<uint8_t> whole = draw(texture, magnified);
            notePictureInk(texture, 100, 90, corner.data(), false);
            if (draw(texture, magnified) == whole) _exit(2);
        }
    }
    _exit(0);
}

} // namespace

TEST(PictureInk, LimitedToItsInkAPictureLeavesTheSamePixels)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(compareLimitedWithWhole(), ::testing::ExitedWithCode(0), "");
}
