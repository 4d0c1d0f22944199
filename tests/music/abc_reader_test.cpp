#include "music/abc_reader.h"

#include <gtest/gtest.h>

#include "common/abc_test_util.h"
#include "base/stops.h"
#include "music/chords.h"
#include "store/users_file.h"

namespace {

std::vector<int> lengths(const TestTune &t)
{
    std::vector<int> v;
    for (int i = 0; i < t.count; ++i) v.push_back(t.rec[i].length);
    return v;
}

template <typename F> std::vector<int> field(const TestTune &t, F f)
{
    std::vector<int> v;
    for (int i = 0; i < t.count; ++i) v.push_back(f(t.rec[i]));
    return v;
}

} // namespace

TEST(AbcLengths, UnitMultipliersDivisorsAndBrokenRhythm)
{
    EXPECT_EQ(lengths(readTune("L:1/4\nC C2 C/ C// C3/2 C>D C<D\n")),
              (std::vector<int>{16, 32, 8, 4, 24, 24, 8, 8, 24}));
    EXPECT_EQ(lengths(readTune("L:1/8\nC\n")), std::vector<int>{8});
    EXPECT_EQ(lengths(readTune("L:1/1\nC C/4\n")), (std::vector<int>{64, 16}));
    // Broken rhythm does not carry over into the next body line.
    EXPECT_EQ(lengths(readTune("L:1/4\nC>\nD\n")), (std::vector<int>{24, 16}));
}

TEST(AbcHeaders, TempoMeterKeyAndTexts)
{
    struct Case { const char *text; int tempo; };
    const Case tempos[] = {{"L:1/4\nQ:1/4=96\nC\n", 96}, {"L:1/4\nQ:3/8=60\nC\n", 30},
                           {"L:1/8\nQ:120\nC\n", 60}, {"L:1/1\nQ:120\nC\n", 480}, {"L:1/1\nQ:2500\nC\n", 10000}};
    for (const Case &c : tempos) EXPECT_EQ(readTune(c.text).tempo, c.tempo) << c.text;

    TestTune t = readTune("M:C\nL:1/4\nC\n");
    EXPECT_EQ(t.num, 4);
    EXPECT_EQ(t.den, 4);
    t = readTune("M:6/8\nL:1/8\nC\n");
    EXPECT_EQ(t.num, 6);
    EXPECT_EQ(t.den, 8);
    t = readTune("L:1/4\nC\n"); // the caller's numerator stays, the denominator is 4
    EXPECT_EQ(t.num, 4);
    EXPECT_EQ(t.den, 4);
    EXPECT_EQ(t.key, -1);

    t = readTune("T: My  Tune \nC:Some One\nS:book 2\nK:F#m\nL:1/4\nC\n");
    EXPECT_EQ(t.title, "My  Tune ");
    EXPECT_EQ(t.composer, "Some One");
    EXPECT_EQ(t.source, "book 2");
    EXPECT_EQ(t.key, 8); // F#m is the relative minor of A
    EXPECT_EQ(t.minor, 1);
    EXPECT_EQ(readTune("K:D#m\nL:1/4\nC\n").key, 14);
    t = readTune("K:Am\nL:1/4\nC\n");
    EXPECT_EQ(t.key, 0);
    EXPECT_EQ(t.minor, 1);
    // A comment after the key is no part of its name.
    t = readTune("K:Bb % two flats\nL:1/4\nB E F\n");
    EXPECT_EQ(t.key, 11);
    EXPECT_EQ(t.rec[0].note, 37); // B flat
}

TEST(AbcPitch, AnAccidentalReplacesTheKeyAndHoldsToTheBarLine)
{
    // Under K:D (F and C sharp): F sounds F#, =F F, ^F F#; the natural then
    // holds for the F of that octave up to the bar line, not for f.
    TestTune t = readTune("K:D\nL:1/4\nF =F F f ^F | F c C, c' C\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.note; }),
              (std::vector<int>{33, 32, 32, 45, 33, 33, 40, 16, 52, 28}));
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.writtenStaff; }),
              (std::vector<int>{210, 210, 210, 280, 210, 210, 250, 110, 320, 180}));
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.accidental; }),
              (std::vector<int>{' ', '=', ' ', ' ', '^', ' ', ' ', ' ', ' ', ' '})) << "marks stay as written";
    // Under K:F (B flat): _B is the key's B flat, not A; ^E sounds F, _C B;
    // ^f under K:D is F#, not G; after the bar line B is the key's again.
    t = readTune("K:F\nL:1/4\n_B ^E _C B | B =B B |\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.note; }),
              (std::vector<int>{37, 32, 26, 37, 37, 38, 38}));
    EXPECT_EQ(readTune("K:D\nL:1/4\n^f\n").rec[0].note, 45);
    // Lesson 42's bar: (3FGA z2 | _B c z2 under K:F, the syllable "fa" on B flat.
    t = readTune("K:F\nL:1/8\n(3FGA z2 | _B c z2 |]\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.note; }),
              (std::vector<int>{32, 34, 36, 36, 37, 39, 39}));
    // Ledger lines of the written note.
    t = readTune("L:1/4\nC c' e' C, C,, E,,\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.ledgerCount * 1000 + r.firstLedger; }),
              (std::vector<int>{1160, 2280, 2280, 24, 2020, 1040}));
}

TEST(AbcRests, TakeThePreviousStaffOrTheTessituraSlot)
{
    TestTune t = readTune("L:1/4\nz C z\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.writtenStaff; }),
              (std::vector<int>{220, 180, 180}));
    EXPECT_EQ(t.rec[0].letter, 'r');
    t = readTune("L:1/4\nC z c' z\n", abcMaxRecordIndex, abcMaxBeatIndex, 2); // medium tessitura
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.writtenStaff; }),
              (std::vector<int>{110, 100, 250, 220}));
    EXPECT_EQ(t.rec[0].note, 15); // C3
}

TEST(AbcBars, KindsOffsetsAndTotals)
{
    TestTune t = readTune("L:1/4\n|:C |::D ||E :|F [|G |]A ]|B ||:c |]:d ::e :f |g\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.barKind; }),
              (std::vector<int>{3, 4, 2, 9, 10, 6, 6, 5, 7, 8, 0, 1}));
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.barOffset; }),
              (std::vector<int>{307, 614, 307, 307, 307, 307, 307, 614, 614, 307, 0, 307}));
    EXPECT_EQ(t.rec[1].barTotal, 921);
    EXPECT_EQ(t.rec[t.count].barTotal, t.rec[t.count - 1].barTotal);
    EXPECT_EQ(t.rec[t.count].barKind, 0);

    // The closing bar line stays on the end record, for the score view to
    // draw; the bar totals, the pickup and the grid are as without it.
    for (const char *close : {"|]", "||", ":|", "|"}) {
        t = readTune(std::string("M:4/4\nL:1/4\nC D E F | G A B c ") + close + "\n");
        const TestTune open = readTune("M:4/4\nL:1/4\nC D E F | G A B c\n");
        EXPECT_NE(t.rec[t.count].barKind, 0) << close;
        EXPECT_EQ(t.rec[t.count].barOffset, 0) << close;
        EXPECT_EQ(t.rec[t.count].barTotal, open.rec[open.count].barTotal) << close;
        EXPECT_EQ(t.pickup, open.pickup) << close;
        EXPECT_EQ(t.lastBeat, open.lastBeat) << close;
        EXPECT_EQ(t.beats[t.rec[t.count].firstBeat].barLine, 0) << close;
    }
    EXPECT_EQ(readTune("L:1/4\nC D |]\n").rec[2].barKind, 6);
    EXPECT_EQ(readTune("L:1/4\nC D |]\n").pickup, 0) << "a closing bar line is no first bar";
}

TEST(AbcTuplets, RolesStartsAndThePieceAfter)
{
    TestTune t = readTune("L:1/8\n(3CDE F (3GAB (3cde f\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.tupletRole; }),
              (std::vector<int>{1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 0}));
    EXPECT_DOUBLE_EQ(t.rec[1].start, 16.0 / 3);
    EXPECT_DOUBLE_EQ(t.rec[2].start, 32.0 / 3);
    EXPECT_DOUBLE_EQ(t.rec[3].start, 16.0);
    EXPECT_DOUBLE_EQ(t.rec[4].start, 24.0);
    EXPECT_DOUBLE_EQ(t.rec[7].start, 40.0); // a tuplet right after a tuplet
    EXPECT_DOUBLE_EQ(t.rec[10].start, 56.0);
    EXPECT_DOUBLE_EQ(t.rec[11].start, 64.0);
    // Five sixteenths in the time of two.
    t = readTune("L:1/16\n(5CDEFG A\n");
    EXPECT_DOUBLE_EQ(t.rec[4].start, 4 * 8.0 / 5);
    EXPECT_DOUBLE_EQ(t.rec[5].start, 8.0);
}

TEST(AbcChordSymbols, TextAndIdOnTheNextItem)
{
    TestTune t = readTune("L:1/4\n\"Am\"z \"Cdim\"z \"Bb7\"C\n");
    EXPECT_EQ(t.rec[0].chordText, "Am");
    EXPECT_EQ(t.rec[0].chordId, chordIdFromSymbol("Am"));
    EXPECT_EQ(t.rec[1].chordText, "Cdim");
    EXPECT_EQ(t.rec[1].chordId, 0);
    EXPECT_EQ(t.rec[2].chordId, 212);
}

TEST(AbcBeams, BlanksAndLongNotesCloseGroups)
{
    TestTune t = readTune("L:1/8\nCDEF G A B2 cd\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.beamRole; }),
              (std::vector<int>{1, 3, 3, 7, 0, 0, 0, 1, 7})); // the end of the file closes cd
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t.rec[i].beamFirst, 0);
        EXPECT_EQ(t.rec[i].beamLast, 3);
        EXPECT_EQ(t.rec[i].beamTop, 3); // F is the highest
    }
    // Sixteenth variants after reading; a lone note before a blank or at the
    // end of the tune is not beamed, whatever the file's line ends.
    for (const char *text : {"L:1/16\nC D2E2F G2AB c\n", "L:1/16\r\nC D2E2F G2AB c\r\n",
                             "L:1/16\nC D2E2F G2AB c"}) {
        t = readTune(text);
        EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.beamRole; }),
                  (std::vector<int>{0, 1, 3, 8, 1, 6, 8, 0}));
        EXPECT_EQ(t.rec[4].beamLast, 6);
    }
    t = readTune("L:1/16\nD2EF G2AB2 ABc2\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.beamRole; }),
              (std::vector<int>{1, 6, 8, 1, 6, 7, 2, 4, 7}));
    t = readTune("L:1/16\nDEF2 G\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.beamRole; }),
              (std::vector<int>{2, 4, 7, 0}));
    // CR LF line ends close a group, LF line ends do not.
    EXPECT_EQ(readTune("L:1/8\r\nCD\r\nEF\r\n").rec[1].beamRole, 7);
    EXPECT_EQ(readTune("L:1/8\nCD\nEF\n").rec[1].beamRole, 3);
}

TEST(AbcSlurs, TiesAndSlurs)
{
    TestTune t = readTune("L:1/4\nC-C C-D (DEF) G-G-G\n");
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.slurRole; }),
              (std::vector<int>{1, 3, 1, 3, 1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.tieRole; }),
              (std::vector<int>{1, 3, 0, 0, 0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(t.rec[4].slurSpans[0].first, 4);
    EXPECT_EQ(t.rec[5].slurSpans[0].last, 6);
    // A tie still pending at the next body line.
    t = readTune("L:1/4\nC-\nC\n");
    EXPECT_EQ(t.rec[1].tieRole, 3);
}

TEST(AbcGrid, QuarterAndTwoEighths)
{
    TestTune t = readTune("M:4/4\nL:1/4\nC D/E/\n");
    EXPECT_EQ(t.lastBeat, 12);
    const char chars[] = "1e+a2e+a3e+a";
    const double times[] = {0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44};
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(t.beats[k].countChar, chars[k]) << k;
        EXPECT_DOUBLE_EQ(t.beats[k].time, times[k]) << k;
    }
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.countChar; }),
              (std::vector<int>{'1', '2', '+'}));
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.firstBeat; }),
              (std::vector<int>{0, 4, 6}));
    EXPECT_EQ(t.beats[4].note, 1);
    EXPECT_EQ(t.beats[4].noteStarts, 1);
    EXPECT_EQ(t.beats[5].noteStarts, 0);
}

TEST(AbcGrid, PickupTupletsTiesAndBars)
{
    TestTune t = readTune("M:3/4\nL:1/8\nC | (3DEF G2- G2 |\n");
    EXPECT_EQ(t.pickup, 40); // one eighth before the first bar of 48
    // The pickup eighth sits 40 sixty-fourths into the bar: the "+" of beat 3.
    EXPECT_EQ(t.rec[0].countChar, '+');
    EXPECT_EQ(t.rec[1].countChar, '1');
    EXPECT_EQ(t.rec[2].countChar, 't');
    EXPECT_EQ(t.rec[3].countChar, 'l');
    EXPECT_EQ(t.rec[4].countChar, '2');
    EXPECT_EQ(t.beats[t.rec[1].firstBeat].barLine, 1);
    EXPECT_EQ(t.beats[t.rec[1].firstBeat].barOffset, 307);
    EXPECT_DOUBLE_EQ(t.beats[t.rec[2].firstBeat].time, 8 + 16.0 / 3);
    EXPECT_DOUBLE_EQ(t.beats[t.rec[3].firstBeat].time, 8 + 32.0 / 3);
    // The tied continuation starts no note.
    EXPECT_EQ(t.beats[t.rec[5].firstBeat].noteStarts, 0);
    EXPECT_EQ(t.rec[5].countChar, 'Z');
    // No bar line at all: no pickup.
    EXPECT_EQ(readTune("M:3/4\nL:1/8\nC\n").pickup, 0);
}

TEST(AbcLyrics, SyllablesHyphensAndSkips)
{
    TestTune t = readTune("L:1/4\nC D E z F G A B\nw:syl-la-ble one * two_ a\\-b\n");
    const char *expected[] = {"syl-", "la-", "ble", "", "one", " ", "two", "_"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(t.rec[i].lyric, expected[i]) << i;
    EXPECT_EQ(t.rec[8].lyric, "");
    t = readTune("L:1/4\nC D E\nw: a\\-b c~d\n");
    EXPECT_EQ(t.rec[0].lyric, "a-b");
    EXPECT_EQ(t.rec[1].lyric, "c d");
    // After a comment line the syllables start at the current end.
    t = readTune("L:1/4\nC D\n% note\nw: x\nE\n");
    EXPECT_EQ(t.rec[0].lyric, "");
    EXPECT_EQ(t.rec[2].lyric, "x");
}

TEST(AbcLines, ContinuationAndLineEnds)
{
    TestTune t = readTune("L:1/8\nCD\\\nEF\n");
    EXPECT_EQ(t.count, 4);
    EXPECT_EQ(t.rec[3].beamRole, 7);
    EXPECT_EQ(t.rec[0].beamLast, 3);
    t = readTune("T:Crlf\r\nL:1/4\r\nC D\\\r\nE\r\n");
    EXPECT_EQ(t.title, "Crlf");
    EXPECT_EQ(lengths(t), (std::vector<int>{16, 16, 16}));
    // No final line end, a line of exactly 1000 characters.
    t = readTune("L:1/4\n" + std::string(999, ' ') + "C");
    EXPECT_EQ(t.count, 1);
}

TEST(AbcChordFile, NoGridAndHeadersDropped)
{
    std::vector<AbcNoteRecord> rec(abcMaxRecordIndex + 1);
    int32_t count = 0;
    loadAbcChordFile(writeTuneFile("M:3/4\nL:1/4\nQ:1/4=60\n\"C\"z2 \"G7\"z\n"), 0, rec.data(), abcMaxRecordIndex,
                     count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(rec[0].chordId, 160);
    EXPECT_EQ(rec[1].chordId, 197);
    EXPECT_EQ(rec[1].start, 32.0);
    EXPECT_EQ(rec[0].countChar, 'Z'); // no grid
    EXPECT_EQ(abcChordFileMode, 0);
}

TEST(AbcStops, FilesAndLimits)
{
    const auto stops = [](int32_t n) { return testing::ExitedWithCode(stopExitCode(n)); };
    EXPECT_EXIT(readTune("T:Only\n% comment\nK:C\n"), stops(stopAbcNoNotes), "");
    {
        TestTune t;
        EXPECT_EXIT(readAbcTuneFile(tuneRead(t, testing::TempDir() + "no-such-tune.txt")),
                    stops(stopAbcOpen), "");
        EXPECT_EXIT(readAbcTuneFile(tuneRead(t, "")),
                    stops(stopAbcFileName), "");
    }
    struct Case { std::string text; int32_t capacity, beatCapacity, stop; };
    const Case cases[] = {
        {"L:1/4\nCDEF\n", 3, 20043, stopAbcTooManyRecords},
        {"L:1/4\nC4\n", 5010, 10, stopAbcTooManyGridPoints},
        {std::string(1001, 'C') + "\n", 5010, 20043, stopAbcLineTooLong},
        {"L:1/0\nC\n", 5010, 20043, stopAbcUnitLengthZero},
        {"M:3/\nC\n", 5010, 20043, stopAbcMeterDenominatorZero},
        {"M:4/32\nL:1/4\nC\n", 5010, 20043, stopAbcMeterDenominatorTooLarge},
        {"M:0/4\nL:1/4\nC\n", 5010, 20043, stopAbcMeterNumeratorZero},
        {")C\n", 5010, 20043, stopAbcUnmatchedSlurEnd},
        {"L:1/4\nC)\n", 5010, 20043, stopAbcUnmatchedSlurEnd},
        {"L:1/4\nC D\nw: a\\b\n", 5010, 20043, stopAbcLyricBackslash},
        {"Q:1/0=90\nC\n", 5010, 20043, stopAbcTempoDenominatorZero},
        {"L:1/4\nC D\nw: a b c d e\n", 3, 20043, stopAbcTooManySyllables},
        // Numbers that would overflow, and a tempo of 0.
        {"L:1/1\nC6666666666\n", 5010, 20043, stopAbcNoteTooLong},
        {"L:1/1\nC1025\n", 5010, 20043, stopAbcNoteTooLong},
        {"L:1/1\nC1024>D\n", 5010, 20043, stopAbcNoteTooLong},
        {"L:1/4\nQ:999999999\nC\n", 5010, 20043, stopAbcTempoOutOfRange},
        {"L:1/1\nQ:2501\nC\n", 5010, 20043, stopAbcTempoOutOfRange},
        {"L:1/1\nQ:0\nC\n", 5010, 20043, stopAbcTempoOutOfRange},
        {"Q:1/4=0\nC\n", 5010, 20043, stopAbcTempoOutOfRange},
        {"L:1/16\nQ:1\nC\n", 5010, 20043, stopAbcTempoOutOfRange}, // rounds to 0
        {"M:999999999/1\nL:1/4\nC\n", 5010, 20043, stopAbcMeterNumeratorTooLarge},
        {"M:65/4\nL:1/4\nC\n", 5010, 20043, stopAbcMeterNumeratorTooLarge},
    };
    for (const Case &c : cases)
        EXPECT_EXIT(readTune(c.text, c.capacity, c.beatCapacity), stops(c.stop), "") << c.text.substr(0, 40);
    // Exactly at the limits: fine.
    EXPECT_EQ(readTune("L:1/4\nCDE\n", 3).count, 3);
    EXPECT_EQ(readTune("M:4/31\nL:1/4\nC\n").count, 1);
    EXPECT_EQ(readTune("L:1/1\nC1024\n").rec[0].length, abcMaxNoteLength);
    EXPECT_EQ(readTune("M:64/1\nL:1/4\nC\n").pickup, 0);
}

TEST(AbcStops, TunesOutsideTheDialectStopAndNameTheLine)
{
    const auto stops = [](int32_t n) { return testing::ExitedWithCode(stopExitCode(n)); };
    struct Case { std::string text; int32_t stop; const char *line; };
    const Case cases[] = {
        // No unit length: real tunes mean L:1/8 where the dialect's default
        // would read every note eight times as long.
        {"X:1\nK:C\nC D E\n", stopAbcNoUnitLength, "line 3"},
        {"Q:120\nL:1/8\nC\n", stopAbcNoUnitLength, "line 1"},
        // Keys outside the table: modes and names the table does not hold.
        {"L:1/4\nK:Dmix\nC\n", stopAbcUnknownKey, "line 2"},
        {"L:1/4\nK:G major\nC\n", stopAbcUnknownKey, "line 2"},
        // A field line after a continued body line would be read as notes.
        {"L:1/4\nC D \\\nK:G\nE\n", stopAbcFieldAfterContinuation, "line 2"},
        {"L:1/4\r\nC D\\\r\nw: a b\r\n", stopAbcFieldAfterContinuation, "line 2"},
        // Double accidentals, chords of notes, inline fields, grace notes.
        {"L:1/4\nC ^^F\n", stopAbcOutsideDialect, "line 2"},
        {"L:1/4\nC\n[CEG] D\n", stopAbcOutsideDialect, "line 3"},
        {"L:1/4\nC [K:G] D\n", stopAbcOutsideDialect, "line 2"},
        {"L:1/4\n{g}A\n", stopAbcOutsideDialect, "line 2"},
    };
    for (const Case &c : cases)
        EXPECT_EXIT(readTune(c.text), stops(c.stop), c.line) << c.text;

    // Comments are part of the dialect, after a field or notes too.
    TestTune t = readTune("L:1/4 % quarter notes\nK:D % two sharps\nF G % a b c\n% whole line\nA\n");
    EXPECT_EQ(t.count, 3);
    EXPECT_EQ(t.key, 1);
    EXPECT_EQ(field(t, [](const AbcNoteRecord &r) { return r.note; }), (std::vector<int>{33, 34, 36}));
    // A continued line goes on with notes, and "[|" is still a bar line.
    EXPECT_EQ(readTune("L:1/4\nC D \\\nE [|F\n").count, 4);
}
