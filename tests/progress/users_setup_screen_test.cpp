// First-time setup as the administrator types it.
#include <filesystem>
#include <map>
#include <fstream>
#include <regex>

#include "store/password.h"
#include "progress/setup_screen.h"
#include "common/screen_driver.h"
#include "store/store_fixture.h"

namespace {

const ScreenDriver setup = {setupScreenHandlers};

struct SetupScreenTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        resetToolkitState();
        setupState.adminName.clear();
        setupState.adminPassword.clear();
        setupState.pendingAction = setupState.deferredAction = 0;
        setupScreenHandlers.create();
        currentScreen = setupScreenId;
        setup.frame(); // the form opens with the name field being edited
    }

    std::string storedPassword() const
    {
        std::string plain;
        scramblePassword(userRecords[passwordSlot].name, plain);
        return plain;
    }
};

TEST_F(SetupScreenTest, FirstFrameOpensTheNameField)
{
    EXPECT_EQ(activeFieldId, 2);
    EXPECT_EQ(editedControl, &setupState.nameField);
    EXPECT_EQ(promptLine, "Please type your Name and press <Return>");
    EXPECT_EQ(setupState.phase, 2);
}

TEST_F(SetupScreenTest, KeySequencesThatFinishTheInstallation)
{
    struct Case {
        const char *name;
        const char *password; // typed after the name's Return, ended by Return
        const char *stored;
    };
    const Case cases[] = {
        {"Ada Lind", "open sesame+1", "open sesame+1"},
        {"Ada", "", "Brisketmoo"}, // Return on the empty field keeps the default
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.password);
        if (&c != cases) { // a fresh data folder for each case
            TearDown();
            SetUp();
        }
        setup.type(std::string(c.name) + "\r");
        setup.frame();
        EXPECT_EQ(setupState.adminName, c.name);
        EXPECT_EQ(editedControl, &setupState.passwordField);
        EXPECT_EQ(promptLine, "Type a password and press <Return> or hit <Escape>");
        setup.type(std::string(c.password) + "\r");
        setup.frame();
        EXPECT_EQ(keyboardFocus, &setupState.goButton);
        setup.frame();
        EXPECT_EQ(alertLines[1], "Click \"Go\" to finish the Installation");
        setup.type("\r");
        setup.frame();
        EXPECT_FALSE(alertShown());
        EXPECT_EQ(currentScreen, userManagementScreenId);
        EXPECT_EQ(fileSize("UsersFile"), int64_t(usersFileSize));
        EXPECT_EQ(fileSize("TimeLine"), int64_t(timeLineFileSize));
        EXPECT_EQ(fileSize("ScoreFile"), int64_t(scoreFileSize));
        EXPECT_EQ(userRecords[0].name, c.name);
        EXPECT_EQ(userRecords[0].key, 1);
        EXPECT_EQ(storedPassword(), c.stored);
    }
}

TEST_F(SetupScreenTest, ShortPasswordAlertNeedsTwoDismissalsAndCreatesNothing)
{
    setup.type("Ada\r");
    setup.frame();
    setup.type("abcd\r");
    setup.frame();
    EXPECT_EQ(alertLines[0], "AdminPassword must have at least 5 characters");
    setup.type("\r"); // the first Return leaves the alert on screen
    EXPECT_TRUE(alertShown());
    setup.type("\r");
    EXPECT_FALSE(alertShown());
    setup.frame();
    EXPECT_FALSE(textEditActive);

    EXPECT_FALSE(exists("UsersFile"));
}

// A password of 1-4 characters refused when its editing ends is dropped, as
// on the other refusal paths: clicking the field again and typing a good one
// stores only that one (it was stored joined to the refused one).
TEST_F(SetupScreenTest, PasswordRefusedAtTheEndOfEditingIsNotKept)
{
    setup.type("Ada\r");
    setup.frame();
    setup.type("abc\r");
    setup.frame();
    EXPECT_EQ(alertLines[0], "AdminPassword must have at least 5 characters");
    EXPECT_EQ(setupState.adminPassword, "");
    EXPECT_EQ(setupState.passwordField.caption, "");
    setup.type("\r\r"); // the alert needs two dismissals
    setup.frame();
    setup.click(setupState.passwordField);
    setup.frame();
    EXPECT_EQ(editedControl, &setupState.passwordField);
    EXPECT_EQ(editLength, 0);
    setup.type("hello\r");
    setup.frame(2); // the focus moves to "Go"
    setup.type("\r");
    setup.frame();
    EXPECT_EQ(currentScreen, userManagementScreenId);
    EXPECT_EQ(storedPassword(), "hello");
}

// Setup over earlier data (an empty users file beside a time line and score
// file that hold results): the files with data are renamed aside before the
// new ones are written, and the start's clean-up of temporary files leaves
// them alone.
TEST_F(SetupScreenTest, SetupKeepsEarlierStoreFilesAside)
{
    auto writeBytes = [this](const std::string &name, const std::string &bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
    };
    writeBytes("UsersFile", "");
    writeBytes("TimeLine", "old time line");
    writeBytes("ScoreFile", "old scores");
    setup.type("Ada\r");
    setup.frame();
    setup.type("\r");
    setup.frame(2);
    setup.type("\r");
    setup.frame();
    ASSERT_EQ(currentScreen, userManagementScreenId);
    EXPECT_EQ(fileSize("UsersFile"), int64_t(usersFileSize));
    EXPECT_EQ(fileSize("TimeLine"), int64_t(timeLineFileSize));
    EXPECT_EQ(fileSize("ScoreFile"), int64_t(scoreFileSize));

    recoverStoreFolder(); // what every start runs first
    std::map<std::string, std::string> aside; // store file -> its earlier bytes
    const std::regex asideName(R"((\w+)\.before-setup-\d{8}-\d{6})");
    for (const auto &entry : std::filesystem::directory_iterator(dir + "/ResourceFiles")) {
        std::smatch m;
        const std::string name = entry.path().filename().string();
        if (std::regex_match(name, m, asideName)) {
            const std::vector<uint8_t> bytes = readFile(name);
            aside[m[1]] = std::string(bytes.begin(), bytes.end());
        }
    }
    // The empty users file held nothing to keep.
    EXPECT_EQ(aside, (std::map<std::string, std::string>{{"ScoreFile", "old scores"}, {"TimeLine", "old time line"}}));
}

TEST_F(SetupScreenTest, EmptyNameAlertsAndCharacterFilters)
{
    setup.type("\r");
    setup.frame();
    EXPECT_EQ(alertLines[0], "AdminName must have at least 1 character");
    setup.type("\r\r");
    EXPECT_FALSE(alertShown());

    // "Go" without a name; dismissing the alert reopens the name field.
    setup.click(setupState.goButton);
    setup.frame();
    EXPECT_EQ(alertLines[0], "AdminName must have at least 1 Character");
    setup.type("\x1b");
    setup.frame();
    EXPECT_EQ(editedControl, &setupState.nameField);

    setup.type(" A B!");           // a leading blank and '!' are refused
    EXPECT_EQ(setupState.nameField.caption, "A B");
    setup.type("\r");
    setup.frame();
    setup.type(" +x");             // a password may begin with a blank and hold '+'
    EXPECT_EQ(editedText(), " +x");
    EXPECT_EQ(setupState.passwordField.caption, "***");
    setup.type("\x1b");            // Escape keeps the earlier password
    setup.frame(2);
    EXPECT_EQ(setupState.adminPassword, "");
    EXPECT_EQ(setupState.passwordField.caption, "");
}

TEST_F(SetupScreenTest, NamesStopAtFortyCharacters)
{
    setup.type(std::string(45, 'n') + "\r");
    setup.frame();
    EXPECT_EQ(setupState.adminName, std::string(40, 'n'));
}

TEST_F(SetupScreenTest, ExitCreatesNothing)
{
    setup.type("\x1b");
    setup.frame(2);
    setup.click(setupState.exitButton);
    setup.frame();
    EXPECT_EQ(currentScreen, quitScreenId);
    EXPECT_FALSE(exists("UsersFile"));
    EXPECT_FALSE(exists("TimeLine"));
    EXPECT_FALSE(exists("ScoreFile"));
}

TEST_F(SetupScreenTest, ClickInTheFrameOfAnEscapeIsIgnored)
{
    setup.type("\x1b");
    setup.click(setupState.exitButton); // same frame as the Escape: nothing to act on
    setup.frame();
    EXPECT_EQ(currentScreen, setupScreenId);
}

} // namespace
