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

// The safeguard on a visual that does have depth bits: with a "less" depth
// test switched on, a quad drawn later must still cover a nearer one drawn
// first. Exits 20 when no depth visual exists, 21 when the later quad lost.
[[noreturn]] static void depthVisualCheck()
{
    int argc = 1;
    char name[] = "window_test";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_ALPHA | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow("window_test depth");
    if (glutGet(GLUT_WINDOW_DEPTH_SIZE) <= 0) _exit(20);
    // Whatever the depth buffer held before, and with writes left on.
    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthMask(GL_TRUE);
    keepDepthFromDeciding();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    auto quad = [](float z, float r, float g) {
        glColor3f(r, g, 0);
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, z);
        glVertex3f(1, -1, z);
        glVertex3f(1, 1, z);
        glVertex3f(-1, 1, z);
        glEnd();
    };
    quad(-0.8f, 1, 0); // near, red
    quad(0.8f, 0, 1);  // far, green, drawn last
    glFinish();
    GLubyte pixel[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    if (pixel[1] < 200 || pixel[0] > 50) _exit(21);
    _exit(0);
}

TEST(MainWindow, RgbaWithAlphaNoDepthEffectAndPixelProjection)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(openWindowAndCheck(), ::testing::ExitedWithCode(0), "");
}

TEST(MainWindow, DepthBitsNeverDecideWhatCovers)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(depthVisualCheck(), ::testing::ExitedWithCode(0), "");
}
