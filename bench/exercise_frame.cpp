// One frame of the exercise screen: the run's work (one captured block
// analysed by the pitch detector in the recording phases) plus its drawing in
// the window's GL (software rendering in the test rig), measured frame by
// frame over a whole lesson 3 sung by a synthetic voice. Blocks come from the
// synthetic singer at once, so the lesson runs as fast as its frames allow.
//
// Needs an X server (DISPLAY; tools/rig-start gives one). Pictures come from
// TARNOVA_BENCH_DATA (a folder made by tarnova-make-data) when set, otherwise
// the pictures are drawn as plain quads.
//
// A second benchmark draws frames that only clear and swap in the same
// window, the bare frame the exercise's are compared with.
//
// Counters: the median, 99th percentile and worst CPU time of the process per
// frame (the renderer's own threads included), in ms, and the shares of the
// 46.44 ms block budget; the worst frame after each lesson's first frame (the
// first frame pays the renderer's set-up); frames per lesson.
#include <benchmark/benchmark.h>

#include <GL/freeglut.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "frame/dispatch.h"
#include "frame/picture_catalogue.h"
#include "base/screen_id.h"
#include "base/shared.h"
#include "app/startup.h"
#include "lessons/exercise_drawing.h"
#include "lessons/exercise_run.h"
#include "lessons/exercise_screen.h"
#include "lessons/lesson_state.h"
#include "music/note_voices.h"
#include "store/store_records.h"
#include "gl_bench_window.h"

namespace {

bool windowOpen = false;
double phase = 0.0;

double cpuMs() { return cpuClockMs(CLOCK_PROCESS_CPUTIME_ID); }

void openWindow()
{
    if (windowOpen) return;
    int argc = 1;
    char name[] = "bench_exercise_frame";
    char *argv[] = {name, nullptr};
    currentScreen = 5; // nothing draws until the lesson runs
    createMainWindow(&argc, argv);
    glutDisplayFunc([] {});
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    initProjection();
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    if (const char *data = std::getenv("TARNOVA_BENCH_DATA"); data && *data) {
        imagesDir = std::string(data) + "/images.prod\\";
        userDataDirAlt = std::string(data) + "/";
        loadFrameAnimationPictures();
        for (int32_t s = 304; s <= 319; ++s) loadImages9Step(s);
        for (int32_t s = 187; s <= 302; ++s) loadImages7Step(s);
        loadExercisePicturePack(44);
    }
    exerciseScreenHandlers.create();
    windowOpen = true;
}

void sing(int16_t *block)
{
    const double hz = exerciseRun.targetFrequency * std::pow(2.0, 12.0 / 1200.0);
    for (int i = 0; i < 2048; ++i) {
        phase += 2 * M_PI * hz / 44100.0;
        block[i] = static_cast<int16_t>(9000 * std::sin(phase) + 4000 * std::sin(2 * phase));
    }
}

bool running = false;
void noVoice(int32_t) {}
void noSample(int32_t, int32_t, int32_t, int32_t, int32_t, float *) {}
void noTone(int32_t, int32_t, double, int32_t, int32_t, int32_t, float *) {}

ExerciseHooks benchHooks()
{
    ExerciseHooks h = realExerciseHooks();
    h.elapsedMs = [] { return 0; };
    h.timerDelay = [] { return 46; };
    h.startCapture = [] { running = true; };
    h.stopCapture = [] { running = false; };
    h.captureRunning = [] { return running; };
    h.readBlock = sing;
    h.loadTeacherSounds = [] {};
    h.playDingDong = h.playWhiteNoise = h.stopTeacherSource = h.stopClickSource = [] {};
    h.stopMusicSource = h.detachMusicSource = [](int32_t) {};
    h.loadPicturePack = [](int32_t) {};
    h.highestPassedLesson = [](int32_t) { return 2; };
    h.readLessonBlock = [](int32_t, int32_t, LessonBlock &b) {
        b = emptyLessonBlock();
        for (int k = 0; k < 8; ++k) b.slots[k].note = 27 + 2 * k;
        b.done = 1;
        return 8;
    };
    h.userCurrentLesson = [](int32_t) { return 4; };
    h.storeLessonEnd = [](int32_t, int32_t, const LessonBlock &, bool) { return false; };
    h.setUpExerciseOptions = [] {};
    return h;
}

// One frame's place in the lesson: the run's progress, answer phase and
// step when it began, the exercise, and whether it was a lesson's first.
struct FrameNote {
    double ms;
    int32_t progress, phase, step, exercise;
    bool first;
};

// The ten slowest frames after the first on standard error, so a slow
// frame can be traced to the part of the lesson that makes it.
void printSlowest(std::vector<FrameNote> notes)
{
    std::erase_if(notes, [](const FrameNote &n) { return n.first; });
    const size_t n = std::min<size_t>(10, notes.size());
    std::partial_sort(notes.begin(), notes.begin() + static_cast<long>(n), notes.end(),
                      [](const FrameNote &a, const FrameNote &b) { return a.ms > b.ms; });
    // The median frame of each part of the lesson (progress, answer phase).
    std::vector<std::pair<int32_t, double>> parts;
    for (const FrameNote &f : notes) parts.emplace_back(f.progress * 100 + f.phase, f.ms);
    std::sort(parts.begin(), parts.end());
    std::fprintf(stderr, "median frame per part (progress, answer phase: frames, ms):");
    for (size_t i = 0; i < parts.size();) {
        size_t j = i;
        while (j < parts.size() && parts[j].first == parts[i].first) ++j;
        std::vector<double> ms;
        for (size_t k = i; k < j; ++k) ms.push_back(parts[k].second);
        std::sort(ms.begin(), ms.end());
        std::fprintf(stderr, "  %d,%d: %zu, %.2f", parts[i].first / 100, parts[i].first % 100, ms.size(),
                     ms[ms.size() / 2]);
        i = j;
    }
    std::fprintf(stderr, "\n");
    std::fprintf(stderr, "slowest frames after the first (ms, progress, answer phase, step, exercise):\n");
    for (size_t i = 0; i < n; ++i)
        std::fprintf(stderr, "  %7.2f  %2d %2d %4d %2d\n", notes[i].ms, notes[i].progress, notes[i].phase,
                     notes[i].step, notes[i].exercise);
}

void BM_ExerciseFrameOverLessonThree(benchmark::State &state)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        state.SkipWithError("needs an X server (DISPLAY)");
        return;
    }
    openWindow();
    voiceAudio = VoiceAudioOps{noVoice, noSample, noTone, noVoice};
    std::vector<double> frames;
    std::vector<FrameNote> notes; // what each frame was, for the list of the slowest
    double worstWarm = 0; // the worst frame after each lesson's first preparation frame
    for (auto _ : state) {
        setExerciseHooks(benchHooks());
        resetExerciseRun();
        ExerciseLessonInputs in;
        in.lesson = 3;
        setExerciseLessonInputs(in);
        currentScreen = firstExerciseScreenId;
        bool first = true;
        while (currentScreen == firstExerciseScreenId) {
            const FrameNote note{0, exerciseRun.lessonProgress, exerciseRun.answerPhase,
                                 exerciseRun.progressStep, exerciseRun.exerciseCount, first};
            const double t0 = cpuMs();
            runExerciseFrame();
            const double ms = cpuMs() - t0;
            frames.push_back(ms);
            notes.push_back(note);
            notes.back().ms = ms;
            if (!first) worstWarm = std::max(worstWarm, ms);
            first = false;
        }
    }
    printSlowest(notes);
    std::sort(frames.begin(), frames.end());
    const double median = frames[frames.size() / 2];
    const double worst = frames.back();
    state.counters["frames"] = static_cast<double>(frames.size()) / state.iterations();
    state.counters["medianMs"] = median;
    state.counters["p99Ms"] = frames[frames.size() * 99 / 100];
    state.counters["worstMs"] = worst;
    state.counters["worstAfterFirstMs"] = worstWarm;
    state.counters["medianBudgetPct"] = median / 46.439909297 * 100;
    state.counters["worstBudgetPct"] = worst / 46.439909297 * 100;
}

// The reference in the same run and window: a frame that only clears and
// swaps, measured the same way (the exercise's frames are compared with it).
void BM_BareClearAndSwapFrame(benchmark::State &state)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        state.SkipWithError("needs an X server (DISPLAY)");
        return;
    }
    openWindow();
    std::vector<double> frames;
    for (auto _ : state) {
        for (int i = 0; i < 500; ++i) {
            const double t0 = cpuMs();
            glClear(GL_COLOR_BUFFER_BIT);
            glFlush();
            glutSwapBuffers();
            frames.push_back(cpuMs() - t0);
        }
    }
    std::sort(frames.begin(), frames.end());
    state.counters["medianMs"] = frames[frames.size() / 2];
    state.counters["p99Ms"] = frames[frames.size() * 99 / 100];
    state.counters["worstMs"] = frames.back();
}

} // namespace

BENCHMARK(BM_BareClearAndSwapFrame)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ExerciseFrameOverLessonThree)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
