// Pixel tests in a real window: each runs in a child process (GLUT starts
// once per process), opens the program's window with its projection, draws,
// and reads back what it drew.
#pragma once

#include "app/startup.h"
#include "base/shared.h"
#include "frame/dispatch.h"

#include <GL/freeglut.h>
#include <cstdint>
#include <vector>

// The program's main window and projection, as the program opens them.
inline void openTestWindow(const char *programName)
{
    int argc = 1;
    char *argv[] = {const_cast<char *>(programName), nullptr};
    createMainWindow(&argc, argv);
    initProjection();
}

// The back buffer as RGBA rows from the bottom, once everything drawn is done.
inline std::vector<uint8_t> readWindowPixels()
{
    glFinish();
    std::vector<uint8_t> pixels(static_cast<size_t>(windowWidth) * windowHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
