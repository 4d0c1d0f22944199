// What the end of one lesson costs on disk: the users file, the time line and
// the score file saved for one finished lesson, side by side with a plain copy
// of the same three files (once flushed to disk like the store's saves, once
// left in the page cache like a cp).
//
// The data folder is TARNOVA_BENCH_DIR when set, else a fresh folder in /tmp.
// The counters report the files written per lesson and the resident memory of
// the store holding six users with a filled time line.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/shared.h"
#include "progress/score_file.h"
#include "progress/store_io.h"
#include "progress/time_line.h"
#include "progress/users_file.h"

static std::string folder;
static int32_t benchToday = 44000;
static int32_t todayForBench() { return benchToday; }

static long statusKb(const char *field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.compare(0, key.size(), key) == 0) return std::atol(line.c_str() + key.size());
    return -1;
}

static LessonBlock resultBlock(int32_t seed)
{
    LessonBlock b = emptyLessonBlock();
    for (int j = 0; j < 8; ++j) b.slots[j] = NoteSlot{20 + (seed + j) % 30, (seed % 40) - 20.0, 7.5, 1};
    b.done = 1;
    return b;
}

// Six users, each with 60 training days of results.
static void setUpStore()
{
    if (!folder.empty()) return;
    const char *env = std::getenv("TARNOVA_BENCH_DIR");
    if (env && *env) {
        folder = env;
    } else {
        char pattern[] = "/tmp/tarnova-bench-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        folder = pattern;
    }
    ::mkdir((folder + "/ResourceFiles").c_str(), 0755);
    userDataDir = folder + "/";
    setTodayFunction(todayForBench);
    createUsersFiles("Admin", "secret");
    createScoreFile();
    beginStoreUpdate();
    for (int i = 0; i < 5; ++i) addUser("User" + std::to_string(i + 2));
    for (int32_t key = 1; key <= 6; ++key)
        for (int d = 0; d < 60; ++d) {
            benchToday = 43000 + d;
            for (int32_t L = 0; L < 20; ++L) addTimeLineEntry(key, (d + L) % 555, resultBlock(d + L));
        }
    endStoreUpdate();
    benchToday = 44000;
}

static int64_t totalWrites(const char *name) { return storeFilesWritten(name); }

// The saves of one finished lesson: the result into the user's record and
// into today's training day, the score overview's tallies, the score and the
// next current lesson. `grouped`: the callers wrap them as one user action.
static void finishLesson(int32_t n, bool grouped)
{
    const int32_t key = 1 + n % 6;
    const int32_t block = n % 555;
    if (grouped) beginStoreUpdate();
    setUserLessonBlock(key, block, resultBlock(n));
    addTimeLineEntry(key, block, resultBlock(n));
    userRecords[findUserSlot(key)].noteTallies[27].presented += 1;
    saveUsersFiles();
    recordScore(block + 2, key, 3, 100 + n);
    setUserCurrentLesson(key, block + 3);
    if (grouped) endStoreUpdate();
}

static void lessonEndSaves(benchmark::State &state, bool grouped)
{
    setUpStore();
    static int32_t n = 0;
    const int64_t users0 = totalWrites("UsersFile"), line0 = totalWrites("TimeLine"), score0 = totalWrites("ScoreFile");
    for (auto _ : state) finishLesson(n++, grouped);
    const double it = static_cast<double>(state.iterations());
    state.counters["usersWrites"] = (totalWrites("UsersFile") - users0) / it;
    state.counters["timeLineWrites"] = (totalWrites("TimeLine") - line0) / it;
    state.counters["scoreWrites"] = (totalWrites("ScoreFile") - score0) / it;
    state.counters["rssMB"] = statusKb("VmRSS") / 1024.0;
    state.counters["peakRssMB"] = statusKb("VmHWM") / 1024.0;
    state.SetBytesProcessed(static_cast<int64_t>(it) * static_cast<int64_t>(usersFileSize + timeLineFileSize + scoreFileSize));
}

static void BM_LessonEndSaves(benchmark::State &state) { lessonEndSaves(state, true); }
static void BM_LessonEndSavesUngrouped(benchmark::State &state) { lessonEndSaves(state, false); }

static bool copyFile(const std::string &from, const std::string &to, bool flush)
{
    int in = ::open(from.c_str(), O_RDONLY);
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) std::abort();
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n <= 0) break;
        if (::write(out, buffer.data(), static_cast<std::size_t>(n)) != n) std::abort();
    }
    if (flush) ::fsync(out);
    ::close(in);
    ::close(out);
    return true;
}

static void plainCopy(benchmark::State &state, bool flush)
{
    setUpStore();
    const std::string base = folder + "/ResourceFiles/";
    for (auto _ : state) {
        copyFile(base + "UsersFile", base + "UsersFile.copy", flush);
        copyFile(base + "TimeLine", base + "TimeLine.copy", flush);
        copyFile(base + "ScoreFile", base + "ScoreFile.copy", flush);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(usersFileSize + timeLineFileSize + scoreFileSize));
}

static void BM_PlainCopyFlushed(benchmark::State &state) { plainCopy(state, true); }
static void BM_PlainCopyCached(benchmark::State &state) { plainCopy(state, false); }

BENCHMARK(BM_PlainCopyFlushed)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_LessonEndSaves)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_PlainCopyCached)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_LessonEndSavesUngrouped)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!std::getenv("TARNOVA_BENCH_DIR") && !folder.empty()) {
        std::string cmd = "rm -rf '" + folder + "'";
        [[maybe_unused]] int rc = std::system(cmd.c_str());
    }
    return 0;
}
