// What a lesson's end and a start cost on disk, with six users of 100
// training days each.
//
//  - BM_LessonEndFirstHalf: the exercise's end (the lesson's block, today's
//    training day, the current lesson) as one store update group.
//  - BM_LessonEndSecondHalf: the score overview's first frame (the tallies,
//    the score, the next current lesson) as one group.
//  - BM_LessonEndFirstHalfInBackground: the same as the exercise's end
//    commits it (StoreCommit::inBackground), timed until the group's end
//    returns: the frame's share. The writer thread's work is waited for
//    outside the timing.
//  - BM_LessonEndFirstHalfNewDay: the first lesson of a new day for a user
//    whose 100 days are full: the oldest day is dropped, so every day of that
//    user moves one place in the file. Neighbouring days share most of
//    their blocks, so only a few of the moved bytes change.
//  - BM_LessonEndFirstHalfNewDayAllBlocks: the same, worst case: a user
//    whose 100 days have every one of the 555 blocks filled, each day's
//    results different from the next day's, so every moved byte changes.
//  - BM_StartLoadEmpty / BM_StartLoadSixUsers: the store's part of a start
//    (the users file with its time line, then the score file) on a new
//    installation and on the six users' store.
// Counters: writtenKB and readKB per iteration, from /proc/self/io (bytes
// passed to write and read calls, fsyncs included in the time).
//
// The data folders are made below TARNOVA_BENCH_DIR when set, else below
// /var/tmp (a disk, so the fsyncs cost what they cost). Run:
//   build/bench_store_saves --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "base/shared.h"
#include "store/user_actions.h"
#include "store/score_file.h"
#include "store/store_io.h"
#include "store/time_line.h"
#include "store/users_file.h"

static std::string base;
static std::string fullFolder, emptyFolder, allBlocksFolder;
static int32_t benchToday = 44000;
static int32_t todayForBench() { return benchToday; }
constexpr int32_t firstDay = 43000;
constexpr int32_t lastDay = firstDay + 99;

struct IoCounts {
    int64_t read = 0, written = 0;
};

static IoCounts ioCounts()
{
    std::ifstream in("/proc/self/io");
    std::string key;
    int64_t value = 0;
    IoCounts c;
    while (in >> key >> value) {
        if (key == "rchar:") c.read = value;
        if (key == "wchar:") c.written = value;
    }
    return c;
}

static LessonBlock resultBlock(int32_t seed)
{
    LessonBlock b = emptyLessonBlock();
    for (int j = 0; j < 8; ++j) b.slots[j] = NoteSlot{20 + (seed + j) % 30, (seed % 40) - 20.0, 7.5, 1};
    b.done = 1;
    return b;
}

static std::string makeFolder(const char *name)
{
    std::string folder = base + "/" + name;
    ::mkdir(folder.c_str(), 0755);
    ::mkdir((folder + "/ResourceFiles").c_str(), 0755);
    return folder;
}

static void useFolder(const std::string &folder) { userDataDir = folder + "/"; }

// A new installation, and six users with 100 training days each (five
// lessons a day), today being their 100th day.
static void setUpStores()
{
    if (!base.empty()) return;
    const char *env = std::getenv("TARNOVA_BENCH_DIR");
    if (env && *env) {
        base = env;
    } else {
        char pattern[] = "/var/tmp/tarnova-bench-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        base = pattern;
    }
    setTodayFunction(todayForBench);
    emptyFolder = makeFolder("empty");
    useFolder(emptyFolder);
    createUsersFiles("Admin", "secret");
    createScoreFile();

    fullFolder = makeFolder("six-users");
    useFolder(fullFolder);
    createUsersFiles("Admin", "secret");
    createScoreFile();
    beginStoreUpdate();
    for (int i = 0; i < 5; ++i) addUser("User" + std::to_string(i + 2));
    for (int32_t key = 1; key <= 6; ++key)
        for (int d = 0; d < 100; ++d) {
            benchToday = firstDay + d;
            for (int32_t L = 0; L < 5; ++L) addTimeLineEntry(key, (d + L) % 555, resultBlock(d + L));
        }
    endStoreUpdate();

    // One user, 100 days of 555 filled blocks each.
    allBlocksFolder = makeFolder("all-blocks");
    useFolder(allBlocksFolder);
    createUsersFiles("Admin", "secret");
    createScoreFile();
    beginStoreUpdate();
    for (int d = 0; d < 100; ++d) {
        benchToday = firstDay + d;
        for (int32_t b = 0; b < 555; ++b) addTimeLineEntry(1, b, resultBlock(d * 7 + b));
    }
    endStoreUpdate();
    benchToday = lastDay;
}

static void perIteration(benchmark::State &state, const IoCounts &before)
{
    const IoCounts after = ioCounts();
    const double it = static_cast<double>(state.iterations());
    state.counters["writtenKB"] = (after.written - before.written) / it / 1024.0;
    state.counters["readKB"] = (after.read - before.read) / it / 1024.0;
}

static int32_t lessonCounter = 0;

// The saves at the end of one lesson (n counts the lessons), timed as one
// store update over the six users' stores.
static void lessonEnds(benchmark::State &state, void (*saveLessonEnd)(int32_t n),
                       const std::string *folder = &fullFolder, StoreCommit commit = StoreCommit::now)
{
    setUpStores();
    useFolder(*folder);
    loadUsersFiles();
    loadScoreFile();
    benchToday = lastDay;
    const IoCounts before = ioCounts();
    for (auto _ : state) {
        const int32_t n = lessonCounter++;
        beginStoreUpdate();
        saveLessonEnd(n);
        endStoreUpdate(commit);
        if (commit == StoreCommit::inBackground) {
            state.PauseTiming();
            waitForStoreWrites();
            state.ResumeTiming();
        }
    }
    perIteration(state, before);
    benchToday = lastDay;
}

static void lessonEndFirstHalf(int32_t n)
{
    const int32_t key = 1 + n % 6, block = n % 555;
    setUserLessonBlock(key, block, resultBlock(n));
    addTimeLineEntry(key, block, resultBlock(n));
    setUserCurrentLesson(key, block + 3);
}

static void BM_LessonEndFirstHalf(benchmark::State &state) { lessonEnds(state, lessonEndFirstHalf); }

static void BM_LessonEndFirstHalfInBackground(benchmark::State &state)
{
    lessonEnds(state, lessonEndFirstHalf, &fullFolder, StoreCommit::inBackground);
}

static void BM_LessonEndSecondHalf(benchmark::State &state)
{
    lessonEnds(state, [](int32_t n) {
        const int32_t key = 1 + n % 6, block = n % 555;
        userRecords[findUserSlot(key)].noteTallies[27].presented += 1;
        saveUsersFiles();
        recordScore(block + 2, key, 3, 100 + n);
        setUserCurrentLesson(key, block + 4);
    });
}

static void BM_LessonEndFirstHalfNewDay(benchmark::State &state)
{
    lessonEnds(state, [](int32_t n) {
        benchToday = lastDay + 1 + n; // a new day every time: user 1's oldest day goes
        setUserLessonBlock(1, n % 555, resultBlock(n));
        addTimeLineEntry(1, n % 555, resultBlock(n));
        setUserCurrentLesson(1, n % 555 + 3);
    });
}

static void BM_LessonEndFirstHalfNewDayAllBlocks(benchmark::State &state)
{
    lessonEnds(
        state,
        [](int32_t n) {
            benchToday = lastDay + 1 + n;
            setUserLessonBlock(1, n % 555, resultBlock(n));
            addTimeLineEntry(1, n % 555, resultBlock(n));
            setUserCurrentLesson(1, n % 555 + 3);
        },
        &allBlocksFolder);
}

static void startLoad(benchmark::State &state, const std::string &folder)
{
    setUpStores();
    useFolder(folder);
    const IoCounts before = ioCounts();
    for (auto _ : state) {
        loadUsersFiles();
        loadScoreFile();
    }
    perIteration(state, before);
}

static void BM_StartLoadEmpty(benchmark::State &state) { startLoad(state, emptyFolder); }
static void BM_StartLoadSixUsers(benchmark::State &state) { startLoad(state, fullFolder); }

BENCHMARK(BM_LessonEndFirstHalf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(12);
BENCHMARK(BM_LessonEndFirstHalfInBackground)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(12);
BENCHMARK(BM_LessonEndSecondHalf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(12);
BENCHMARK(BM_LessonEndFirstHalfNewDay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_LessonEndFirstHalfNewDayAllBlocks)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_StartLoadEmpty)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_StartLoadSixUsers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!std::getenv("TARNOVA_BENCH_DIR") && !base.empty()) {
        std::string cmd = "rm -rf '" + base + "'";
        [[maybe_unused]] int rc = std::system(cmd.c_str());
    }
    return 0;
}
