#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "store/user_actions.h"
#include "store/password.h"
#include "store_fixture.h"

namespace {

LessonBlock blockWithNote(int32_t note)
{
    LessonBlock b = emptyLessonBlock();
    b.slots[0] = NoteSlot{note, 1.0, 2.0, 1};
    b.done = 1;
    return b;
}

int32_t fixedToday() { return 43830; }

} // namespace

using UsersFile = StoreFolderTest;

TEST_F(UsersFile, FirstUseWritesTheSlotTableAndAllThreeFiles)
{
    createStore();
    EXPECT_EQ(usedUserKeys, 2);
    ASSERT_EQ(fileSize("UsersFile"), 3014560);
    ASSERT_EQ(fileSize("TimeLine"), 293056000);
    ASSERT_EQ(fileSize("ScoreFile"), 75752);

    const std::vector<uint8_t> u = readFile("UsersFile");
    struct Slot { int32_t key, tessitura, lesson; };
    Slot expected[20];
    for (int s = 0; s < 20; ++s) expected[s] = {0, 0, 0};
    expected[0] = {1, 3, 1};
    for (int s = 6; s <= 9; ++s) expected[s].key = 20;
    for (int s = 10; s <= 19; ++s) expected[s].key = s + 1;
    for (int s = 15; s <= 19; ++s) expected[s].tessitura = 3;
    for (int s = 0; s < 20; ++s) {
        const std::size_t r = s * userRecordSize;
        EXPECT_EQ(le32(u, r + 44), expected[s].key) << s;
        EXPECT_EQ(le32(u, r + 48), expected[s].tessitura) << s;
        EXPECT_EQ(le32(u, r + 112), expected[s].lesson) << s;
        // Blocks: empty in the user slots, zero bytes in the reserved ones.
        EXPECT_EQ(le32(u, r + 4200 + 264 * 554), s < 6 ? 74 : 0) << s;
        EXPECT_EQ(leDouble(u, r + 4200 + 8), s < 6 ? 100.0 : 0.0) << s;
        // Tallies: names for C2..C6, nothing beyond.
        EXPECT_EQ(std::string(u.begin() + r + 121, u.begin() + r + 121 + u[r + 120]), "C2") << s;
        EXPECT_EQ(u[r + 120 + 48 * 48], 2) << "C6 name length, slot " << s;
        EXPECT_EQ(u[r + 120 + 48 * 49], 0) << "C#6 has no name, slot " << s;
    }
    EXPECT_EQ(std::string(u.begin() + 1, u.begin() + 1 + u[0]), "Admin");
    const std::size_t pw = 10 * userRecordSize;
    const std::string stored(u.begin() + pw + 1, u.begin() + pw + 1 + u[pw]);
    EXPECT_EQ(stored, std::string({0x09, 0x20, 0x3E, 0x27, 0x27, 0x28, 0x2E, 0x4D, 0x5A, 0x57}));

    const std::vector<uint8_t> s = readFile("ScoreFile");
    EXPECT_EQ(le32(s, 120), 400);
    EXPECT_EQ(le32(s, 556 * 136 + 120), 1220);

    // Loading it back.
    usedUserKeys = 0;
    loadUsersFiles();
    loadScoreFile();
    EXPECT_EQ(usedUserKeys, 2);
    std::string password;
    scramblePassword(userRecords[10].name, password);
    EXPECT_EQ(password, "Brisketmoo");
    EXPECT_EQ(getHighestPassedLesson(1), 1);
    LessonBlock b;
    for (int32_t L = 0; L < lessonBlockCount; L += 50) EXPECT_EQ(getUserLessonBlock(1, L, b), 0);
    for (int32_t key = 11; key <= 19; ++key) EXPECT_EQ(findUserSlot(key), -1) << key;
    EXPECT_EQ(findUserSlot(20), 6);
    EXPECT_TRUE(isEmptyTimeLineDay(timeLineDay(19, 99)));

    // Nothing changed: a save writes nothing.
    const int64_t before = storeFilesWritten("UsersFile") + storeFilesWritten("TimeLine");
    saveUsersFiles();
    saveScoreFile();
    EXPECT_EQ(storeFilesWritten("UsersFile") + storeFilesWritten("TimeLine"), before);
}

TEST_F(UsersFile, AddAndDeleteMoveUsersWithTheirResultsAndLessonBests)
{
    createStore();
    setTodayFunction(fixedToday);
    const char *names[] = {"Bea", "Cem", "Dag", "Eli", "Fay"};
    beginStoreUpdate();
    for (int i = 0; i < 5; ++i) {
        const int32_t key = addUser(names[i]);
        ASSERT_EQ(key, i + 2);
        ASSERT_EQ(findUserSlot(key), i + 1);
        setUserLessonBlock(key, 0, blockWithNote(key * 2));
        addTimeLineEntry(key, 3, blockWithNote(key * 3));
    }
    endStoreUpdate();
    EXPECT_EQ(userRecords[1].currentLesson, 1);
    EXPECT_EQ(usedUserKeys, 0x7E);

    // A seventh user is refused and no file is written.
    const int64_t writes = storeFilesWritten("UsersFile") + storeFilesWritten("TimeLine");
    EXPECT_EQ(addUser("Gus"), 0);
    EXPECT_EQ(storeFilesWritten("UsersFile") + storeFilesWritten("TimeLine"), writes);

    // Lesson 5: key 3 holds the best, keys 4 and 5 tie below it. Lesson 6: only key 3.
    EXPECT_TRUE(recordScore(5, 3, 2, 500));
    EXPECT_FALSE(recordScore(5, 4, 1, 300));
    EXPECT_FALSE(recordScore(5, 5, 3, 300));
    EXPECT_TRUE(recordScore(6, 3, 2, 200));

    ASSERT_TRUE(deleteUser(3));
    struct After { int32_t slot, key; };
    const After after[] = {{0, 1}, {1, 2}, {2, 4}, {3, 5}, {4, 6}, {5, 0}};
    for (const After &a : after) {
        EXPECT_EQ(userRecords[a.slot].key, a.key) << a.slot;
        if (a.key > 1) {
            EXPECT_EQ(userRecords[a.slot].lessonBlocks[0].slots[0].note, a.key * 2) << a.slot;
            EXPECT_EQ(timeLineDay(a.slot, 0).lessonBlocks[3].slots[0].note, a.key * 3) << a.slot;
        }
    }
    EXPECT_EQ(userRecords[5].currentLesson, 0);
    EXPECT_EQ(userRecords[5].name, "");
    EXPECT_TRUE(isEmptyLessonBlock(userRecords[5].lessonBlocks[0]));
    EXPECT_TRUE(isEmptyTimeLineDay(timeLineDay(5, 0)));

    int32_t holder, holderTessitura, rating;
    std::string holderName;
    EXPECT_EQ(getLessonBest(5, holder, holderTessitura, rating, holderName), 300);
    EXPECT_EQ(holder, 4);
    EXPECT_EQ(holderTessitura, 1);
    EXPECT_EQ(holderName, "Dag");
    EXPECT_EQ(getLessonBest(6, holder, holderTessitura, rating, holderName), 0);
    EXPECT_EQ(holder, 0);
    EXPECT_EQ(holderTessitura, 0);

    // The files hold the same state.
    loadUsersFiles();
    loadScoreFile();
    EXPECT_EQ(userRecords[2].key, 4);
    EXPECT_EQ(timeLineDay(2, 0).lessonBlocks[3].slots[0].note, 12);
    EXPECT_EQ(scoreRecords[5].holderKey, 4);
    EXPECT_EQ(usedUserKeys, 0x76);

    // The freed key comes back in the freed slot, without old results.
    EXPECT_EQ(addUser("Hal"), 3);
    EXPECT_EQ(findUserSlot(3), 5);
    LessonBlock b;
    EXPECT_EQ(getUserLessonBlock(3, 0, b), 0);
    EXPECT_EQ(getUserScore(5, 3), 0);

    // Deleting the user of the last slot only frees that slot.
    ASSERT_TRUE(deleteUser(3));
    EXPECT_EQ(userRecords[4].key, 6);
    EXPECT_EQ(userRecords[5].key, 0);
}

TEST_F(UsersFile, UnknownKeysChangeNothing)
{
    createStore();
    const std::vector<uint8_t> users = readFile("UsersFile");
    const std::vector<uint8_t> scores = readFile("ScoreFile");
    const int32_t unknown[] = {0, -1, 7, 11, 20, 1000};
    for (int32_t key : unknown) {
        EXPECT_TRUE(deleteUser(key)) << key;
        EXPECT_FALSE(setUserTessitura(key, 2)) << key;
        setUserCurrentLesson(key, 9);
        setUserLessonBlock(key, 0, blockWithNote(5));
        EXPECT_FALSE(addTimeLineEntry(key, 0, blockWithNote(5))) << key;
        LessonBlock b;
        EXPECT_EQ(getUserLessonBlock(key, 0, b), 0) << key;
        EXPECT_EQ(getHighestPassedLesson(key), 1) << key;
        EXPECT_FALSE(recordScore(5, key, 1, 100)) << key;
    }
    // Block indexes outside 0..554 for a present user.
    setUserLessonBlock(1, 555, blockWithNote(5));
    setUserLessonBlock(1, -1, blockWithNote(5));
    EXPECT_FALSE(addTimeLineEntry(1, 555, blockWithNote(5)));
    EXPECT_EQ(readFile("UsersFile"), users);
    EXPECT_EQ(readFile("ScoreFile"), scores);
    EXPECT_EQ(userRecords[0].key, 1);
}

TEST_F(UsersFile, LessonBlocksAndHighestPassedLesson)
{
    createStore();
    const int64_t timeLineWrites = storeFilesWritten("TimeLine");
    EXPECT_TRUE(setUserTessitura(1, 2));
    EXPECT_EQ(userRecords[0].tessitura, 2);
    setUserLessonBlock(1, 0, blockWithNote(30));
    EXPECT_EQ(getHighestPassedLesson(1), 2);
    setUserLessonBlock(1, 554, blockWithNote(31));
    EXPECT_EQ(getHighestPassedLesson(1), 556);
    LessonBlock b;
    EXPECT_EQ(getUserLessonBlock(1, 554, b), 1);
    EXPECT_EQ(b.slots[0].note, 31);
    setUserCurrentLesson(1, 42);
    EXPECT_EQ(getUserCurrentLesson(1), 42);
    // A 40-character name is stored whole.
    const std::string name40(40, 'n');
    const int32_t key = addUser(name40);
    loadUsersFiles();
    EXPECT_EQ(userRecords[findUserSlot(key)].name, name40);
    EXPECT_EQ(getUserCurrentLesson(1), 42);
    EXPECT_EQ(userRecords[0].tessitura, 2);
    // None of this touched the time line.
    EXPECT_EQ(storeFilesWritten("TimeLine"), timeLineWrites);
}

TEST_F(UsersFile, FirstUseOnlyForAMissingOrEmptyFile)
{
    EXPECT_TRUE(usersFileNeedsFirstUse());
    { std::ofstream(path("UsersFile")); }
    EXPECT_TRUE(usersFileNeedsFirstUse());
    { std::ofstream(path("UsersFile")) << "x"; }
    EXPECT_FALSE(usersFileNeedsFirstUse());
}

TEST_F(UsersFile, AUsersFileThatCannotBeReadStopsWithoutTouchingFiles)
{
    struct Case { const char *what; void (*make)(const std::string &); };
    const Case cases[] = {
        {"a folder", [](const std::string &p) { ::mkdir(p.c_str(), 0755); }},
        {"a link loop", [](const std::string &p) { [[maybe_unused]] int rc = ::symlink(p.c_str(), p.c_str()); }},
    };
    for (const Case &c : cases) {
        ::unlink(path("UsersFile").c_str());
        ::rmdir(path("UsersFile").c_str());
        c.make(path("UsersFile"));
        EXPECT_EXIT(usersFileNeedsFirstUse(), ::testing::ExitedWithCode(3269 % 250), "stopNumber=3269") << c.what;
        EXPECT_FALSE(exists("TimeLine")) << c.what;
        EXPECT_FALSE(exists("ScoreFile")) << c.what;
    }
}

TEST_F(UsersFile, LoadFailuresGiveTheirStops)
{
    createStore();
    const std::vector<uint8_t> users = readFile("UsersFile");
    const std::vector<uint8_t> scores = readFile("ScoreFile");
    auto truncateTo = [&](const char *name, const std::vector<uint8_t> &bytes, std::size_t size) {
        std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(size));
    };

    truncateTo("UsersFile", users, userRecordSize * 19);
    EXPECT_EXIT(loadUsersFiles(), ::testing::ExitedWithCode(3256 % 250), "stopNumber=3256");
    ::unlink(path("UsersFile").c_str());
    EXPECT_EXIT(loadUsersFiles(), ::testing::ExitedWithCode(3255 % 250), "stopNumber=3255");
    truncateTo("UsersFile", users, users.size());
    ::rename(path("TimeLine").c_str(), path("TimeLine.away").c_str());
    EXPECT_EXIT(loadUsersFiles(), ::testing::ExitedWithCode(3255 % 250), "stopNumber=3255");

    truncateTo("ScoreFile", scores, scoreRecordSize * 556);
    EXPECT_EXIT(loadScoreFile(), ::testing::ExitedWithCode(3265 % 250), "stopNumber=3265");
    ::unlink(path("ScoreFile").c_str());
    EXPECT_EXIT(loadScoreFile(), ::testing::ExitedWithCode(3264 % 250), "stopNumber=3264");

    // A time line of the wrong size ends like a short users file, and nothing
    // is written over it: a truncated history is never saved back for good.
    ::rename(path("TimeLine.away").c_str(), path("TimeLine").c_str());
    for (const int64_t size : {int64_t{0}, static_cast<int64_t>(timeLineBlockSize + timeLineDaySize),
                               static_cast<int64_t>(timeLineFileSize + 1)}) {
        ASSERT_EQ(::truncate(path("TimeLine").c_str(), size), 0);
        EXPECT_EXIT(loadUsersFiles(), ::testing::ExitedWithCode(3256 % 250), "stopNumber=3256") << size;
        EXPECT_EQ(fileSize("TimeLine"), size);
    }
}

// A users file of the right size that breaks what the format fixes ends in
// stop 3269 naming the slot and field, and nothing is written.
TEST_F(UsersFile, ADamagedRecordStopsWithItsSlotAndField)
{
    createStore();
    addUser("Bea");
    usersFileDamagedOnPurpose = true;
    const std::vector<uint8_t> good = readFile("UsersFile");
    auto put32 = [](std::vector<uint8_t> &b, std::size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    };
    struct Case { int32_t slot; std::size_t at; int32_t value; bool byte; const char *detail; };
    const Case cases[] = {
        {7, 44, 0, false, "slot 7 field key value 0"},
        {12, 44, 14, false, "slot 12 field key value 14"},
        {2, 112, 5, false, "slot 2 field currentLesson value 5"},
        {1, 0, 41, true, "slot 1 field name length value 41"},
        {1, 44, 11, false, "slot 1 field key value 11"},
        {1, 44, 1, false, "slot 1 field key value 1"}, // the administrator's key again
        {0, 48, 4, false, "slot 0 field tessitura value 4"},
        {0, 112, 558, false, "slot 0 field currentLesson value 558"},
        {1, 112, 0, false, "slot 1 field currentLesson value 0"},
        {4, 150720, 2, true, "slot 4 field timeLineFull value 2"},
        {1, 4200 + 264 * 554 + 256, 7, true, "slot 1 field lessonBlock 554 done value 7"},
        {0, 4200 + 264 * 3 + 32 * 7 + 24, 2, true, "slot 0 field lessonBlock 3 slot 8 passed value 2"},
        // Lesson 2's chosen notes and any other slot's note index the note tables.
        {1, 4200 + 32 * 2, 75, false, "slot 1 field lessonBlock 0 slot 3 note value 75"},
        {0, 4200, -1, false, "slot 0 field lessonBlock 0 slot 1 note value -1"},
        {1, 4200 + 264 * 554 + 32 * 7, 1000000, false, "slot 1 field lessonBlock 554 slot 8 note value 1000000"},
        {15, 4200 + 264 * 9, 80, false, "slot 15 field lessonBlock 9 slot 1 note value 80"},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> bad = good;
        const std::size_t at = c.slot * userRecordSize + c.at;
        if (c.byte)
            bad[at] = static_cast<uint8_t>(c.value);
        else
            put32(bad, at, c.value);
        {
            std::ofstream out(path("UsersFile"), std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char *>(bad.data()), static_cast<std::streamsize>(bad.size()));
        }
        EXPECT_EXIT(loadUsersFiles(), ::testing::ExitedWithCode(3269 % 250), c.detail) << c.detail;
        EXPECT_EQ(readFile("UsersFile"), bad) << c.detail;
    }

    // What the lesson end writes after the last lesson loads as that lesson;
    // a user without a tessitura yet is a user.
    std::vector<uint8_t> edge = good;
    put32(edge, 1 * userRecordSize + 112, 557);
    put32(edge, 1 * userRecordSize + 48, 0);
    put32(edge, 1 * userRecordSize + 4200, 0);       // lowest note A1
    put32(edge, 1 * userRecordSize + 4200 + 32, 73); // highest in use below the empty 74
    {
        std::ofstream out(path("UsersFile"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(edge.data()), static_cast<std::streamsize>(edge.size()));
    }
    loadUsersFiles();
    EXPECT_EQ(getUserCurrentLesson(2), 556);
    usersFileDamagedOnPurpose = false;
}

// A save serialises only the records that differ from what it last wrote:
// a change in any slot, of any field (a mean's sign too), and its undoing
// reach the file, and so do the bytes a load corrected or would not write.
TEST_F(UsersFile, SavesWriteEveryChangedRecordWhateverItsSlot)
{
    createStore();
    addUser("Second");
    addUser("Third");
    struct Case {
        const char *what;
        void (*change)();
    };
    const Case cases[] = {
        {"a lesson block, slot 3", [] { userRecords[3].lessonBlocks[100].slots[2].mean = 5.5; }},
        {"a zero mean made -0.0, slot 7", [] { userRecords[7].lessonBlocks[3].slots[0].mean = -0.0; }},
        {"a note tally's sum, slot 5", [] { userRecords[5].noteTallies[40].sumHz += 1.0; }},
        {"a note tally's name, slot 1", [] { userRecords[1].noteTallies[60].name = "C7"; }},
        {"a rhythm tally, slot 4", [] { userRecords[4].rhythmTallies[9].sumDeviation[1] = 12.5; }},
        {"the password, slot 10", [] { userRecords[10].name = "x"; }},
        {"the time-line flag, slot 19", [] { userRecords[19].timeLineFull = 1; }},
        {"the ends of slots 3 and 4", [] {
             userRecords[3].timeLineFull = 1;
             userRecords[4].name = "Neighbour";
         }},
    };
    for (const Case &c : cases) {
        loadUsersFiles();
        const std::vector<uint8_t> before = readFile("UsersFile");
        const std::vector<UserRecord> loaded(userRecords, userRecords + userSlotCount);
        c.change();
        saveUsersFiles();
        EXPECT_NE(readFile("UsersFile"), before) << c.what;
        EXPECT_EQ(readFile("UsersFile"), usersFileImage()) << c.what;
        std::copy(loaded.begin(), loaded.end(), userRecords);
        saveUsersFiles();
        EXPECT_EQ(readFile("UsersFile"), before) << c.what << " undone";
    }

    // Slot 2's lesson 557 loads as 556; slot 12 holds a byte after its name.
    std::vector<uint8_t> odd = readFile("UsersFile");
    odd[2 * userRecordSize + 112] = 557 & 0xff;
    odd[2 * userRecordSize + 113] = 557 >> 8;
    odd[12 * userRecordSize + 40] = 'x';
    {
        std::ofstream out(path("UsersFile"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(odd.data()), static_cast<std::streamsize>(odd.size()));
    }
    loadUsersFiles();
    setUserCurrentLesson(1, 9);
    const std::vector<uint8_t> saved = readFile("UsersFile");
    EXPECT_EQ(saved, usersFileImage());
    EXPECT_EQ(le32(saved, 2 * userRecordSize + 112), 556);
    EXPECT_EQ(saved[12 * userRecordSize + 40], 0);
}

// A time-line day in use or a score record that breaks what its format fixes
// stops when it is read (3271 naming the file, user and day; 3272 naming the
// lesson, key and field), and nothing is written over it. Time-line days are
// read when a user's days are first needed, not at the start.
TEST_F(UsersFile, DamagedTimeLineDaysAndScoreRecordsStopWithWhereTheyAre)
{
    createStore();
    addUser("Bea"); // slot 1, key 2
    TimeLineDay day{};
    day.date = 44000;
    for (LessonBlock &b : day.lessonBlocks) b = emptyLessonBlock();
    day.lessonBlocks[7] = blockWithNote(20);
    std::vector<uint8_t> good(timeLineDaySize);
    writeTimeLineDay(day, good.data());
    const off_t dayAt = static_cast<off_t>(timeLineBlockSize + 3 * timeLineDaySize); // slot 1, day 3
    auto putDay = [&](const std::vector<uint8_t> &bytes) {
        const int fd = ::open(path("TimeLine").c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), dayAt), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    };
    auto dayOnDisk = [&] {
        std::vector<uint8_t> bytes(timeLineDaySize);
        const int fd = ::open(path("TimeLine").c_str(), O_RDONLY);
        EXPECT_EQ(::pread(fd, bytes.data(), bytes.size(), dayAt), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
        return bytes;
    };
    auto put = [](std::vector<uint8_t> &b, std::size_t at, auto value) { std::memcpy(&b[at], &value, sizeof value); };
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const std::size_t block7 = 8 + 264 * 7, block554 = 8 + 264 * 554;
    struct Case { std::size_t at; double d; int32_t i; int size; const char *detail; };
    const Case timeLineCases[] = {
        {0, nan, 0, 8, "day 3 field date value nan"},
        {0, 44000.5, 0, 8, "day 3 field date value 44000.5"},
        {0, 0.0, 0, 8, "day 3 field date value 0"},
        {0, 1.0, 0, 8, "day 3 field date value 1"},                 // 31 Dec 1899
        {0, 109575.0, 0, 8, "day 3 field date value 109575"},       // 1 Jan 2200
        {0, -1e300, 0, 8, "day 3 field date value -1.0000000000000001e.300"},
        {block7, 0, 75, 4, "day 3 field lessonBlock 7 slot 1 note value 75"},
        {block554 + 32 * 7, 0, -1, 4, "day 3 field lessonBlock 554 slot 8 note value -1"},
        {block7 + 8, inf, 0, 8, "day 3 field lessonBlock 7 slot 1 mean value inf"},
        {block7 + 32 * 2 + 16, -nan, 0, 8, "day 3 field lessonBlock 7 slot 3 deviation value -nan"},
        {block7 + 24, 0, 2, 1, "day 3 field lessonBlock 7 slot 1 passed value 2"},
        {block554 + 256, 0, 255, 1, "day 3 field lessonBlock 554 done value 255"},
    };
    for (const Case &c : timeLineCases) {
        std::vector<uint8_t> bad = good;
        if (c.size == 8) put(bad, c.at, c.d);
        if (c.size == 4) put(bad, c.at, c.i);
        if (c.size == 1) bad[c.at] = static_cast<uint8_t>(c.i);
        putDay(bad);
        loadUsersFiles(); // the start reads no days
        loadScoreFile();
        const std::string expected = std::string("TimeLine is damaged: user \"Bea\" \\(slot 1, key 2\\) ") + c.detail;
        // The time-line screens and the export read days; a lesson end on the
        // day's date edits it.
        EXPECT_EXIT(timeLineDay(1, 3), ::testing::ExitedWithCode(3271 % 250), expected) << c.detail;
        setTodayFunction([] { return int32_t{44000}; });
        EXPECT_EXIT(addTimeLineEntry(2, 5, blockWithNote(30)), ::testing::ExitedWithCode(3271 % 250), expected)
            << c.detail;
        setTodayFunction(nullptr);
        EXPECT_EQ(dayOnDisk(), bad) << c.detail;
        EXPECT_TRUE(isEmptyTimeLineDay(timeLineDay(0, 3))) << "another user's days read whole: " << c.detail;
    }

    // The edges of what the format allows load; a day with the empty date is
    // an empty day whatever its blocks hold.
    std::vector<uint8_t> edge = good;
    put(edge, 0, 2.0); // 1 January 1900
    put(edge, block7, int32_t{0});
    put(edge, block7 + 32, int32_t{74});
    put(edge, block7 + 8, -1e300);
    putDay(edge);
    loadUsersFiles();
    EXPECT_EQ(timeLineDay(1, 3).date, 2.0);
    put(edge, 0, 109574.0); // 31 December 2199
    put(edge, block554 + 256, uint8_t{1});
    putDay(edge);
    loadUsersFiles();
    EXPECT_EQ(timeLineDay(1, 3).lessonBlocks[554].done, 1);
    std::vector<uint8_t> emptyDated = good;
    put(emptyDated, 0, emptyDayNumber);
    put(emptyDated, block7, int32_t{999});
    putDay(emptyDated);
    loadUsersFiles();
    EXPECT_TRUE(isEmptyTimeLineDay(timeLineDay(1, 3)));

    const std::vector<uint8_t> scores = readFile("ScoreFile");
    const Case scoreCases[] = {
        {0 * 136 + 0, 0, 2, 1, "lesson 1 key 1 field skipIntro value 2"},
        {556 * 136 + 9 * 12 + 4, 0, -1, 4, "lesson 557 key 10 field best value -1"},
        {1 * 136 + 2 * 12 + 8, 0, 4, 4, "lesson 2 key 3 field tessitura value 4"},
        {99 * 136 + 120, 0, -680, 4, "lesson 100 field referenceScore value -680"},
        {99 * 136 + 124, 0, -5, 4, "lesson 100 field lessonBest value -5"},
        {3 * 136 + 128, 0, 11, 4, "lesson 4 field holderKey value 11"},
        {3 * 136 + 132, 0, -1, 4, "lesson 4 field holderTessitura value -1"},
    };
    for (const Case &c : scoreCases) {
        std::vector<uint8_t> bad = scores;
        if (c.size == 4) put(bad, c.at, c.i);
        if (c.size == 1) bad[c.at] = static_cast<uint8_t>(c.i);
        {
            std::ofstream out(path("ScoreFile"), std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char *>(bad.data()), static_cast<std::streamsize>(bad.size()));
        }
        const std::string expected = std::string("ScoreFile is damaged: ") + c.detail;
        EXPECT_EXIT(loadScoreFile(), ::testing::ExitedWithCode(3272 % 250), expected) << c.detail;
        EXPECT_EQ(readFile("ScoreFile"), bad) << c.detail;
    }
    // A zero-filled score file (no scores, reference 0) is what the format allows.
    {
        std::ofstream out(path("ScoreFile"), std::ios::binary | std::ios::trunc);
        const std::vector<char> zeros(scoreFileSize, 0);
        out.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    loadScoreFile();
    EXPECT_EQ(getUserScore(1, 1), 0);
}

// Adding a user clears the reissued key's score entries on disk in the same
// action, so a later crash cannot hand a stale personal best to the new user.
TEST_F(UsersFile, AddedUsersClearedScoresReachTheDiskWithTheUser)
{
    createStore();
    std::vector<uint8_t> scores = readFile("ScoreFile");
    const std::size_t entry = 4 * scoreRecordSize + 1 * scoreUserEntrySize; // lesson 5, key 2
    scores[entry + 4] = 0xBC; // best 700
    scores[entry + 5] = 0x02;
    {
        std::ofstream out(path("ScoreFile"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(scores.data()), static_cast<std::streamsize>(scores.size()));
    }
    loadScoreFile();
    ASSERT_EQ(getUserScore(5, 2), 700);
    ASSERT_EQ(addUser("Bea"), 2);
    EXPECT_EQ(le32(readFile("ScoreFile"), entry + 4), 0);
}
