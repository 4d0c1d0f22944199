#include "common/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr const char *tempRootVariable = "TARNOVA_TEST_TEMP_ROOT";
constexpr const char *shmRootVariable = "TARNOVA_TEST_SHM_ROOT";

void emptyRoots()
{
    std::error_code ec;
    for (const char *variable : {tempRootVariable, shmRootVariable}) {
        const char *root = std::getenv(variable);
        if (root != nullptr && *root != '\0') fs::remove_all(root, ec);
    }
}

// Between tests: what the test and its death-test children left.
struct RootCleaner : testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo &) override { emptyRoots(); }
};

// Names the roots in the first process of a run (not in death-test children,
// which find them in the environment) and removes them when it exits.
struct RootOwner {
    pid_t owner = 0;

    RootOwner()
    {
        const char *named = std::getenv(tempRootVariable);
        if (named != nullptr && *named != '\0') return;
        owner = ::getpid();
        const char *tmp = std::getenv("TMPDIR");
        const std::string base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
        const std::string leaf = "tarnova-test-" + std::to_string(owner);
        const std::string tempRoot = base + "/" + leaf + "/";
        // tools/run-tests names a folder of its run in /dev/shm, as it sets TMPDIR.
        const char *shmBase = std::getenv("TARNOVA_TEST_SHM_BASE");
        std::string shmRoot;
        struct stat st;
        if (shmBase != nullptr && *shmBase != '\0')
            shmRoot = std::string(shmBase) + "/" + leaf + "/";
        else if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0)
            shmRoot = "/dev/shm/" + leaf + "/";
        else
            shmRoot = tempRoot + "shm/";
        ::setenv(tempRootVariable, tempRoot.c_str(), 1);
        ::setenv(shmRootVariable, shmRoot.c_str(), 1);
        emptyRoots(); // left by an earlier process of the same number
        testing::UnitTest::GetInstance()->listeners().Append(new RootCleaner);
    }

    ~RootOwner()
    {
        if (owner == ::getpid()) emptyRoots();
    }
};

RootOwner &rootOwner()
{
    static RootOwner owner;
    return owner;
}

// The roots are named at start, before any test (or a static of another
// file) asks for them.
[[maybe_unused]] const RootOwner &namedAtStart = rootOwner();

std::string madeRoot(const char *variable)
{
    rootOwner();
    const std::string root = std::getenv(variable);
    std::error_code ec;
    fs::create_directories(root, ec);
    return root;
}

} // namespace

std::string testTempRoot() { return madeRoot(tempRootVariable); }

std::string testShmRoot() { return madeRoot(shmRootVariable); }

std::string testTempFolder(const std::string &prefix)
{
    std::string pattern = testTempRoot() + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a folder " << pattern;
        return pattern + "/";
    }
    return pattern + "/";
}
