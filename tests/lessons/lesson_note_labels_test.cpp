#include "lessons/lesson_note_labels.h"

#include <gtest/gtest.h>

#include "common/abc_test_util.h"
#include "base/rounding.h"
#include "lessons/lesson_state.h"
#include "music/chords.h"
#include "music/notes.h"
#include "music/tune_state.h"
#include "lessons/run_tallies.h"

namespace {

TimedNote fromRecord(const AbcNoteRecord &r)
{
    TimedNote n;
    n.startUnits = r.start;
    n.firstBeat = r.firstBeat;
    n.letter = r.letter;
    n.countChar = r.countChar;
    n.lengthUnits = r.length;
    n.shownStaff = r.writtenStaff;
    n.soundingStaff = r.soundingStaff;
    n.noteIndex = r.note;
    n.ledgerCount = r.ledgerCount;
    n.ledgerFirst = r.firstLedger;
    n.lyric = r.lyric;
    n.chordText = r.chordText;
    n.chordId = r.chordId;
    n.accidental = r.accidental;
    n.tieRole = r.tieRole;
    n.tupletCount = r.tupletCount;
    n.tupletRole = r.tupletRole;
    return n;
}

// Loads a melody (and optionally chords) into the lesson arrays the way the
// lesson loader does, without its exercise shaping.
void loadLesson(const std::string &melody, const std::string &chords = "")
{
    TestTune t = readTune(melody);
    tuneKeyIndex = t.key < 0 ? 0 : t.key;
    tuneIsMinor = t.minor < 0 ? 0 : t.minor;
    untransposedKeyIndex = tuneKeyIndex;
    lessonNoteCount = t.count;
    msPerBeat = 60000.0 / t.tempo;
    for (int i = 0; i <= t.count; ++i) lessonNotes[i] = fromRecord(t.rec[i]);
    beatRecordCount = t.lastBeat;
    for (int k = 0; k < t.lastBeat; ++k) beatRecords[k] = beatRecordsBackup[k] = t.beats[k];
    lessonChordCount = 0;
    lessonChords[0] = TimedNote{};
    if (!chords.empty()) {
        TestTune c = readTune(chords);
        lessonChordCount = c.count;
        for (int i = 0; i <= c.count; ++i) lessonChords[i] = fromRecord(c.rec[i]);
    }
    for (int i = 0; i <= lessonNoteCount; ++i) {
        setNoteToleranceBand(i);
        untransposedLessonNotes[i] = lessonNotes[i];
    }
    for (int i = 0; i <= lessonChordCount; ++i) untransposedLessonChords[i] = lessonChords[i];
    transposition = 0;
    flatSpelling = isFlatKey(tuneKeyIndex) || (tuneKeyIndex == 0 && tuneIsMinor == 1);
}

} // namespace

TEST(StaffSlot, SpellingAndLedgerLines)
{
    flatSpelling = 0;
    setNoteStaffSlot(0, 185);
    EXPECT_EQ(lessonNotes[0].shownStaff, 180);
    EXPECT_EQ(lessonNotes[0].accidental, '^');
    EXPECT_EQ(lessonNotes[0].ledgerCount, 1);
    EXPECT_EQ(lessonNotes[0].ledgerFirst, 160);
    flatSpelling = 1;
    setNoteStaffSlot(0, 185);
    EXPECT_EQ(lessonNotes[0].shownStaff, 190);
    EXPECT_EQ(lessonNotes[0].accidental, '_');
    EXPECT_EQ(lessonNotes[0].ledgerCount, 0);
}

TEST(Labels, SolfegeDegreesAndHalfSteps)
{
    noteLabelMode = 3;
    tuneKeyIndex = 2;
    tuneIsMinor = 0;
    EXPECT_EQ(noteLabel(true, 28, 0), "^1");
    tuneKeyIndex = 0;
    tuneIsMinor = 1;
    EXPECT_EQ(noteLabel(false, 36, 0), "^1");
    EXPECT_EQ(noteLabel(true, 39, 0), "^b3");
    EXPECT_EQ(noteLabel(false, 39, 0), "^#2");
    noteLabelMode = 4;
    EXPECT_EQ(noteLabel(true, 39, 0), "(Me)");
    // Degrees exist for every note in every key, Cb major included.
    noteLabelMode = 3;
    for (int key = 0; key < keyCount; ++key)
        for (int minor = 0; minor < 2; ++minor)
            for (int n = 0; n <= 74; ++n) {
                tuneKeyIndex = key;
                tuneIsMinor = minor;
                EXPECT_EQ(noteLabel(false, n, 0).substr(0, 1), "^");
            }

    noteLabelMode = 1;
    tuneKeyIndex = 2;
    EXPECT_EQ(noteLabel(false, 28, 0), "Db4");
    noteLabelMode = 0;
    EXPECT_EQ(noteLabel(false, 28, 0), "error!");

    loadLesson("L:1/4\nz C z E z C\n");
    noteLabelMode = 5;
    const char *expected[] = {"+0", "+0", "+0", "+4", "+0", "-4"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(noteLabel(false, lessonNotes[i].noteIndex, i), expected[i]) << i;
    noteLabelMode = 7;
    lessonNotes[3].label = "kept";
    EXPECT_EQ(noteLabel(false, 31, 3), "kept");
    noteLabelMode = 2;
    refreshNoteLabels();
    EXPECT_EQ(lessonNotes[1].label, "Do");
    noteLabelMode = 0;
}

TEST(Bands, CentsAroundTheNoteAndTiesToTheNext)
{
    pitchBandCents = 50;
    loadLesson("L:1/4\nA,,, C,, D,, F E b' c''\n");
    // A1 (0) and notes above B6 keep their bands; C2 gets one.
    EXPECT_EQ(lessonNotes[0].upperHz, 0.0);
    EXPECT_EQ(lessonNotes[6].noteIndex, 63);
    EXPECT_EQ(lessonNotes[6].upperHz, 0.0);
    EXPECT_NEAR(lessonNotes[2].upperHz, 73.4162 * std::pow(2.0, 50.0 / 1200), 1e-9);
    EXPECT_NEAR(lessonNotes[2].lowerHz, 73.4162 / std::pow(2.0, 50.0 / 1200), 1e-9);
    EXPECT_GT(lessonNotes[5].upperHz, 0.0);
    // A note starting or inside a slur: the band reaches the next note
    // upward or downward, the other side stays. A tie alone or a slur's
    // last note changes nothing.
    lessonNotes[1].slurRole = 1; // C2 -> D2
    lessonNotes[3].slurRole = 2; // F4 -> E4
    lessonNotes[2].tieRole = 1;  // D2 -> F4: tie role only
    lessonNotes[4].slurRole = 3; // E4 -> b': the slur ends
    const double dUpper = lessonNotes[2].upperHz, eUpper = lessonNotes[4].upperHz;
    const double cLower = lessonNotes[1].lowerHz, fUpper = lessonNotes[3].upperHz;
    for (int i = 0; i <= lessonNoteCount; ++i) extendBandToNextNote(i);
    EXPECT_EQ(lessonNotes[1].upperHz, lessonNotes[2].upperHz);
    EXPECT_EQ(lessonNotes[1].lowerHz, cLower);
    EXPECT_EQ(lessonNotes[3].lowerHz, lessonNotes[4].lowerHz);
    EXPECT_EQ(lessonNotes[3].upperHz, fUpper);
    EXPECT_EQ(lessonNotes[2].upperHz, dUpper);
    EXPECT_EQ(lessonNotes[4].upperHz, eUpper);
}

TEST(Transposition, NotesChordsAndSpelling)
{
    exerciseType = 0;
    noteLabelMode = 2;
    loadLesson("K:C\nL:1/4\nC z E\n", "L:1/4\n\"Bb7\"z \"C\"z \"Db\"z z\n");
    transposition = 2;
    applyTransposition();
    EXPECT_EQ(lessonNotes[0].noteIndex, 29);
    EXPECT_EQ(lessonNotes[0].lyric, "Re");
    EXPECT_EQ(lessonNotes[1].letter, 'r');
    EXPECT_EQ(lessonNotes[1].noteIndex, untransposedLessonNotes[1].noteIndex);
    EXPECT_EQ(lessonNotes[2].noteIndex, 33);
    EXPECT_EQ(lessonNotes[2].accidental, '^');
    EXPECT_EQ(lessonNotes[2].shownStaff, 210);
    EXPECT_EQ(lessonChords[0].chordId, 162);
    EXPECT_EQ(lessonChords[0].chordText, "C7");
    EXPECT_EQ(lessonChords[3].chordId, 0);
    EXPECT_EQ(tuneKeyIndex, 0);

    transposition = -1;
    applyTransposition();
    EXPECT_EQ(flatSpelling, 1); // key 0, downward
    EXPECT_EQ(lessonChords[1].chordId, 215);
    EXPECT_EQ(lessonChords[1].chordText, "B");
    EXPECT_EQ(lessonNotes[0].noteIndex, 26);

    for (int t : {12, -12}) {
        transposition = t;
        applyTransposition();
        EXPECT_EQ(lessonChords[0].chordId, 212) << t;
        EXPECT_EQ(lessonNotes[0].noteIndex, 27 + t) << t;
    }
    // Back to 0: the original key returns; chords are renamed by the current
    // spelling (after a downward step key 0 reads as flat).
    transposition = 0;
    applyTransposition();
    EXPECT_EQ(lessonNotes[0].noteIndex, 27);
    EXPECT_EQ(lessonChords[2].chordId, 165);
    noteLabelMode = 0;

    // Back at 0 the notes are shown as the tune writes them: F under the key
    // D without a sign, a written Bb as a flat (not re-spelled as A#).
    loadLesson("K:D\nL:1/4\nF _B\n");
    for (int t : {2, 0}) {
        transposition = t;
        applyTransposition();
    }
    EXPECT_EQ(tuneKeyIndex, 1);
    EXPECT_EQ(lessonNotes[0].shownStaff, 210);
    EXPECT_EQ(lessonNotes[0].accidental, ' ');
    EXPECT_EQ(lessonNotes[1].shownStaff, 240);
    EXPECT_EQ(lessonNotes[1].accidental, '_');
    EXPECT_GT(lessonNotes[1].upperHz, noteFrequencies[37]);
}

TEST(Timing, TempoTupletsChordsAndGrid)
{
    loadLesson("M:4/4\nL:1/8\nQ:1/4=120\nC2 (3CDE (5CDEFG z2\n", "M:4/4\nL:1/4\n\"C\"z \"G\"z2\n");
    transposition = 2;
    applyTransposition();
    msPerBeat = 500;
    computeNoteTimesMs();
    EXPECT_EQ(lessonNotes[0].durationMs, 500);
    EXPECT_EQ(lessonNotes[1].durationMs, 167);
    EXPECT_EQ(lessonNotes[2].durationMs, 167);
    EXPECT_EQ(lessonNotes[3].durationMs, 166);
    EXPECT_EQ(lessonNotes[4].startMs, 1000);
    // Five eighths in the time of two: 100 ms each, the last one included.
    int quintuplet = 0;
    for (int i = 4; i <= 8; ++i) quintuplet += lessonNotes[i].durationMs;
    EXPECT_EQ(lessonNotes[8].durationMs, 100);
    EXPECT_EQ(quintuplet, 500);
    EXPECT_EQ(lessonNotes[9].startMs, 1500);
    EXPECT_EQ(lessonNotes[lessonNoteCount].startMs, 2000);
    // Chords: the end record starts at the end of the melody, the last chord
    // lasts to the end, and the transposition stays.
    EXPECT_EQ(lessonChords[2].startMs, 2000);
    EXPECT_EQ(lessonChords[1].durationMs, 999999);
    EXPECT_EQ(lessonChords[0].chordText, "D");
    EXPECT_EQ(beatRecords[0].msToNext, 125);

    msPerBeat = 1000; // 60 per minute
    computeNoteTimesMs();
    EXPECT_EQ(lessonNotes[0].durationMs, 1000);
    EXPECT_EQ(lessonNotes[1].durationMs, 333);
    EXPECT_EQ(lessonNotes[3].durationMs, 334);
    transposition = 0;

    // Whole notes: the grid holds far more than four points per note, and
    // every one of them is re-timed.
    loadLesson("L:1/1\nC C\n");
    ASSERT_EQ(beatRecordCount, 36);
    msPerBeat = 400;
    computeNoteTimesMs();
    EXPECT_EQ(beatRecords[35].msTime, 3500);
    EXPECT_EQ(beatRecords[34].msToNext, 100);
}

TEST(RoundTrip, SafeSubsetTunesReadBackAsWritten)
{
    // A tune in the subset our lesson files use: headers, notes, rests,
    // single accidentals, lengths, bars, a triplet, a tie, chord symbols on
    // rests.
    loadLesson("T:Round trip\r\nM:3/4\r\nL:1/8\r\nQ:1/4=90\r\nK:G\r\n"
               "\"G\"z2 B2 d2 | (3efg ^c2 d2- | d4 _B2 |]\r\n");
    struct Expect { char letter; int note; int length; double start; int ms; int duration; };
    const Expect expected[] = {
        {'r', -99, 16, 0, 0, 667},    {'B', 38, 16, 16, 667, 667},   {'d', 41, 16, 32, 1333, 667},
        {'e', 43, 8, 48, 2000, 222},  {'f', 45, 8, 48 + 16.0 / 3, 2222, 222},
        {'g', 46, 8, 48 + 32.0 / 3, 2444, 223}, {'c', 40, 16, 64, 2667, 667},
        {'d', 41, 16, 80, 3333, 667}, {'d', 41, 32, 96, 4000, 1333}, {'B', 37, 16, 128, 5333, 667},
    };
    msPerBeat = 60000.0 / 90;
    computeNoteTimesMs();
    ASSERT_EQ(lessonNoteCount, 10);
    for (int i = 0; i < 10; ++i) {
        const Expect &e = expected[i];
        EXPECT_EQ(lessonNotes[i].letter, e.letter) << i;
        if (e.note >= 0) { EXPECT_EQ(lessonNotes[i].noteIndex, e.note) << i; }
        EXPECT_EQ(lessonNotes[i].lengthUnits, e.length) << i;
        EXPECT_DOUBLE_EQ(lessonNotes[i].startUnits, e.start) << i;
        EXPECT_EQ(lessonNotes[i].startMs, e.ms) << i;
        EXPECT_EQ(lessonNotes[i].durationMs, e.duration) << i;
    }
    EXPECT_EQ(lessonNotes[0].chordText, "G");
    EXPECT_EQ(lessonNotes[0].chordId, 195);
    EXPECT_EQ(lessonNotes[7].tieRole, 1);
    EXPECT_EQ(lessonNotes[8].tieRole, 3);
    EXPECT_EQ(lessonNotes[10].startMs, 6000);
    EXPECT_EQ(tuneKeyIndex, 6);
}
