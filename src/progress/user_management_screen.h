// Screen 3, user management: the six user slots as rows (start the user's
// lessons, set the tessitura, delete behind the administrator password,
// import statistics), a field and button to add a user, About and Exit.
// Starting a row sets the current user (users_file.h) and opens the lesson
// menu (6).
#pragma once
#include <cstdint>
#include <string>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers userManagementScreenHandlers;

void createUserManagementControls();
// (Re)creates the row controls from userRecords, keeping their places in the
// control ring.
void buildUserRows();
int32_t resetUserManagementControls(ControlRecord *control);
void userManagementKeyboard(unsigned char key, int x, int y);
void userManagementSpecialKey(int key, int x, int y);
void userManagementMouse(int button, int state, int x, int y);
void userManagementMotion(int x, int y);
void userManagementPassiveMotion(int x, int y);
void drawUserManagementControls();
void handleUserManagementAction();
void displayUserManagementScreen();

// The keys a user-name or password field takes (shared with the first-time
// setup): letters, digits, '-', '_' and the editing keys; a blank in a name
// only after its first character, anywhere in a password; '+' only in a
// password. caption: the field's text so far.
bool nameOrPasswordKeyAccepted(unsigned char key, bool passwordField, const std::string &caption);

// The file chooser of the Import buttons; tests put their own in its place
// (nullptr restores the desktop's chooser).
using ImportFileChooser = std::string (*)();
void setImportFileChooser(ImportFileChooser chooser);

// State, for tests.
constexpr int userRowCount = 6;
extern ControlRecord aboutButton;
extern ControlRecord userNameButtons[userRowCount];
extern ControlRecord userTessituraButtons[userRowCount];
extern ControlRecord userDeleteButtons[userRowCount];
extern ControlRecord userImportButtons[userRowCount];
extern ControlRecord newUserField, newUserTessituraButton, addUserButton;
extern ControlRecord deletionPasswordField, authorizeButton, userManagementExitButton;
extern int32_t userManagementState; // 0 entering (the next frame sets up), 2 running
extern int32_t userManagementFrameCounter;
extern int32_t userManagementPendingAction;
extern int32_t userManagementDeferredAction;
extern int32_t newUserTessitura;
extern bool userDeletionAuthorized;
extern std::string deletionPasswordText;
