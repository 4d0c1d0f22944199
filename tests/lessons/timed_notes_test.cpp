#include <cmath>

#include "base/rounding.h"
#include "music/notes.h"

#include "lessons/lesson_fixture.h"
#include "music/chords.h"

namespace {

struct TimedNotes : ::testing::Test {
    void SetUp() override
    {
        currentUserTessitura = 3;
        noteLabelMode = 2; // solfege labels show the spelling
        exerciseType = 0;
        flatSpelling = 0;
        pitchBandCents = 50;
    }
};

} // namespace

TEST_F(TimedNotes, DurationsAndStartsAtSeveralTempi)
{
    struct Case { int32_t tempo, quarterMs, halfStartMs; };
    const Case cases[] = {{60, 1000, 1000}, {90, 667, 667}, {120, 500, 500}, {35, 1714, 1714}, {100, 600, 600}};
    for (const Case &c : cases) {
        loadMelody("M:4/4\nL:1/4\nQ:" + std::to_string(c.tempo) + "\nK:C\nC D2 E |]\n");
        ASSERT_EQ(lessonNoteCount, 3);
        EXPECT_DOUBLE_EQ(msPerBeat, 60000.0 / c.tempo) << c.tempo;
        EXPECT_EQ(lessonNotes[0].durationMs, c.quarterMs) << c.tempo;
        EXPECT_EQ(lessonNotes[1].startMs, c.halfStartMs) << c.tempo;
        EXPECT_EQ(lessonNotes[1].durationMs, roundToInt32(2 * 60000.0 / c.tempo)) << c.tempo;
        // The closing record is timed too: it starts where the melody ends.
        EXPECT_EQ(lessonNotes[3].startUnits, 64.0);
        EXPECT_EQ(lessonNotes[3].startMs, roundToInt32(4 * 60000.0 / c.tempo)) << c.tempo;
        EXPECT_EQ(lessonNotes[0].reachedMs, -1);
    }
}

TEST_F(TimedNotes, TripletsSumExactlyInMelodyAndChords)
{
    loadMelody("M:4/4\nL:1/8\nQ:1/4=60\nK:C\n(3CDE (3FGA B2 |]\n");
    ASSERT_EQ(lessonNoteCount, 7);
    EXPECT_EQ(lessonNotes[0].durationMs, 333);
    EXPECT_EQ(lessonNotes[1].durationMs, 333);
    EXPECT_EQ(lessonNotes[2].durationMs, 334);
    EXPECT_EQ(lessonNotes[0].durationMs + lessonNotes[1].durationMs + lessonNotes[2].durationMs, 1000);
    EXPECT_EQ(lessonNotes[6].startMs, 2000);

    // At 70 beats per minute the shares do not divide evenly; chord starts in
    // ms always follow the previous chord's end, so they meet the melody's.
    loadMelody("M:4/4\nL:1/8\nQ:1/4=70\nK:C\n(3CDE (3FGA B2 |]\n");
    loadChords("L:1/8\n(3\"C\"z\"F\"z\"G\"z (3\"Am\"z\"Dm\"z\"G\"z \"C\"z2 |]\n");
    ASSERT_EQ(lessonChordCount, 7);
    for (int32_t i = 1; i < 7; ++i)
        EXPECT_EQ(lessonChords[i].startMs, lessonChords[i - 1].startMs + lessonChords[i - 1].durationMs) << i;
    EXPECT_EQ(lessonChords[3].startMs, roundToInt32(60000.0 / 70));
    EXPECT_EQ(lessonChords[6].startMs, lessonNotes[6].startMs);
    EXPECT_DOUBLE_EQ(lessonChords[3].startUnits, 16.0);
    EXPECT_DOUBLE_EQ(lessonChords[6].startUnits, 32.0);
    EXPECT_EQ(lessonChords[0].chordId, chordIdFromSymbol("C"));
}

TEST_F(TimedNotes, ChordTrackEndsWithTheMelody)
{
    loadMelody("M:4/4\nL:1/4\nQ:60\nK:C\nC D E F | G4 |]\n");
    loadChords("L:1/4\n\"C\"z2 \"G7\"z2 | \"C\"z4 |]\n");
    ASSERT_EQ(lessonChordCount, 3);
    EXPECT_EQ(lessonChords[1].startMs, 2000);
    EXPECT_EQ(lessonChords[2].startMs, 4000);
    EXPECT_EQ(lessonChords[2].durationMs, 999999); // the last chord lasts to the end
    EXPECT_EQ(lessonChords[3].startUnits, lessonNotes[lessonNoteCount].startUnits);
    EXPECT_EQ(lessonChords[3].startMs, 8000);
    EXPECT_EQ(lessonChords[1].chordText, "G7");
}

TEST_F(TimedNotes, CountingGridInMilliseconds)
{
    loadMelody("M:4/4\nL:1/4\nQ:90\nK:C\nC D E F |]\n");
    loadChords("L:1/4\n\"C\"z4 |]\n"); // the chord track completes the grid
    ASSERT_GT(beatRecordCount, 4);
    for (int32_t k = 0; k < beatRecordCount; ++k) {
        EXPECT_EQ(beatRecords[k].msTime, roundToInt32(msPerBeat * beatRecords[k].time / 16)) << k;
        EXPECT_EQ(beatRecords[k].reachedMark, -1);
        if (k >= 1) {
            EXPECT_EQ(beatRecords[k - 1].msToNext, beatRecords[k].msTime - beatRecords[k - 1].msTime);
        }
    }
    EXPECT_EQ(beatRecords[4].msTime, 667); // the second beat at 90 beats per minute
    EXPECT_EQ(beatRecords[abcMaxBeatIndex].reachedMark, -1);
}

TEST_F(TimedNotes, NamesFollowTheNotesOwnSpelling)
{
    // C sharp written as a sharp, D flat written as a flat: the same pitch.
    loadMelody("M:4/4\nL:1/4\nQ:60\nK:C\n^C _D | C z |]\n");
    loadChords("L:1/4\n\"C\"z \"C\"z \"C\"z \"C\"z |]\n");
    ASSERT_EQ(lessonNotes[0].noteIndex, lessonNotes[1].noteIndex);
    EXPECT_EQ(lessonNotes[0].label, "Di");
    EXPECT_EQ(lessonNotes[1].label, "Ra");
    setChordRootFromNote(0);
    setChordRootFromNote(1);
    setChordRootFromNote(2);
    EXPECT_EQ(lessonChords[0].chordText, "C#");
    EXPECT_EQ(lessonChords[1].chordText, "Db");
    EXPECT_EQ(lessonChords[2].chordText, "C");
    EXPECT_EQ(lessonChords[0].chordId, chordIdFromSymbol("C#"));
    EXPECT_EQ(lessonChords[1].chordId, lessonChords[0].chordId); // the same major chord

    // An interval step lands on a black key: spelt by flatSpelling, named alike.
    flatSpelling = 0;
    applyIntervalToNote(1, 2);
    EXPECT_EQ(lessonNotes[1].accidental, '^');
    EXPECT_EQ(lessonNotes[1].lyric, "Ri");
    flatSpelling = 1;
    applyIntervalToNote(1, 2);
    EXPECT_EQ(lessonNotes[1].accidental, '_');
    EXPECT_EQ(lessonNotes[1].lyric, "Me");
    EXPECT_EQ(lessonNotes[1].label, "Me");
}

TEST_F(TimedNotes, IntervalStepsRestsAndLimits)
{
    loadMelody("M:4/4\nL:1/4\nQ:60\nK:C\nC z E F |]\n");
    const int32_t c4 = lessonNotes[0].noteIndex;
    const TimedNote rest = lessonNotes[1];
    applyIntervalToNote(1, 5); // a rest is left as it is
    EXPECT_EQ(lessonNotes[1].noteIndex, rest.noteIndex);
    EXPECT_EQ(lessonNotes[1].letter, 'r');
    applyIntervalToNote(2, -2); // from the rest's own note index
    EXPECT_EQ(lessonNotes[2].noteIndex, rest.noteIndex - 2);
    EXPECT_EQ(lessonNotes[2].stepDown, 1);
    applyIntervalToNote(3, 4);
    EXPECT_EQ(lessonNotes[3].noteIndex, lessonNotes[2].noteIndex + 4);
    EXPECT_EQ(lessonNotes[3].stepDown, 0);
    EXPECT_EQ(lessonNotes[3].soundingStaff, staffValueOfNote(lessonNotes[3].noteIndex));
    EXPECT_NEAR(lessonNotes[3].upperHz / noteFrequencies[lessonNotes[3].noteIndex], std::pow(2.0, 50.0 / 1200), 1e-12);

    lessonNotes[0].noteIndex = 2;
    applyIntervalToNote(1 + 1, 0); // note 2 follows the rest; unchanged reference
    lessonNotes[2].noteIndex = 3;
    applyIntervalToNote(3, -12);
    EXPECT_EQ(lessonNotes[3].noteIndex, 0);
    lessonNotes[2].noteIndex = 70;
    applyIntervalToNote(3, 12);
    EXPECT_EQ(lessonNotes[3].noteIndex, 74);
    EXPECT_EQ(c4, 27);
}

TEST_F(TimedNotes, ScoreViewStartByKey)
{
    struct Case { const char *key; int32_t x; };
    const Case cases[] = {{"C", 150}, {"D", 177}, {"Eb", 191}, {"F#", 231}, {"Cb", 245}};
    for (const Case &c : cases) {
        loadMelody(std::string("M:4/4\nL:1/4\nQ:60\nK:") + c.key + "\nC |]\n");
        EXPECT_EQ(scoreNotesStartX, c.x) << c.key;
        EXPECT_EQ(timeSignatureX, c.x - 60) << c.key;
    }
    EXPECT_EQ(scoreNotesStartXForKey(keyCount), 150) << "any other key index";
}
