#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/user_actions.h"
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

// Days that only look empty in part must come back from a load and a save
// exactly as they were: a dated day with empty blocks, an undated day that
// holds a result, and days of zero bytes in the reserved slots.
TEST_F(TimeLine, LoadAndSaveKeepEveryDayByteForByte)
{
    auto putDouble = [](std::vector<uint8_t> &b, std::size_t at, double v) {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i) b[at + i] = static_cast<uint8_t>(u >> (8 * i));
    };
    std::vector<uint8_t> empty(timeLineDaySize);
    {
        std::ifstream in(path("TimeLine"), std::ios::binary);
        in.read(reinterpret_cast<char *>(empty.data()), static_cast<std::streamsize>(empty.size()));
    }
    std::vector<uint8_t> datedOnly = empty;
    putDouble(datedOnly, 0, 43830);
    std::vector<uint8_t> undatedResult = empty;
    const std::size_t slot1 = 8 + 264 * 5;
    undatedResult[slot1] = 40;
    putDouble(undatedResult, slot1 + 8, -1.5);
    undatedResult[slot1 + 24] = 1;
    const std::vector<uint8_t> zeros(timeLineDaySize, 0);
    std::vector<uint8_t> undatedZeros = zeros;
    putDouble(undatedZeros, 0, emptyDayNumber);

    struct Patch { int32_t slot, day; const std::vector<uint8_t> *bytes; };
    const Patch patches[] = {{0, 0, &datedOnly}, {0, 1, &undatedResult}, {7, 99, &zeros}, {19, 50, &undatedZeros}};
    {
        std::fstream io(path("TimeLine"), std::ios::binary | std::ios::in | std::ios::out);
        for (const Patch &p : patches) {
            io.seekp(static_cast<std::streamoff>(p.slot * timeLineBlockSize + p.day * timeLineDaySize));
            io.write(reinterpret_cast<const char *>(p.bytes->data()), static_cast<std::streamsize>(timeLineDaySize));
        }
    }
    ASSERT_EQ(std::system(("cp '" + path("TimeLine") + "' '" + path("TimeLine.expected") + "'").c_str()), 0);

    loadUsersFiles();
    int32_t n, successes, misses;
    countTrainingDays(1, n, successes, misses);
    EXPECT_EQ(n, 1); // the undated day does not count
    // An undated day is an empty day: it is not read, and its bytes stay.
    EXPECT_TRUE(isEmptyTimeLineDay(timeLineDay(0, 1)));
    setUserCurrentLesson(1, 9);
    EXPECT_EQ(std::system(("cmp -s '" + path("TimeLine") + "' '" + path("TimeLine.expected") + "'").c_str()), 0);

    // A lesson on the dated day goes into it, not into the undated one.
    today = 43830;
    EXPECT_FALSE(addTimeLineEntry(1, 9, blockWithNote(20)));
    EXPECT_EQ(timeLineDay(0, 0).lessonBlocks[9].slots[0].note, 20);
    EXPECT_EQ(timeLineDay(0, 1).lessonBlocks[9].slots[0].note, 74);
}

namespace {

int64_t bytesReadByProcess()
{
    std::ifstream in("/proc/self/io");
    std::string key;
    int64_t value = 0;
    while (in >> key >> value)
        if (key == "rchar:") return value;
    return -1;
}

// Day d of a full history: every block filled, each day its own.
TimeLineDay fullDay(int32_t slot, int32_t d)
{
    TimeLineDay day{};
    day.date = 42000 + d;
    for (int32_t L = 0; L < lessonBlockCount; ++L) {
        LessonBlock &b = day.lessonBlocks[L];
        for (int32_t j = 0; j < 8; ++j) b.slots[j] = NoteSlot{(slot * 7 + d + L + j) % 74, d - 50.0, 0.25 * j, 1};
        b.done = 1;
    }
    return day;
}

} // namespace

// Six users with 100 days of every block filled: a start reads none of their
// days (the goal is 40 MB for the whole start; the time line alone is 88 MB).
// A user's days are read when needed, checked, and replace the last user's in
// memory; changes made to days never read (a new day dropping the oldest, a
// deleted user's time line emptied or moved up) reach the file whole.
TEST_F(TimeLine, AStartReadsNoDaysAndEachUsersDaysAreReadWhenNeeded)
{
    for (int i = 2; i <= 6; ++i) ASSERT_EQ(addUser("User" + std::to_string(i)), i); // slot i - 1, key i
    {
        const int fd = ::open(path("TimeLine").c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        std::vector<uint8_t> bytes(timeLineDaySize);
        for (int32_t s = 0; s < 6; ++s)
            for (int32_t d = 0; d < timeLineDayCount; ++d) {
                writeTimeLineDay(fullDay(s, d), bytes.data());
                const off_t at = static_cast<off_t>(s * timeLineBlockSize + d * timeLineDaySize);
                ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), at), static_cast<ssize_t>(bytes.size()));
            }
        ::close(fd);
    }
    auto sameDay = [](const TimeLineDay &a, const TimeLineDay &b) {
        if (a.date != b.date) return false;
        for (int32_t L = 0; L < lessonBlockCount; ++L)
            if (!sameLessonBlock(a.lessonBlocks[L], b.lessonBlocks[L])) return false;
        return true;
    };

    const int64_t before = bytesReadByProcess();
    loadUsersFiles();
    loadScoreFile();
    const int64_t startRead = bytesReadByProcess() - before;
    EXPECT_LE(startRead, 40 << 20);
    EXPECT_LE(startRead, static_cast<int64_t>(usersFileSize + scoreFileSize + (1 << 20)));
    EXPECT_EQ(timeLineDaysInMemory(), 0);

    // Only what is needed: one day, then all of that user's, then another
    // user's dates (the last user's days go).
    EXPECT_TRUE(sameDay(timeLineDay(3, 57), fullDay(3, 57)));
    EXPECT_EQ(timeLineDaysInMemory(), 1);
    for (int32_t d = 0; d < timeLineDayCount; ++d) timeLineDay(3, d);
    EXPECT_EQ(timeLineDaysInMemory(), 100);
    int32_t n, successes, misses;
    countTrainingDays(5, n, successes, misses); // slot 4
    EXPECT_EQ(n, 100);
    EXPECT_EQ(timeLineDaysInMemory(), 0);
    // A lesson end on today's day reads that day alone.
    today = 42099;
    addTimeLineEntry(5, 9, blockWithNote(30));
    EXPECT_EQ(timeLineDaysInMemory(), 1);
    auto slot4Day = [&](int32_t d) {
        TimeLineDay day = fullDay(4, d);
        if (d == 99) day.lessonBlocks[9] = blockWithNote(30);
        return day;
    };

    // The first lesson of a new day for slot 2, whose days were not read.
    today = 42100;
    addTimeLineEntry(3, 9, blockWithNote(33));
    EXPECT_TRUE(sameDay(timeLineDay(0, 99), fullDay(0, 99)));
    EXPECT_EQ(timeLineDaysInMemory(), 1);
    // The last user goes (slot 5 emptied unread), then the one in slot 1
    // (slots 2..4 move up).
    deleteUser(6);
    deleteUser(2);
    loadUsersFiles();
    EXPECT_EQ(timeLineDaysInMemory(), 0);
    // Slot by slot: each slot read is one user's days (14.65 MB) read again.
    for (int32_t d = 0; d < timeLineDayCount; ++d) ASSERT_TRUE(sameDay(timeLineDay(0, d), fullDay(0, d))) << d;
    for (int32_t d = 0; d < 99; ++d) ASSERT_TRUE(sameDay(timeLineDay(1, d), fullDay(2, d + 1))) << d;
    for (int32_t d = 0; d < timeLineDayCount; ++d) ASSERT_TRUE(sameDay(timeLineDay(2, d), fullDay(3, d))) << d;
    for (int32_t d = 0; d < timeLineDayCount; ++d) ASSERT_TRUE(sameDay(timeLineDay(3, d), slot4Day(d))) << d;
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        ASSERT_TRUE(isEmptyTimeLineDay(timeLineDay(4, d))) << d;
        ASSERT_TRUE(isEmptyTimeLineDay(timeLineDay(5, d))) << d;
    }
    EXPECT_EQ(timeLineDay(1, 99).date, 42100);
    EXPECT_EQ(timeLineDay(1, 99).lessonBlocks[9].slots[0].note, 33);
}
