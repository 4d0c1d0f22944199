// The replay's sound tracks: which sound each instrument, click mode and
// loudness mark gives, tied notes, and the tracks' ends.
#include <gtest/gtest.h>

#include "replay/replay_fakes.h"
#include "sound/sound_bank.h"

using namespace replay_fakes;

namespace {

struct ReplaySounds : ::testing::Test {
    void SetUp() override
    {
        runLog = Log{};
        setReplaySoundHooks(soundHooks);
        loadSmallLesson();
        setReplayOptions(0);
        clickSoundId = melodySoundId = chordTrackSoundId = 0;
        waitShiftMs = 0;
        for (int32_t i = 0; i <= lessonNoteCount; ++i) lessonNotes[i].reachedMs = -1;
    }
    void TearDown() override { setReplaySoundHooks(realReplaySoundHooks()); }
};

} // namespace

TEST(ReplayVoices, RangesOfTheFourInstruments)
{
    struct Case {
        int32_t voice, note, id;
    };
    for (const Case c : {Case{1, 2, 0}, Case{1, 3, 1}, Case{1, 63, 61}, Case{1, 64, 0}, Case{2, 3, 62}, Case{2, 51, 110},
                         Case{2, 52, 0}, Case{3, 3, 111}, Case{3, 51, 159}, Case{4, 3, 1}, Case{4, 51, 49},
                         Case{4, 52, 0}, Case{0, 24, 0}})
        EXPECT_EQ(voiceSoundId(c.voice, c.note), c.id) << c.voice << " " << c.note;
}

TEST_F(ReplaySounds, MarksGainsAndNotesOutsideTheRange)
{
    playVoiceNote(1, 24, 'L');
    playVoiceNote(1, 24, 'T');
    playVoiceNote(1, 24, ' ');
    playVoiceNote(1, 24, '!'); // any other mark: nothing
    ASSERT_EQ(runLog.sounds.size(), 3u);
    EXPECT_EQ(runLog.sounds[0].gain, SoundGain::full);
    EXPECT_EQ(runLog.sounds[1].gain, SoundGain::quarter);
    EXPECT_EQ(runLog.sounds[2].gain, SoundGain::half);
    // Out of the female voice's range: the id kept from before sounds again.
    playVoiceNote(4, 60, ' ');
    EXPECT_EQ(runLog.sounds.back().id, 22);
    melodySoundId = 0;
    playVoiceNote(4, 60, ' ');
    EXPECT_EQ(runLog.sounds.size(), 4u);
}

TEST_F(ReplaySounds, ATiedNoteKeepsSoundingUnlessItsMarkChanges)
{
    lessonNotes[1] = lessonNotes[0];
    lessonNotes[1].startMs = 1000;
    lessonNotes[1].tieRole = 3;
    int32_t i = 0;
    tickMelodyVoice(0, i);
    tickMelodyVoice(1000, i);
    EXPECT_EQ(runLog.sounds.size(), 1u); // the tie goes on sounding
    EXPECT_EQ(i, 2);
    EXPECT_EQ(nextSoundEventMs[1], 2000);

    runLog.sounds.clear();
    for (int32_t n = 0; n <= lessonNoteCount; ++n) lessonNotes[n].reachedMs = -1;
    lessonNotes[1].loudness = 'L';
    i = 0;
    tickMelodyVoice(0, i);
    tickMelodyVoice(1000, i);
    ASSERT_EQ(runLog.sounds.size(), 2u);
    EXPECT_EQ(runLog.sounds[1].gain, SoundGain::full);
}

TEST_F(ReplaySounds, ClickModesAndTheEndOfEachTrack)
{
    beatRecords[1].kind = 2; // an "and"
    beatRecords[2].kind = 3; // an 'e'
    beatRecords[4].kind = 5; // a triplet
    struct Case {
        int32_t mode;
        std::vector<int32_t> ids;
    };
    // Beats at records 0, 3 and 5 (beat numbers 0, 3, 1); sub-beats in the
    // rhythm modes only where a note starts (none here).
    for (const Case &c : {Case{0, {}}, Case{1, {220, 220, 220}}, Case{2, {220, 222, 220, 224, 220}},
                          Case{3, {220, 222, 221, 220, 224, 220}}, Case{4, {220, 220, 224, 220}},
                          Case{5, {226, 229, 246, 227}}}) {
        runLog.sounds.clear();
        clickMode = c.mode;
        for (int32_t r = 0; r < beatRecordCount; ++r) beatRecords[r].reachedMark = -1;
        int32_t i = 0;
        for (int32_t t = 0; t <= 3000; t += 50) tickBeatClicks(t, i);
        EXPECT_EQ(i, beatRecordCount);
        EXPECT_EQ(nextSoundEventMs[0], noSoundEventMs); // the track stops at its count
        std::vector<int32_t> ids;
        for (const Sound &s : runLog.sounds) ids.push_back(s.id);
        EXPECT_EQ(ids, c.ids) << "mode " << c.mode;
    }
}
