#include "music/notes.h"

#include <cmath>
#include <gtest/gtest.h>

#include "base/stops.h"

TEST(NoteFrequencies, FollowEqualTemperamentAtTheStoredPrecision)
{
    EXPECT_EQ(noteFrequencies[36], 440.0);
    EXPECT_EQ(noteFrequencies[27], 261.626);
    EXPECT_EQ(noteFrequencies[32], 349.228);
    EXPECT_EQ(noteFrequencies[63], 2093.0);
    EXPECT_EQ(noteFrequencies[64], 2217.5);
    EXPECT_EQ(noteFrequencies[74], 3951.1);
    EXPECT_EQ(noteFrequencies[75], 0.0);
    for (int n = 0; n < 75; ++n) {
        const double exact = 55.0 * std::pow(2.0, n / 12.0);
        const double tolerance = n < 64 ? exact * 1e-5 : 0.05;
        EXPECT_NEAR(noteFrequencies[n], exact, tolerance) << n;
    }
}

TEST(StaffValues, KnownNotesAndRoundTrip)
{
    struct Case { int note, value; };
    const Case cases[] = {{0, 20}, {1, 25}, {2, 30}, {3, 40}, {4, 45}, {7, 60},
                          {8, 70}, {27, 180}, {36, 230}, {74, 450}, {-2, 5}, {111, 555}};
    for (const Case &c : cases) EXPECT_EQ(staffValueOfNote(c.note), c.value) << c.note;
    for (int n = 0; n <= 75; ++n) EXPECT_EQ(noteOfStaffValue(staffValueOfNote(n)), n) << n;
    // Halfway between B and C or E and F belongs to the upper note.
    EXPECT_EQ(noteOfStaffValue(35), 3);
    EXPECT_EQ(noteOfStaffValue(65), 8);
    EXPECT_EQ(noteOfStaffValue(-7), -1);
}

TEST(StaffSlots, BlackKeysFollowTheKey)
{
    char mark = 'x';
    EXPECT_EQ(staffSlotForKey(185, 0, mark), 180);
    EXPECT_EQ(mark, '^');
    EXPECT_EQ(staffSlotForKey(185, 2, mark), 190);
    EXPECT_EQ(mark, '_');
    for (int key = 0; key < keyCount; ++key) {
        EXPECT_EQ(staffSlotForKey(180, key, mark), 180);
        EXPECT_EQ(mark, ' ');
    }
}

TEST(NoteNames, SpellingsPerKey)
{
    struct Case { int key, note; const char *name; };
    const Case cases[] = {{0, 0, "A1"},   {0, 1, "A#1"},  {0, 74, "B7"},  {0, 28, "C#4"},
                          {2, 28, "Db4"}, {12, 3, "B#1"}, {13, 2, "Cb2"}, {13, 7, "Fb2"},
                          {14, 8, "E#2"}, {7, 74, "Cb8"}, {12, 8, "E#2"}, {5, 37, "Bb4"}};
    for (const Case &c : cases) {
        std::string name = "old";
        spelledNoteName(c.key, c.note, name);
        EXPECT_EQ(name, c.name) << c.key << " " << c.note;
    }
    for (int key = 0; key < keyCount; ++key) {
        std::string name = "old";
        spelledNoteName(key, 75, name);
        EXPECT_EQ(name, "");
    }
    std::string kept = "kept";
    spelledNoteName(15, 10, kept);
    EXPECT_EQ(kept, "kept");
}

TEST(NoteNames, EveryTableParsesBackToItsNote)
{
    for (int table = 0; table < nameTableCount; ++table)
        for (int n = 0; n <= 74; ++n) {
            const std::string name = noteNameInTable(table, n);
            // B#7 and Cb1 lie outside A1..B7 as written names.
            if (name == "Cb8") continue;
            EXPECT_EQ(tryParseNoteName(name), n) << name;
        }
    struct Case { const char *name; int note; };
    const Case cases[] = {{"A1", 0}, {"C4", 27}, {"A#4", 37}, {"Db4", 28}, {"Cb2", 2},
                          {"B#1", 3}, {"B7", 74}, {"C4xyz", 27}};
    for (const Case &c : cases) EXPECT_EQ(parseNoteName(c.name), c.note) << c.name;
}

TEST(NoteNames, MalformedNamesStopWith18023)
{
    for (const char *bad : {"c4", "H4", "Ab1", "B#7", "C8", "C0", "C", "", "C#"})
        EXPECT_EXIT(parseNoteName(bad), testing::ExitedWithCode(stopExitCode(18023)), "") << bad;
}

TEST(Keys, TonicsAndFlatKeys)
{
    EXPECT_EQ(keyTonicPitchClass(false, 0), 3);
    EXPECT_EQ(keyTonicPitchClass(true, 0), 0);
    EXPECT_EQ(keyTonicPitchClass(false, 13), 2);
    EXPECT_EQ(keyTonicPitchClass(true, 14), 6);
    // The minor tonic is the major tonic counted from C.
    for (int key = 0; key < keyCount; ++key)
        EXPECT_EQ(keyTonicPitchClass(true, key), (keyTonicPitchClass(false, key) + 9) % 12) << key;
    int flats = 0;
    for (int key = 0; key < keyCount; ++key) flats += isFlatKey(key);
    EXPECT_EQ(flats, 7);
    EXPECT_TRUE(isFlatKey(13));
    EXPECT_FALSE(isFlatKey(14));
}
