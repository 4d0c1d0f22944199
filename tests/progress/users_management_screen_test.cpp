// User management through its handlers: adding, tessituras, deletion behind
// the password, keyboard walking, starting a user and importing statistics.
#include <GL/freeglut.h>

#include <cstdlib>

#include "frame/file_dialogs.h"
#include "progress/statistics_file.h"
#include "progress/user_management_screen.h"
#include "users_screens_fixture.h"

namespace {

const ScreenDriver screen = {userManagementKeyboard, userManagementMouse, displayUserManagementScreen};

std::string chosenImportFile;
std::string fakeChooser() { return chosenImportFile; }

struct UserManagementTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        resetToolkitState();
        createStore(); // administrator "Admin", password "Brisketmoo"
        userDeletionAuthorized = false;
        deletionPasswordText.clear();
        newUserTessitura = 3;
        userManagementPendingAction = userManagementDeferredAction = 0;
        setImportFileChooser(fakeChooser);
        createUserManagementControls();
        currentScreen = 3;
        screen.frame(); // entry: focus on row 1, nothing drawn
    }
    void TearDown() override
    {
        setImportFileChooser(nullptr);
        StoreFolderTest::TearDown();
    }

    void addUserNamed(const std::string &name)
    {
        screen.click(newUserField);
        screen.frame();
        for (int i = 0; i < 40; ++i) screen.type("\x7f\b"); // clear the earlier name
        screen.type(name + "\r");
        screen.frame();
        ASSERT_EQ(keyboardFocus, &addUserButton);
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
        for (const ControlRecord &c : userNameButtons) names.push_back(c.caption);
        return names;
    }
};

TEST_F(UserManagementTest, AddUsersUpToTheLimit)
{
    EXPECT_EQ(alertLines[1], "Select a user by clicking on its name");
    // The new user's list set to "low" before the first add.
    screen.press(newUserTessituraButton);
    screen.frame();
    ASSERT_TRUE(popupOpen);
    screen.click(popupEntries[2]);
    screen.frame();
    EXPECT_FALSE(popupOpen);
    EXPECT_EQ(newUserTessituraButton.caption, "low");

    for (const char *name : {"Bea", "Cy", "Dee", "Eve", "Fay"}) addUserNamed(name);
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Admin", "Bea", "Cy", "Dee", "Eve", "Fay"}));
    EXPECT_EQ(userRecords[1].tessitura, 1);
    EXPECT_EQ(userTessituraButtons[1].caption, "low");
    EXPECT_EQ(keyboardFocus, &userNameButtons[5]);

    addUserNamed("Gus");
    EXPECT_EQ(alertLines[0], "No more Users possible");
    dismissAlert();
    EXPECT_EQ(findUserSlot(7), -1);

    // The users are in the file: a fresh load shows the same rows.
    loadUsersFiles();
    createUserManagementControls();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Admin", "Bea", "Cy", "Dee", "Eve", "Fay"}));
}

TEST_F(UserManagementTest, DeletionNeedsTheAdministratorPassword)
{
    addUserNamed("Bea");
    addUserNamed("Cy");
    addUserNamed("Dee");
    screen.click(userDeleteButtons[1]);
    screen.frame();
    EXPECT_EQ(alertLines[0], "Please set AdminPassword to Activate User Deletion");
    dismissAlert(); // opens the password field
    EXPECT_EQ(editedControl, &deletionPasswordField);

    screen.type("brisketmoo\r"); // wrong letter case
    screen.frame();
    EXPECT_EQ(keyboardFocus, &authorizeButton);
    screen.type("\r");
    screen.frame();
    EXPECT_EQ(alertLines[0], "wrong PassWord");
    dismissAlert();
    ASSERT_EQ(editedControl, &deletionPasswordField);
    // The refused text is gone: what is typed now is the whole new try.
    EXPECT_EQ(editedText(), "");
    EXPECT_EQ(deletionPasswordField.caption, "");
    screen.type("Brisketmoo\r");
    screen.frame();
    screen.type("\r");
    screen.frame();
    EXPECT_EQ(alertLines[0], "User deletion allowed");
    EXPECT_EQ(authorizeButton.caption, "Authorized");
    EXPECT_TRUE(userDeletionAuthorized);
    dismissAlert();

    screen.click(userDeleteButtons[1]); // Bea
    screen.frame();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Admin", "Cy", "Dee", "", "", ""}));
    screen.click(userDeleteButtons[4]); // a free row changes nothing
    screen.frame();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Admin", "Cy", "Dee", "", "", ""}));
    EXPECT_FALSE(alertShown());

    // Pressed again, Authorize locks deletion.
    screen.click(authorizeButton);
    screen.frame();
    EXPECT_EQ(alertLines[0], "User deletion prohibited");
    EXPECT_FALSE(userDeletionAuthorized);
    EXPECT_EQ(authorizeButton.caption, "Authorize");
    dismissAlert();

    // The administrator's row is deleted like any other; the password stays.
    auto authorize = [] {
        screen.click(deletionPasswordField);
        screen.frame();
        screen.type("Brisketmoo\r");
        screen.frame();
        screen.type("\r");
        screen.frame();
    };
    authorize();
    EXPECT_EQ(alertLines[0], "User deletion allowed");
    dismissAlert();
    screen.click(userDeleteButtons[0]);
    screen.frame();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Cy", "Dee", "", "", "", ""}));
    screen.click(authorizeButton);
    screen.frame();
    dismissAlert();
    authorize();
    EXPECT_EQ(alertLines[0], "User deletion allowed");
}

TEST_F(UserManagementTest, RowTessituraLists)
{
    screen.press(userTessituraButtons[0]);
    screen.frame();
    ASSERT_TRUE(popupOpen);
    EXPECT_EQ(promptLine, "Choose your tesitura from the menu");
    screen.click(popupEntries[1]); // "medium"
    screen.frame();
    EXPECT_EQ(userRecords[0].tessitura, 2);
    EXPECT_EQ(userTessituraButtons[0].caption, "medium");

    const int64_t writes = storeFilesWritten("UsersFile");
    screen.press(userTessituraButtons[3]); // a free row
    screen.frame();
    screen.click(popupEntries[2]);
    screen.frame();
    EXPECT_EQ(userTessituraButtons[3].caption, "");
    EXPECT_EQ(storeFilesWritten("UsersFile"), writes);

    // A click beside an open list closes it.
    screen.press(userTessituraButtons[0]);
    screen.frame();
    screen.click(userManagementExitButton);
    screen.frame();
    EXPECT_FALSE(popupOpen);
    EXPECT_EQ(currentScreen, 3);
}

TEST_F(UserManagementTest, ArrowKeysWalkRowsAndFields)
{
    EXPECT_EQ(keyboardFocus, &userNameButtons[0]);
    for (int i = 0; i < 5; ++i) userManagementSpecialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(keyboardFocus, &userNameButtons[5]);
    userManagementSpecialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(editedControl, &newUserField);
    EXPECT_EQ(promptLine, "Type a User Name");
    screen.frame();
    userManagementSpecialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(editedControl, &deletionPasswordField);
    screen.type("typed");
    userManagementSpecialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_FALSE(textEditActive);
    EXPECT_EQ(keyboardFocus, &userNameButtons[0]);
    EXPECT_EQ(deletionPasswordText, ""); // leaving by arrow keeps the earlier password
    userManagementSpecialKey(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(editedControl, &deletionPasswordField);
    EXPECT_EQ(editLength, 0);
}

TEST_F(UserManagementTest, StartingRows)
{
    screen.type("\r"); // the focus is on row 1 at entry
    screen.frame();
    EXPECT_EQ(currentScreen, 6);
    EXPECT_EQ(currentUserKey, 1);
    EXPECT_EQ(currentUserSlot, 0);
    EXPECT_EQ(currentUserName, "Admin");
    EXPECT_EQ(currentUserTessitura, 3);
    EXPECT_EQ(userManagementState, 0);

    // Opening row 1's list puts the focus on its name: Return starts the row
    // and leaves no list open behind.
    currentScreen = 3;
    screen.frame();
    screen.press(userTessituraButtons[0]);
    screen.frame();
    ASSERT_TRUE(popupOpen);
    screen.type("\r");
    screen.frame();
    EXPECT_EQ(currentScreen, 6);
    EXPECT_FALSE(popupOpen);

    currentScreen = 3;
    screen.frame();
    screen.click(userNameButtons[2]); // a free row
    screen.frame();
    EXPECT_EQ(alertLines[0], "Please add a user first.");
    EXPECT_EQ(currentUserKey, 1);
    screen.click(userNameButtons[2]);
    screen.frame();
    EXPECT_EQ(editedControl, &newUserField);
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
    screen.click(userImportButtons[1]); // Bea: another user's file
    screen.frame();
    EXPECT_EQ(alertLines[0], "User in File does not match selected user");
    EXPECT_EQ(timeLineDay(1, 0).date, dayNumberFromDate(2026, 11, 30));
    EXPECT_EQ(storeFilesWritten("TimeLine"), writes);
    dismissAlert();

    userRecords[0].lessonBlocks[3].done = 0;
    editTimeLineDay(0, 0).date = emptyDayNumber;
    screen.click(userImportButtons[0]);
    screen.frame();
    EXPECT_EQ(alertLines[0], "Statistics Successfully imported");
    EXPECT_EQ(userRecords[0].lessonBlocks[3].done, 1);
    EXPECT_EQ(timeLineDay(0, 0).date, dayNumberFromDate(2026, 12, 1));
    EXPECT_EQ(storeFilesWritten("TimeLine"), writes + 1);
    dismissAlert();

    chosenImportFile.clear();
    screen.click(userImportButtons[0]);
    screen.frame();
    EXPECT_EQ(alertLines[0], "Import canceled");
    dismissAlert();

    // The real chooser with no chooser program on PATH: not a cancel.
    setImportFileChooser(nullptr);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir + "/no-programs-here").c_str(), 1);
    screen.click(userImportButtons[0]);
    screen.frame();
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(alertLines[0], noFileChooserMessage);
}

} // namespace
