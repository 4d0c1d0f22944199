// The program's window on a real X server (the test rig's Xvfb): drawing
// order must decide what covers what, so depth values may never take effect.
#include "frame/startup.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
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
    _exit(0);
}

TEST(MainWindow, DoubleBufferedRgbaWithAlphaAndNoDepthEffect)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(openWindowAndCheck(), ::testing::ExitedWithCode(0), "");
}
