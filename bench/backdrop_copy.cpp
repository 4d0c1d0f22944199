// What a menu's backdrop costs the renderer per frame: the 1024 x 1024
// picture the lesson menu lies on, at (-80, 76) in the program's window and
// projection, at the pictures' colour (1, 1, 1, 0.4) with blending and the
// alpha test on, drawn from the picture, or copied back from the pixels the
// first frame kept (drawBackdropPicture, the way every frame after a menu's
// first draws it), beside a frame that only clears. Each iteration clears,
// draws and waits for the renderer (glFinish). The renderer's threads do the
// work, so the counter process_cpu_ms (every thread, per iteration) is the
// figure that counts; the wall time follows the free cores.
//
//   bench_backdrop_copy --benchmark_repetitions=5   (needs DISPLAY: run in the rig)
#include <benchmark/benchmark.h>

#include <GL/glu.h>
#include <cstdlib>
#include <random>
#include <vector>

#include "gl_bench_window.h"
#include "frame/gl_draw.h"

namespace {

GLuint picture = 0;

void openWindowOnce()
{
    if (!openBenchWindowOnce("bench_backdrop_copy")) return;
    std::vector<uint8_t> rgba(1024 * 1024 * 4);
    std::mt19937 random(3);
    for (uint8_t &v : rgba) v = static_cast<uint8_t>(random());
    glGenTextures(1, &picture);
    glBindTexture(GL_TEXTURE_2D, picture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, 1024, 1024, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

enum class Way { clearOnly, drawn, copiedBack };

template <Way way> void BM_MenuBackdrop(benchmark::State &state)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        state.SkipWithError("needs DISPLAY (run in the rig: eval \"$(tools/rig-start)\")");
        return;
    }
    openWindowOnce();
    forgetBackdropCopy();
    const double cpu0 = cpuClockMs(CLOCK_PROCESS_CPUTIME_ID);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        setColour(1, 1, 1, 0.4f);
        if (way == Way::drawn) drawTexturedRect(picture, -80, 76, 944, 1100, -8);
        if (way == Way::copiedBack) drawBackdropPicture(picture, -80, 76, 944, 1100, -8);
        glFinish();
    }
    state.counters["process_cpu_ms"] = (cpuClockMs(CLOCK_PROCESS_CPUTIME_ID) - cpu0) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_MenuBackdrop<Way::clearOnly>)->Name("BM_MenuBackdrop/clear_only")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_MenuBackdrop<Way::drawn>)->Name("BM_MenuBackdrop/drawn")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_MenuBackdrop<Way::copiedBack>)->Name("BM_MenuBackdrop/copied_back")->UseRealTime()->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
