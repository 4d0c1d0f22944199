// A picture drawn texel for pixel is sampled nearest, which is cheaper; it
// must leave exactly the pixels its own filter leaves, and every placing
// that is not texel for pixel keeps that filter: at its size on whole and
// fractional pixels, moved by the model view, a pixel smaller or larger,
// with and without mipmaps.
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
#include <random>
#include <unistd.h>
#include <vector>

namespace {

struct Placing {
    double x0, y0, x1, y1;
    double shiftX = 0, shiftY = 0;
};

// Through drawTexturedRect, or (reference) straight through
// drawTexturedQuad, which draws with the texture's own filter.
std::vector<uint8_t> draw(GLuint texture, const Placing &p, bool reference)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(p.shiftX, p.shiftY, 0);
    setColour(1, 1, 1, 0.4f);
    if (reference) {
        const double l = std::min(p.x0, p.x1), r = std::max(p.x0, p.x1);
        const double b = std::min(p.y0, p.y1), t = std::max(p.y0, p.y1);
        const double xy[8] = {l, b, r, b, r, t, l, t};
        drawTexturedQuad(texture, xy, -6);
    } else {
        drawTexturedRect(texture, p.x0, p.y0, p.x1, p.y1, -6);
    }
    glPopMatrix();
    return readWindowPixels();
}

// 64 x 48 texels of noise, alpha too (the alpha test and blending see it).
std::vector<uint8_t> noisePicture()
{
    std::vector<uint8_t> rgba(64 * 48 * 4);
    std::mt19937 random(7);
    for (uint8_t &v : rgba) v = static_cast<uint8_t>(random());
    return rgba;
}

[[noreturn]] void compareWithOwnFilter()
{
    openTestWindow("picture_filter_test");
    glClearColor(0.3f, 0.5f, 0.7f, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const Placing placings[] = {
        {100, 100, 164, 148},             // texel for pixel
        {164, 148, 100, 100},             // the same, corners given the other way round
        {100, 100, 164, 148, 37, -21},    // moved by whole pixels
        {100.5, 100, 164.5, 148},         // on half pixels
        {100, 100.25, 164, 148.25},
        {100, 100, 164, 148, 0.5, 0},     // moved by half a pixel
        {100, 100, 163, 148},             // a pixel narrower
        {100, 100, 164, 149},             // a pixel taller
        {100, 100, 228, 196},             // twice its size
        {-20, 300, 44, 348},              // off the window's edge
    };
    const std::vector<uint8_t> rgba = noisePicture();
    for (const bool mipmaps : {false, true}) {
        const GLuint texture = textureFromRgba(rgba, 64, 48, GL_CLAMP_TO_EDGE, mipmaps);
        for (size_t i = 0; i < std::size(placings); ++i) {
            const std::vector<uint8_t> own = draw(texture, placings[i], true);
            if (draw(texture, placings[i], false) != own) {
                std::fprintf(stderr, "mipmaps %d, placing %zu differs\n", int(mipmaps), i);
                _exit(1);
            }
            GLint filter = 0;
            glBindTexture(GL_TEXTURE_2D, texture);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
            if (filter != (mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR)) {
                std::fprintf(stderr, "mipmaps %d, placing %zu left the filter %#x\n", int(mipmaps), i, filter);
                _exit(2);
            }
        }
    }
    _exit(0);
}

} // namespace

TEST(PictureFilter, TexelForPixelAPictureLeavesWhatItsOwnFilterLeaves)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(compareWithOwnFilter(), ::testing::ExitedWithCode(0), "");
}
