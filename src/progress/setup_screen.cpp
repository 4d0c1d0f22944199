// Screen 2: first-time setup.
#include "progress/setup_screen.h"

#include <GL/gl.h>

#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "frame/timer.h"
#include "progress/score_file.h"
#include "progress/user_management_screen.h"
#include "progress/users_file.h"

ControlRecord setupNameField, setupPasswordField, setupGoButton, setupExitButton;
std::string adminName;
std::string adminPassword;
int32_t setupPhase = 0;
int32_t setupFrameCounter = 0;
int32_t setupPendingAction = 0;
int32_t setupDeferredAction = 0;
static int32_t setupTextFont = 2;

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
    {&setupNameField, 0, 0, editNameAction, 0, "Release Button to activate Name Input Field",
     "Click to clear and activate Name Input Field", 0},
    {&setupPasswordField, 0, 0, editPasswordAction, 0, "Release Button to activate Password Input Field",
     "Click to clear and activate Password Input Field", 0},
    {&setupGoButton, 0, 0, goAction, 0, "Release Button to finish Installation and begin using the program",
     "Click to finish Installation and begin using the program", goAction},
    {&setupExitButton, 0, 0, exitAction, 0, "Release Button to Exit the program", "Click to Exit the program", 0},
};

static const ScreenInput setupInput = {
    setupControls, 4, &setupPendingAction, &setupDeferredAction, &setupPhase, shownPhase,
    &setupFrameCounter,
    {"Click a field to change it", "Click \"Go\" to finish the Installation",
     "or \"Exit\" to quit the program without changes"},
    {"Click a field to change it", "Click \"Go\" to finish the Installation",
     "or \"Exit\" to quit the program without changes"},
    setupAlertFollowUp, setupAcceptKey, nullptr, nullptr, nullptr, setupBeforeCloseByClick, nullptr,
    setupAction,
};

void createSetupControls()
{
    // A ring: the name field's predecessor is the Exit button.
    initControl(nameFieldId, &setupNameField, kindTextField, 130, 390, 390, 406, stateIdle, 1, "",
                &setupExitButton);
    initControl(passwordFieldId, &setupPasswordField, kindPasswordField, 130, 390, 350, 366, stateIdle, 1,
                "", &setupNameField);
    initControl(0, &setupGoButton, kindPushButton, 130, 175, 310, 328, stateIdle, 1, "Go",
                &setupPasswordField);
    initControl(0, &setupExitButton, kindPushButton, 130, 175, 270, 288, stateIdle, 1, "Exit",
                &setupGoButton);
    // The stores keep 40 characters of a name and a password: no more can be typed.
    setupNameField.editLimit = maxNameLength;
    setupPasswordField.editLimit = maxNameLength;
    setupPasswordField.plainValue = &adminPassword;
    setupTextFont = 2;
    setupPhase = 0;
}

int32_t resetSetupControls(ControlRecord *control) { return templateResetControls(setupInput, control); }

void setupMouse(int button, int state, int x, int y)
{
    // The release that follows the event which raised a kind-1 alert only
    // re-arms it; the next release closes it.
    if (setupPhase == shownPhase && alertShown() && state == 1 && alertKind == alertKeepsShowing) {
        alertKind = 0;
        setupPendingAction = 0;
        return;
    }
    templateMouse(setupInput, button, state, x, y);
}

void setupKeyboard(unsigned char key, int x, int y)
{
    if (alertShown()) {
        if (key == 13 || key == 27)
            setupMouse(0, 1, 0, 0);
        return;
    }
    templateKeyboard(setupInput, key, x, y);
}

void setupSpecialKey(int key, int x, int y) { templateSpecialKey(setupInput, key, x, y); }
void setupMotion(int x, int y) { templateMotion(setupInput, x, y); }

void setupPassiveMotion(int x, int y)
{
    if (setupDeferredAction != 0)
        return;
    templatePassiveMotion(setupInput, x, y);
}

void drawSetupControls()
{
    drawControl(&setupNameField);
    drawControl(&setupPasswordField);
    drawControl(&setupGoButton);
    drawControl(&setupExitButton);
}

// Ends the editing without going on to another field.
static void stopEditing()
{
    lastEditKey = 0;
    endTextEdit();
}

static void goAhead()
{
    setKeyboardFocus(nullptr);
    if (adminName.empty()) {
        showAlert("AdminName must have at least 1 Character", "", "");
        alertKind = alertReopensName;
    } else {
        if (adminPassword.empty()) {
            adminPassword = defaultAdminPassword;
            showAlert("", "", "");
        }
        if (adminPassword.size() > 4) {
            showAlert("", "AdminPassword changed 2", "");
            alertKind = 0;
        }
        if (adminPassword.size() > 4) {
            // The score file first: an existing users file is what marks the
            // installation as set up, so it must be the last file written. A
            // stop between the two then repeats the setup at the next start
            // instead of leaving an installation without its score file.
            createScoreFile();
            createUsersFiles(adminName.substr(0, maxNameLength), adminPassword);
            createUserManagementControls();
            currentScreen = userManagementScreenId;
        } else {
            // The refused password is dropped: the field reopens empty, so the
            // password typed next is not joined to the hidden short one.
            adminPassword.clear();
            setupPasswordField.caption.clear();
            showAlert("AdminPassword must have at least 5 characters", "", "");
            alertKind = alertReopensPassword;
        }
    }
    setupGoButton.state = stateIdle;
    promptLine.clear();
}

// Code 6: refresh the edited field, or take its value over once editing has
// finished and decide where typing goes next.
static void handleEditing()
{
    if (!editFinished) {
        if (textEditActive)
            commitTextField(editedControl, setupFrameCounter);
        else
            setupPendingAction = 0;
        return;
    }
    const int32_t field = activeFieldId;
    const std::string value = editedText();
    if (field == nameFieldId) {
        adminName = value;
        setupNameField.caption = adminName;
        if (!adminName.empty()) {
            showAlert("", "AdminName set to: ", adminName);
            promptLine.clear();
        } else {
            showAlert("AdminName must have at least 1 character", "", "");
        }
    } else if (field == passwordFieldId) {
        adminPassword = value;
        setupPasswordField.caption = std::string(adminPassword.size(), '*');
        if (adminPassword.size() > 4) {
            showAlert("", "AdminPassword changed 1", "");
            promptLine.clear();
        } else if (!adminPassword.empty()) {
            showAlert("AdminPassword must have at least 5 characters", "", "");
        }
    } else {
        promptLine.clear();
        showAlert("", "Click \"Go\" to finish the Installation", "or click \"Exit\" to quit the program unchanged");
    }

    const bool moveOn = lastEditKey == 9 || lastEditKey == 13;
    if (field == nameFieldId && adminName.empty()) {
        stopEditing();
        alertKind = alertKeepsShowing;
        setupPendingAction = 0;
    } else if (field == passwordFieldId && !adminPassword.empty() && adminPassword.size() < 5) {
        stopEditing();
        alertKind = alertKeepsShowing;
        setupPendingAction = 0;
    } else if (field == nameFieldId && moveOn) {
        setupPendingAction = startFieldEditAtEnd(&setupPasswordField,
                                                 "Type a password and press <Return> or hit <Escape>");
    } else if (field == passwordFieldId && moveOn) {
        // Editing ends here; the next frame shows how to finish.
        textEditActive = false;
        activeFieldId = 0;
        editFinished = true;
        setKeyboardFocus(&setupGoButton);
        promptLine = "Click Go to Finish or hit <Return>";
        setupPendingAction = actionEditing;
    } else if (endTextEdit()) {
        setupPendingAction = actionEditing;
    } else {
        promptLine.clear();
        setupPendingAction = 0;
    }
}

static void setupAction(int32_t code)
{
    switch (code) {
    case goAction:
        goAhead();
        break;
    case exitAction:
        setKeyboardFocus(nullptr);
        setupExitButton.value = setupExitButton.value == 0 ? 1 : 0;
        currentScreen = quitScreenId;
        setupExitButton.state = stateIdle;
        promptLine.clear();
        break;
    case editNameAction:
        setupPendingAction = startFieldEdit(&setupNameField, "Type your Name and press <Return> or hit <Escape>");
        break;
    case editPasswordAction:
        setupPendingAction =
            startFieldEdit(&setupPasswordField, "Type a Password and press <Return> or hit <Escape>");
        break;
    default:
        break;
    }
}

void handleSetupAction()
{
    if (setupDeferredAction != 0) {
        setupPendingAction = setupDeferredAction;
        setupDeferredAction = 0;
    }
    if (setupPendingAction == actionEditing)
        handleEditing();
    else
        templateHandleAction(setupInput);
}

static void drawSetupFrame(bool firstFrame)
{
    clearScreenFrame();
    drawFrameAnimation(setupFrameCounter / 5);
    glColor4f(0, 0, 0, 0.4f);
    drawText(setupTextFont, firstFrame ? "Admin User: " : "New User: ", 130, 410);
    drawText(setupTextFont,
             firstFrame ? "Admin Password (the default Password is \"Brisketmoo\" - hit Return to keep it)"
                        : "Set Teacher Admin Password (the default Password is \"Brisketmoo\" - hit Return to keep it)",
             130, 370);
    drawText(setupTextFont, "Finish Initialisation", 130, 330);
    drawText(setupTextFont, firstFrame ? "Quit Program" : "quit Programm", 130, 290);
    drawSetupControls();
    if (firstFrame)
        caretRect.x = 0;
    finishScreenFrame(2, firstFrame ? "First Time Use: Finishing installation" : "First Time Use: Finish installation");
}

void displaySetupScreen()
{
    if (setupPhase == 0) {
        // The form opens with the name field ready for typing.
        startFieldEditAtEnd(&setupNameField, "Please type your Name and press <Return>");
        editLength = 0;
        editCursor = 0;
        editBuffer[0] = 0;
        setupNameField.caption.clear();
        hintLine.clear();
        promptLine = "Please type your Name and press <Return>";
        showAlert("", "", "");
        setupPendingAction = actionEditing;
        if (haveGlContext())
            drawSetupFrame(true);
        restartFreeGrid();
        alertKind = 0;
        setupPhase = shownPhase;
        return;
    }
    if (setupPendingAction != 0 || setupDeferredAction != 0)
        handleSetupAction();
    if (haveGlContext())
        drawSetupFrame(false);
    if (++setupFrameCounter >= 190)
        setupFrameCounter = 0;
}

const ScreenHandlers setupScreenHandlers = {
    createSetupControls, nullptr,           setupKeyboard,     setupSpecialKey,   setupMouse,
    setupMotion,         setupPassiveMotion, drawSetupControls, handleSetupAction, displaySetupScreen,
};
