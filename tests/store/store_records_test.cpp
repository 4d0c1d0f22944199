#include <cstring>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "store/store_records.h"
#include "store_fixture.h"

namespace {

void expectZero(const std::vector<uint8_t> &b, std::size_t from, std::size_t to, const char *what)
{
    for (std::size_t i = from; i < to; ++i) ASSERT_EQ(b[i], 0) << what << " at " << i;
}

UserRecord *distinctUserRecord()
{
    static UserRecord r{};
    r.name = "Abc";
    r.key = 0x01020304;
    r.tessitura = 2;
    r.currentLesson = 0x11223344;
    r.noteTallies[3] = NoteTally{"C2", 5, 6, 7, 8, 1.5, 2.5, 3.5};
    r.noteTallies[63] = NoteTally{"C7", 9, 0, 0, 0, 0, 0, 0};
    r.rhythmTallies[15] = RhythmTally{15, {1, 2}, {3, 4}, {5, 6}, {7, 8}, {1.25, 2.25}, {3.25, 4.25}};
    r.lessonBlocks[554] = emptyLessonBlock();
    r.lessonBlocks[554].slots[7] = NoteSlot{40, -12.5, 7.25, 1};
    r.lessonBlocks[554].done = 1;
    r.timeLineFull = 1;
    return &r;
}

} // namespace

TEST(StoreLayout, UserRecordFieldsAtTheirOffsetsReservedBytesZero)
{
    const UserRecord &r = *distinctUserRecord();
    std::vector<uint8_t> b(userRecordSize, 0xAA);
    writeUserRecord(r, b.data());

    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(std::string(b.begin() + 1, b.begin() + 4), "Abc");
    expectZero(b, 4, 44, "name tail and reserved");
    EXPECT_EQ(le32(b, 44), 0x01020304);
    EXPECT_EQ(le32(b, 48), 2);
    expectZero(b, 52, 112, "reserved 52");
    EXPECT_EQ(le32(b, 112), 0x11223344);
    expectZero(b, 116, 120, "reserved 116");

    // Note tally of note 3 at 120, of note 63 at 120 + 48 * 60.
    EXPECT_EQ(b[120], 2);
    EXPECT_EQ(b[121], 'C');
    EXPECT_EQ(b[122], '2');
    expectZero(b, 123, 128, "tally name tail");
    EXPECT_EQ(le32(b, 128), 5);
    EXPECT_EQ(le32(b, 132), 6);
    EXPECT_EQ(le32(b, 136), 7);
    EXPECT_EQ(le32(b, 140), 8);
    EXPECT_EQ(leDouble(b, 144), 1.5);
    EXPECT_EQ(leDouble(b, 152), 2.5);
    EXPECT_EQ(leDouble(b, 160), 3.5);
    EXPECT_EQ(le32(b, 3000 + 8), 9);

    // Rhythm class 15 at 3048 + 72 * 15.
    const std::size_t c = 4128;
    EXPECT_EQ(le32(b, c), 15);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(le32(b, c + 4 + 4 * i), i + 1);
    expectZero(b, c + 36, c + 40, "rhythm reserved");
    EXPECT_EQ(leDouble(b, c + 40), 1.25);
    EXPECT_EQ(leDouble(b, c + 48), 2.25);
    EXPECT_EQ(leDouble(b, c + 56), 3.25);
    EXPECT_EQ(leDouble(b, c + 64), 4.25);

    // Block 554, note slot 8.
    const std::size_t blk = 4200 + 264 * 554;
    EXPECT_EQ(le32(b, blk), 74);
    EXPECT_EQ(leDouble(b, blk + 8), 100.0);
    const std::size_t s8 = blk + 32 * 7;
    EXPECT_EQ(le32(b, s8), 40);
    expectZero(b, s8 + 4, s8 + 8, "slot reserved 4");
    EXPECT_EQ(leDouble(b, s8 + 8), -12.5);
    EXPECT_EQ(leDouble(b, s8 + 16), 7.25);
    EXPECT_EQ(b[s8 + 24], 1);
    expectZero(b, s8 + 25, s8 + 32, "slot reserved 25");
    EXPECT_EQ(b[blk + 256], 1);
    expectZero(b, blk + 257, blk + 264, "block reserved");
    EXPECT_EQ(b[150720], 1);
    expectZero(b, 150721, 150728, "record tail");

    // Reading and writing again gives the same bytes.
    UserRecord back{};
    readUserRecord(b.data(), back);
    std::vector<uint8_t> again(userRecordSize, 0x55);
    writeUserRecord(back, again.data());
    EXPECT_EQ(again, b);
}

TEST(StoreLayout, TimeLineDayAndScoreRecordOffsets)
{
    static TimeLineDay day{};
    day.date = 43830; // 31 Dec 2019
    for (LessonBlock &blk : day.lessonBlocks) blk = emptyLessonBlock();
    day.lessonBlocks[554].slots[0] = NoteSlot{27, 3.5, 1.5, 1};
    std::vector<uint8_t> d(timeLineDaySize, 0xAA);
    writeTimeLineDay(day, d.data());
    EXPECT_EQ(leDouble(d, 0), 43830.0);
    EXPECT_EQ(le32(d, 8), 74);
    const std::size_t last = 8 + 264 * 554;
    EXPECT_EQ(le32(d, last), 27);
    EXPECT_EQ(leDouble(d, last + 8), 3.5);
    EXPECT_EQ(d[last + 24], 1);
    EXPECT_FALSE(isEmptyTimeLineDay(day));

    ScoreRecord r{};
    r.entries[9] = ScoreUserEntry{1, 0x0A0B0C0D, 3};
    r.referenceScore = 680;
    r.lessonBest = 612;
    r.holderKey = 10;
    r.holderTessitura = 2;
    std::vector<uint8_t> s(scoreRecordSize, 0xAA);
    writeScoreRecord(r, s.data());
    expectZero(s, 0, 108, "other entries");
    EXPECT_EQ(s[108], 1);
    expectZero(s, 109, 112, "entry reserved");
    EXPECT_EQ(le32(s, 112), 0x0A0B0C0D);
    EXPECT_EQ(le32(s, 116), 3);
    EXPECT_EQ(le32(s, 120), 680);
    EXPECT_EQ(le32(s, 124), 612);
    EXPECT_EQ(le32(s, 128), 10);
    EXPECT_EQ(le32(s, 132), 2);
}

TEST(StoreLayout, TextsLongerThanTheirFieldAreCut)
{
    static UserRecord r{};
    r.name = std::string(41, 'x');
    r.noteTallies[3].name = "C#2xx";
    std::vector<uint8_t> b(userRecordSize);
    writeUserRecord(r, b.data());
    EXPECT_EQ(b[0], 40);
    EXPECT_EQ(b[41], 0);
    EXPECT_EQ(b[120], 4);
    EXPECT_EQ(b[125], 0);
}
