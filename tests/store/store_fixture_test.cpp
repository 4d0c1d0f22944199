// The store tests' folders go with their test, also what the child of a
// death test made: it runs the fixture's SetUp again and stops before its
// TearDown (the folders hold a 293 MB time line when the store is made).
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "store_fixture.h"

namespace {

namespace fs = std::filesystem;

// Notes the folder of the process that runs it in $TARNOVA_FOLDER_REPORT.
void noteFolder(const std::string &dir)
{
    const char *report = std::getenv("TARNOVA_FOLDER_REPORT");
    if (report != nullptr) std::ofstream(report, std::ios::app) << dir << "\n";
}

struct StoreFolderDeath : StoreFolderTest {};

// Run only by the test below, as a test binary of its own.
TEST_F(StoreFolderDeath, DISABLED_ChildStopsBeforeItsTearDown)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    noteFolder(dir);
    EXPECT_EXIT(
        {
            std::ofstream(path("UsersFile")) << "a store file";
            _exit(3);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST(TestFolders, WhatADeathTestsChildMadeGoesWithTheTest)
{
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string report = testTempFolder("report") + "folders.txt";
    const std::string command = "TARNOVA_FOLDER_REPORT='" + report +
                                "' env -u TARNOVA_TEST_TEMP_ROOT -u TARNOVA_TEST_SHM_ROOT '" + self +
                                "' --gtest_also_run_disabled_tests --gtest_filter='StoreFolderDeath.*' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<std::string> folders;
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);) folders.push_back(line);
    ASSERT_EQ(folders.size(), 2u) << "the test's folder and its child's";
    for (const std::string &folder : folders) EXPECT_FALSE(fs::exists(folder)) << folder << " is left";
}

} // namespace
