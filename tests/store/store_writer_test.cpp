// A transaction committed in the background: memory holds it at once, the
// disk gets the same bytes as from a commit on the calling thread, whatever
// reaches the disk next waits for it, and a failure there still stops the
// program with the file's stop.
#include <array>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>
#include <zlib.h>

#include <gtest/gtest.h>

#include "base/stops.h"
#include "store/recording_file.h"
#include "sound/recording.h"
#include "store_fixture.h"

namespace {

struct StoreWriter : StoreFolderTest {
    // A store with the administrator and "Bea" (key 2), and the day fixed.
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        createStore();
        setTodayFunction(fixedStoreToday);
        addUser("Bea");
    }

    // Bea passes lesson 5: lesson 6 becomes current, the block and the day's
    // entry are stored.
    void lessonEnd(StoreCommit commit, double mean = -3.5) { storeLessonResult(2, 5, storedBlockWithMean(mean), true, commit); }

    uint32_t fileCrc(const std::string &name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::vector<char> piece(1 << 20);
        uLong crc = crc32(0L, Z_NULL, 0);
        while (in) {
            in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
            crc = crc32(crc, reinterpret_cast<const Bytef *>(piece.data()), static_cast<uInt>(in.gcount()));
        }
        return static_cast<uint32_t>(crc);
    }

    std::array<uint32_t, 3> storeCrcs() const
    {
        return {fileCrc("UsersFile"), fileCrc("TimeLine"), fileCrc("ScoreFile")};
    }
};

TEST_F(StoreWriter, TheLessonEndReturnsBeforeTheDiskAndWritesWhatACommitNowWrites)
{
    lessonEnd(StoreCommit::now);
    const std::array<uint32_t, 3> written = storeCrcs();
    TearDown();
    SetUp();

    const std::array<uint32_t, 3> before = storeCrcs();
    holdStoreWriterUntilWaited();
    lessonEnd(StoreCommit::inBackground);
    // Memory has the results; the disk has nothing of them yet.
    EXPECT_EQ(getUserCurrentLesson(2), 6);
    LessonBlock block;
    getUserLessonBlock(2, 3, block);
    EXPECT_EQ(block.slots[0].mean, -3.5);
    EXPECT_EQ(storeCrcs(), before);
    EXPECT_FALSE(exists("StoreJournal"));

    waitForStoreWrites();
    EXPECT_EQ(storeCrcs(), written);
    EXPECT_FALSE(exists("StoreJournal"));
}

// What reads or writes the store next waits for the held commit: a later
// action's commit lands after it (the files are what two commits in a row
// write), a load reads the lesson's results.
TEST_F(StoreWriter, LaterCommitsAndLoadsWaitForTheCommitUnderWay)
{
    lessonEnd(StoreCommit::now);
    setUserTessitura(2, 1);
    const std::array<uint32_t, 3> written = storeCrcs();

    struct Case {
        const char *what;
        void (*after)();
    };
    const Case cases[] = {
        {"a later action", [] { setUserTessitura(2, 1); }},
        {"a load", [] {
             loadUsersFiles();
             loadScoreFile();
             setUserTessitura(2, 1);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        holdStoreWriterUntilWaited();
        lessonEnd(StoreCommit::inBackground);
        c.after();
        EXPECT_EQ(getUserCurrentLesson(2), 6);
        EXPECT_EQ(storeCrcs(), written);
    }
}

// The quit waits for the commit; a commit that fails on the writer thread
// ends the program with the file's stop, its line last in the debug log,
// whether the main thread is quitting or committing the next action.
TEST_F(StoreWriter, TheProgramEndWaitsAndAFailureThereStopsWithTheFilesStop)
{
    const std::array<uint32_t, 3> before = storeCrcs();
    EXPECT_EXIT(
        {
            holdStoreWriterUntilWaited();
            lessonEnd(StoreCommit::inBackground);
            quitProgram();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_NE(storeCrcs(), before);
    loadUsersFiles();
    EXPECT_EQ(getUserCurrentLesson(2), 6);
    EXPECT_FALSE(exists("StoreJournal"));

    const std::string log = path("debug.txt");
    struct Case {
        const char *what;
        void (*breakIt)(const std::string &timeLine);
        void (*next)();
    };
    const Case cases[] = {
        {"a full disk, then the next action",
         [](const std::string &) { injectStoreWriteFault(1, 100); }, [] { setUserTessitura(2, 1); }},
        {"the time line cut short, then Quit",
         [](const std::string &timeLine) { ASSERT_EQ(::truncate(timeLine.c_str(), 4096), 0); }, [] { quitProgram(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(
            {
                openDebugLog(log);
                holdStoreWriterUntilWaited();
                lessonEnd(StoreCommit::inBackground, -7.25);
                c.breakIt(path("TimeLine"));
                c.next();
            },
            ::testing::ExitedWithCode(stopExitCode(stopUsersSaveWrite)),
            "stopNumber=" + std::to_string(stopUsersSaveWrite));
        std::ifstream in(log, std::ios::binary);
        std::string line, last;
        while (std::getline(in, line)) last = line;
        EXPECT_EQ(last, stopLine(0, stopUsersSaveWrite) + "\r");
    }
}

// The replay's recording goes to its file on the writer thread from a copy:
// the buffer may take the next recording meanwhile.
TEST_F(StoreWriter, TheRecordingIsWrittenFromACopy)
{
    for (int32_t i = 0; i < 3 * recordingBlockLength; ++i) recordingBuffer[i] = static_cast<int16_t>(i * 7);
    holdStoreWriterUntilWaited();
    lessonEnd(StoreCommit::inBackground);
    saveReplayRecordingInBackground(3 * recordingBlockLength, RecordingKind::oneAnswer);
    EXPECT_EQ(recordedSampleCount, 3 * recordingBlockLength);
    EXPECT_FALSE(exists("soundout.raw"));
    recordingBuffer[5] = -1;

    std::string error;
    ASSERT_TRUE(loadReplayRecording(error)) << error;
    EXPECT_EQ(recordedSampleCount, 3 * recordingBlockLength);
    EXPECT_EQ(recordingBuffer[5], 35);
    EXPECT_EQ(recordingBuffer[3 * recordingBlockLength - 1], static_cast<int16_t>((3 * recordingBlockLength - 1) * 7));
}

} // namespace
