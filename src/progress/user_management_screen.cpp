// Screen 3: user management.
#include "progress/user_management_screen.h"

#include "lessons/lesson_menu_screen.h"

#include <GL/freeglut.h>

#include "frame/control_drawing.h"
#include "frame/file_dialogs.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "frame/timer.h"
#include "store/user_actions.h"
#include "store/password.h"
#include "store/statistics_file.h"
#include "store/store_io.h"
#include "store/users_file.h"

UserManagementState userManagementState;

static int32_t userManagementTextFont = font9By15;
UserManagementHooks userManagementHooks;

// The double-click guard of Del and Add (see userManagementMouse).
constexpr int32_t doubleClickMs = 500;
static bool delOrAddActed = false;       // a Del or Add action ran on this screen
static int32_t lastDelOrAddActionMs = 0; // ... at this time
static bool ignoringRelease = false;     // the release of an ignored press is ignored too

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

static int32_t rowBottom(int r) { return 568 - 22 * (r - 1); }

// ---- input description -------------------------------------------------------

constexpr int controlCount = 1 + 3 * userRowCount + userRowCount + 6;
static TemplateControl userManagementControls[controlCount];

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
    .controls = userManagementControls,
    .controlCount = controlCount,
    .pending = &userManagementState.pendingAction,
    .deferred = &userManagementState.deferredAction,
    .phase = &userManagementState.phase,
    .runningPhase = runningState,
    .frameCounter = &userManagementState.frameCounter,
    .keyHelp = {"Click a name or hit <Return> to start,", "or click in the field NewUser", "or \"Exit\" to quit the program"},
    .returnHelp = {"Click a name to start,", "or click in the field NewUser", "or \"Exit\" to quit the program"},
    .alertFollowUp = userManagementAlertFollowUp,
    .acceptKey = userManagementAcceptKey,
    .ownSpecialKey = userManagementSpecialKeyOwn,
    .applyPopupChoice = applyTessituraChoice,
    .beforeCloseByClick = beforeCloseByClick,
    .finishEdit = finishFieldEdit,
    .action = userManagementAction,
};

static void describeControls()
{
    int i = 0;
    auto add = [&i](ControlRecord *c, int32_t pressCode, int32_t releaseCode, const char *releaseHint,
                    const char *clickHint, int32_t returnCode) {
        userManagementControls[i++] = {c, pressCode, 0, releaseCode, 0, releaseHint, clickHint, returnCode};
    };
    add(&userManagementState.aboutButton, 0, aboutAction, "Release Button to display About-Info", "Click to display About Info", 0);
    for (int r = 1; r <= userRowCount; ++r) {
        add(&userManagementState.nameButtons[r - 1], 0, startUserBase + r, "Release Button to start lesson with this user",
            r == 1 ? "Click to start the lessons with this user" : "Click to start the lessons with this User",
            startUserBase + r);
        add(&userManagementState.tessituraButtons[r - 1], openRowListBase + r, 0, "Release Button to set Tessitura for this user",
            "Click to set the Tessitura for this User", 0);
        add(&userManagementState.deleteButtons[r - 1], 0, deleteUserBase + r, "Release Button to delete this user",
            "Click to delete this User", 0);
    }
    for (int r = 1; r <= userRowCount; ++r)
        add(&userManagementState.importButtons[r - 1], 0, importBase + r, "Release Button to import statistics for this user",
            "Click to import statistics for this User", 0);
    add(&userManagementState.newUserField, 0, editNewUserAction, "Release Button to clear the field and enter a new user name",
        "Click to enter a new user name", 0);
    add(&userManagementState.newUserTessituraButton, openNewUserList, 0, "Release Button to set Tessitura for the new user",
        "Click to set the Tessitura for the new User", 0);
    add(&userManagementState.addUserButton, 0, addUserAction, "Release Button to add the new user to the selection list",
        "Click to add the new user to the selection list", addUserAction);
    add(&userManagementState.deletionPasswordField, 0, editPasswordAction, "Release Button to enter the password for user deletions",
        "Click to clear and set the user deletion password", 0);
    add(&userManagementState.authorizeButton, 0, authorizeAction, "Release Button to authorize/deauthorize user deletion",
        "Click to activate/deactivate the authorization for user deletion", authorizeAction);
    add(&userManagementState.exitButton, 0, exitAction, "Release Button to exit the program", "Click to exit the program",
        0);
}

// ---- controls ------------------------------------------------------------------

static void buildUserRows()
{
    ControlRecord *previous = &userManagementState.aboutButton;
    for (int r = 1; r <= userRowCount; ++r) {
        const UserRecord &user = userRecords[r - 1];
        const int32_t bottom = rowBottom(r), top = bottom + 18;
        initControl(&userManagementState.nameButtons[r - 1],
                    {.kind = kindPushButton, .left = 130, .right = 390, .bottom = bottom, .top = top, .value = 1,
                     .caption = user.key != 0 ? user.name : "", .previous = previous});
        initControl(&userManagementState.tessituraButtons[r - 1],
                    {.kind = kindPopupOpener, .left = 500, .right = 572, .bottom = bottom, .top = top, .value = 1,
                     .caption = user.key != 0 ? tessituraName(user.tessitura) : "",
                     .previous = &userManagementState.nameButtons[r - 1]});
        initControl(&userManagementState.deleteButtons[r - 1],
                    {.kind = kindPushButton, .left = 620, .right = 657, .bottom = bottom, .top = top, .value = 1,
                     .caption = "Del", .previous = &userManagementState.tessituraButtons[r - 1]});
        previous = &userManagementState.deleteButtons[r - 1];
    }
    for (int r = 1; r <= userRowCount; ++r) {
        const int32_t bottom = rowBottom(r), top = bottom + 18;
        initControl(&userManagementState.importButtons[r - 1],
                    {.kind = kindPushButton, .left = 720, .right = 787, .bottom = bottom, .top = top, .value = 1,
                     .caption = "Import", .previous = previous});
        previous = &userManagementState.importButtons[r - 1];
    }
}

static void createUserManagementControls()
{
    initControl(&userManagementState.aboutButton,
                {.kind = kindPushButton, .left = 620, .right = 683, .bottom = 680, .top = 698, .value = 1,
                 .caption = "About", .previous = &userManagementState.exitButton});
    buildUserRows();
    initControl(&userManagementState.newUserField,
                {.id = newUserFieldId, .kind = kindTextField, .left = 130, .right = 390, .bottom = 388, .top = 406,
                 .value = 1, .previous = &userManagementState.importButtons[userRowCount - 1]});
    initControl(&userManagementState.newUserTessituraButton,
                {.kind = kindPopupOpener, .left = 500, .right = 572, .bottom = 388, .top = 406, .value = 1,
                 .caption = "high", .previous = &userManagementState.newUserField});
    initControl(&userManagementState.addUserButton,
                {.kind = kindPushButton, .left = 620, .right = 657, .bottom = 388, .top = 406, .value = 1,
                 .caption = "Add", .previous = &userManagementState.newUserTessituraButton});
    initControl(&userManagementState.deletionPasswordField,
                {.id = passwordFieldId, .kind = kindPasswordField, .left = 130, .right = 470, .bottom = 344, .top = 362,
                 .value = 1, .previous = &userManagementState.addUserButton});
    initControl(&userManagementState.authorizeButton,
                {.kind = kindPushButton, .left = 500, .right = 609, .bottom = 344, .top = 362, .value = 1,
                 .caption = "Authorize", .previous = &userManagementState.deletionPasswordField});
    initControl(&userManagementState.exitButton,
                {.kind = kindPushButton, .left = 620, .right = 669, .bottom = 158, .top = 176, .value = 1,
                 .caption = "Exit", .previous = &userManagementState.authorizeButton});
    // The users file keeps 40 characters of a name and of the password.
    userManagementState.newUserField.editLimit = maxNameLength;
    userManagementState.deletionPasswordField.editLimit = maxNameLength;
    userManagementState.deletionPasswordField.plainValue = &userManagementState.deletionPasswordText;
    describeControls();
    delOrAddActed = false;
    ignoringRelease = false;
    userManagementTextFont = font9By15;
    userManagementState.phase = 0;
}

// ---- input ----------------------------------------------------------------------

// A double click on Del or Add is one action: a press of either within
// 500 ms of the last Del or Add action is ignored, with its release (the row
// below moves up under the pointer after a delete; the name stays in the field
// after an add).

static int32_t delOrAddClock()
{
    return userManagementHooks.now != nullptr ? userManagementHooks.now() : glutGet(GLUT_ELAPSED_TIME);
}

static void noteDelOrAddAction()
{
    delOrAddActed = true;
    lastDelOrAddActionMs = delOrAddClock();
}

// True when a press now would act on a button the template reaches (no alert,
// list or editing in the way) and comes too soon after the last Del or Add.
static bool delOrAddTooSoon()
{
    if (userManagementState.phase != runningState || alertShown() || popupOpen || textEditActive || !delOrAddActed)
        return false;
    return delOrAddClock() - lastDelOrAddActionMs < doubleClickMs;
}

static bool isDelOrAddAt(int x, int y)
{
    if (controlContains(userManagementState.addUserButton, x, y))
        return true;
    for (const ControlRecord &c : userManagementState.deleteButtons)
        if (controlContains(c, x, y))
            return true;
    return false;
}

static void userManagementKeyboard(unsigned char key, int x, int y)
{
    if (key == keyReturn && keyboardFocus == &userManagementState.addUserButton && delOrAddTooSoon())
        return;
    templateKeyboard(userManagementInput, key, x, y);
}
static void userManagementSpecialKey(int key, int x, int y) { templateSpecialKey(userManagementInput, key, x, y); }
static void userManagementMouse(int button, int state, int x, int y)
{
    if (ignoringRelease && state == 1) {
        ignoringRelease = false;
        return;
    }
    if (button == 0 && state == 0 && isDelOrAddAt(x, y) && delOrAddTooSoon()) {
        ignoringRelease = true;
        return;
    }
    templateMouse(userManagementInput, button, state, x, y);
}
static void userManagementMotion(int x, int y)
{
    if (ignoringRelease)
        return;
    templateMotion(userManagementInput, x, y);
}
static void userManagementPassiveMotion(int x, int y) { templatePassiveMotion(userManagementInput, x, y); }

static int focusedNameRow()
{
    for (int r = 1; r <= userRowCount; ++r)
        if (keyboardFocus == &userManagementState.nameButtons[r - 1])
            return r;
    return 0;
}

// Closes the edited line without taking its value over.
static void closeLine()
{
    if (editedControl != nullptr)
        editedControl->state = stateIdle;
    // Text typed into the password field since its editing began is dropped:
    // the field shows the held value again.
    if (editedControl == &userManagementState.deletionPasswordField)
        userManagementState.deletionPasswordField.caption = std::string(userManagementState.deletionPasswordText.size(), '*');
}

static void stopEditingAndFocus(ControlRecord *focus)
{
    closeLine();
    cancelTextEdit();
    setKeyboardFocus(focus);
    promptLine.clear();
    userManagementState.pendingAction = 0;
}

static void startFieldFromKey(ControlRecord *field)
{
    userManagementState.pendingAction =
        startFieldEditAtEnd(field, field == &userManagementState.newUserField ? newUserPrompt : passwordKeyPrompt);
}

// Up and Down walk the name buttons and the two fields.
static void userManagementSpecialKeyOwn(int32_t key)
{
    if (key != keyUp && key != keyDown)
        return;
    const bool up = key == keyUp;
    if (!textEditActive) {
        const int r = focusedNameRow();
        if (r == 1 && up) {
            startFieldFromKey(&userManagementState.deletionPasswordField);
        } else if (r == userRowCount && !up) {
            startFieldFromKey(&userManagementState.newUserField);
        } else {
            const int target = r == 0 ? 1 : (up ? r - 1 : r + 1);
            setKeyboardFocus(&userManagementState.nameButtons[target - 1]);
            promptLine.clear();
            userManagementState.pendingAction = 0;
        }
        return;
    }
    if (activeFieldId == newUserFieldId) {
        if (up) {
            stopEditingAndFocus(&userManagementState.nameButtons[userRowCount - 1]);
        } else {
            closeLine();
            startFieldFromKey(&userManagementState.deletionPasswordField);
        }
    } else if (activeFieldId == passwordFieldId) {
        if (up) {
            closeLine();
            startFieldFromKey(&userManagementState.newUserField);
        } else {
            stopEditingAndFocus(&userManagementState.nameButtons[0]);
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
            userManagementState.tessituraButtons[listId - 1].caption = caption;
        }
    } else if (listId == newUserListId) {
        userManagementState.newUserTessituraButton.caption = caption;
        userManagementState.newUserTessitura = tessitura;
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
            userManagementState.tessituraButtons[openPopupId - 1].state = stateIdle;
        else if (openPopupId == newUserListId)
            userManagementState.newUserTessituraButton.state = stateIdle;
    }
}

static void finishFieldEdit(int32_t fieldId, const std::string &value, unsigned char lastKey)
{
    if (fieldId == 0) {
        promptLine.clear();
        showAlert("", "Click a user from the list to start the lessons", "or click \"Exit\" to quit the program");
    } else if (fieldId == newUserFieldId) {
        userManagementState.newUserField.caption = value;
    } else if (fieldId == passwordFieldId) {
        userManagementState.deletionPasswordText = value;
    }
    if (lastKey == keyReturn || lastKey == keyTab) {
        if (fieldId == newUserFieldId)
            setKeyboardFocus(&userManagementState.addUserButton);
        else if (fieldId == passwordFieldId)
            setKeyboardFocus(&userManagementState.authorizeButton);
    }
}

static void openTessituraList(int32_t code)
{
    static const std::string items[3] = {"high", "medium", "low"};
    if (code == openNewUserList) {
        openPopupList(&userManagementState.newUserTessituraButton, newUserListId, items, 3);
        setKeyboardFocus(&userManagementState.addUserButton);
    } else {
        const int r = code - openRowListBase;
        openPopupList(&userManagementState.tessituraButtons[r - 1], r, items, 3);
        userManagementState.tessituraButtons[r - 1].state = stateIdle;
        setKeyboardFocus(&userManagementState.nameButtons[r - 1]);
    }
    promptLine = "Choose your tesitura from the menu";
}

static void startUser(int r)
{
    userManagementState.nameButtons[r - 1].state = stateIdle;
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
        lessonMenuScreenHandlers.enter();
        userManagementState.phase = 0;
        currentScreen = lessonMenuScreenId;
    } else {
        showAlert(alertOpensNewUser, "Please add a user first.", "", "");
    }
}

static void deleteRow(int r)
{
    noteDelOrAddAction();
    if (userManagementState.deletionAuthorized) {
        const int32_t key = userRecords[r - 1].key;
        if (key != 0) {
            deleteUser(key);
            buildUserRows();
        }
    } else {
        showAlert(alertOpensPassword, "Please set AdminPassword to Activate User Deletion", "", "");
    }
    setKeyboardFocus(&userManagementState.nameButtons[0]);
    userManagementState.deleteButtons[r - 1].state = stateIdle;
    promptLine.clear();
}

static void addNewUser()
{
    noteDelOrAddAction();
    userManagementState.addUserButton.state = stateIdle;
    promptLine.clear();
    if (userManagementState.newUserField.caption.empty()) {
        showAlert(alertOpensNewUser, "UserName must have at least one Character", "", "");
        return;
    }
    // One user action: the files are written once, after both changes.
    beginStoreUpdate();
    const int32_t key = addUser(userManagementState.newUserField.caption.substr(0, maxNameLength));
    if (key != 0)
        setUserTessitura(key, userManagementState.newUserTessitura);
    endStoreUpdate();
    if (key == 0) {
        showAlert(0, "No more Users possible", "", "");
        return;
    }
    const int32_t slot = findUserSlot(key);
    if (slot >= 0 && slot < userRowCount) {
        userManagementState.nameButtons[slot].caption = userManagementState.newUserField.caption;
        userManagementState.tessituraButtons[slot].caption = userManagementState.newUserTessituraButton.caption;
        setKeyboardFocus(&userManagementState.nameButtons[slot]);
    }
    // The name is in the list now: the field is ready for the next one.
    userManagementState.newUserField.caption.clear();
}

static void toggleAuthorization()
{
    promptLine.clear();
    if (userManagementState.authorizeButton.value != 0) {
        std::string stored;
        scramblePassword(userRecords[passwordSlot].name, stored);
        if (stored == userManagementState.deletionPasswordText) {
            userManagementState.authorizeButton.caption = "Authorized";
            userManagementState.deletionPasswordField.caption.clear();
            userManagementState.authorizeButton.value = 0;
            userManagementState.deletionAuthorized = true;
            showAlert(0, "User deletion allowed", "", "");
        } else {
            // The refused text is dropped: the field reopens empty for a new
            // try, so a retyped password is not joined to the wrong one.
            userManagementState.deletionPasswordText.clear();
            userManagementState.deletionPasswordField.caption.clear();
            showAlert(alertOpensPassword, "wrong PassWord", "", "");
            // The user tries again: the focus stays with the password.
            setKeyboardFocus(&userManagementState.deletionPasswordField);
            userManagementState.authorizeButton.state = stateIdle;
            return;
        }
    } else {
        userManagementState.authorizeButton.caption = "Authorize";
        userManagementState.authorizeButton.value = 1;
        userManagementState.deletionAuthorized = false;
        userManagementState.deletionPasswordText.clear();
        showAlert(0, "User deletion prohibited", "", "");
    }
    setKeyboardFocus(&userManagementState.nameButtons[0]);
    userManagementState.authorizeButton.state = stateIdle;
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
    const std::string fileName = userManagementHooks.chooseImportFile != nullptr ? userManagementHooks.chooseImportFile() : chooseMidiOrKaraokeFile();
    if (fileName.empty()) {
        showAlert(emptyChoiceMessage("Import canceled"), "", "");
    } else {
        // A failed import has changed nothing, so only a success is saved.
        const int32_t result = importUserStatistics(r - 1, fileName);
        if (result == importOk)
            saveUsersFiles();
        if (result == importOk) showInformation(importMessage(result), "", "");
        else showAlert(importMessage(result), "", "");
    }
    alertKind = 0;
    setKeyboardFocus(&userManagementState.nameButtons[0]);
    userManagementState.importButtons[r - 1].state = stateIdle;
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
        userManagementState.aboutButton.value = userManagementState.aboutButton.value == 0 ? 1 : 0;
        setKeyboardFocus(nullptr);
        userManagementState.phase = 0;
        currentScreen = aboutScreenId;
        userManagementState.aboutButton.state = stateIdle;
        promptLine.clear();
    } else if (code == exitAction) {
        promptLine.clear();
        userManagementState.exitButton.value = userManagementState.exitButton.value == 0 ? 1 : 0;
        setKeyboardFocus(nullptr);
        userManagementState.phase = 0;
        currentScreen = quitScreenId;
        userManagementState.exitButton.state = stateIdle;
    } else if (code == editNewUserAction) {
        userManagementState.pendingAction =
            startFieldEdit(&userManagementState.newUserField, "Type a new Username and press <Return> or hit <Escape>");
    } else if (code == editPasswordAction) {
        setKeyboardFocus(&userManagementState.deletionPasswordField);
        userManagementState.pendingAction =
            startFieldEdit(&userManagementState.deletionPasswordField, "Type a password and press <Return> or hit <Escape>");
    }
}

static void handleUserManagementAction() { templateHandleAction(userManagementInput); }

// ---- drawing --------------------------------------------------------------------

static void drawUserManagementControls()
{
    drawControl(&userManagementState.aboutButton);
    for (int r = 1; r < userRowCount; ++r) {
        drawControl(&userManagementState.nameButtons[r - 1]);
        drawControl(&userManagementState.tessituraButtons[r - 1]);
        drawControl(&userManagementState.deleteButtons[r - 1]);
    }
    drawControl(&userManagementState.deleteButtons[userRowCount - 1]);
    drawControl(&userManagementState.tessituraButtons[userRowCount - 1]);
    drawControl(&userManagementState.nameButtons[userRowCount - 1]);
    for (ControlRecord &c : userManagementState.importButtons)
        drawControl(&c);
    drawControl(&userManagementState.newUserField);
    drawControl(&userManagementState.newUserTessituraButton);
    drawControl(&userManagementState.addUserButton);
    drawControl(&userManagementState.deletionPasswordField);
    drawControl(&userManagementState.authorizeButton);
    drawControl(&userManagementState.exitButton);
}

static void drawUserManagementFrame()
{
    clearScreenFrame();
    drawFrameAnimation(userManagementState.frameCounter / 5);
    const int32_t font = userManagementTextFont;

    setColour(0, 0, 0, 0.4f);
    drawText(font, "Tarnova .................... ", 130, 680);
    drawTitleRule();
    drawLabelledPanel(font, "User Management: Click your Name from the list or add a new user", 30, 617, 25, 338, 983, 610);
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

static void displayUserManagementScreen()
{
    if (userManagementState.phase == 0) {
        restartFreeGrid();
        hintLine.clear();
        promptLine.clear();
        setKeyboardFocus(&userManagementState.nameButtons[0]);
        showAlert(0, "", "Select a user by clicking on its name", "or click in the New User Field to add a new User");
        userManagementState.phase = runningState;
        return;
    }
    if (templateHasAction(userManagementInput))
        handleUserManagementAction();
    if (haveGlContext())
        drawUserManagementFrame();
    endScreenFrame(userManagementState.frameCounter, 190);
}

const ScreenHandlers userManagementScreenHandlers = {
    .create = createUserManagementControls,
    .keyboard = userManagementKeyboard,
    .specialKey = userManagementSpecialKey,
    .mouse = userManagementMouse,
    .motion = userManagementMotion,
    .passiveMotion = userManagementPassiveMotion,
    .drawControls = drawUserManagementControls,
    .handleAction = handleUserManagementAction,
    .display = displayUserManagementScreen,
};
