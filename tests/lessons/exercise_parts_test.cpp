#include <set>

#include "lessons/exercise_parts.h"
#include "lessons/lesson_fixture.h"

namespace {

std::string partsFile(const std::string &text) { return writeTestFile(privateFolder("parts") + "ExerciseParts.txt", text); }

int32_t readParts(const std::string &text, double *speed = nullptr)
{
    int32_t count = -1;
    double factor = 0;
    readExerciseParts(partsFile(text), count, factor);
    if (speed) *speed = factor;
    return count;
}

} // namespace

TEST(ExerciseParts, MalformedFilesEndInTheirStops)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    lessonNoteCount = 20;
    const std::string head = "Pitch\r\n1.0\r\n";
    std::string tooLong = head + "0;7;f;0?5;a;0;n." + std::string(990, ' ') + "\r\n";
    std::string longByContinuation = head + "0;7;f;" + std::string(600, ' ') + "\\\r\n0?5;" + std::string(600, ' ') + "a;0;n.\r\n";
    struct Case { std::string text; int32_t stop; };
    const Case cases[] = {
        {"", 7253},
        {"Pitch \r\n1.0\r\n0;7;f;0?0;a;0;n.\r\n", 7254},   // a trailing blank makes it unknown
        {"pitch\r\n1.0\r\n0;7;f;0?0;a;0;n.\r\n", 7254},
        {"Pitch\r\n", 7255},
        {"Pitch\r\n0\r\n0;7;f;0?0;a;0;n.\r\n", 7273},     // speed factor 0
        {"Pitch\r\nfast\r\n0;7;f;0?0;a;0;n.\r\n", 7273},
        {head, 7256},                                      // no part line at all
        {head + "\r\n0;7;f;0?0;a;0;n.\r\n", 7256},
        {head + "0;7;f;0?0;a;0;n.\r\n5;9;f;0?0;a;0;n.\r\n", 7258},
        {head + "0;20;f;0?0;a;0;n.\r\n", 7261},           // last equal to the note count
        {head + "0;7;f;0?52;a;0;n.\r\n", 7263},
        {head + "0;7;f;0?5;a;51;n.\r\n", 7264},
        {head + "0;7;f;0?5;a;0;u13.\r\n", 7265},
        {head + "0;7;f;0?5;a;0;d13.\r\n", 7266},
        {head + "0;7;f;0?5;a;0;r13.\r\n", 7267},
        {head + "0;7;f;0?5;a;0;R13.\r\n", 7268},
        {head + "0;7;s;10 ?30;a;22;u2.\r\n", 7269},       // the blank is taken as the '?'
        {head + "0;7;x;0?5;a;0;n.\r\n", 7269},
        {head + "0;7;f;0?5;q;0;n.\r\n", 7269},
        {head + "0;7;f;0?5;a;0;k.\r\n", 7269},
        {head + "0;7;f;0?5;a;0;n\r\n", 7269},
        {head + "0 7;f;0?5;a;0;n.\r\n", 7269},
        {head + "0;7;f;9?5;a;0;n.\r\n", 7275},            // low note above the high one
        {tooLong, 7276},
        {longByContinuation, 7276},
        {head + "0;99999999999;f;0?5;a;0;n.\r\n", 7277},
        {head + "0;7;f;0?5;a;0;u4294967296.\r\n", 7277},
    };
    for (const Case &c : cases) {
        const std::string pattern = "readExerciseParts: [^\n]*ExerciseParts.txt[^\n]*\n[^\n]*stopNumber=" +
                                    std::to_string(c.stop) + " ";
        EXPECT_EXIT(readParts(c.text), testing::ExitedWithCode(c.stop % 250), pattern) << c.text.substr(0, 80);
    }
    EXPECT_EXIT(readExerciseParts(privateFolder("parts") + "absent.txt", lessonNoteCount, exerciseSpeedFactor),
                testing::ExitedWithCode(7252 % 250), "stopNumber=7252 ");
}

TEST(ExerciseParts, FieldsIntervalCodesAndTheClosingRecord)
{
    lessonNoteCount = 20;
    double speed = 0;
    ASSERT_EQ(readParts("IntervalFirst\r\nx1.5 fast\r\n 0 ; 7 ; s ; 10?30 ; a ; 22 ; u2 . comment\r\n"
                        "8;\t11;c;3?51;x;50;d12.\r\n12;19;r;0?0;r;0;r3.\r\n",
                        &speed),
              3);
    EXPECT_EQ(exerciseType, exerciseIntervalFirst);
    EXPECT_DOUBLE_EQ(speed, 1.5);
    const ExercisePart &a = exerciseParts[0];
    EXPECT_EQ(a.firstNote, 0);
    EXPECT_EQ(a.lastNote, 7);
    EXPECT_EQ(a.kind, partShuffled);
    EXPECT_EQ(a.lowNote, 10);
    EXPECT_EQ(a.highNote, 30);
    EXPECT_EQ(a.mode, 0);
    EXPECT_EQ(a.refNote, 22);
    EXPECT_EQ(a.intervalCode, 5);
    EXPECT_EQ(a.marker, partMarker);
    EXPECT_EQ(a.active, 1);
    EXPECT_GE(a.startNote, 10);
    EXPECT_LE(a.startNote, 30);
    EXPECT_EQ(exerciseParts[1].kind, partWhiteKeys);
    EXPECT_EQ(exerciseParts[1].mode, 3);
    EXPECT_EQ(exerciseParts[1].intervalCode, 36);
    EXPECT_EQ(exerciseParts[2].intervalCode, 10);
    EXPECT_EQ(exerciseParts[2].mode, 4);
    EXPECT_EQ(exerciseParts[2].startNote, 0);
    EXPECT_EQ(exerciseParts[2].marker, lastPartMarker);
    EXPECT_EQ(exerciseParts[3].firstNote, 20);
    EXPECT_EQ(exerciseParts[3].lastNote, 20);
    EXPECT_EQ(currentPartFirst, 0);
    EXPECT_EQ(currentPartLast, 7);

    struct Code { const char *written; int32_t code; };
    const Code codes[] = {{"n", 0}, {"u0", 1}, {"d0", 1}, {"r0", 1}, {"R0", 1}, {"u1", 2}, {"d1", 3},
                          {"r1", 4}, {"u12", 35}, {"d12", 36}, {"r12", 37}, {"R5", 43}, {"R12", 50}};
    for (const Code &c : codes) {
        ASSERT_EQ(readParts(std::string("Pitch\r\n1.0\r\n0;3;f;0?5;a;0;") + c.written + ".\r\n"), 1);
        EXPECT_EQ(exerciseParts[0].intervalCode, c.code) << c.written;
    }
}

TEST(ExerciseParts, LinesListEndsAndContinuations)
{
    lessonNoteCount = 20;
    struct Case { const char *name; std::string text; int32_t parts; int32_t lastOfLast; };
    const Case cases[] = {
        {"empty fields read 0", "Song\r\n1\r\n;7;f;0?0;a;0;n.\r\n", 1, 7},
        {"a part may start at 0 again", "Song\r\n1\r\n0;7;f;0?0;a;0;n.\r\n0;3;f;0?0;a;0;n.\r\n", 2, 3},
        {"first equal to the note count", "Song\r\n1\r\n0;19;f;0?0;a;0;n.\r\n20;3;f;0?0;a;0;n.\r\n", 2, 3},
        {"the first empty line ends the list", "Song\r\n1\r\n0;3;f;0?0;a;0;n.\r\n\r\n4;7;f;0?0;a;0;n.\r\n", 1, 3},
        {"a comment ends it", "Song\r\n1\r\n0;3;f;0?0;a;0;n.\r\n% 4;7;f;0?0;a;0;n.\r\n", 1, 3},
        {"LF lines read alike", "Song\n1\n0;3;f;0?0;a;0;n.\n\n4;7;f;0?0;a;0;n.\n", 1, 3},
        {"no line end at all", "Song\r\n1\r\n0;3;f;0?0;a;0;n.", 1, 3},
        {"continuation CR LF", "Song\r\n1\r\n0;3;f;\\\r\n0?5;a;0;n.\r\n4;7;f;0?0;a;0;n.\r\n", 2, 7},
        {"continuation LF", "Song\n1\n0;3\\\n;f;0?5;a;0;n.\n4;7;f;0?0;a;0;n.\n", 2, 7},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(readParts(c.text), c.parts) << c.name;
        EXPECT_EQ(exerciseType, exerciseSong) << c.name;
        EXPECT_EQ(exerciseParts[c.parts - 1].lastNote, c.lastOfLast) << c.name;
        EXPECT_EQ(exerciseParts[c.parts - 1].marker, lastPartMarker) << c.name;
    }
    ASSERT_EQ(readParts("Song\r\n1\r\n0;3;f;\\\r\n0?5;a;0;n.\r\n"), 1);
    EXPECT_EQ(exerciseParts[0].lowNote, 0);
    EXPECT_EQ(exerciseParts[0].highNote, 5);
}

TEST(ExerciseParts, TableLimitAndItsClosingRecord)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    lessonNoteCount = 2000;
    std::string text = "Pitch\r\n1.0\r\n";
    for (int32_t k = 0; k < maxExerciseParts; ++k) text += std::to_string(k) + ";" + std::to_string(k) + ";f;0?0;a;0;n.\r\n";
    ASSERT_EQ(readParts(text), maxExerciseParts);
    EXPECT_EQ(exerciseParts[maxExerciseParts - 1].marker, lastPartMarker);
    EXPECT_EQ(exerciseParts[maxExerciseParts].firstNote, maxExerciseParts);
    text += "1024;1024;f;0?0;a;0;n.\r\n";
    EXPECT_EXIT(readParts(text), testing::ExitedWithCode(7260 % 250), "stopNumber=7260 ");
}

TEST(ExerciseParts, WhiteKeyStartNotes)
{
    lessonNoteCount = 20;
    std::set<int32_t> seen;
    for (uint64_t seed = 1; seed <= 200; ++seed) {
        seedRandomGenerator(seed);
        ASSERT_EQ(readParts("Pitch\r\n1.0\r\n0;7;c;39?41;a;0;n.\r\n0;7;c;40?40;a;0;n.\r\n0;7;s;39?41;a;0;n.\r\n"), 3);
        seen.insert(exerciseParts[0].startNote);
        EXPECT_EQ(exerciseParts[1].startNote, 39); // no white key in the range: one step down
        EXPECT_GE(exerciseParts[2].startNote, 39);
        EXPECT_LE(exerciseParts[2].startNote, 41);
    }
    EXPECT_EQ(seen, (std::set<int32_t>{39, 41}));
}
