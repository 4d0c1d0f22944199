// User management through its handlers: adding, tessituras, deletion behind
// the password, keyboard walking, starting a user and importing statistics.
#include <GL/freeglut.h>

#include <cstdlib>

#include "frame/message_panel.h"
#include "frame/file_dialogs.h"
#include "store/user_actions.h"
#include "store/statistics_file.h"
#include "progress/user_management_screen.h"
#include "common/screen_driver.h"
#include "store/store_fixture.h"

namespace {

const ScreenDriver screen = {userManagementScreenHandlers};

std::string chosenImportFile;
std::string fakeChooser() { return chosenImportFile; }

// The screen's clock. By default every reading is 600 ms after the last, so
// presses never fall within the double-click time of an earlier action; the
// double-click test sets the time itself.
int32_t fakeMs;
int32_t steppingClock() { return fakeMs += 600; }
int32_t fixedClock() { return fakeMs; }

struct UserManagementTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        resetToolkitState();
        createStore(); // administrator "Admin", password "Brisketmoo"
        userManagementState.deletionAuthorized = false;
        userManagementState.deletionPasswordText.clear();
        userManagementState.newUserTessitura = 3;
        userManagementState.pendingAction = userManagementState.deferredAction = 0;
        userManagementHooks.chooseImportFile = fakeChooser;
        fakeMs = 100000;
        userManagementHooks.now = steppingClock;
        userManagementScreenHandlers.create();
        currentScreen = userManagementScreenId;
        screen.frame(); // entry: focus on row 1, nothing drawn
    }
    void TearDown() override
    {
        userManagementHooks.chooseImportFile = nullptr;
        userManagementHooks.now = nullptr;
        StoreFolderTest::TearDown();
    }

    void addUserNamed(const std::string &name)
    {
        screen.click(userManagementState.newUserField);
        screen.frame();
        for (int i = 0; i < 40; ++i) screen.type("\x7f\b"); // clear the earlier name
        screen.type(name + "\r");
        screen.frame();
        ASSERT_EQ(keyboardFocus, &userManagementState.addUserButton);
        screen.type("\r");
        screen.frame();
    }

    void dismissAlert()
    {
        screen.type("\r");
        screen.frame();
    }

    std::vector<std::string> rowNames() const
    {
        std::vector<std::string> names;
        for (const ControlRecord &c : userManagementState.nameButtons) names.push_back(c.caption);
        return names;
    }
};

TEST_F(UserManagementTest, AddUsersUpToTheLimit)
{
    EXPECT_EQ(alertLines[1], "Select a user by clicking on its name");
    // The new user's list set to "low" before the first add.
    screen.press(userManagementState.newUserTessituraButton);
    screen.frame();
    ASSERT_TRUE(popupOpen);
    screen.click(popupEntries[2]);
    screen.frame();
    EXPECT_FALSE(popupOpen);
    EXPECT_EQ(userManagementState.newUserTessituraButton.caption, "low");

    for (const char *name : {"Bea", "Cy", "Dee", "Eve", "Fay"}) addUserNamed(name);
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Admin", "Bea", "Cy", "Dee", "Eve", "Fay"}));
    EXPECT_EQ(userRecords[1].tessitura, 1);
    EXPECT_EQ(userManagementState.tessituraButtons[1].caption, "low");
    EXPECT_EQ(keyboardFocus, &userManagementState.nameButtons[5]);
    // The added name left the field, ready for the next one.
    EXPECT_EQ(userManagementState.newUserField.caption, "");

    addUserNamed("Gus");
    EXPECT_EQ(alertLines[0], "No more Users possible");
    dismissAlert();
    EXPECT_EQ(findUserSlot(7), -1);

    // The users are in the file: a fresh load shows the same rows.
    loadUsersFiles();
    userManagementScreenHandlers.create();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Admin", "Bea", "Cy", "Dee", "Eve", "Fay"}));
}

TEST_F(UserManagementTest, DeletionNeedsTheAdministratorPassword)
{
    addUserNamed("Bea");
    addUserNamed("Cy");
    addUserNamed("Dee");
    screen.click(userManagementState.deleteButtons[1]);
    screen.frame();
    EXPECT_EQ(alertLines[0], "Please set AdminPassword to Activate User Deletion");
    dismissAlert(); // opens the password field
    EXPECT_EQ(editedControl, &userManagementState.deletionPasswordField);

    screen.type("brisketmoo\r"); // wrong letter case
    screen.frame();
    EXPECT_EQ(keyboardFocus, &userManagementState.authorizeButton);
    screen.type("\r");
    screen.frame();
    EXPECT_EQ(alertLines[0], "wrong PassWord");
    // The focus stays on the password field for the next try.
    EXPECT_EQ(keyboardFocus, &userManagementState.deletionPasswordField);
    dismissAlert();
    ASSERT_EQ(editedControl, &userManagementState.deletionPasswordField);
    EXPECT_EQ(keyboardFocus, &userManagementState.deletionPasswordField);
    // The refused text is gone: what is typed now is the whole new try.
    EXPECT_EQ(editedText(), "");
    EXPECT_EQ(userManagementState.deletionPasswordField.caption, "");
    screen.type("Brisketmoo\r");
    screen.frame();
    screen.type("\r");
    screen.frame();
    EXPECT_EQ(alertLines[0], "User deletion allowed");
    EXPECT_EQ(userManagementState.authorizeButton.caption, "Authorized");
    EXPECT_TRUE(userManagementState.deletionAuthorized);
    dismissAlert();

    screen.click(userManagementState.deleteButtons[1]); // Bea
    screen.frame();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Admin", "Cy", "Dee", "", "", ""}));
    screen.click(userManagementState.deleteButtons[4]); // a free row changes nothing
    screen.frame();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Admin", "Cy", "Dee", "", "", ""}));
    EXPECT_FALSE(alertShown());

    // Pressed again, Authorize locks deletion.
    screen.click(userManagementState.authorizeButton);
    screen.frame();
    EXPECT_EQ(alertLines[0], "User deletion prohibited");
    EXPECT_FALSE(userManagementState.deletionAuthorized);
    EXPECT_EQ(userManagementState.authorizeButton.caption, "Authorize");
    dismissAlert();

    // The administrator's row is deleted like any other; the password stays.
    auto authorize = [] {
        screen.click(userManagementState.deletionPasswordField);
        screen.frame();
        screen.type("Brisketmoo\r");
        screen.frame();
        screen.type("\r");
        screen.frame();
    };
    authorize();
    EXPECT_EQ(alertLines[0], "User deletion allowed");
    dismissAlert();
    screen.click(userManagementState.deleteButtons[0]);
    screen.frame();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Cy", "Dee", "", "", "", ""}));
    screen.click(userManagementState.authorizeButton);
    screen.frame();
    dismissAlert();
    authorize();
    EXPECT_EQ(alertLines[0], "User deletion allowed");
}

// A double click is one action: a Del or Add press within 500 ms of the last
// Del or Add action is ignored. Without that the row below moved up under the
// pointer and was deleted too, and a name was added twice.
TEST_F(UserManagementTest, DoubleClickOnDelOrAddIsOneAction)
{
    for (const char *name : {"Bea", "Cy", "Dee"}) addUserNamed(name);
    screen.click(userManagementState.deletionPasswordField);
    screen.frame();
    screen.type("Brisketmoo\r");
    screen.frame();
    screen.type("\r");
    screen.frame();
    ASSERT_TRUE(userManagementState.deletionAuthorized);
    dismissAlert();

    userManagementHooks.now = fixedClock;
    auto clickAfter = [](int32_t ms, const ControlRecord &button) {
        fakeMs += ms;
        screen.click(button);
        fakeMs += 20;
        screen.frame();
    };
    using Names = std::vector<std::string>;
    clickAfter(1000, userManagementState.deleteButtons[1]); // Bea
    EXPECT_EQ(rowNames(), (Names{"Admin", "Cy", "Dee", "", "", ""}));
    clickAfter(200, userManagementState.deleteButtons[1]); // the second click of the double click
    EXPECT_EQ(rowNames(), (Names{"Admin", "Cy", "Dee", "", "", ""}));
    EXPECT_EQ(userManagementState.deleteButtons[1].state, stateIdle);
    clickAfter(250, userManagementState.addUserButton); // Add counts alike after a Del
    EXPECT_EQ(rowNames(), (Names{"Admin", "Cy", "Dee", "", "", ""}));
    // The ignored presses do not restart the time: more than 500 ms after
    // the delete the next click deletes again.
    clickAfter(30, userManagementState.deleteButtons[1]); // Cy, 520 ms after Bea's delete
    EXPECT_EQ(rowNames(), (Names{"Admin", "Dee", "", "", "", ""}));

    // Add: a second click soon after the first adds nothing.
    screen.click(userManagementState.newUserField);
    screen.frame();
    for (int i = 0; i < 40; ++i) screen.type("\x7f\b"); // clear the earlier name
    screen.type("Eve\r");
    screen.frame();
    clickAfter(1000, userManagementState.addUserButton);
    EXPECT_EQ(rowNames(), (Names{"Admin", "Dee", "Eve", "", "", ""}));
    clickAfter(150, userManagementState.addUserButton);
    EXPECT_EQ(rowNames(), (Names{"Admin", "Dee", "Eve", "", "", ""}));
    clickAfter(150, userManagementState.deleteButtons[1]);
    EXPECT_EQ(rowNames(), (Names{"Admin", "Dee", "Eve", "", "", ""}));
    // Return on "Add" is a press of it too.
    setKeyboardFocus(&userManagementState.addUserButton);
    screen.type("\r");
    screen.frame();
    EXPECT_EQ(rowNames(), (Names{"Admin", "Dee", "Eve", "", "", ""}));
    // A later click acts again: on the emptied field it asks for a name.
    clickAfter(600, userManagementState.addUserButton);
    EXPECT_EQ(alertLines[0], "UserName must have at least one Character");
    dismissAlert(); // opens the field
    screen.type("Fay\r");
    screen.frame();
    clickAfter(600, userManagementState.addUserButton);
    EXPECT_EQ(rowNames(), (Names{"Admin", "Dee", "Eve", "Fay", "", ""}));
    // Other buttons are not held back.
    clickAfter(10, userManagementState.authorizeButton);
    EXPECT_EQ(alertLines[0], "User deletion prohibited");
}

TEST_F(UserManagementTest, RowTessituraLists)
{
    screen.press(userManagementState.tessituraButtons[0]);
    screen.frame();
    ASSERT_TRUE(popupOpen);
    EXPECT_EQ(promptLine, "Choose your tesitura from the menu");
    screen.click(popupEntries[1]); // "medium"
    screen.frame();
    EXPECT_EQ(userRecords[0].tessitura, 2);
    EXPECT_EQ(userManagementState.tessituraButtons[0].caption, "medium");

    const int64_t writes = storeFilesWritten("UsersFile");
    screen.press(userManagementState.tessituraButtons[3]); // a free row
    screen.frame();
    screen.click(popupEntries[2]);
    screen.frame();
    EXPECT_EQ(userManagementState.tessituraButtons[3].caption, "");
    EXPECT_EQ(storeFilesWritten("UsersFile"), writes);

    // A click beside an open list closes it.
    screen.press(userManagementState.tessituraButtons[0]);
    screen.frame();
    screen.click(userManagementState.exitButton);
    screen.frame();
    EXPECT_FALSE(popupOpen);
    EXPECT_EQ(currentScreen, userManagementScreenId);
}

TEST_F(UserManagementTest, ArrowKeysWalkRowsAndFields)
{
    EXPECT_EQ(keyboardFocus, &userManagementState.nameButtons[0]);
    for (int i = 0; i < 5; ++i) userManagementScreenHandlers.specialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(keyboardFocus, &userManagementState.nameButtons[5]);
    userManagementScreenHandlers.specialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(editedControl, &userManagementState.newUserField);
    EXPECT_EQ(promptLine, "Type a User Name");
    screen.frame();
    userManagementScreenHandlers.specialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(editedControl, &userManagementState.deletionPasswordField);
    screen.type("typed");
    userManagementScreenHandlers.specialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_FALSE(textEditActive);
    EXPECT_EQ(keyboardFocus, &userManagementState.nameButtons[0]);
    EXPECT_EQ(userManagementState.deletionPasswordText, ""); // leaving by arrow keeps the earlier password
    userManagementScreenHandlers.specialKey(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(editedControl, &userManagementState.deletionPasswordField);
    EXPECT_EQ(editLength, 0);
}

TEST_F(UserManagementTest, StartingRows)
{
    screen.type("\r"); // the focus is on row 1 at entry
    screen.frame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_EQ(currentUserKey, 1);
    EXPECT_EQ(currentUserSlot, 0);
    EXPECT_EQ(currentUserName, "Admin");
    EXPECT_EQ(currentUserTessitura, 3);
    EXPECT_EQ(userManagementState.phase, 0);

    // Opening row 1's list puts the focus on its name: Return starts the row
    // and leaves no list open behind.
    currentScreen = userManagementScreenId;
    screen.frame();
    screen.press(userManagementState.tessituraButtons[0]);
    screen.frame();
    ASSERT_TRUE(popupOpen);
    screen.type("\r");
    screen.frame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_FALSE(popupOpen);

    currentScreen = userManagementScreenId;
    screen.frame();
    screen.click(userManagementState.nameButtons[2]); // a free row
    screen.frame();
    EXPECT_EQ(alertLines[0], "Please add a user first.");
    EXPECT_EQ(currentUserKey, 1);
    screen.click(userManagementState.nameButtons[2]);
    screen.frame();
    EXPECT_EQ(editedControl, &userManagementState.newUserField);
}

TEST_F(UserManagementTest, ImportKeepsAFailedUserWholeAndSavesASuccess)
{
    addUserNamed("Bea");
    currentUserSlot = 0;
    currentUserKey = 1;
    currentUserName = "Admin";
    editTimeLineDay(0, 0).date = dayNumberFromDate(2026, 12, 1);
    userRecords[0].lessonBlocks[3].done = 1;
    editTimeLineDay(1, 0).date = dayNumberFromDate(2026, 11, 30); // Bea's own day
    saveUsersFiles();
    chosenImportFile = path("admin.txt");
    ASSERT_TRUE(writeStatisticsExport(chosenImportFile, StatisticsPersonalData{}));

    const int64_t writes = storeFilesWritten("TimeLine");
    screen.click(userManagementState.importButtons[1]); // Bea: another user's file
    screen.frame();
    EXPECT_EQ(alertLines[0], "User in File does not match selected user");
    EXPECT_EQ(timeLineDay(1, 0).date, dayNumberFromDate(2026, 11, 30));
    EXPECT_EQ(storeFilesWritten("TimeLine"), writes);
    dismissAlert();

    // The administrator's results cleared on disk, so that the import's
    // save has bytes to change (a save writes only bytes that differ).
    userRecords[0].lessonBlocks[3].done = 0;
    editTimeLineDay(0, 0).date = emptyDayNumber;
    saveUsersFiles();
    const int64_t cleared = storeFilesWritten("TimeLine");
    ASSERT_EQ(cleared, writes + 1);
    screen.click(userManagementState.importButtons[0]);
    screen.frame();
    EXPECT_EQ(alertLines[0], "Statistics Successfully imported");
    EXPECT_EQ(messagePanelLayout(11, "").icon, informationIcon); // a success, not a warning
    EXPECT_EQ(userRecords[0].lessonBlocks[3].done, 1);
    EXPECT_EQ(timeLineDay(0, 0).date, dayNumberFromDate(2026, 12, 1));
    EXPECT_EQ(storeFilesWritten("TimeLine"), cleared + 1);
    loadUsersFiles(); // what the disk holds
    EXPECT_EQ(timeLineDay(0, 0).date, dayNumberFromDate(2026, 12, 1));
    EXPECT_EQ(userRecords[0].lessonBlocks[3].done, 1);
    dismissAlert();

    chosenImportFile.clear();
    screen.click(userManagementState.importButtons[0]);
    screen.frame();
    EXPECT_EQ(alertLines[0], "Import canceled");
    dismissAlert();

    // The real chooser with no chooser program on PATH: not a cancel.
    userManagementHooks.chooseImportFile = nullptr;
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir + "/no-programs-here").c_str(), 1);
    screen.click(userManagementState.importButtons[0]);
    screen.frame();
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(alertLines[0], noFileChooserMessage);
}

} // namespace
