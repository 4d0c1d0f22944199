// The bare frame: a GLUT program that opens a window of the program's size
// and display mode on the same display, and at every tick of the program's
// 46.44 ms grid clears it and swaps, nothing else. Its frame is the floor
// every screen's frame is compared with (tools/frame-table runs both in one
// rig, so both meet the same renderer and the same load).
//
//   bench_bare_frame [SECONDS] [--frames]   (default 10 s; needs DISPLAY)
//
// Prints the frames' median, 99th percentile and worst after the first (ms,
// wall time of clear + swap) and the CPU share of one core over the run (every
// thread, the renderer's included); with --frames also one line per frame,
// "frame -1 0 START_MS CPU_MS DURATION_MS", as tarnova-framewatch prints them.
#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "base/shared.h"
#include "frame/timer.h"

namespace {

double clockMs(clockid_t clock)
{
    timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double runSeconds = 10.0;
bool printFrames = false;
double gridStart = 0.0, cpuStart = 0.0;
long ticks = 0;
std::vector<double> frameMs;

double percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t i = static_cast<size_t>(std::ceil(p * v.size())) - 1;
    return v[std::min(i, v.size() - 1)];
}

void finish()
{
    const double wall = clockMs(CLOCK_MONOTONIC) - gridStart;
    const double cpu = clockMs(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    const double worst = frameMs.size() > 1 ? *std::max_element(frameMs.begin() + 1, frameMs.end()) : 0.0;
    std::printf("bare frames %zu median %.3f p99 %.3f worst %.3f cpu %.1f %%\n", frameMs.size(),
                percentile(frameMs, 0.5), percentile(frameMs, 0.99), worst, 100.0 * cpu / wall);
    std::fflush(stdout);
    std::exit(0);
}

void tick(int)
{
    const double cpu = clockMs(CLOCK_PROCESS_CPUTIME_ID);
    const double start = clockMs(CLOCK_MONOTONIC);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    const double end = clockMs(CLOCK_MONOTONIC);
    frameMs.push_back(end - start);
    if (printFrames) std::printf("frame -1 0 %.3f %.3f %.3f\n", start, cpu, end - start);
    if (end - gridStart >= runSeconds * 1e3) finish();
    // The program's free grid: drift-free steps of 46.44 ms from the start.
    ticks += 1;
    const double next = gridStart + ticks * gridStepMs;
    glutTimerFunc(static_cast<unsigned>(std::max(0.0, std::nearbyint(next - clockMs(CLOCK_MONOTONIC)))), tick, 0);
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0) printFrames = true;
        else runSeconds = std::atof(argv[i]);
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_ALPHA);
    glutInitWindowPosition(25, 25);
    glutInitWindowSize(mainWindowWidth, mainWindowHeight);
    glutCreateWindow("bare frame");
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    glutDisplayFunc([] {});
    gridStart = clockMs(CLOCK_MONOTONIC);
    cpuStart = clockMs(CLOCK_PROCESS_CPUTIME_ID);
    glutTimerFunc(0, tick, 0);
    glutMainLoop();
    return 0;
}
