// A backdrop picture copied back from the kept pixels must leave exactly the
// pixels drawing it leaves; a change of what decides them (the colour) draws
// it anew, and a change of screen forgets the copy.
#include "common/window_pixels.h"
#include "common/rgba_texture.h"
#include "base/shared.h"
#include "frame/dispatch.h"
#include "frame/gl_draw.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> frame(GLuint texture, float alpha)
{
    glClear(GL_COLOR_BUFFER_BIT);
    setColour(1, 1, 1, alpha);
    drawBackdropPicture(texture, -80, 76, 944, 1100, -8);
    // What the frame draws next relies on the state the picture leaves.
    const bool state = glIsEnabled(GL_ALPHA_TEST) && glIsEnabled(GL_CULL_FACE) && !glIsEnabled(GL_TEXTURE_2D);
    setColour(0, 0, 1, 1);
    fillRect(100, 100, 140, 140, -5);
    std::vector<uint8_t> pixels = readWindowPixels();
    if (!state) pixels.clear();
    return pixels;
}

// A 256 x 256 picture with every colour and alpha mixed, minified and
// stretched by the quad (filtered between texels and levels).
GLuint mixedPicture(uint8_t shift)
{
    std::vector<uint8_t> rgba(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t *p = &rgba[(y * 256 + x) * 4];
            p[0] = static_cast<uint8_t>(x + shift);
            p[1] = static_cast<uint8_t>(y * 3);
            p[2] = static_cast<uint8_t>(x ^ y);
            p[3] = static_cast<uint8_t>((x * 7 + y * 5) & 255);
        }
    return textureFromRgba(rgba, 256, 256, GL_REPEAT, false);
}

// Runs in a child process (GLUT is initialised once per process); exits
// with the number of the first check that failed.
[[noreturn]] void drawBackdropFrames()
{
    openTestWindow("backdrop_copy_test");
    glClearColor(0.9f, 0.9f, 0.9f, 1);
    const GLuint picture = mixedPicture(0);
    const std::vector<uint8_t> drawn = frame(picture, 0.4f);
    if (drawn.empty()) _exit(10);
    const std::vector<uint8_t> copied = frame(picture, 0.4f);
    if (copied != drawn) _exit(11);
    // The copy, not the picture, made the second frame: a picture changed
    // under the same name still shows as it was until the copy is forgotten.
    const GLuint other = mixedPicture(90);
    glBindTexture(GL_TEXTURE_2D, other);
    std::vector<uint8_t> changed(256 * 256 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, changed.data());
    glBindTexture(GL_TEXTURE_2D, picture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, changed.data());
    if (frame(picture, 0.4f) != drawn) _exit(12);
    forgetBackdropCopy();
    const std::vector<uint8_t> anew = frame(picture, 0.4f);
    if (anew == drawn) _exit(13);
    if (frame(picture, 0.4f) != anew) _exit(14);
    // Another colour (alpha) is another backdrop: drawn, then copied alike.
    const std::vector<uint8_t> opaque = frame(picture, 1);
    if (opaque == anew) _exit(15);
    if (frame(picture, 1) != opaque) _exit(16);
    _exit(0);
}

} // namespace

TEST(BackdropCopy, CopiedFramesMatchTheDrawnOneUntilItsPictureChanges)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(drawBackdropFrames(), ::testing::ExitedWithCode(0), "");
}
