// Screen 2: first-time setup.
#include "progress/setup_screen.h"

#include <GL/gl.h>
#include <ctime>

#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "base/stops.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "frame/timer.h"
#include "store/user_actions.h"
#include "store/score_file.h"
#include "store/store_io.h"
#include "progress/user_management_screen.h"
#include "store/users_file.h"

SetupState setupState;

static int32_t setupTextFont = font9By15;

constexpr int32_t shownPhase = 2;
constexpr int32_t nameFieldId = 2;
constexpr int32_t passwordFieldId = 4;

constexpr int32_t goAction = 31;
constexpr int32_t exitAction = 32;
constexpr int32_t editNameAction = 35;
constexpr int32_t editPasswordAction = 36;

// alertKind follow-ups of this screen.
constexpr int32_t alertKeepsShowing = 1; // the release that raised it must not close it
constexpr int32_t alertReopensName = 2;
constexpr int32_t alertReopensPassword = 4;

static bool setupAcceptKey(int32_t fieldId, unsigned char key, const std::string &caption)
{
    return nameOrPasswordKeyAccepted(key, fieldId == passwordFieldId, caption);
}

static int32_t setupAlertFollowUp(int32_t kind)
{
    if (kind == alertReopensName)
        return editNameAction;
    if (kind == alertReopensPassword)
        return editPasswordAction;
    return 0;
}

static void setupBeforeCloseByClick() { setKeyboardFocus(nullptr); }

static void setupAction(int32_t code);

static TemplateControl setupControls[] = {
    {&setupState.nameField, 0, 0, editNameAction, 0, "Release Button to activate Name Input Field",
     "Click to clear and activate Name Input Field", 0},
    {&setupState.passwordField, 0, 0, editPasswordAction, 0, "Release Button to activate Password Input Field",
     "Click to clear and activate Password Input Field", 0},
    {&setupState.goButton, 0, 0, goAction, 0, "Release Button to finish Installation and begin using the program",
     "Click to finish Installation and begin using the program", goAction},
    {&setupState.exitButton, 0, 0, exitAction, 0, "Release Button to Exit the program", "Click to Exit the program", 0},
};

static bool setupOwnEditEnd();

static const ScreenInput setupInput = {
    .controls = setupControls,
    .controlCount = 4,
    .pending = &setupState.pendingAction,
    .deferred = &setupState.deferredAction,
    .phase = &setupState.phase,
    .runningPhase = shownPhase,
    .frameCounter = &setupState.frameCounter,
    .keyHelp = {"Click a field to change it", "Click \"Go\" to finish the Installation", "or \"Exit\" to quit the program without changes"},
    .returnHelp = {"Click a field to change it", "Click \"Go\" to finish the Installation", "or \"Exit\" to quit the program without changes"},
    .alertFollowUp = setupAlertFollowUp,
    .acceptKey = setupAcceptKey,
    .beforeCloseByClick = setupBeforeCloseByClick,
    .ownEditEnd = setupOwnEditEnd,
    .action = setupAction,
};

static void createSetupControls()
{
    // A ring: the name field's predecessor is the Exit button.
    initControl(&setupState.nameField,
                {.id = nameFieldId, .kind = kindTextField, .left = 130, .right = 390, .bottom = 390, .top = 406,
                 .value = 1, .previous = &setupState.exitButton});
    initControl(&setupState.passwordField,
                {.id = passwordFieldId, .kind = kindPasswordField, .left = 130, .right = 390, .bottom = 350, .top = 366,
                 .value = 1, .previous = &setupState.nameField});
    initControl(&setupState.goButton,
                {.kind = kindPushButton, .left = 130, .right = 175, .bottom = 310, .top = 328, .value = 1,
                 .caption = "Go", .previous = &setupState.passwordField});
    initControl(&setupState.exitButton,
                {.kind = kindPushButton, .left = 130, .right = 175, .bottom = 270, .top = 288, .value = 1,
                 .caption = "Exit", .previous = &setupState.goButton});
    // The stores keep 40 characters of a name and a password: no more can be typed.
    setupState.nameField.editLimit = maxNameLength;
    setupState.passwordField.editLimit = maxNameLength;
    setupState.passwordField.plainValue = &setupState.adminPassword;
    setupTextFont = font9By15;
    setupState.phase = 0;
}

static void setupMouse(int button, int state, int x, int y)
{
    // The release that follows the event which raised a kind-1 alert only
    // re-arms it; the next release closes it.
    if (setupState.phase == shownPhase && alertShown() && state == 1 && alertKind == alertKeepsShowing) {
        alertKind = 0;
        setupState.pendingAction = 0;
        return;
    }
    templateMouse(setupInput, button, state, x, y);
}

static void setupKeyboard(unsigned char key, int x, int y)
{
    if (alertShown()) {
        if (key == keyReturn || key == keyEscape)
            setupMouse(0, 1, 0, 0);
        return;
    }
    templateKeyboard(setupInput, key, x, y);
}

static void setupSpecialKey(int key, int x, int y) { templateSpecialKey(setupInput, key, x, y); }
static void setupMotion(int x, int y) { templateMotion(setupInput, x, y); }

static void setupPassiveMotion(int x, int y)
{
    if (setupState.deferredAction != 0)
        return;
    templatePassiveMotion(setupInput, x, y);
}

static void drawSetupControls()
{
    drawControl(&setupState.nameField);
    drawControl(&setupState.passwordField);
    drawControl(&setupState.goButton);
    drawControl(&setupState.exitButton);
}

static void goAhead()
{
    setKeyboardFocus(nullptr);
    if (setupState.adminName.empty()) {
        showAlert(alertReopensName, "AdminName must have at least 1 Character", "", "");
    } else {
        if (setupState.adminPassword.empty()) {
            setupState.adminPassword = defaultAdminPassword;
            showAlert("", "", "");
        }
        if (setupState.adminPassword.size() > 4) {
            showAlert(0, "", "AdminPassword changed 2", "");
        }
        if (setupState.adminPassword.size() > 4) {
            // The score file first: an existing users file is what marks the
            // installation as set up, so it must be the last file written. A
            // stop between the two then repeats the setup at the next start
            // instead of leaving an installation without its score file.
            // Store files that hold data (the users file empty or gone beside
            // them) are renamed aside first: the setup never erases them.
            if (!setStoreFilesAsideBeforeSetup(std::time(nullptr), storeFileHoldsNoData))
                stopProgram(0, stopUsersCreateOpen);
            createScoreFile();
            createUsersFiles(setupState.adminName.substr(0, maxNameLength), setupState.adminPassword);
            userManagementScreenHandlers.create();
            currentScreen = userManagementScreenId;
        } else {
            // The refused password is dropped: the field reopens empty, so the
            // password typed next is not joined to the hidden short one.
            setupState.adminPassword.clear();
            setupState.passwordField.caption.clear();
            showAlert(alertReopensPassword, "AdminPassword must have at least 5 characters", "", "");
        }
    }
    setupState.goButton.state = stateIdle;
    promptLine.clear();
}

// Code 6: refresh the edited field, or take its value over once editing has
// finished and decide where typing goes next.
// Code 6 once the editing has finished: the form's checks (also after the
// password field ended without them); while editing the template commits.
static bool setupOwnEditEnd()
{
    if (!editFinished)
        return false;
    const int32_t field = activeFieldId;
    const std::string value = editedText();
    if (field == nameFieldId) {
        setupState.adminName = value;
        setupState.nameField.caption = setupState.adminName;
        if (!setupState.adminName.empty()) {
            showAlert("", "AdminName set to: ", setupState.adminName);
            promptLine.clear();
        } else {
            showAlert("AdminName must have at least 1 character", "", "");
        }
    } else if (field == passwordFieldId) {
        setupState.adminPassword = value;
        setupState.passwordField.caption = std::string(setupState.adminPassword.size(), '*');
        if (setupState.adminPassword.size() > 4) {
            showAlert("", "AdminPassword changed 1", "");
            promptLine.clear();
        } else if (!setupState.adminPassword.empty()) {
            // Refused: dropped as on "Go", so the field reopens empty and the
            // password typed next is not joined to this one.
            setupState.adminPassword.clear();
            setupState.passwordField.caption.clear();
            showAlert("AdminPassword must have at least 5 characters", "", "");
        }
    } else {
        promptLine.clear();
        showAlert("", "Click \"Go\" to finish the Installation", "or click \"Exit\" to quit the program unchanged");
    }

    const bool moveOn = lastEditKey == keyTab || lastEditKey == keyReturn;
    if (field == nameFieldId && setupState.adminName.empty()) {
        endTextEditHere();
        alertKind = alertKeepsShowing;
        setupState.pendingAction = 0;
    } else if (field == passwordFieldId && !value.empty() && value.size() < 5) {
        endTextEditHere();
        alertKind = alertKeepsShowing;
        setupState.pendingAction = 0;
    } else if (field == nameFieldId && moveOn) {
        setupState.pendingAction = startFieldEditAtEnd(&setupState.passwordField,
                                                 "Type a password and press <Return> or hit <Escape>");
    } else if (field == passwordFieldId && moveOn) {
        // Editing ends here; the next frame shows how to finish.
        endTextEditWithoutChecks();
        setKeyboardFocus(&setupState.goButton);
        promptLine = "Click Go to Finish or hit <Return>";
        setupState.pendingAction = actionEditing;
    } else if (endTextEdit()) {
        setupState.pendingAction = actionEditing;
    } else {
        promptLine.clear();
        setupState.pendingAction = 0;
    }
    return true;
}

static void setupAction(int32_t code)
{
    switch (code) {
    case goAction:
        goAhead();
        break;
    case exitAction:
        setKeyboardFocus(nullptr);
        setupState.exitButton.value = setupState.exitButton.value == 0 ? 1 : 0;
        currentScreen = quitScreenId;
        setupState.exitButton.state = stateIdle;
        promptLine.clear();
        break;
    case editNameAction:
        setupState.pendingAction = startFieldEdit(&setupState.nameField, "Type your Name and press <Return> or hit <Escape>");
        break;
    case editPasswordAction:
        setupState.pendingAction =
            startFieldEdit(&setupState.passwordField, "Type a Password and press <Return> or hit <Escape>");
        break;
    default:
        break;
    }
}

static void handleSetupAction() { templateHandleAction(setupInput); }

static void drawSetupFrame(bool firstFrame)
{
    clearScreenFrame();
    drawFrameAnimation(setupState.frameCounter / 5);
    setColour(0, 0, 0, 0.4f);
    drawText(setupTextFont, firstFrame ? "Admin User: " : "New User: ", 130, 410);
    drawText(setupTextFont,
             firstFrame ? "Admin Password (the default Password is \"Brisketmoo\" - hit Return to keep it)"
                        : "Set Teacher Admin Password (the default Password is \"Brisketmoo\" - hit Return to keep it)",
             130, 370);
    drawText(setupTextFont, "Finish Initialisation", 130, 330);
    drawText(setupTextFont, firstFrame ? "Quit Program" : "quit Programm", 130, 290);
    drawSetupControls();
    if (firstFrame)
        hideTextCaret();
    finishScreenFrame(2, firstFrame ? "First Time Use: Finishing installation" : "First Time Use: Finish installation");
}

static void displaySetupScreen()
{
    if (setupState.phase == 0) {
        // The form opens with the name field ready for typing.
        startFieldEditAtEnd(&setupState.nameField, "Please type your Name and press <Return>");
        setEditedText("");
        hintLine.clear();
        promptLine = "Please type your Name and press <Return>";
        showAlert("", "", "");
        setupState.pendingAction = actionEditing;
        if (haveGlContext())
            drawSetupFrame(true);
        restartFreeGrid();
        alertKind = 0;
        setupState.phase = shownPhase;
        return;
    }
    if (setupState.pendingAction != 0 || setupState.deferredAction != 0)
        handleSetupAction();
    if (haveGlContext())
        drawSetupFrame(false);
    endScreenFrame(setupState.frameCounter, 190);
}

const ScreenHandlers setupScreenHandlers = {
    .create = createSetupControls,
    .keyboard = setupKeyboard,
    .specialKey = setupSpecialKey,
    .mouse = setupMouse,
    .motion = setupMotion,
    .passiveMotion = setupPassiveMotion,
    .drawControls = drawSetupControls,
    .handleAction = handleSetupAction,
    .display = displaySetupScreen,
};
