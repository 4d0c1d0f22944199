// Fake devices for the replay engine: a clock, a capture that only counts,
// the recorded voice and the track sounds as logs, and a small lesson with a
// recording that sings it (A4 for a second, a rest, C5 for a second).
#pragma once
#include <cmath>
#include <string>
#include <vector>

#include "base/shared.h"
#include "frame/timer.h"
#include "lessons/exercise_parts.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "music/tune_state.h"
#include "store/recording_file.h"
#include "replay/replay_run.h"
#include "replay/replay_sounds.h"
#include "replay/replay_state.h"
#include "sound/recording.h"

namespace replay_fakes {

struct Sound {
    int32_t source, id;
    SoundGain gain;
    int32_t clockMs;
};

struct Log {
    int32_t nowMs = 1000;
    int32_t timerDelay = 46;
    bool capturing = false;
    int32_t captureStarts = 0;
    int32_t drained = 0;
    std::vector<int32_t> plays; // sample offsets the recorded voice started at
    int32_t pauses = 0;
    int32_t attachedSamples = -1;
    int32_t musicDetached = 0;
    bool quitFocused = false;
    int32_t cursor = 0;
    int32_t pending = 0;
    std::vector<ReplayFrame> frames;
    std::vector<Sound> sounds;
};
inline Log runLog;

inline const ReplayHooks hooks = {
    .draw = [](const ReplayFrame &f) { runLog.frames.push_back(f); },
    .actionQueued = [] { return runLog.pending != 0; },
    .runAction =
        [] {
            const int32_t code = runLog.pending;
            runLog.pending = 0;
            replayAction(code);
        },
    .elapsedMs = [] { return runLog.nowMs; },
    .timerDelay = [] { return runLog.timerDelay; },
    .startCapture =
        [] {
            runLog.capturing = true;
            ++runLog.captureStarts;
        },
    .stopCapture = [] { runLog.capturing = false; },
    .drainBlock = [] { ++runLog.drained; },
    .loadRecording = loadReplayRecording,
    .attachRecording = [](int32_t samples) { runLog.attachedSamples = samples; },
    .playRecording = [](int32_t offset) { runLog.plays.push_back(offset); },
    .pauseRecording = [] { ++runLog.pauses; },
    .detachMusic = [] { ++runLog.musicDetached; },
    .focusQuit = [](bool on) { runLog.quitFocused = on; },
    .cursorPosition = [] { return runLog.cursor; },
};

inline const ReplaySoundHooks soundHooks = {
    .play = [](int32_t source, int32_t id, SoundGain gain) { runLog.sounds.push_back({source, id, gain, audioClockMs}); },
    .stop = [](int32_t) {},
};

inline TimedNote note(char letter, int32_t noteIndex, int32_t startMs, int32_t durationMs, double hz)
{
    TimedNote n;
    n.letter = letter;
    n.noteIndex = noteIndex;
    n.startMs = startMs;
    n.durationMs = durationMs;
    if (hz > 0) {
        n.lowerHz = hz / std::pow(2.0, 50 / 1200.0);
        n.upperHz = hz * std::pow(2.0, 50 / 1200.0);
    }
    return n;
}

// The lesson: A4 0..1000 ms, a rest to 1500 ms, C5 to 2500 ms; beats every
// 500 ms; one exercise part; no chords.
inline void loadSmallLesson()
{
    lessonNoteCount = 3;
    lessonNotes[0] = note('a', 24, 0, 1000, 440.0);
    lessonNotes[1] = note('r', 0, 1000, 500, 0);
    lessonNotes[2] = note('c', 27, 1500, 1000, 523.2511);
    lessonNotes[3] = note('r', 0, 2500, 0, 0);
    lessonChordCount = 0;
    lessonChords[0] = note('r', 0, 0, 999999, 0);
    beatRecordCount = 6;
    for (int32_t i = 0; i < beatRecordCount; ++i) {
        beatRecords[i] = BeatRecord{};
        beatRecords[i].kind = 1;
        beatRecords[i].beatNumber = i % 4;
        beatRecords[i].msTime = 500 * i;
        beatRecords[i].msToNext = 500;
        beatRecords[i].noteStarts = i == 0 || i == 3;
        beatRecords[i].note = i == 0 ? 0 : 2;
    }
    exercisePartCount = 1;
    exerciseParts[0] = ExercisePart{0, 2, 0, 0, 0, 0, 24, 24, 0, lastPartMarker, 1};
    msPerBeat = 500;
    meterNumerator = 4;
    meterDenominator = 4;
    pickupLength = 0;
    scoreViewPxPerMs = 0.05f;
    viewWindowMs = 25600;
    beatAccuracy = 12;
    for (int32_t b = 0; b < blockTrackSize; ++b) {
        blockTraceInts[b] = 0;
        blockSkipWaitMarks[b] = 0;
        blockPitchRating[b] = 0;
    }
}

// The recording the exercise would have saved: the cleared head of 2048
// samples, then the lesson sung (sample i at i / 44.1 ms of the replay's clock).
inline int32_t saveSungRecording(int32_t ms = 3000)
{
    const int32_t samples = static_cast<int32_t>(ms * 44.1);
    for (int32_t i = 0; i < samples; ++i) {
        const double t = i / 44.1;
        double hz = 0;
        if (t >= 50 && t < 1000) hz = 440.0;
        if (t >= 1550 && t < 2500) hz = 523.2511;
        recordingBuffer[i] = hz > 0 && i >= 2048 ? static_cast<int16_t>(std::lround(20000 * std::sin(2 * M_PI * hz * i / 44100.0))) : 0;
    }
    std::string error;
    saveReplayRecording(samples, RecordingKind::sungTune, error);
    return samples;
}

// The options the replay reads, at values that sound everything.
inline void setReplayOptions(int32_t countOff)
{
    countOffMode = countOff;
    assistanceVoice = 1;
    songPartVoice = 1;
    clickMode = 1;
    playGuitarChords = 1;
    playAccompaniment = 0;
    waitTilHit = 0;
}

inline void reset()
{
    runLog = Log{};
    setReplayHooks(hooks);
    setReplaySoundHooks(soundHooks);
    setUpReplayRun();
    shortenedTick = 0;
    eventSyncMode = 0;
    frameTime = runLog.nowMs;
    currentScreen = replayScreenId;
}

// One display call at the fake clock.
inline void frame(int32_t advanceMs = 46)
{
    runLog.nowMs += advanceMs;
    frameTime = runLog.nowMs;
    audioClockMs = static_cast<int32_t>(std::lround(1000.0 * static_cast<double>(samplesConsumed) / 44100.0));
    runReplayFrame();
}

} // namespace replay_fakes
