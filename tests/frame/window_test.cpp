// The program's window on a real X server (the test rig's Xvfb): drawing
// order must decide what covers what, so depth values may never take effect.
#include "frame/dispatch.h"
#include "base/shared.h"
#include "app/startup.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <unistd.h>

// Runs in a child process (GLUT can be initialised once per process) and
// exits with the number of the first check that failed.
[[noreturn]] static void openWindowAndCheck()
{
    int argc = 1;
    char name[] = "window_test";
    char *argv[] = {name, nullptr};
    createMainWindow(&argc, argv);
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    if (glutGet(GLUT_WINDOW_DEPTH_SIZE) > 0 && depthWrites) _exit(10);
    if (glutGet(GLUT_WINDOW_WIDTH) != 1124 || glutGet(GLUT_WINDOW_HEIGHT) != 765) _exit(11);
    if (!glutGet(GLUT_WINDOW_DOUBLEBUFFER)) _exit(12);
    if (glutGet(GLUT_WINDOW_ALPHA_SIZE) < 8 || glutGet(GLUT_WINDOW_RED_SIZE) < 8) _exit(13);
    if (glutGet(GLUT_WINDOW_DEPTH_SIZE) != 0) _exit(14); // no depth buffer was asked for

    // A reshape keeps window pixels: origin bottom left, y up, depth 0..-16.
    reshapeWindow(1000, 700);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (windowWidth != 1000 || windowHeight != 700 || viewport[2] != 1000 || viewport[3] != 700) _exit(15);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    auto near = [](float a, float b) { return std::fabs(a - b) < 1e-6f; };
    if (!near(m[0], 2.0f / 1000) || !near(m[5], 2.0f / 700) || !near(m[10], -2.0f / 16) ||
        !near(m[12], -1) || !near(m[13], -1) || !near(m[14], -1))
        _exit(16);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    if (mode != GL_MODELVIEW) _exit(17);
    _exit(0);
}

TEST(MainWindow, RgbaWithAlphaNoDepthEffectAndPixelProjection)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(openWindowAndCheck(), ::testing::ExitedWithCode(0), "");
}
