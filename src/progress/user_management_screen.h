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

constexpr int userRowCount = 6;

// The screen's state, for tests.
struct UserManagementState {
    int32_t phase = 0; // 0 entering (the next frame sets up), 2 running
    int32_t frameCounter = 0;
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord aboutButton;
    ControlRecord nameButtons[userRowCount];
    ControlRecord tessituraButtons[userRowCount];
    ControlRecord deleteButtons[userRowCount];
    ControlRecord importButtons[userRowCount];
    ControlRecord newUserField;
    ControlRecord newUserTessituraButton;
    ControlRecord addUserButton;
    ControlRecord deletionPasswordField;
    ControlRecord authorizeButton;
    ControlRecord exitButton;
    int32_t newUserTessitura = 3;
    bool deletionAuthorized = false;
    std::string deletionPasswordText;
};
extern UserManagementState userManagementState;

// What tests replace.
struct UserManagementHooks {
    // The file chooser of the Import buttons; nullptr: the desktop's chooser.
    std::string (*chooseImportFile)() = nullptr;
    // Milliseconds for the double-click guard of Del and Add; nullptr: the
    // time since start (GLUT_ELAPSED_TIME).
    int32_t (*now)() = nullptr;
};
extern UserManagementHooks userManagementHooks;
