// tarnova-framewatch: developer tool that runs the program unchanged and
// prints, besides every change of screen ("screen N", as
// tarnova-screenwatch), one line per frame the timer draws:
//
//   frame SCREEN PART START_MS CPU_MS DURATION_MS
//
// PART is the exercise's answer phase on an exercise screen (0 preparing,
// 1 relax, 2 listen, 3 delay, 4 sing, 6 evaluate), the introduction's
// progress on the introduction (2..10 are topics 1..9), 0 elsewhere. START_MS
// is the frame's start on CLOCK_MONOTONIC (Python's time.monotonic), CPU_MS
// the process's CPU time then (every thread, the renderer's included), so a
// reader gets the CPU share between any two frames. DURATION_MS leaves out
// the time a recording frame waits for the microphone's next block.
// tools/frame-table reads it.
//
//   tarnova-framewatch      (same environment and data folder as tarnova)
#include "../common/demo_handover.h"
#include "base/screen_id.h"
#include "frame/timer.h"
#include "lessons/exercise_run.h"

#include <cstdio>

static void printFrame(int32_t screen, double startMs, double cpuMs, double durationMs)
{
    int32_t part = 0;
    if (screen >= firstExerciseScreenId && screen <= lastExerciseScreenId) part = exerciseRun.answerPhase;
    else if (screen == introLessonScreenId) part = introLesson.progress;
    std::printf("frame %d %d %.3f %.3f %.3f\n", screen, part, startMs, cpuMs, durationMs);
    std::fflush(stdout);
}

int main(int argc, char **argv)
{
    frameWatcher = printFrame;
    return runWithLoadingHandOver(argc, argv, -1, nullptr);
}
