#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "common/temp_folder.h"
#include <gtest/gtest.h>

#include "platform/folder_lock.h"

namespace {

struct FolderLock : ::testing::Test {
    std::string dir;
    void SetUp() override
    {
        dir = testTempFolder("lock");
        dir.pop_back();
        ASSERT_EQ(::mkdir((dir + "/ResourceFiles").c_str(), 0755), 0);
    }
    void TearDown() override
    {
        std::string cmd = "rm -rf '" + dir + "'";
        [[maybe_unused]] int rc = std::system(cmd.c_str());
    }
    int entries() const
    {
        std::string cmd = "test $(ls -A '" + dir + "/ResourceFiles' | wc -l) -eq 1";
        return std::system(cmd.c_str());
    }
};

} // namespace

// A second program on a locked folder says so on standard error and exits
// with 250 without writing anything there; once the first is gone, the
// folder can be taken again.
TEST_F(FolderLock, SecondProgramOnTheFolderExitsWith250)
{
    std::fflush(nullptr);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t first = fork();
    if (first == 0) {
        lockDataFolderOrExit(dir);
        char c = 1;
        [[maybe_unused]] ssize_t n = write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    struct stat before;
    ASSERT_EQ(::stat((dir + "/ResourceFiles/Tarnova.lock").c_str(), &before), 0);

    EXPECT_EXIT(lockDataFolderOrExit(dir), ::testing::ExitedWithCode(250),
                "another program is using the data folder " + dir);
    struct stat after;
    ASSERT_EQ(::stat((dir + "/ResourceFiles/Tarnova.lock").c_str(), &after), 0);
    EXPECT_EQ(after.st_size, 0);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(entries(), 0) << "only the lock file is in the folder";

    // A folder without ResourceFiles gets no lock file.
    const std::string bare = dir + "/bare";
    ASSERT_EQ(::mkdir(bare.c_str(), 0755), 0);
    lockDataFolderOrExit(bare);
    EXPECT_EQ(std::system(("test -z \"$(ls -A '" + bare + "')\"").c_str()), 0);

    kill(first, SIGKILL);
    int status = 0;
    waitpid(first, &status, 0);
    EXPECT_EXIT(
        {
            lockDataFolderOrExit(dir);
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// A lock file that cannot be opened for writing does not let the program run
// unguarded: it names the lock file and the reason and exits with 250. (A
// folder in the lock file's place fails the open even for the superuser, as
// a read-only or immutable file does for anyone else.)
TEST_F(FolderLock, ALockFileThatCannotBeOpenedEndsTheProgram)
{
    const std::string lock = dir + "/ResourceFiles/Tarnova.lock";
    ASSERT_EQ(::mkdir(lock.c_str(), 0755), 0);
    EXPECT_EXIT(lockDataFolderOrExit(dir), ::testing::ExitedWithCode(250),
                "cannot lock the data folder " + dir + ": the lock file " + lock +
                    " cannot be opened for writing \\(it is a folder \\(errno 21\\)\\)");
    if (::geteuid() != 0) {
        ASSERT_EQ(::rmdir(lock.c_str()), 0);
        const int fd = ::open(lock.c_str(), O_WRONLY | O_CREAT, 0444);
        ASSERT_GE(fd, 0);
        ::close(fd);
        ASSERT_EQ(::chmod(lock.c_str(), 0444), 0);
        EXPECT_EXIT(lockDataFolderOrExit(dir), ::testing::ExitedWithCode(250), "\\(permission denied \\(errno 13\\)\\)");
    }
}
