// The replay's preparation frame over the longest recording (300 s): the one
// pass of the pitch detector over every block, then the re-analysis of every
// block against a lesson of one note per second.
#include <benchmark/benchmark.h>

#include <cmath>

#include "lessons/lesson_state.h"
#include "replay/block_rating.h"
#include "store/recording_file.h"
#include "replay/replay_tracks.h"
#include "sound/recording.h"

static void setUpLongRecording()
{
    for (int32_t i = 0; i < recordingCapacity; ++i)
        recordingBuffer[i] = static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * 440.0 * i / 44100.0)));
    lessonNoteCount = 300;
    for (int32_t n = 0; n <= lessonNoteCount; ++n) {
        lessonNotes[n] = TimedNote{};
        lessonNotes[n].letter = n % 2 ? 'a' : 'r';
        lessonNotes[n].startMs = 1000 * n;
        lessonNotes[n].durationMs = 1000;
        lessonNotes[n].lowerHz = 427.5;
        lessonNotes[n].upperHz = 452.9;
    }
    lessonChordCount = 0;
}

static void BM_FillBlockTracks(benchmark::State &state)
{
    setUpLongRecording();
    const int32_t blocks = analysisBlocksIn(recordingCapacity);
    for (auto _ : state) fillReplayBlockTracks(blocks, recordingCapacity);
    state.counters["blocks"] = blocks + 1;
}
BENCHMARK(BM_FillBlockTracks)->Unit(benchmark::kMillisecond);

static void BM_ReanalyseWholeRecording(benchmark::State &state)
{
    setUpLongRecording();
    const int32_t blocks = analysisBlocksIn(recordingCapacity);
    fillReplayBlockTracks(blocks, recordingCapacity);
    for (auto _ : state) reanalyseUpToBlock(replayRater(), blocks);
}
BENCHMARK(BM_ReanalyseWholeRecording)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
