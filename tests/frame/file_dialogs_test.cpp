// The file choosers, run against scripted stand-ins for zenity and kdialog
// put first on PATH, so the real fork/exec path is exercised.
#include "common/temp_folder.h"
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "frame/file_dialogs.h"
#include "base/shared.h"
#include "platform/file_dialog.h"

namespace fs = std::filesystem;

namespace {

class FileDialogs : public ::testing::Test {
protected:
    fs::path dir;
    std::string oldPath;

    void SetUp() override
    {
        dir = testTempFolder("chooser");
        fs::create_directories(dir / "bin");
        const char *p = std::getenv("PATH");
        oldPath = p ? p : "";
        // Only the stand-ins: a real chooser on this machine must not open.
        setenv("PATH", (dir / "bin").c_str(), 1);
        answer("", 0);
    }
    void TearDown() override
    {
        setenv("PATH", oldPath.c_str(), 1);
        fs::remove_all(dir);
    }
    // A stand-in that records its arguments (NUL-separated) and answers.
    void standIn(const std::string &name)
    {
        const fs::path script = dir / "bin" / name;
        std::ofstream(script) << "#!/bin/sh\n"
                              << "printf '%s\\0' \"$0\" \"$@\" > '" << (dir / "args").string() << "'\n"
                              << "/bin/cat '" << (dir / "answer").string() << "'\n"
                              << "exit $(/bin/cat '" << (dir / "status").string() << "')\n";
        fs::permissions(script, fs::perms::owner_all);
    }
    void answer(const std::string &text, int status)
    {
        std::ofstream(dir / "answer") << text;
        std::ofstream(dir / "status") << status;
    }
    std::vector<std::string> arguments()
    {
        std::ifstream in(dir / "args", std::ios::binary);
        std::vector<std::string> args;
        std::string a;
        while (std::getline(in, a, '\0'))
            args.push_back(a);
        if (!args.empty())
            args.erase(args.begin()); // the stand-in's own path
        return args;
    }
};

TEST_F(FileDialogs, OpenDialogPassesTitleAndFilters)
{
    standIn("zenity");
    answer("/home/u/stats.txt\n", 0);
    documentsDir = "/home/u/Documents";
    EXPECT_EQ(chooseMidiOrKaraokeFile(), "/home/u/stats.txt");
    const std::vector<std::string> expected = {
        "--file-selection", "--title=Choose Midi or Karaoke File", "--filename=/home/u/Documents/",
        "--file-filter=Text Files (*.txt) | *.txt", "--file-filter=All files (*.*) | *"};
    EXPECT_EQ(arguments(), expected);
}

TEST_F(FileDialogs, SaveDialogsProposeTheirNames)
{
    standIn("zenity");
    answer("/tmp/out.wav\n", 0);
    EXPECT_EQ(chooseRecordingSaveFile("/home/u/Documents"), "/tmp/out.wav");
    std::vector<std::string> args = arguments();
    ASSERT_GE(args.size(), 4u);
    EXPECT_EQ(args[1], "--title=Save Recording as .wav");
    EXPECT_EQ(args[2], "--save");
    EXPECT_EQ(args[3], "--filename=/home/u/Documents/soundout.wav");
    EXPECT_EQ(args[4], "--file-filter=wav files (*.wav) | *.wav");

    chooseSaveFileAs("/d", std::string("TNVStats.txt\0junk", 17), packExtension('t', 'x', 't'),
                     "Export statistics", "Text files");
    args = arguments();
    const std::vector<std::string> expected = {
        "--file-selection", "--title=Export statistics", "--save", "--filename=/d/TNVStats.txt",
        "--file-filter=Text files | *.txt", "--file-filter=All files (*.*) | *"};
    EXPECT_EQ(args, expected);
}

TEST_F(FileDialogs, CancelFailureAndLongPathsGiveNothing)
{
    standIn("zenity");
    answer("", 1); // cancelled
    EXPECT_EQ(chooseMidiOrKaraokeFile(), "");
    answer("/x\n", 5); // the chooser failed
    EXPECT_EQ(chooseRecordingSaveFile("/d"), "");
    const std::string fits = "/" + std::string(254, 'a');
    answer(fits + "\n", 0);
    EXPECT_EQ(chooseMidiOrKaraokeFile(), fits);
    answer("/" + std::string(255, 'a') + "\n", 0); // 256 characters: not cut, refused
    EXPECT_EQ(chooseMidiOrKaraokeFile(), "");
}

TEST_F(FileDialogs, FallsBackToKdialogAndToNothing)
{
    EXPECT_EQ(chooseMidiOrKaraokeFile(), ""); // no chooser at all
    standIn("kdialog");
    answer("/k/file.mid\n", 0);
    EXPECT_EQ(chooseSaveFileAs("/d", "a.txt", packExtension('t', 'x', 't'), "T", "Text"), "/k/file.mid");
    const std::vector<std::string> expected = {"--title", "T", "--getsavefilename", "/d/a.txt",
                                               "*.txt|Text\n*|All files (*.*)"};
    EXPECT_EQ(arguments(), expected);
}

// With no chooser to start, the user is told what to install (alert and
// standard error alike); a real cancel keeps the caller's cancel text.
TEST_F(FileDialogs, MissingChooserIsNotACancel)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(chooseMidiOrKaraokeFile(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(noFileChooserMessage) + "\n");
    EXPECT_EQ(emptyChoiceMessage("Import canceled"), noFileChooserMessage);
    EXPECT_NE(std::string(noFileChooserMessage).find("zenity"), std::string::npos);

    // A zenity that is found but cannot be started counts as missing too.
    const fs::path broken = dir / "bin" / "zenity";
    std::ofstream(broken) << "#!/nonexistent/interpreter\n";
    fs::permissions(broken, fs::perms::owner_all);
    testing::internal::CaptureStderr();
    EXPECT_EQ(chooseSaveFileAs("/d", "a.txt", packExtension('t', 'x', 't'), "T", "Text"), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(noFileChooserMessage) + "\n");
    EXPECT_EQ(emptyChoiceMessage("Export canceled"), noFileChooserMessage);

    // ... and kdialog is tried in its place; its cancel is a cancel.
    standIn("kdialog");
    answer("", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(chooseMidiOrKaraokeFile(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(emptyChoiceMessage("Import canceled"), "Import canceled");
    EXPECT_FALSE(arguments().empty());
}

} // namespace
