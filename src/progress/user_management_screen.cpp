// Screen 3: user management.
#include "progress/user_management_screen.h"

#include <GL/freeglut.h>

#include "frame/control_drawing.h"
#include "frame/file_dialogs.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "frame/shared.h"
#include "frame/small_routines.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "frame/timer.h"
#include "progress/password.h"
#include "progress/statistics_file.h"
#include "progress/store_io.h"
#include "progress/users_file.h"

ControlRecord aboutButton;
ControlRecord userNameButtons[userRowCount];
ControlRecord userTessituraButtons[userRowCount];
ControlRecord userDeleteButtons[userRowCount];
ControlRecord userImportButtons[userRowCount];
ControlRecord newUserField, newUserTessituraButton, addUserButton;
ControlRecord deletionPasswordField, authorizeButton, userManagementExitButton;
int32_t userManagementState = 0;
int32_t userManagementFrameCounter = 0;
int32_t userManagementPendingAction = 0;
int32_t userManagementDeferredAction = 0;
int32_t newUserTessitura = 3;
bool userDeletionAuthorized = false;
std::string deletionPasswordText;
static int32_t userManagementTextFont = 2;
static ImportFileChooser importFileChooser = nullptr;

constexpr int32_t runningState = 2;
constexpr int32_t newUserFieldId = 1;
constexpr int32_t passwordFieldId = 3;

// Action codes; r is the row 1..6.
constexpr int32_t openRowListBase = 9;   // + r: row r's tessitura list
constexpr int32_t openNewUserList = 16;
constexpr int32_t startUserBase = 16;    // + r
constexpr int32_t deleteUserBase = 22;   // + r
constexpr int32_t addUserAction = 29;
constexpr int32_t importBase = 30;       // + r
constexpr int32_t authorizeAction = 38;
constexpr int32_t exitAction = 40;
constexpr int32_t aboutAction = 42;
constexpr int32_t editNewUserAction = 43;
constexpr int32_t editPasswordAction = 45;

constexpr int32_t newUserListId = 7; // lists 1..6 are the rows'

// alertKind follow-ups of this screen.
constexpr int32_t alertOpensNewUser = 1;
constexpr int32_t alertOpensPassword = 3;

static const char *const newUserPrompt = "Type a User Name";
static const char *const passwordKeyPrompt = "Type the HarrowdeenAdmin Password";

void setImportFileChooser(ImportFileChooser chooser) { importFileChooser = chooser; }

// The lesson menu prepares itself for the current user when a row is
// started. Until the lesson menu module exists this placeholder stands in for
// enterLessonMenu(); switching to screen 6 alone is all the start needs then.
static void enterLessonMenuPlaceholder() {}

static int32_t rowBottom(int r) { return 568 - 22 * (r - 1); }

// ---- input description -------------------------------------------------------

constexpr int controlCount = 1 + 3 * userRowCount + userRowCount + 6;
static TemplateControl userManagementControls[controlCount];

bool nameOrPasswordKeyAccepted(unsigned char key, bool passwordField, const std::string &caption)
{
    switch (key) {
    case 8: case 9: case 10: case 13: case 27: case 127: case '-': case '_':
        return true;
    case ' ':
        return passwordField || !caption.empty();
    case '+':
        return passwordField;
    default:
        return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
    }
}

static bool userManagementAcceptKey(int32_t fieldId, unsigned char key, const std::string &caption)
{
    return nameOrPasswordKeyAccepted(key, fieldId == passwordFieldId, caption);
}

static int32_t userManagementAlertFollowUp(int32_t kind)
{
    if (kind == alertOpensNewUser)
        return editNewUserAction;
    if (kind == alertOpensPassword)
        return editPasswordAction;
    return 0;
}

static void userManagementSpecialKeyOwn(int32_t key);
static void applyTessituraChoice(int32_t listId, int32_t item);
static void beforeCloseByClick();
static void finishFieldEdit(int32_t fieldId, const std::string &value, unsigned char lastKey);
static void userManagementAction(int32_t code);

static const ScreenInput userManagementInput = {
    userManagementControls, controlCount, &userManagementPendingAction, &userManagementDeferredAction,
    &userManagementState, runningState, &userManagementFrameCounter,
    {"Click a name or hit <Return> to start,", "or click in the field NewUser",
     "or \"Exit\" to quit the program"},
    {"Click a name to start,", "or click in the field NewUser", "or \"Exit\" to quit the program"},
    userManagementAlertFollowUp, userManagementAcceptKey, nullptr, userManagementSpecialKeyOwn,
    applyTessituraChoice, beforeCloseByClick, finishFieldEdit, userManagementAction,
};

static void describeControls()
{
    int i = 0;
    auto add = [&i](ControlRecord *c, int32_t pressCode, int32_t releaseCode, const char *releaseHint,
                    const char *clickHint, int32_t returnCode) {
        userManagementControls[i++] = {c, pressCode, 0, releaseCode, 0, releaseHint, clickHint, returnCode};
    };
    add(&aboutButton, 0, aboutAction, "Release Button to display About-Info", "Click to display About Info", 0);
    for (int r = 1; r <= userRowCount; ++r) {
        add(&userNameButtons[r - 1], 0, startUserBase + r, "Release Button to start lesson with this user",
            r == 1 ? "Click to start the lessons with this user" : "Click to start the lessons with this User",
            startUserBase + r);
        add(&userTessituraButtons[r - 1], openRowListBase + r, 0, "Release Button to set Tessitura for this user",
            "Click to set the Tessitura for this User", 0);
        add(&userDeleteButtons[r - 1], 0, deleteUserBase + r, "Release Button to delete this user",
            "Click to delete this User", 0);
    }
    for (int r = 1; r <= userRowCount; ++r)
        add(&userImportButtons[r - 1], 0, importBase + r, "Release Button to import statistics for this user",
            "Click to import statistics for this User", 0);
    add(&newUserField, 0, editNewUserAction, "Release Button to clear the field and enter a new user name",
        "Click to enter a new user name", 0);
    add(&newUserTessituraButton, openNewUserList, 0, "Release Button to set Tessitura for the new user",
        "Click to set the Tessitura for the new User", 0);
    add(&addUserButton, 0, addUserAction, "Release Button to add the new user to the selection list",
        "Click to add the new user to the selection list", addUserAction);
    add(&deletionPasswordField, 0, editPasswordAction, "Release Button to enter the password for user deletions",
        "Click to clear and set the user deletion password", 0);
    add(&authorizeButton, 0, authorizeAction, "Release Button to authorize/deauthorize user deletion",
        "Click to activate/deactivate the authorization for user deletion", authorizeAction);
    add(&userManagementExitButton, 0, exitAction, "Release Button to exit the program", "Click to exit the program",
        0);
}

// ---- controls ------------------------------------------------------------------

void buildUserRows()
{
    ControlRecord *previous = &aboutButton;
    for (int r = 1; r <= userRowCount; ++r) {
        const UserRecord &user = userRecords[r - 1];
        const int32_t bottom = rowBottom(r), top = bottom + 18;
        initControl(0, &userNameButtons[r - 1], kindPushButton, 130, 390, bottom, top, stateIdle, 1,
                    user.key != 0 ? user.name : "", previous);
        initControl(0, &userTessituraButtons[r - 1], kindPopupOpener, 500, 572, bottom, top, stateIdle, 1,
                    user.key != 0 ? tessituraName(user.tessitura) : "", &userNameButtons[r - 1]);
        initControl(0, &userDeleteButtons[r - 1], kindPushButton, 620, 657, bottom, top, stateIdle, 1, "Del",
                    &userTessituraButtons[r - 1]);
        previous = &userDeleteButtons[r - 1];
    }
    for (int r = 1; r <= userRowCount; ++r) {
        const int32_t bottom = rowBottom(r), top = bottom + 18;
        initControl(0, &userImportButtons[r - 1], kindPushButton, 720, 787, bottom, top, stateIdle, 1, "Import",
                    previous);
        previous = &userImportButtons[r - 1];
    }
}

void createUserManagementControls()
{
    initControl(0, &aboutButton, kindPushButton, 620, 683, 680, 698, stateIdle, 1, "About",
                &userManagementExitButton);
    buildUserRows();
    initControl(newUserFieldId, &newUserField, kindTextField, 130, 390, 388, 406, stateIdle, 1, "",
                &userImportButtons[userRowCount - 1]);
    initControl(0, &newUserTessituraButton, kindPopupOpener, 500, 572, 388, 406, stateIdle, 1, "high",
                &newUserField);
    initControl(0, &addUserButton, kindPushButton, 620, 657, 388, 406, stateIdle, 1, "Add",
                &newUserTessituraButton);
    initControl(passwordFieldId, &deletionPasswordField, kindPasswordField, 130, 470, 344, 362, stateIdle, 1, "",
                &addUserButton);
    initControl(0, &authorizeButton, kindPushButton, 500, 609, 344, 362, stateIdle, 1, "Authorize",
                &deletionPasswordField);
    initControl(0, &userManagementExitButton, kindPushButton, 620, 669, 158, 176, stateIdle, 1, "Exit",
                &authorizeButton);
    // The users file keeps 40 characters of a name and of the password.
    newUserField.editLimit = maxNameLength;
    deletionPasswordField.editLimit = maxNameLength;
    deletionPasswordField.plainValue = &deletionPasswordText;
    describeControls();
    userManagementTextFont = 2;
    userManagementState = 0;
}

int32_t resetUserManagementControls(ControlRecord *control)
{
    return templateResetControls(userManagementInput, control);
}

// ---- input ----------------------------------------------------------------------

void userManagementKeyboard(unsigned char key, int x, int y) { templateKeyboard(userManagementInput, key, x, y); }
void userManagementSpecialKey(int key, int x, int y) { templateSpecialKey(userManagementInput, key, x, y); }
void userManagementMouse(int button, int state, int x, int y)
{
    templateMouse(userManagementInput, button, state, x, y);
}
void userManagementMotion(int x, int y) { templateMotion(userManagementInput, x, y); }
void userManagementPassiveMotion(int x, int y) { templatePassiveMotion(userManagementInput, x, y); }

static int focusedNameRow()
{
    for (int r = 1; r <= userRowCount; ++r)
        if (keyboardFocus == &userNameButtons[r - 1])
            return r;
    return 0;
}

// Closes the edited line without taking its value over.
static void closeLine()
{
    if (editLength >= 0 && editLength < editBufferSize)
        editBuffer[editLength] = 0;
    if (editedControl != nullptr)
        editedControl->state = stateIdle;
    // Text typed into the password field since its editing began is dropped:
    // the field shows the held value again.
    if (editedControl == &deletionPasswordField)
        deletionPasswordField.caption = std::string(deletionPasswordText.size(), '*');
}

static void stopEditingAndFocus(ControlRecord *focus)
{
    closeLine();
    textEditActive = false;
    activeFieldId = 0;
    editedControl = nullptr;
    editFinished = false;
    setKeyboardFocus(focus);
    promptLine.clear();
    userManagementPendingAction = 0;
}

static void startFieldFromKey(ControlRecord *field)
{
    userManagementPendingAction =
        startFieldEditAtEnd(field, field == &newUserField ? newUserPrompt : passwordKeyPrompt);
}

// Up and Down walk the name buttons and the two fields.
static void userManagementSpecialKeyOwn(int32_t key)
{
    if (key != GLUT_KEY_UP && key != GLUT_KEY_DOWN)
        return;
    const bool up = key == GLUT_KEY_UP;
    if (!textEditActive) {
        const int r = focusedNameRow();
        if (r == 1 && up) {
            startFieldFromKey(&deletionPasswordField);
        } else if (r == userRowCount && !up) {
            startFieldFromKey(&newUserField);
        } else {
            const int target = r == 0 ? 1 : (up ? r - 1 : r + 1);
            setKeyboardFocus(&userNameButtons[target - 1]);
            promptLine.clear();
            userManagementPendingAction = 0;
        }
        return;
    }
    if (activeFieldId == newUserFieldId) {
        if (up) {
            stopEditingAndFocus(&userNameButtons[userRowCount - 1]);
        } else {
            closeLine();
            startFieldFromKey(&deletionPasswordField);
        }
    } else if (activeFieldId == passwordFieldId) {
        if (up) {
            closeLine();
            startFieldFromKey(&newUserField);
        } else {
            stopEditingAndFocus(&userNameButtons[0]);
        }
    }
}

// ---- actions --------------------------------------------------------------------

static void applyTessituraChoice(int32_t listId, int32_t item)
{
    promptLine.clear();
    const int32_t tessitura = 3 - item;
    const std::string caption = popupEntries[item].caption;
    if (listId >= 1 && listId <= userRowCount) {
        const int32_t key = userRecords[listId - 1].key;
        if (key != 0) {
            setUserTessitura(key, tessitura);
            userTessituraButtons[listId - 1].caption = caption;
        }
    } else if (listId == newUserListId) {
        newUserTessituraButton.caption = caption;
        newUserTessitura = tessitura;
    }
}

static void beforeCloseByClick()
{
    if (textEditActive) {
        setKeyboardFocus(nullptr);
        return;
    }
    if (popupOpen) {
        if (openPopupId >= 1 && openPopupId <= userRowCount)
            userTessituraButtons[openPopupId - 1].state = stateIdle;
        else if (openPopupId == newUserListId)
            newUserTessituraButton.state = stateIdle;
    }
}

static void finishFieldEdit(int32_t fieldId, const std::string &value, unsigned char lastKey)
{
    if (fieldId == 0) {
        promptLine.clear();
        showAlert("", "Click a user from the list to start the lessons", "or click \"Exit\" to quit the program");
    } else if (fieldId == newUserFieldId) {
        newUserField.caption = value;
    } else if (fieldId == passwordFieldId) {
        deletionPasswordText = value;
    }
    if (lastKey == 13 || lastKey == 9) {
        if (fieldId == newUserFieldId)
            setKeyboardFocus(&addUserButton);
        else if (fieldId == passwordFieldId)
            setKeyboardFocus(&authorizeButton);
    }
}

static void openTessituraList(int32_t code)
{
    static const std::string items[3] = {"high", "medium", "low"};
    if (code == openNewUserList) {
        openPopupList(&newUserTessituraButton, newUserListId, items, 3);
        setKeyboardFocus(&addUserButton);
    } else {
        const int r = code - openRowListBase;
        openPopupList(&userTessituraButtons[r - 1], r, items, 3);
        userTessituraButtons[r - 1].state = stateIdle;
        setKeyboardFocus(&userNameButtons[r - 1]);
    }
    promptLine = "Choose your tesitura from the menu";
}

static void startUser(int r)
{
    userNameButtons[r - 1].state = stateIdle;
    const UserRecord &user = userRecords[r - 1];
    if (user.key >= 1 && user.key <= 10) {
        // A free row leaves the current user as it was.
        currentUserSlot = r - 1;
        currentUserKey = user.key;
        currentUserName = user.name;
        currentUserTessitura = user.tessitura;
        setKeyboardFocus(nullptr);
        promptLine.clear();
        // Return can start a row while its tessitura list is open; the list
        // belongs to this screen and must not stay open over the lesson menu.
        if (popupOpen)
            closePopupList();
        enterLessonMenuPlaceholder();
        userManagementState = 0;
        currentScreen = 6;
    } else {
        showAlert("Please add a user first.", "", "");
        alertKind = alertOpensNewUser;
    }
}

static void deleteRow(int r)
{
    if (userDeletionAuthorized) {
        const int32_t key = userRecords[r - 1].key;
        if (key != 0) {
            deleteUser(key);
            buildUserRows();
        }
    } else {
        showAlert("Please set AdminPassword to Activate User Deletion", "", "");
        alertKind = alertOpensPassword;
    }
    setKeyboardFocus(&userNameButtons[0]);
    userDeleteButtons[r - 1].state = stateIdle;
    promptLine.clear();
}

static void addNewUser()
{
    addUserButton.state = stateIdle;
    promptLine.clear();
    if (newUserField.caption.empty()) {
        showAlert("UserName must have at least one Character", "", "");
        alertKind = alertOpensNewUser;
        return;
    }
    // One user action: the files are written once, after both changes.
    beginStoreUpdate();
    const int32_t key = addUser(newUserField.caption.substr(0, maxNameLength));
    if (key != 0)
        setUserTessitura(key, newUserTessitura);
    endStoreUpdate();
    if (key == 0) {
        showAlert("No more Users possible", "", "");
        alertKind = 0;
        return;
    }
    const int32_t slot = findUserSlot(key);
    if (slot >= 0 && slot < userRowCount) {
        userNameButtons[slot].caption = newUserField.caption;
        userTessituraButtons[slot].caption = newUserTessituraButton.caption;
        setKeyboardFocus(&userNameButtons[slot]);
    }
}

static void toggleAuthorization()
{
    promptLine.clear();
    if (authorizeButton.value != 0) {
        std::string stored;
        scramblePassword(userRecords[passwordSlot].name, stored);
        if (stored == deletionPasswordText) {
            authorizeButton.caption = "Authorized";
            deletionPasswordField.caption.clear();
            authorizeButton.value = 0;
            userDeletionAuthorized = true;
            showAlert("User deletion allowed", "", "");
            alertKind = 0;
        } else {
            // The refused text is dropped: the field reopens empty for a new
            // try, so a retyped password is not joined to the wrong one.
            deletionPasswordText.clear();
            deletionPasswordField.caption.clear();
            showAlert("wrong PassWord", "", "");
            alertKind = alertOpensPassword;
        }
    } else {
        authorizeButton.caption = "Authorize";
        authorizeButton.value = 1;
        userDeletionAuthorized = false;
        deletionPasswordText.clear();
        showAlert("User deletion prohibited", "", "");
        alertKind = 0;
    }
    setKeyboardFocus(&userNameButtons[0]);
    authorizeButton.state = stateIdle;
}

static std::string importMessage(int32_t result)
{
    switch (result) {
    case importOk: return "Statistics Successfully imported";
    case importBadHeaderLength: return "Not a Sorvic Statistics File";
    case importBadHeaderLetters: return "File Manipulation error";
    case importBadLine2Length: return "Date Format error";
    case importOtherUser: return "User in File does not match selected user";
    default: return "Import Error " + std::to_string(result);
    }
}

static void importIntoRow(int r)
{
    const std::string fileName = importFileChooser != nullptr ? importFileChooser() : chooseMidiOrKaraokeFile();
    if (fileName.empty()) {
        showAlert(emptyChoiceMessage("Import canceled"), "", "");
    } else {
        // A failed import has changed nothing, so only a success is saved.
        const int32_t result = importUserStatistics(r - 1, fileName);
        if (result == importOk)
            saveUsersFiles();
        showAlert(importMessage(result), "", "");
    }
    alertKind = 0;
    setKeyboardFocus(&userNameButtons[0]);
    userImportButtons[r - 1].state = stateIdle;
    promptLine.clear();
}

static void userManagementAction(int32_t code)
{
    if (code >= openRowListBase + 1 && code <= openNewUserList) {
        openTessituraList(code);
    } else if (code >= startUserBase + 1 && code <= startUserBase + userRowCount) {
        startUser(code - startUserBase);
    } else if (code >= deleteUserBase + 1 && code <= deleteUserBase + userRowCount) {
        deleteRow(code - deleteUserBase);
    } else if (code == addUserAction) {
        addNewUser();
    } else if (code >= importBase + 1 && code <= importBase + userRowCount) {
        importIntoRow(code - importBase);
    } else if (code == authorizeAction) {
        toggleAuthorization();
    } else if (code == aboutAction) {
        aboutButton.value = aboutButton.value == 0 ? 1 : 0;
        setKeyboardFocus(nullptr);
        userManagementState = 0;
        currentScreen = 4;
        aboutButton.state = stateIdle;
        promptLine.clear();
    } else if (code == exitAction) {
        promptLine.clear();
        userManagementExitButton.value = userManagementExitButton.value == 0 ? 1 : 0;
        setKeyboardFocus(nullptr);
        userManagementState = 0;
        currentScreen = 579;
        userManagementExitButton.state = stateIdle;
    } else if (code == editNewUserAction) {
        userManagementPendingAction =
            startFieldEdit(&newUserField, "Type a new Username and press <Return> or hit <Escape>");
    } else if (code == editPasswordAction) {
        userManagementPendingAction =
            startFieldEdit(&deletionPasswordField, "Type a password and press <Return> or hit <Escape>");
    }
}

void handleUserManagementAction() { templateHandleAction(userManagementInput); }

// ---- drawing --------------------------------------------------------------------

void drawUserManagementControls()
{
    drawControl(&aboutButton);
    for (int r = 1; r < userRowCount; ++r) {
        drawControl(&userNameButtons[r - 1]);
        drawControl(&userTessituraButtons[r - 1]);
        drawControl(&userDeleteButtons[r - 1]);
    }
    drawControl(&userDeleteButtons[userRowCount - 1]);
    drawControl(&userTessituraButtons[userRowCount - 1]);
    drawControl(&userNameButtons[userRowCount - 1]);
    for (ControlRecord &c : userImportButtons)
        drawControl(&c);
    drawControl(&newUserField);
    drawControl(&newUserTessituraButton);
    drawControl(&addUserButton);
    drawControl(&deletionPasswordField);
    drawControl(&authorizeButton);
    drawControl(&userManagementExitButton);
}

static void drawUserManagementFrame()
{
    clearScreenFrame();
    drawFrameAnimation(userManagementFrameCounter / 5);
    const int32_t font = userManagementTextFont;

    glColor4f(0, 0, 0, 0.4f);
    drawText(font, "Tarnova .................... ", 130, 680);
    drawTitleRule();
    glColor4f(0.1f, 0.5f, 0.1f, 0.4f);
    drawText(font, "User Management: Click your Name from the list or add a new user", 30, 617);
    const double userArea[] = {25, 610, 983, 610, 983, 338, 25, 338};
    drawLineLoop(userArea, 4, -6);
    glColor4f(0, 0, 0, 0.4f);
    drawText(font, "User Name: ", 130, 590);
    drawText(font, "Tessitura: ", 500, 590);
    drawText(font, "Delete: ", 620, 590);
    drawText(font, "Import TimeLine Stats: ", 720, 590);
    drawText(font, "New User: ", 130, 410);
    drawText(font, "Tessitura: ", 500, 410);
    drawText(font, "Add User: ", 620, 410);
    drawText(font, "Admin Password ", 130, 370);
    drawText(font, "Activate (needed for delete Users)", 500, 370);
    drawControlBox(font, "Quit Program .............");

    drawUserManagementControls();
    finishScreenFrame(4, "Make your Choice: Select a User or Add a new User");
}

void displayUserManagementScreen()
{
    if (userManagementState == 0) {
        restartFreeGrid();
        hintLine.clear();
        promptLine.clear();
        setKeyboardFocus(&userNameButtons[0]);
        showAlert("", "Select a user by clicking on its name", "or click in the New User Field to add a new User");
        alertKind = 0;
        userManagementState = runningState;
        return;
    }
    if (templateHasAction(userManagementInput))
        handleUserManagementAction();
    if (haveGlContext())
        drawUserManagementFrame();
    if (++userManagementFrameCounter >= 190)
        userManagementFrameCounter = 0;
}

const ScreenHandlers userManagementScreenHandlers = {
    createUserManagementControls, nullptr,
    userManagementKeyboard,       userManagementSpecialKey,
    userManagementMouse,          userManagementMotion,
    userManagementPassiveMotion,  drawUserManagementControls,
    handleUserManagementAction,   displayUserManagementScreen,
};
