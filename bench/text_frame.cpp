// What a screen's texts cost per frame: 48 lines of 8 to 30 characters
// (argument 48) in the program's window and projection, in the fonts the
// screens use, drawn from the glyph atlas (drawText, drawControlText), the
// colour set and a small untextured mark drawn before each, as a menu or the
// exercise draws its labels among its lines and boxes; argument 0 is the
// frame that only clears, to compare with. Each iteration clears, draws and
// waits for the renderer (glFinish). Counters: the main thread's CPU per
// frame (main_cpu_ms: placing and sending the texts), the whole process's
// (process_cpu_ms, the renderer's threads included).
//
//   bench_text_frame --benchmark_repetitions=5   (needs DISPLAY: run in the rig)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "frame/gl_draw.h"
#include "frame/text.h"
#include "gl_bench_window.h"

namespace {

void openWindowOnce()
{
    if (!openBenchWindowOnce("bench_text_frame")) return;
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
}

void BM_TextFrame(benchmark::State &state)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        state.SkipWithError("needs DISPLAY (run in the rig: eval \"$(tools/rig-start)\")");
        return;
    }
    openWindowOnce();
    const int texts = static_cast<int>(state.range(0));
    const std::string words = "Display Statistics: Quit Program ..... Change User ...... Tessitura";
    const double process0 = cpuClockMs(CLOCK_PROCESS_CPUTIME_ID), main0 = cpuClockMs(CLOCK_THREAD_CPUTIME_ID);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        for (int i = 0; i < texts; ++i) {
            const std::string_view text = std::string_view(words).substr(i % 20, 8 + i % 23);
            setColour(0.1f * (i % 5), 0.5f, 0.1f, 0.4f);
            fillRect(25 + (i % 4) * 240, 37 + i * 15, 28 + (i % 4) * 240, 47 + i * 15, -6); // a mark beside it
            if (i % 3 == 0) drawControlText(i % 2 ? 2 : 5, text, 30 + (i % 4) * 240, 40 + i * 15);
            else drawText(i % 2 ? 2 : 5, text, 30.5 + (i % 4) * 240, 40 + i * 15);
        }
        glFinish();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["process_cpu_ms"] = (cpuClockMs(CLOCK_PROCESS_CPUTIME_ID) - process0) / n;
    state.counters["main_cpu_ms"] = (cpuClockMs(CLOCK_THREAD_CPUTIME_ID) - main0) / n;
}

BENCHMARK(BM_TextFrame)->Arg(0)->Arg(48)->UseRealTime()->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
