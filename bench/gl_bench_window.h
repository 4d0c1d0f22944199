// What the window benchmarks share: the program's own window and projection
// opened once per process (GLUT allows one initialisation), and CPU clocks
// in milliseconds.
#pragma once

#include <GL/freeglut.h>
#include <ctime>

#include "app/startup.h"
#include "frame/dispatch.h"

inline double cpuClockMs(clockid_t clock)
{
    timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Opens the program's window under the benchmark's name, with the program's
// projection, a light grey clear colour and the pictures' blending; false
// when it was already open.
inline bool openBenchWindowOnce(const char *benchName)
{
    static bool open = false;
    if (open) return false;
    open = true;
    int argc = 1;
    char *argv[] = {const_cast<char *>(benchName), nullptr};
    createMainWindow(&argc, argv);
    initProjection();
    glClearColor(0.9f, 0.9f, 0.9f, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return true;
}
