// Hooks of the exercise run for tests: a synthetic singer as the block
// source, recorders for the sounds, the real store in a private folder.
#pragma once
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "lessons/exercise_run.h"
#include "music/note_voices.h"
#include "lessons/lesson_state.h"
#include "store/user_actions.h"
#include "store/store_fixture.h"

namespace exercise_fakes {

struct Singer {
    // Cents off the target per note; a note missing from the map is sung at
    // +0; a note in `silentNotes` is not sung at all.
    std::map<int32_t, double> offsets;
    std::vector<int32_t> silentNotes;
    double phase = 0.0;
    double vibratoPhase = 0.0;
    bool vibrato = false;
};

struct Log {
    bool captureRunning = false;
    int32_t captureStarts = 0;
    std::vector<int32_t> noiseStartFrames; // delay-phase frame of each white-noise start
    std::vector<int32_t> teacherStopFrames;
    int32_t dingDongs = 0;
    std::vector<int32_t> packs;
    std::vector<ExerciseFrame> frames;    // every drawn frame
    std::vector<int32_t> phases;          // answerPhase of every drawn frame
    std::vector<int32_t> progress;        // lessonProgress of every drawn frame
    int32_t queued = 0;                   // the pending action
    int32_t quitWhenStep = -1;            // queue Quit at this GetExerciseAnswer step
    int32_t quitInPhase = -1;
    bool recordFrames = true;
    int32_t releases = 0;                 // the screen's pictures and sounds freed
    int32_t blocksRead = 0;
    int32_t fallsBehindAtRead = 0;        // the capture falls behind at this read (0: never)
};

inline Singer singer;
inline Log runLog;

inline void sing(int16_t *block)
{
    const ExerciseRunState &r = exerciseRun;
    const int32_t note = r.currentExerciseNote;
    for (int32_t n : singer.silentNotes)
        if (n == note) {
            for (int i = 0; i < 2048; ++i) block[i] = 0;
            return;
        }
    const double offset = singer.offsets.count(note) ? singer.offsets[note] : 0.0;
    const double hz = r.targetFrequency * std::pow(2.0, offset / 1200.0);
    for (int i = 0; i < 2048; ++i) {
        double f = hz;
        if (singer.vibrato) {
            f *= std::pow(2.0, 15.0 * std::sin(singer.vibratoPhase) / 1200.0);
            singer.vibratoPhase += 2 * M_PI * 5.5 / 44100.0;
        }
        singer.phase += 2 * M_PI * f / 44100.0;
        const double v = 9000 * std::sin(singer.phase) + 4000 * std::sin(2 * singer.phase) +
                         2000 * std::sin(3 * singer.phase);
        block[i] = static_cast<int16_t>(std::lround(v));
    }
}

inline void noVoice(int32_t) {}
inline void noAttachSample(int32_t, int32_t, int32_t, int32_t, int32_t, float *) {}
inline void noAttachTone(int32_t, int32_t, double, int32_t, int32_t, int32_t, float *) {}

inline ExerciseHooks testHooks()
{
    ExerciseHooks h{};
    h.draw = [](const ExerciseFrame &f) {
        if (!runLog.recordFrames) return;
        runLog.frames.push_back(f);
        runLog.phases.push_back(exerciseRun.answerPhase);
        runLog.progress.push_back(exerciseRun.lessonProgress);
    };
    h.actionQueued = [] {
        const ExerciseRunState &r = exerciseRun;
        if (r.lessonProgress == progressGetExerciseAnswer && r.progressStep == runLog.quitWhenStep &&
            r.answerPhase == runLog.quitInPhase)
            runLog.queued = 55;
        return runLog.queued != 0;
    };
    h.runAction = [] {
        if (runLog.queued == 55) quitExercise();
        runLog.queued = 0;
    };
    h.elapsedMs = [] { return 0; };
    h.timerDelay = [] { return 46; };
    h.startCapture = [] {
        runLog.captureRunning = true;
        ++runLog.captureStarts;
    };
    h.stopCapture = [] { runLog.captureRunning = false; };
    h.captureRunning = [] { return runLog.captureRunning; };
    h.readBlock = [](int16_t *block) {
        ++runLog.blocksRead;
        sing(block);
    };
    h.captureFellBehind = [] { return runLog.fallsBehindAtRead > 0 && runLog.blocksRead >= runLog.fallsBehindAtRead; };
    h.loadTeacherSounds = [] {};
    h.playDingDong = [] { ++runLog.dingDongs; };
    h.playWhiteNoise = [] { runLog.noiseStartFrames.push_back(exerciseRun.delayFrame); };
    h.stopTeacherSource = [] {
        if (exerciseRun.answerPhase == answerDelay) runLog.teacherStopFrames.push_back(exerciseRun.delayFrame);
    };
    h.stopMusicSource = [](int32_t) {};
    h.stopClickSource = [] {};
    h.detachMusicSource = [](int32_t) {};
    h.loadPicturePack = [](int32_t p) { runLog.packs.push_back(p); };
    h.releaseResources = [] { ++runLog.releases; };
    h.focusQuit = [](bool) {};
    h.highestPassedLesson = getHighestPassedLesson;
    h.readLessonBlock = getUserLessonBlock;
    h.userCurrentLesson = getUserCurrentLesson;
    h.storeLessonEnd = [](int32_t key, int32_t lesson, const LessonBlock &results, bool passed) {
        return storeLessonResult(key, lesson, results, passed);
    };
    h.setUpExerciseOptions = [] {};
    h.resetReplayPlayPosition = [] {};
    h.handRecordingToReplay = [] {};
    return h;
}

// The eight notes chosen in the first numbered lesson (C4 .. C5).
inline constexpr int32_t chosenNotes[8] = {27, 29, 31, 32, 34, 36, 38, 39};

struct ExerciseRunTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        createStore();
        voiceAudio = VoiceAudioOps{noVoice, noAttachSample, noAttachTone, noVoice};
        singer = Singer{};
        runLog = Log{};
        setExerciseHooks(testHooks());
        resetExerciseRun();
    }

    void TearDown() override
    {
        voiceAudio = soundLayerVoiceAudio;
        StoreFolderTest::TearDown();
    }

    // The note choice of the first numbered lesson: block 0 done with the
    // eight notes, and block 1 seeded with them.
    void chooseNotes(const int32_t *notes = chosenNotes)
    {
        LessonBlock choice = emptyLessonBlock();
        for (int k = 0; k < 8; ++k) choice.slots[k].note = notes[k];
        LessonBlock seeded = choice;
        choice.done = 1;
        beginStoreUpdate();
        setUserLessonBlock(1, 0, choice);
        setUserLessonBlock(1, 1, seeded);
        endStoreUpdate();
    }

    // Frames until the run hands over to another screen (at most `limit`).
    int64_t runLesson(int32_t lesson, int64_t limit = 400000)
    {
        ExerciseLessonInputs in;
        in.lesson = lesson;
        in.userKey = 1;
        setExerciseLessonInputs(in);
        currentLesson = lesson;
        currentScreen = lesson + 15;
        int64_t frames = 0;
        while (currentScreen == lesson + 15 && frames < limit) {
            runExerciseFrame();
            ++frames;
        }
        return frames;
    }
};

} // namespace exercise_fakes
