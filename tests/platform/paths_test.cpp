#include "platform/paths.h"

#include "common/temp_folder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Paths : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testTempFolder("paths");
        root.pop_back();
        saveEnv("HOME");
        saveEnv("XDG_DATA_HOME");
        saveEnv("XDG_CONFIG_HOME");
    }
    void TearDown() override
    {
        for (auto &[name, value] : saved) {
            if (value.first) setenv(name.c_str(), value.second.c_str(), 1);
            else unsetenv(name.c_str());
        }
        fs::remove_all(root);
    }
    void saveEnv(const char *name)
    {
        const char *v = std::getenv(name);
        saved.emplace_back(name, std::make_pair(v != nullptr, v ? std::string(v) : std::string()));
    }
    void touch(const std::string &rel)
    {
        fs::create_directories(fs::path(root + "/" + rel).parent_path());
        std::ofstream(root + "/" + rel) << "x";
    }
    std::string root;
    std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved;
};

TEST_F(Paths, BackslashesBecomeSlashesAndCaseIsFoundInTheFolder)
{
    touch("Tarnova/lesson7/ABC-Notes.txt");
    touch("Tarnova/images.prod/Images6");
    struct Case { std::string asked; std::string found; };
    const Case cases[] = {
        {"\\Tarnova\\lesson7\\ABC-Notes.txt", "/Tarnova/lesson7/ABC-Notes.txt"},
        {"\\Tarnova\\Lesson7\\ABC-Notes.txt", "/Tarnova/lesson7/ABC-Notes.txt"},
        {"\\Tarnova\\LESSON7\\abc-notes.TXT", "/Tarnova/lesson7/ABC-Notes.txt"},
        {"\\Tarnova\\\\images.prod\\images6", "/Tarnova/images.prod/Images6"},
        {"/Tarnova/Lesson8/ABC-Notes.txt", "/Tarnova/Lesson8/ABC-Notes.txt"}, // no match: unchanged
        {"\\TARNOVA\\Lesson7\\debug.txt", "/Tarnova/lesson7/debug.txt"},       // new file in found folders
    };
    for (const Case &c : cases) EXPECT_EQ(resolveDataPath(root + c.asked), root + c.found) << c.asked;
}

TEST_F(Paths, DataAndDocumentsFoldersFollowXdgThenHome)
{
    setenv("HOME", root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(applicationDataFolder(), root + "/.local/share");
    setenv("XDG_DATA_HOME", "/elsewhere/data", 1);
    EXPECT_EQ(applicationDataFolder(), "/elsewhere/data");

    EXPECT_EQ(documentsFolder(), root); // neither an XDG entry nor ~/Documents
    fs::create_directories(root + "/Documents");
    EXPECT_EQ(documentsFolder(), root + "/Documents");
    fs::create_directories(root + "/Dokumente");
    fs::create_directories(root + "/config");
    std::ofstream(root + "/config/user-dirs.dirs") << "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(documentsFolder(), root + "/Dokumente");
}

} // namespace
