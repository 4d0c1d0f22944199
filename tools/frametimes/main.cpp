// tarnova-frametimes: developer tool that runs the program unchanged, prints
// every change of screen as "screen N" (as tarnova-screenwatch does) and
// writes one line per timer tick to the file named by TARNOVA_FRAME_LOG:
//
//   <screen> <CPU ms> <wall ms>
//
// the screen current when the tick began, the process's CPU time over the
// tick (the renderer's own threads included: a frame's drawing, its buffer
// swap and the run's work) and the tick's wall time. The program's one
// timer goes through glutTimerFunc, which this executable defines over
// freeglut's (the program's objects link against it first) to wrap the
// callback with the two clocks. tools/frame-times-per-screen drives it.
#include "../common/demo_handover.h"

#include <GL/freeglut.h>
#include <dlfcn.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using TimerCallback = void (*)(int);
using TimerFunc = void (*)(unsigned int, TimerCallback, int);

TimerCallback programTick = nullptr;
std::FILE *frameLog = nullptr;

double clockMs(clockid_t id)
{
    timespec t;
    clock_gettime(id, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void timedTick(int value)
{
    const int32_t screen = currentScreen;
    const double cpu0 = clockMs(CLOCK_PROCESS_CPUTIME_ID), wall0 = clockMs(CLOCK_MONOTONIC);
    const TimerCallback tick = programTick;
    tick(value);
    const double cpu1 = clockMs(CLOCK_PROCESS_CPUTIME_ID), wall1 = clockMs(CLOCK_MONOTONIC);
    if (frameLog) {
        std::fprintf(frameLog, "%d %.3f %.3f\n", screen, cpu1 - cpu0, wall1 - wall0);
        std::fflush(frameLog);
    }
}

} // namespace

// Every tick re-arms the timer from inside the callback, so each one passes
// through here and comes back to timedTick.
extern "C" void glutTimerFunc(unsigned int ms, void (*callback)(int), int value)
{
    static const TimerFunc real = reinterpret_cast<TimerFunc>(dlsym(RTLD_NEXT, "glutTimerFunc"));
    if (!real) std::abort();
    programTick = callback;
    real(ms, timedTick, value);
}

int main(int argc, char **argv)
{
    if (const char *path = std::getenv("TARNOVA_FRAME_LOG"); path && *path) frameLog = std::fopen(path, "w");
    return runWithLoadingHandOver(argc, argv, -1, nullptr);
}
