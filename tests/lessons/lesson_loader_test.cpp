#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "app/screen_table.h"
#include "common/generated_data.h"
#include "lessons/exercise_parts.h"
#include "lessons/lesson_fixture.h"
#include "lessons/lesson_options.h"
#include "lessons/options_screen.h"
#include "lessons/lesson_params.h"
#include "base/rounding.h"
#include "music/note_labels.h"
#include "music/notes.h"

namespace {

int32_t exercisesStarted = 0;
void recordExerciseStart() { ++exercisesStarted; currentScreen = currentLesson + lessonScreenOffset; }
void noClock() {}
void noFocus() {}

const std::string scale8 = "X:1\r\nT:test\r\nM:4/4\r\nL:1/4\r\nQ:60\r\nK:C\r\nC D E F | G A B c |]\r\n";
const std::string chords8 = "X:1\r\nM:4/4\r\nL:1/4\r\nK:C\r\n\"C\"z \"C\"z \"C\"z \"C\"z | \"C\"z \"C\"z \"C\"z \"C\"z |]\r\n";

std::string partsText(const std::string &lines, const std::string &type = "TarnovaExercise")
{
    return type + "\r\n1.0\r\n" + lines;
}

struct LessonLoader : ::testing::Test {
    std::string dir;
    void SetUp() override
    {
        dir = privateFolder("data");
        resourceDir = dir;
        setUpTestUser(3);
        setOptionsScreenHooks({.startExercise = recordExerciseStart, .restartClock = noClock, .focusGoButton = noFocus});
        exercisesStarted = 0;
        noteLabelMode = 2;
        setAlwaysShowOptions(false);
    }
    void TearDown() override { setOptionsScreenHooks(realOptionsScreenHooks()); }

    void load(int32_t lesson, const std::string &melody, const std::string &chords, const std::string &parts,
              uint64_t seed = 7)
    {
        writeLessonFolder(dir, lesson, melody, chords, parts);
        currentLesson = lesson;
        seedRandomGenerator(seed);
        loadLesson();
    }

    std::vector<int32_t> pitches(int32_t from, int32_t to) const
    {
        std::vector<int32_t> v;
        for (int32_t i = from; i <= to; ++i) v.push_back(lessonNotes[i].noteIndex);
        return v;
    }
};

bool isBlack(int32_t p) { const int32_t c = p % 12; return c == 1 || c == 4 || c == 6 || c == 9 || c == 11; }

} // namespace

TEST(LessonFolders, NamesByTheRule)
{
    struct Case { int32_t lesson; const char *melody; const char *parts; };
    const Case cases[] = {
        {1, "Introduction", "Introduction"}, {2, "Lesson1", "Lesson1"}, {7, "Lesson6", "Lesson6"},
        {8, "Lesson7", "lesson7"},           {9, "lesson8", "lesson8"}, {25, "lesson24", "lesson24"},
        {26, "lesson25", "lesson25"},        {27, "lesson24", "lesson24"}, {28, "lesson25", "lesson25"},
        {556, "lesson553", "lesson553"},     {0, "", ""},               {557, "", ""},
    };
    resourceDir = "/data/";
    for (const Case &c : cases) {
        EXPECT_EQ(lessonFolderName(c.lesson, LessonFile::melody), c.melody) << c.lesson;
        EXPECT_EQ(lessonFolderName(c.lesson, LessonFile::chords), c.parts) << c.lesson;
        EXPECT_EQ(lessonFolderName(c.lesson, LessonFile::parts), c.parts) << c.lesson;
    }
    EXPECT_EQ(lessonFilePath(8, LessonFile::melody), "/data/Lesson7/ABC-Notes.txt");
    EXPECT_EQ(lessonFilePath(8, LessonFile::parts), "/data/lesson7/ExerciseParts.txt");
}

TEST_F(LessonLoader, Lesson8ReadsItsMelodyThroughTheOtherLetterCase)
{
    load(8, scale8, chords8, partsText("0;7;f;3?51;a;27;n.\r\n"));
    EXPECT_EQ(lessonNoteCount, 8);
    EXPECT_TRUE(std::filesystem::exists(dir + "lesson7"));
    EXPECT_FALSE(std::filesystem::exists(dir + "Lesson7"));
}

TEST_F(LessonLoader, ShuffledPartsKeepTheirNotesTimesAndCounting)
{
    const std::vector<int32_t> written = {27, 29, 31, 32, 34, 36, 38, 39};
    for (const char *kind : {"s", "h"}) {
        std::set<std::vector<int32_t>> orders;
        for (uint64_t seed = 1; seed <= 12; ++seed) {
            load(40, scale8, chords8, partsText(std::string("0;7;") + kind + ";3?51;a;27;n.\r\n"), seed);
            std::vector<int32_t> p = pitches(0, 7);
            orders.insert(p);
            std::vector<int32_t> sorted = p;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(sorted, written) << kind; // the same notes, moved whole
            const int32_t b0 = lessonNotes[0].firstBeat;
            const std::string counting = "1e+a2e+a3e+a4e+a1e+a2e+a3e+a4e+a";
            for (int32_t k = 0; k < 8; ++k) {
                EXPECT_EQ(lessonNotes[k].startUnits, 16.0 * k);
                EXPECT_EQ(lessonNotes[k].startMs, 1000 * k);
                EXPECT_EQ(lessonNotes[k].firstBeat, b0 + 4 * k);
                EXPECT_EQ(beatRecords[b0 + 4 * k].noteStarts, 1);
                EXPECT_EQ(beatRecords[b0 + 4 * k].note, k);
            }
            EXPECT_EQ(lessonNotes[0].countChar, '1'); // the part's first note keeps the place's
            for (int32_t r = 0; r < 32; ++r) {
                EXPECT_EQ(beatRecords[b0 + r].countChar, counting[r]) << r;
                EXPECT_EQ(beatRecords[b0 + r].msTime, 250 * r);
            }
            EXPECT_EQ(lessonNotes[8].startUnits, 128.0); // the total length is kept
            // The untransposed copies are taken after the shaping.
            EXPECT_EQ(untransposedLessonNotes[3].noteIndex, lessonNotes[3].noteIndex);
            EXPECT_EQ(beatRecordsBackup[b0 + 5].countChar, 'e');
        }
        EXPECT_GT(orders.size(), 6u) << kind;
    }
    // Kind f keeps the order.
    load(40, scale8, chords8, partsText("0;7;f;3?51;a;27;n.\r\n"));
    EXPECT_EQ(pitches(0, 7), written);
}

TEST_F(LessonLoader, BeamedTiedOrTupletPartsAreNotShuffled)
{
    // A slur or a tie among quarter notes keeps the part's order as a beam does.
    const std::string head = "X:1\r\nM:4/4\r\nL:1/4\r\nQ:1/4=60\r\nK:C\r\n";
    const std::string quarterChords = "X:1\r\nL:1/4\r\nK:C\r\n\"C\"z \"C\"z \"C\"z \"C\"z \"C\"z |]\r\n";
    const std::string slurred = head + "C (D E) F G |]\r\n", tied = head + "C D- D F G |]\r\n";
    for (uint64_t seed = 1; seed <= 8; ++seed) {
        load(41, slurred, quarterChords, partsText("0;4;s;3?51;a;27;n.\r\n"), seed);
        EXPECT_EQ(pitches(0, 4), (std::vector<int32_t>{27, 29, 31, 32, 34})) << "slur, seed " << seed;
        load(41, tied, quarterChords, partsText("0;4;s;3?51;a;27;n.\r\n"), seed);
        EXPECT_EQ(pitches(0, 4), (std::vector<int32_t>{27, 29, 29, 32, 34})) << "tie, seed " << seed;
    }
    const std::string beamed = "X:1\r\nM:4/4\r\nL:1/8\r\nQ:1/4=60\r\nK:C\r\nC2 DE F2 G2 |]\r\n";
    const std::string beamedChords = "X:1\r\nL:1/8\r\nK:C\r\n\"C\"z2 \"C\"z \"C\"z \"C\"z2 \"C\"z2 |]\r\n";
    const std::string tupletChords = "X:1\r\nL:1/8\r\nK:C\r\n\"C\"z2 (3\"C\"z\"C\"z\"C\"z |]\r\n";
    for (uint64_t seed = 1; seed <= 8; ++seed) {
        load(41, beamed, beamedChords, partsText("0;4;r;3?51;a;27;n.\r\n"), seed);
        EXPECT_EQ(pitches(0, 4), (std::vector<int32_t>{27, 29, 31, 32, 34}));
        // A tuplet in the chord track at the same indexes blocks it too.
        load(41, scale8, tupletChords + "", partsText("0;3;s;3?51;a;27;n.\r\n"), seed);
        EXPECT_EQ(pitches(0, 3), (std::vector<int32_t>{27, 29, 31, 32}));
    }
    // The next lesson has one chord only: the tuplet chords left behind by
    // the last load do not block its shuffle.
    std::set<std::vector<int32_t>> orders;
    for (uint64_t seed = 1; seed <= 8; ++seed) {
        load(41, scale8, tupletChords, partsText("0;3;f;3?51;a;27;n.\r\n"), seed);
        load(41, scale8, "X:1\r\nL:1/4\r\nK:C\r\n\"C\"z8 |]\r\n", partsText("0;3;s;3?51;a;27;n.\r\n"), seed);
        orders.insert(pitches(0, 3));
    }
    EXPECT_GT(orders.size(), 3u);
}

TEST_F(LessonLoader, RedrawnPitchesFollowKindRangeAndTessitura)
{
    struct Case { const char *kind; int32_t lo, hi, tessitura, low, high; bool whiteOnly; };
    const Case cases[] = {
        {"r", 20, 40, 3, 20, 40, false}, {"c", 20, 40, 3, 20, 40, true},
        {"r", 30, 40, 1, 6, 16, false},  {"r", 30, 40, 2, 18, 28, false},
        {"r", 3, 10, 1, 3, 10, false},   // two octaves down would leave the table: back up
        {"c", 5, 14, 2, 5, 14, true},
    };
    for (const Case &c : cases) {
        setUpTestUser(c.tessitura);
        for (uint64_t seed = 1; seed <= 10; ++seed) {
            load(42, scale8, chords8,
                 partsText("0;7;" + std::string(c.kind) + ";" + std::to_string(c.lo) + "?" + std::to_string(c.hi) +
                           ";a;27;n.\r\n", "Pitch"),
                 seed);
            for (int32_t i = 0; i < 8; ++i) {
                const TimedNote &n = lessonNotes[i];
                EXPECT_GE(n.noteIndex, c.low) << c.kind << c.tessitura;
                EXPECT_LE(n.noteIndex, c.high) << c.kind << c.tessitura;
                if (c.whiteOnly) {
                    EXPECT_FALSE(isBlack(n.noteIndex)) << n.noteIndex;
                }
                EXPECT_EQ(n.soundingStaff, staffValueOfNote(n.noteIndex));
                EXPECT_EQ(n.lyric, solfegeName(writtenAsFlat(n), n.noteIndex)); // type Pitch: solfege lyrics
                // One chord per note: the chord is named after the note.
                EXPECT_EQ(lessonChords[i].chordText.substr(0, 1), noteNameInTable(namesSharps, n.noteIndex).substr(0, 1));
            }
        }
    }
    // A one-note range of a black key: always the white key below it.
    setUpTestUser(3);
    load(42, scale8, chords8, partsText("0;7;c;40?40;a;27;n.\r\n"));
    EXPECT_EQ(pitches(0, 7), std::vector<int32_t>(8, 39));
}

TEST_F(LessonLoader, SpellingByKey)
{
    struct Case { const char *key; uint8_t flats; };
    const Case cases[] = {{"C", 0}, {"Am", 1}, {"F", 1}, {"Bb", 1}, {"D", 0}, {"Em", 0}, {"Dm", 1}};
    for (const Case &c : cases) {
        std::string melody = scale8;
        melody.replace(melody.find("K:C"), 3, std::string("K:") + c.key);
        for (uint64_t seed = 1; seed <= 5; ++seed) {
            load(43, melody, chords8, partsText("0;7;r;20?40;a;27;n.\r\n", "Pitch"), seed);
            EXPECT_EQ(flatSpelling, c.flats) << c.key;
            for (int32_t i = 0; i < 8; ++i) {
                const TimedNote &n = lessonNotes[i];
                if (!isBlack(n.noteIndex)) continue;
                EXPECT_EQ(n.accidental, c.flats ? '_' : '^') << c.key;
                EXPECT_EQ(lessonChords[i].chordText.size(), 2u);
                EXPECT_EQ(lessonChords[i].chordText[1], c.flats ? 'b' : '#') << c.key;
            }
        }
    }
}

TEST_F(LessonLoader, IntervalCodesAndIntervalMarks)
{
    // Sixteen notes, a rest at 13: u2 on 10..15 moves 11, 13 (a rest: left) and 15.
    const std::string melody = "X:1\r\nM:4/4\r\nL:1/4\r\nQ:60\r\nK:C\r\nC D E F | G A B c | C D E F | G z B c |]\r\n";
    const std::string chords = "X:1\r\nL:1/4\r\nK:C\r\n\"C\"z16 |]\r\n";
    load(44, melody, chords, partsText("0;9;f;3?51;a;27;n.\r\n10;15;f;3?51;a;27;u2.\r\n", "IntervalFirst"));
    EXPECT_EQ(lessonNotes[11].noteIndex, lessonNotes[10].noteIndex + 2);
    EXPECT_EQ(lessonNotes[13].letter, 'r');
    EXPECT_EQ(lessonNotes[15].noteIndex, lessonNotes[14].noteIndex + 2);
    EXPECT_EQ(lessonNotes[12].noteIndex, 34); // every second note only
    for (int32_t i = 0; i <= 15; ++i)
        EXPECT_EQ(lessonNotes[i].intervalMark, (i == 0 || i == 10) ? 0 : 1) << i;

    seedRandomGenerator(3);
    load(44, scale8, chords8, partsText("0;7;f;3?51;a;27;d12.\r\n", "IntervalLast"));
    EXPECT_EQ(lessonNotes[1].noteIndex, 15);
    EXPECT_EQ(lessonNotes[1].stepDown, 1);
    EXPECT_EQ(lessonChords[1].chordText, "C"); // chords named after every note of the part
    EXPECT_EQ(lessonChords[2].chordText, "E");
    EXPECT_EQ(lessonNotes[7].intervalMark, 0);
    EXPECT_EQ(lessonNotes[0].intervalMark, 1);

    for (uint64_t seed = 1; seed <= 6; ++seed) {
        load(44, scale8, chords8, partsText("0;7;f;3?51;a;27;r3.\r\n"), seed);
        for (int32_t i = 1; i < 8; i += 2)
            EXPECT_EQ(std::abs(lessonNotes[i].noteIndex - lessonNotes[i - 1].noteIndex), 3);
    }
    load(44, scale8, chords8, partsText("0;7;f;3?51;a;27;R5.\r\n"));
    EXPECT_EQ(pitches(0, 7), (std::vector<int32_t>{27, 29, 31, 32, 34, 36, 38, 39}));
}

TEST_F(LessonLoader, ScoreViewScaleAndNextScreen)
{
    load(45, scale8, chords8, "Pitch\r\n2.0\r\n0;7;f;3?51;a;27;n.\r\n");
    EXPECT_DOUBLE_EQ(exerciseSpeedFactor, 2.0);
    // At 60 beats per minute (1000 ms a beat) and speed 2: 0.1428 pixels per
    // ms, so a beat spans 142.8 pixels and the 1280-pixel window 8964 ms.
    EXPECT_FLOAT_EQ(scoreViewPxPerMs, 0.1428f);
    EXPECT_EQ(viewWindowMs, 8964);

    const ScreenHandlers *loader = screenHandlersFor(lessonLoaderScreenId);
    const ScreenHandlers *options = screenHandlersFor(exerciseOptionsScreenId);
    ASSERT_TRUE(loader && options);
    storeNotes(2, {10, 11, 12, 13, 14, 15, 16, 17});
    userRecords[0].lessonBlocks[0].done = 1; // the note choice was made
    struct Case { int32_t lesson; int32_t afterLoader; int32_t afterOptions; };
    const Case cases[] = {
        {1, introLessonScreenId, introLessonScreenId},
        {2, exerciseOptionsScreenId, exerciseOptionsScreenId}, // the note choice (dialog) for lesson 2
        {50, exerciseOptionsScreenId, 50 + lessonScreenOffset},
        {556, exerciseOptionsScreenId, 556 + lessonScreenOffset},
    };
    for (const Case &c : cases) {
        writeLessonFolder(dir, c.lesson, scale8, chords8, partsText("0;7;f;3?51;a;27;n.\r\n"));
        currentLesson = c.lesson;
        currentScreen = lessonLoaderScreenId;
        optionsScreen.state = 5;
        loader->display();
        EXPECT_EQ(currentScreen, c.afterLoader) << c.lesson;
        if (c.afterLoader == exerciseOptionsScreenId) {
            EXPECT_EQ(optionsScreen.state, 0);
            options->display();
        }
        EXPECT_EQ(currentScreen, c.afterOptions) << c.lesson;
    }
    userRecords[0].lessonBlocks[0].done = 0; // no note choice yet: the dialog
    currentLesson = 50;
    currentScreen = lessonLoaderScreenId;
    loader->display();
    options->display();
    EXPECT_EQ(currentScreen, exerciseOptionsScreenId);
    EXPECT_EQ(optionsScreen.state, 1);
}

TEST_F(LessonLoader, DamagedFoldersStopAndLeaveTheStoresAlone)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    std::string longMelody = "X:1\r\nM:4/4\r\nL:1/4\r\nQ:60\r\nK:C\r\n";
    for (int32_t k = 0; k < 1002; ++k) longMelody += k % 4 == 3 ? "C |\r\n" : "C ";
    longMelody += "|]\r\n";
    const std::string longChords = "X:1\r\nL:1/4\r\nK:C\r\n\"C\"z4 |]\r\n";
    const std::string noTempo = "X:1\r\nM:4/4\r\nL:1/4\r\nK:C\r\nC D E F |]\r\n";
    struct Case { const char *name; std::string melody, chords, parts; int32_t stop; };
    const std::vector<Case> cases = {
        {"no Q: line", noTempo, chords8, partsText("0;3;f;3?51;a;27;n.\r\n"), 7272},
        {"no part line", scale8, chords8, partsText("\r\n"), 7256},
        {"low above high", scale8, chords8, partsText("0;7;r;40?30;a;27;n.\r\n"), 7275},
        {"shuffled part too long", longMelody, longChords, partsText("0;1001;s;3?51;a;27;n.\r\n"), 7274},
        {"last note beyond the melody", scale8, chords8, partsText("0;8;f;3?51;a;27;n.\r\n"), 7261},
        {"unknown type", scale8, chords8, partsText("0;7;f;3?51;a;27;n.\r\n", "Tarnova"), 7254},
        // At 60 beats a minute: a window of 1.8e9 ms; 1.8e-5 ms.
        {"speed factor 0.00001", scale8, chords8, "TarnovaExercise\r\n0.00001\r\n0;7;f;3?51;a;27;n.\r\n", 7278},
        {"speed factor 1e9", scale8, chords8, "TarnovaExercise\r\n1000000000\r\n0;7;f;3?51;a;27;n.\r\n", 7278},
    };
    const std::vector<std::string> stores = {"UsersFile", "TimeLine", "ScoreFile"};
    for (const std::string &s : stores) writeTestFile(dir + "ResourceFiles/" + s, "stored " + s);
    auto read = [&](const std::string &s) {
        std::ifstream in(dir + "ResourceFiles/" + s, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    for (const Case &c : cases) {
        // Lesson 60 reads folder "lesson57": the detail line names it.
        EXPECT_EXIT(load(60, c.melody, c.chords, c.parts), testing::ExitedWithCode(c.stop % 250),
                    "lesson57[^\n]*\n[^\n]*stopNumber=" + std::to_string(c.stop) + " ")
            << c.name;
        for (const std::string &s : stores) EXPECT_EQ(read(s), "stored " + s) << c.name;
    }
    std::filesystem::remove_all(dir + "lesson57");
    currentLesson = 60;
    EXPECT_EXIT(loadLesson(), testing::ExitedWithCode(3503 % 250), "stopNumber=3503 ");
}

TEST_F(LessonLoader, EveryGeneratedLessonLoads)
{
    const std::string data = generatedData();
    resourceDir = data;
    const ScreenHandlers *loader = screenHandlersFor(lessonLoaderScreenId);
    std::set<int32_t> kinds, intervals;
    for (int32_t tessitura : {3, 1}) {
        setUpTestUser(tessitura);
        seedRandomGenerator(11);
        for (int32_t L = 1; L <= 556; ++L) {
            currentLesson = L;
            currentScreen = lessonLoaderScreenId;
            loader->display();
            ASSERT_EQ(currentScreen, L == 1 ? int32_t{introLessonScreenId} : int32_t{exerciseOptionsScreenId}) << L;
            ASSERT_GE(lessonNoteCount, 1) << L;
            ASSERT_EQ(lessonNoteCount, lessonChordCount) << L;
            EXPECT_EQ(exerciseType, L >= 3 ? exerciseTarnova : exercisePitch) << L;
            EXPECT_DOUBLE_EQ(exerciseSpeedFactor, 1.0);
            if (L >= 2) {
                EXPECT_EQ(lessonNoteCount, lessonParamsTable[L].noteCount) << L;
            }
            for (int32_t p = 0; p < exercisePartCount; ++p) {
                kinds.insert(exerciseParts[p].kind);
                intervals.insert(exerciseParts[p].intervalCode);
            }
            for (int32_t i = 0; i < lessonNoteCount; ++i) {
                ASSERT_GE(lessonNotes[i].noteIndex, 0) << L;
                ASSERT_LE(lessonNotes[i].noteIndex, 74) << L;
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<int32_t>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(intervals.count(5) && intervals.count(9) && intervals.count(4)); // u2, d3, r1
}
