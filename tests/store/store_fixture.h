// A private data folder per test for the store files. It lives in /dev/shm
// when there is one: the time-line file is 293 MB, and a memory-backed folder
// keeps the few tests that write it quick. It is made under the test process's
// root there, so what a death test's child makes (its SetUp runs, its
// TearDown does not) goes when the test ends too.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "base/shared.h"
#include "common/temp_folder.h"
#include "store/user_actions.h"
#include "store/score_file.h"
#include "store/store_io.h"
#include "store/time_line.h"
#include "store/users_file.h"

struct StoreFolderTest : ::testing::Test {
    std::string dir;

    void SetUp() override
    {
        std::string pattern = testShmRoot() + "tarnova-store-XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        ASSERT_NE(mkdtemp(buf.data()), nullptr);
        dir = buf.data();
        ASSERT_EQ(::mkdir((dir + "/ResourceFiles").c_str(), 0755), 0);
        userDataDir = dir + "/";
        injectStoreWriteFault(0, 0);
        setTodayFunction(nullptr);
    }

    // Set by tests that damage a users file on purpose.
    bool usersFileDamagedOnPurpose = false;

    void TearDown() override
    {
        waitForStoreWrites(); // nothing of this test's goes on writing
        // Every users file the program writes must pass the load's check.
        if (!usersFileDamagedOnPurpose && fileSize("UsersFile") == static_cast<int64_t>(usersFileSize)) {
            EXPECT_EQ(usersImageFault(readFile("UsersFile")), "") << "the users file this test left";
        }
        injectStoreWriteFault(0, 0);
        injectStoreStepFault(0, 0);
        setTodayFunction(nullptr);
        std::string cmd = "rm -rf '" + dir + "'";
        [[maybe_unused]] int rc = std::system(cmd.c_str());
    }

    std::string path(const std::string &name) const { return dir + "/ResourceFiles/" + name; }

    std::vector<uint8_t> readFile(const std::string &name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    int64_t fileSize(const std::string &name) const
    {
        struct stat st;
        return ::stat(path(name).c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }

    bool exists(const std::string &name) const { return fileSize(name) >= 0; }

    // First use with the administrator "Admin" and both store files created.
    void createStore()
    {
        createUsersFiles("Admin", "Brisketmoo");
        createScoreFile();
    }
};

inline int32_t le32(const std::vector<uint8_t> &b, std::size_t at)
{
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
}

inline double leDouble(const std::vector<uint8_t> &b, std::size_t at)
{
    uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<uint64_t>(b[at + i]) << (8 * i);
    double v;
    std::memcpy(&v, &u, 8);
    return v;
}

// A fixed day for the store's clock (setTodayFunction), and a done lesson
// block whose first note has the given mean deviation: what the transaction
// and writer tests store.
inline int32_t fixedStoreToday() { return 43830; }

inline LessonBlock storedBlockWithMean(double mean)
{
    LessonBlock b = emptyLessonBlock();
    b.slots[0] = NoteSlot{30, mean, 2.0, 1};
    b.done = 1;
    return b;
}
