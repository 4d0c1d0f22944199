#include "base/stops.h"

#include "common/temp_folder.h"
#include <gtest/gtest.h>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

TEST(StopExitCode, NumberModBlockNeverZero)
{
    struct Case { int32_t stop; int code; };
    const Case cases[] = {{0, 0}, {5251, 1}, {4012, 12}, {500, 1}, {263, 13}, {3755, 5}, {18023, 23}};
    for (const Case &c : cases) EXPECT_EQ(stopExitCode(c.stop), c.code) << c.stop;
}

namespace {

class StopProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = testTempFolder("stops");
        log = dir + "debug.txt";
    }
    std::string logText()
    {
        std::ifstream in(log, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir;
    std::string log;
};

TEST_F(StopProgram, WritesOneCrLfLineAfterTheDetailAndExitsWithTheCode)
{
    EXPECT_EXIT(
        {
            if (openDebugLog(log) != 0) _exit(99);
            writeDebugDetail("drawBrimbleTalkingCycles: unkown figure=7");
            stopProgram(-3, 4012);
        },
        ::testing::ExitedWithCode(12), "stopNumber=4012 errorHint=-3");
    EXPECT_EQ(logText(), "drawBrimbleTalkingCycles: unkown figure=7\r\n"
                         "Harrowdeen: strange situation detected stopNumber=4012 errorHint=-3\r\n");
}

TEST_F(StopProgram, MultipleOf250ExitsWithOne)
{
    EXPECT_EXIT(
        {
            if (openDebugLog(log) != 0) _exit(99);
            stopProgram(0, 5250);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(logText(), "Harrowdeen: strange situation detected stopNumber=5250 errorHint=0\r\n");
}

TEST_F(StopProgram, StopZeroWritesNothingAndExitsWithZero)
{
    EXPECT_EXIT(
        {
            if (openDebugLog(log) != 0) _exit(99);
            stopProgram(5, 0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(logText(), "");
}

TEST_F(StopProgram, LogThatCannotBeCreatedGivesEight)
{
    EXPECT_EQ(openDebugLog(std::string(dir) + "/ResourceFiles/debug.txt"), 8);
    EXPECT_EQ(openDebugLog(""), 7);
}

// A debug log that cannot take a line (a full disk) ends the program with the
// disk-write-error code, whether the failing line is a detail or the stop,
// and says which file failed and why in words.
TEST_F(StopProgram, LogWriteFailureExitsWith101)
{
    EXPECT_EXIT(
        {
            if (openDebugLog("/dev/full") != 0) _exit(99);
            writeDebugDetail("loadWavIntoBuffer: cannot open file=/x.wav");
            _exit(98);
        },
        ::testing::ExitedWithCode(ioErrorExitCode),
        "cannot write the debug log /dev/full: no space left on the device \\(errno 28\\)");
    EXPECT_EXIT(
        {
            if (openDebugLog("/dev/full") != 0) _exit(99);
            stopProgram(0, 4012);
        },
        ::testing::ExitedWithCode(ioErrorExitCode), "stopNumber=4012");
}

// The reasons a store or the debug log meets most, in words; others in the
// system's words with a small first letter; 0 (a short write) as an I/O error.
TEST(SystemErrorText, WordsAndNumber)
{
    const struct {
        int err;
        const char *text;
    } cases[] = {
        {ENOSPC, "no space left on the device (errno 28)"},
        {EROFS, "the file system is read-only (errno 30)"},
        {EACCES, "permission denied (errno 13)"},
        {0, "an input/output error of the device (errno 5)"},
        {EBADF, "bad file descriptor (errno 9)"},
    };
    for (const auto &c : cases) EXPECT_EQ(systemErrorText(c.err), c.text) << c.err;
}

} // namespace
