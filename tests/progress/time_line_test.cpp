#include <string>

#include <gtest/gtest.h>

#include "store_fixture.h"

namespace {

int32_t today = 0;
int32_t injectedToday() { return today; }

LessonBlock blockWithNote(int32_t note)
{
    LessonBlock b = emptyLessonBlock();
    b.slots[0] = NoteSlot{note, 5.0, 3.0, 1};
    return b;
}

} // namespace

struct TimeLine : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        createStore();
        setTodayFunction(injectedToday);
    }
};

TEST_F(TimeLine, OneDayPerDateLatestResultPerLesson)
{
    const int64_t writes = storeFilesWritten("TimeLine");
    today = 40000;
    EXPECT_FALSE(addTimeLineEntry(1, 7, blockWithNote(10)));
    today = 40003;
    EXPECT_FALSE(addTimeLineEntry(1, 7, blockWithNote(11)));
    EXPECT_FALSE(addTimeLineEntry(1, 8, blockWithNote(12)));
    today = 40010;
    EXPECT_FALSE(addTimeLineEntry(1, 7, blockWithNote(13)));
    today = 40003; // a later lesson on the date of day 1 goes into day 1 again
    EXPECT_FALSE(addTimeLineEntry(1, 7, blockWithNote(14)));
    // One write per entry, never more.
    EXPECT_EQ(storeFilesWritten("TimeLine") - writes, 5);

    struct Day { int32_t d; double date; int32_t note7, note8; };
    const Day days[] = {{0, 40000, 10, 74}, {1, 40003, 14, 12}, {2, 40010, 13, 74}, {3, emptyDayNumber, 74, 74}};
    loadUsersFiles(); // what reached the file
    for (const Day &e : days) {
        const TimeLineDay &day = timeLineDay(0, e.d);
        EXPECT_EQ(day.date, e.date) << e.d;
        EXPECT_EQ(day.lessonBlocks[7].slots[0].note, e.note7) << e.d;
        EXPECT_EQ(day.lessonBlocks[8].slots[0].note, e.note8) << e.d;
    }
    int32_t n, successes, misses;
    countTrainingDays(1, n, successes, misses);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(successes, 0);
    EXPECT_EQ(misses, 0);

    // An empty date makes a day empty, whatever its blocks hold.
    editTimeLineDay(0, 1).date = emptyDayNumber;
    countTrainingDays(1, n, successes, misses);
    EXPECT_EQ(n, 2);
}

TEST_F(TimeLine, HundredthDayIsReportedOnceThenTheOldestDayIsDropped)
{
    beginStoreUpdate();
    for (int32_t d = 0; d < 99; ++d) {
        today = 41000 + d;
        ASSERT_FALSE(addTimeLineEntry(1, d % 5, blockWithNote(d % 70)));
    }
    endStoreUpdate();

    const int64_t writes = storeFilesWritten("TimeLine");
    today = 41099;
    EXPECT_TRUE(addTimeLineEntry(1, 0, blockWithNote(1)));
    EXPECT_EQ(storeFilesWritten("TimeLine") - writes, 1);
    EXPECT_EQ(userRecords[0].timeLineFull, 1);
    EXPECT_FALSE(addTimeLineEntry(1, 1, blockWithNote(2)));
    int32_t n, successes, misses;
    countTrainingDays(1, n, successes, misses);
    EXPECT_EQ(n, 100);
    EXPECT_EQ(successes + misses, 0);

    today = 41200;
    EXPECT_FALSE(addTimeLineEntry(1, 4, blockWithNote(3)));
    loadUsersFiles();
    EXPECT_EQ(userRecords[0].timeLineFull, 1);
    EXPECT_EQ(timeLineDay(0, 0).date, 41001);
    EXPECT_EQ(timeLineDay(0, 0).lessonBlocks[1].slots[0].note, 1);
    EXPECT_EQ(timeLineDay(0, 98).date, 41099);
    const TimeLineDay &last = timeLineDay(0, 99);
    EXPECT_EQ(last.date, 41200);
    for (int32_t L = 0; L < lessonBlockCount; ++L)
        ASSERT_EQ(isEmptyLessonBlock(last.lessonBlocks[L]), L != 4) << L;
}

TEST(TimeLineDates, CalendarAndText)
{
    struct Case { int32_t y, m, d; int32_t number; const char *text; };
    const Case cases[] = {
        {1899, 12, 30, 0, "30-Dec-99"}, {1899, 12, 31, 1, "31-Dec-99"}, {1900, 3, 1, 61, "1-Mar-00"},
        {2000, 5, 5, 36651, "5-May-00"}, {2009, 7, 14, 40008, "14-Jul-09"}, {2019, 12, 31, 43830, "31-Dec-19"},
        {2024, 2, 29, 45351, "29-Feb-24"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(dayNumberFromDate(c.y, c.m, c.d), c.number) << c.text;
        EXPECT_EQ(formatDayNumber(c.number), c.text);
        int32_t y, m, d;
        dateFromDayNumber(c.number, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    }
    // The date of an empty day, and of a user that is not there.
    std::string text;
    formatTimeLineDate(9, 0, text);
    EXPECT_EQ(text, "5-May-00");
}
