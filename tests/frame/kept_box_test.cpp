// Picture toggles copied back from a kept box must leave exactly the pixels
// and the GL state that drawing them leaves; anything that decides the box
// (a toggle's state, the signature, the projection, a change of screen) draws
// it anew.
#include "common/window_pixels.h"
#include "common/rgba_texture.h"
#include "base/shared.h"
#include "frame/control_drawing.h"
#include "frame/dispatch.h"
#include "frame/gl_draw.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

ControlRecord toggles[3];
ControlRecord *const list[3] = {&toggles[0], &toggles[1], &toggles[2]};
constexpr int32_t boxLeft = 40, boxBottom = 60, boxWidth = 230, boxHeight = 128;

// A 128 x 128 picture: a blob of mixed colour and alpha, transparent round it.
GLuint blobPicture(uint8_t shift)
{
    std::vector<uint8_t> rgba(128 * 128 * 4, 0);
    for (int y = 20; y < 100; ++y)
        for (int x = 30; x < 90; ++x) {
            uint8_t *p = &rgba[(y * 128 + x) * 4];
            p[0] = static_cast<uint8_t>(x * 3 + shift);
            p[1] = static_cast<uint8_t>(y * 2);
            p[2] = static_cast<uint8_t>(x ^ y);
            p[3] = static_cast<uint8_t>((x * 7 + y * 5) & 255);
        }
    const GLuint name = textureFromRgba(rgba, 128, 128, GL_CLAMP_TO_EDGE, false);
    notePictureInk(name, 128, 128, rgba.data(), false);
    return name;
}

// One frame: a panel under the toggles, the toggles drawn (or copied back
// from the kept box when `copy`), then a rectangle and a picture that use the
// colour, blending and alpha test the toggles leave. Empty when `copy` found
// no kept box.
std::vector<uint8_t> frame(bool copy, const std::string &signature)
{
    glClear(GL_COLOR_BUFFER_BIT);
    setColour(0.2f, 0.6f, 0.3f, 0.7f);
    fillRect(20, 40, 200, 160, -9);
    if (copy) {
        if (!drawKeptBox(signature, boxLeft, boxBottom, boxWidth, boxHeight)) return {};
        passPictureToggles(list, 3);
    } else {
        for (ControlRecord *c : list) drawControl(c);
        keepBox(signature, boxLeft, boxBottom, boxWidth, boxHeight);
    }
    fillRect(150, 100, 190, 240, -5);
    drawTexturedRect(toggles[1].pictureOn, 180, 20, 308, 148, -4);
    return readWindowPixels();
}

// Runs in a child process (GLUT is initialised once per process); exits
// with the number of the first check that failed.
[[noreturn]] void drawToggleFrames()
{
    openTestWindow("kept_box_test");
    glClearColor(0.9f, 0.9f, 0.9f, 1);
    const GLuint on = blobPicture(0), off = blobPicture(120);
    for (int i = 0; i < 3; ++i) {
        ControlRecord &c = toggles[i];
        c.kind = kindPictureToggle;
        c.left = boxLeft + 51 * i;
        c.bottom = boxBottom;
        c.pictureOn = on;
        c.pictureOff = off;
        c.pictureWidth = c.pictureHeight = 128;
        c.value = i == 1 ? 0 : 1;
        c.state = i == 2 ? stateHover : stateIdle;
    }
    const std::string under = "panel";
    const std::string signature = under + pictureTogglesSignature(list, 3);
    if (pictureTogglesSignature(list, 3).empty()) _exit(10);
    const std::vector<uint8_t> drawn = frame(false, signature);
    const std::vector<uint8_t> copied = frame(true, signature);
    if (copied != drawn) _exit(11);
    // Another state of a toggle is another signature: nothing is copied.
    toggles[2].state = stateIdle;
    const std::string idle = under + pictureTogglesSignature(list, 3);
    if (idle == signature) _exit(12);
    if (!frame(true, idle).empty()) _exit(13);
    const std::vector<uint8_t> redrawn = frame(false, idle);
    if (redrawn == drawn || frame(true, idle) != redrawn) _exit(14);
    // A moved view is not the pixel projection the box was kept under.
    glTranslated(1, 0, 0);
    const bool moved = drawKeptBox(idle, boxLeft, boxBottom, boxWidth, boxHeight);
    glLoadIdentity();
    if (moved) _exit(15);
    // Another box, or a change of screen, copies nothing.
    if (drawKeptBox(idle, boxLeft, boxBottom, boxWidth + 1, boxHeight)) _exit(16);
    forgetKeptBox();
    if (!frame(true, idle).empty()) _exit(17);
    _exit(0);
}

} // namespace

TEST(KeptBox, CopiedTogglesLeaveTheDrawnPixelsAndStateUntilWhatDecidesThemChanges)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(drawToggleFrames(), ::testing::ExitedWithCode(0), "");
}
