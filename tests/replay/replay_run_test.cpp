// The replay's state machine with fake audio, capture and clock: the road
// through preparation and the count-off, the playback block by block with
// its sounds, pause and resume, the analyse cursor's re-run, quit, and the
// end of the recording.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "store/store_fixture.h"
#include "store/recording_file.h"
#include "replay/replay_fakes.h"
#include "replay/replay_tracks.h"
#include "replay/replay_view.h"
#include "sound/sound_bank.h"
#include "frame/capture.h"
#include "frame/timer.h"

using namespace replay_fakes;

namespace {

struct ReplayRunTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        reset();
        setReplayOptions(0);
        loadSmallLesson();
        saveSungRecording();
    }
    void TearDown() override
    {
        setReplaySoundHooks(realReplaySoundHooks());
        StoreFolderTest::TearDown();
    }
    // Frames until the state is `p` (at most `limit`); false when it never came.
    bool runUntil(int32_t p, int limit = 400)
    {
        for (int i = 0; i < limit && replayRun.progress != p; ++i) frame();
        return replayRun.progress == p;
    }
    bool playUntilBlock(int32_t b)
    {
        for (int i = 0; i < 400 && recordingBlockIndex < b; ++i) frame();
        return recordingBlockIndex == b;
    }
    ReplayTallies tallies() const { return {pitchHitCount, loudnessOkCount, noteOkCount, onBeatScore}; }
};

} // namespace

TEST_F(ReplayRunTest, WithoutCountOffPlaysEveryBlockWithItsSoundsAndEndsAtTheOptions)
{
    frame(); // preparation: the recording read and analysed
    EXPECT_EQ(replayRun.progress, replayWaitInitialisation);
    EXPECT_TRUE(runLog.quitFocused);
    EXPECT_EQ(runLog.musicDetached, 1);
    ASSERT_EQ(replayBlockCount, 63);
    EXPECT_NEAR(pitchSamples[10], 440.0, 2.0);
    EXPECT_NEAR(pitchSamples[45], 523.25, 2.0);
    EXPECT_LT(pitchSamples[25], 10.0); // the rest is silent
    EXPECT_EQ(blockTimeMs[10], 464);
    EXPECT_GT(blockLoudness[10], 19000);

    runLog.timerDelay = 10; // the timer has not settled yet
    frame();
    EXPECT_EQ(replayRun.progress, replayWaitInitialisation);
    runLog.timerDelay = 46;
    frame();
    EXPECT_EQ(replayRun.progress, replayPlaying);
    EXPECT_EQ(runLog.attachedSamples, recordedSampleCount);
    EXPECT_TRUE(runLog.frames.empty()); // no sheet, no count-in

    frame(); // the first tick starts the voice and the capture
    EXPECT_EQ(runLog.plays, std::vector<int32_t>{0});
    EXPECT_TRUE(runLog.capturing);
    EXPECT_EQ(recordingBlockIndex, -1);

    int played = 0;
    while (currentScreen == replayScreenId && played < 200) {
        frame();
        ++played;
    }
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
    EXPECT_EQ(played, 64); // blocks 0..63
    EXPECT_EQ(runLog.drained, 64);
    EXPECT_EQ(replayRun.progress, replayPreparation);
    EXPECT_FALSE(runLog.capturing);
    EXPECT_FALSE(runLog.quitFocused);
    EXPECT_EQ(runLog.pauses, 1);
    // The tallies of this recording (the rig's replay shows the same).
    EXPECT_EQ(tallies(), (ReplayTallies{53, 53, 3, 0}));

    // The clicks of the six beats (loud where a sung note starts), the two notes on the flute.
    std::vector<std::pair<int32_t, SoundGain>> clicks, notes;
    for (const Sound &s : runLog.sounds) {
        if (s.source == clickSource) clicks.push_back({s.id, s.gain});
        if (s.source == melodySource) notes.push_back({s.id, s.gain});
    }
    using G = SoundGain;
    EXPECT_EQ(clicks, (std::vector<std::pair<int32_t, SoundGain>>{
                          {220, G::full}, {220, G::quarter}, {220, G::quarter}, {220, G::full}, {220, G::quarter},
                          {220, G::quarter}}));
    EXPECT_EQ(notes, (std::vector<std::pair<int32_t, SoundGain>>{{22, G::half}, {25, G::half}}));
}

TEST_F(ReplayRunTest, PauseCursorReRunAndResume)
{
    ASSERT_TRUE(runUntil(replayPlaying));
    ASSERT_TRUE(playUntilBlock(42));
    runLog.pending = replayPauseAction;
    frame();
    ASSERT_EQ(replayRun.progress, replayFreeze);
    EXPECT_EQ(replayRun.playing, 0);
    EXPECT_FALSE(runLog.capturing);
    const ReplayTallies live = tallies();
    const std::vector<int32_t> liveRatings(blockPitchRating, blockPitchRating + 43);
    const int32_t frozenAt = replayRun.frozenClockMs;
    frame();
    frame();
    EXPECT_EQ(recordingBlockIndex, 42); // frozen: nothing moves
    EXPECT_EQ(runLog.frames.back().kind, ReplayFrameKind::frozen);
    EXPECT_EQ(runLog.frames.back().clockMs, frozenAt);

    // The cursor let go at 300 of 450 px: the analysis re-runs to block 42.
    runLog.cursor = 300;
    runLog.pending = replayCursorPressAction;
    frame();
    EXPECT_EQ(replayRun.progress, replayFreeze);
    runLog.pending = replayCursorReleaseAction;
    frame();
    EXPECT_EQ(recordingBlockIndex, 42);
    EXPECT_EQ(tallies(), live);
    for (int32_t b = 0; b <= 42; ++b) {
        if (lessonNotes[b * 46 < 1000 ? 0 : b * 46 < 1500 ? 1 : 2].letter != 'r') {
            EXPECT_EQ(recheckPitchRating[b], liveRatings[b]) << b;
        }
    }
    int cursorFrames = 0;
    for (const ReplayFrame &f : runLog.frames) cursorFrames += f.kind == ReplayFrameKind::cursorRun;
    EXPECT_EQ(cursorFrames, 43);
    EXPECT_EQ(analysisTimeMs, replayBlockTimeMs(43));
    EXPECT_EQ(nextMelodyNote, 3); // notes 0..2 reached
    EXPECT_EQ(nextBeatRecord, 4); // beats at 0, 500, 1000, 1500 ms

    // Back to the middle, then resume there.
    runLog.cursor = 150;
    runLog.pending = replayCursorReleaseAction;
    frame();
    EXPECT_EQ(recordingBlockIndex, 21);
    runLog.pending = replayPauseAction; // reads "Resume" now
    frame();
    EXPECT_EQ(replayRun.progress, replayResume);
    frame();
    EXPECT_EQ(replayRun.progress, replayPlaying);
    EXPECT_EQ(replayRun.resumeSampleOffset, 21 * 2048);
    EXPECT_EQ(audioClockMs, 975) << "the clock resumes at block 21's time, round(46.44 x 21)";
    frame();
    EXPECT_EQ(runLog.plays.back(), 21 * 2048);
    EXPECT_TRUE(runLog.capturing);
    frame();
    EXPECT_EQ(recordingBlockIndex, 22);
    EXPECT_EQ(analysisTimeMs, replayBlockTimeMs(22));

    // The cursor at the very end and resumed: the replay ends normally.
    runLog.pending = replayCursorPressAction; // pressing it while playing pauses
    frame();
    EXPECT_EQ(replayRun.progress, replayFreeze);
    runLog.cursor = 450;
    runLog.pending = replayCursorReleaseAction;
    frame();
    EXPECT_EQ(recordingBlockIndex, 63);
    runLog.pending = replayPauseAction;
    for (int i = 0; i < 4 && currentScreen == replayScreenId; ++i) frame();
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
}

TEST_F(ReplayRunTest, QuitWhilePlayingAndWhileFrozen)
{
    ASSERT_TRUE(runUntil(replayPlaying));
    ASSERT_TRUE(playUntilBlock(5));
    runLog.pending = replayQuitAction;
    frame();
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
    EXPECT_EQ(replayRun.progress, replayPreparation);
    EXPECT_FALSE(runLog.capturing);

    reset();
    ASSERT_TRUE(runUntil(replayPlaying));
    ASSERT_TRUE(playUntilBlock(5));
    runLog.pending = replayPauseAction;
    frame();
    runLog.pending = replayQuitAction;
    frame();
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
}

// The replay clears the head of the recording for its signal trace only:
// leaving it, at the end or by Quit, the recording is the sung one again, and
// an export straight after (no reload of the file between) holds the answer.
TEST_F(ReplayRunTest, AfterAReplayTheRecordingAndItsExportHoldTheSungAnswer)
{
    const std::vector<int16_t> sung(recordingBuffer, recordingBuffer + recordedSampleCount);
    ASSERT_GT(sung.size(), 4096u);
    ASSERT_NE(std::count(sung.begin() + 2048, sung.begin() + 4096, int16_t{0}), 2048) << "the head holds singing";
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit while playing" : "played to the end");
        reset();
        ASSERT_TRUE(runUntil(replayPlaying));
        ASSERT_TRUE(playUntilBlock(5));
        if (quit) runLog.pending = replayQuitAction;
        for (int i = 0; i < 200 && currentScreen == replayScreenId; ++i) frame();
        ASSERT_EQ(currentScreen, replayOptionsScreenId);
        EXPECT_TRUE(std::equal(sung.begin(), sung.end(), recordingBuffer));

        const std::string wave = dir + "/answer.wav";
        std::string error;
        ASSERT_EQ(exportRecordingAsWave(wave, error), ExportResult::exported) << error;
        std::ifstream in(wave, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(bytes.size(), waveHeaderSize + 2 * sung.size());
        std::vector<int16_t> exported(sung.size());
        std::memcpy(exported.data(), bytes.data() + waveHeaderSize, 2 * sung.size());
        EXPECT_EQ(exported, sung);
    }
}

// The replay schedules its clicks, notes and chords on the capture clock;
// left at its end, by Quit or frozen, it leaves no schedule behind. The next
// recording (an exercise or a sung check: event-sync mode, offset 0) then
// gets a tick as soon as its block is in, not the longest delay of 464 ms
// that a track's "no more events" time would give every tick.
TEST_F(ReplayRunTest, LeavingTheReplayLeavesTheCaptureClockUnscheduled)
{
    enum class Way { end, quit, quitFrozen };
    for (const Way way : {Way::end, Way::quit, Way::quitFrozen}) {
        SCOPED_TRACE(static_cast<int>(way));
        reset();
        ASSERT_TRUE(runUntil(replayPlaying));
        ASSERT_TRUE(playUntilBlock(5));
        if (way == Way::quitFrozen) {
            runLog.pending = replayPauseAction;
            frame();
            ASSERT_EQ(replayRun.progress, replayFreeze);
        }
        if (way != Way::end) runLog.pending = replayQuitAction;
        for (int i = 0; i < 200 && currentScreen == replayScreenId; ++i) frame();
        ASSERT_EQ(currentScreen, replayOptionsScreenId);
        EXPECT_EQ(nextSoundEventMs[0], 0);
        EXPECT_EQ(nextSoundEventMs[1], 0);
        EXPECT_EQ(nextSoundEventMs[2], 0);

        // A recording starts as the exercise and the check start theirs.
        static int32_t clock;
        clock = 50000;
        const TimerHooks timer = {[] { return clock; }, [] { return 0; }, [] { clock += 3; }, [] { return true; }};
        captureRunning = 1;
        eventSyncMode = 1;
        eventSyncOffset = 0;
        audioClockMs = 0;
        lastTickEnd = clock;
        for (int t = 0; t < 6; ++t) EXPECT_LE(runTimerTick(timer), 48) << "tick " << t;
        captureRunning = 0;
        eventSyncMode = 0;
    }
}

TEST_F(ReplayRunTest, CountOffLengthsAndWhatActsDuringIt)
{
    struct Case {
        int32_t pickup;
        int32_t ticks; // a bar of 4/4 at 500 ms, or the pickup of 16 sixty-fourths
        int32_t clicks; // one a beat
    };
    for (const Case c : {Case{0, 43, 4}, Case{16, 11, 1}}) {
        reset();
        setReplayOptions(1);
        pickupLength = c.pickup;
        ASSERT_TRUE(runUntil(replayPrepareBarCountOff));
        frame(100);
        EXPECT_EQ(replayRun.progress, replayPrepareBarCountOff); // the 200 ms settle
        EXPECT_EQ(runLog.frames.back().kind, ReplayFrameKind::sheet);
        frame(150);
        ASSERT_EQ(replayRun.progress, replayBarCountOff);
        EXPECT_EQ(replayRun.countOffLength, c.ticks - 1);
        int ticks = 0;
        while (replayRun.progress == replayBarCountOff && ticks < 100) {
            if (ticks == 3) runLog.pending = replayPauseAction; // ignored in the count-off
            frame();
            ++ticks;
            // The timer wakes early for the count's next step.
            if (replayRun.progress == replayBarCountOff && nextSoundEventMs[0] <= audioClockMs + 46) {
                audioClockMs = nextSoundEventMs[0];
                shortenedTick = 1;
                runReplayFrame();
                shortenedTick = 0;
            }
        }
        EXPECT_EQ(ticks, c.ticks) << c.pickup;
        EXPECT_EQ(replayRun.progress, replayPlaying);
        EXPECT_EQ(replayRun.playing, 1);
        EXPECT_EQ(samplesConsumed, 0); // the play state as before the count-off
        EXPECT_EQ(recordingBlockIndex, 0);
        EXPECT_TRUE(eventSyncMode);
        EXPECT_EQ(runLog.sounds.front().id, soundCountClick);
        int clicks = 0;
        for (const Sound &s : runLog.sounds) clicks += s.source == clickSource && s.id == soundCountClick;
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_EQ(countInBeat, c.clicks);
        frame();
        EXPECT_EQ(runLog.plays, std::vector<int32_t>{0});
        EXPECT_FALSE(eventSyncMode);
    }

    // Quit acts in the count-off; the "withFirstNote" mode plays the lesson's first note.
    reset();
    setReplayOptions(2);
    ASSERT_TRUE(runUntil(replayPrepareBarCountOff));
    frame(250);
    frame();
    ASSERT_EQ(replayRun.countOffTick, 0);
    ASSERT_GE(runLog.sounds.size(), 2u);
    EXPECT_EQ(runLog.sounds[1].source, melodySource);
    EXPECT_EQ(runLog.sounds[1].id, 22); // A4 on the flute
    frame();
    runLog.pending = replayQuitAction;
    frame();
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
}

TEST_F(ReplayRunTest, ARecordingWithoutAWholeBlockEndsAfterItsFirstBlock)
{
    saveSungRecording(60);
    ASSERT_EQ(replayBlockCount, 0);
    ASSERT_TRUE(runUntil(replayPlaying));
    frame(); // start
    frame(); // block 0
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
    EXPECT_EQ(recordingBlockIndex, 0);
}

// The score view reads the note being judged from currentNoteRow: every frame
// drawn from the count-off's sheet to the first played block shows the row
// the playing starts at, not the row the preparation's analysis ended on.
TEST_F(ReplayRunTest, FramesBeforeThePlayingShowTheFirstNoteAsTheOneJudged)
{
    static std::vector<int32_t> rowsDrawn;
    rowsDrawn.clear();
    ReplayHooks withRows = hooks;
    withRows.draw = [](const ReplayFrame &f) {
        runLog.frames.push_back(f);
        if (f.kind != ReplayFrameKind::cursorRun) rowsDrawn.push_back(currentNoteRow);
    };
    setReplayOptions(1);
    setReplayHooks(withRows);
    frame(); // preparation: the whole recording analysed
    ASSERT_GT(currentNoteRow, 0); // where the analysis ended
    ASSERT_TRUE(runUntil(replayPlaying, 200));
    ASSERT_FALSE(rowsDrawn.empty());
    for (const int32_t row : rowsDrawn) EXPECT_EQ(row, 0);
    EXPECT_EQ(currentNoteRow, 0);
}
