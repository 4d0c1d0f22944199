// Screen 2, first-time setup: shown once, when there is no users file yet.
// The administrator types a name and a password; "Go" creates the users,
// time-line and score files and opens user management (3); "Exit" ends the
// program (579) and creates nothing, so the next start comes back here.
#pragma once
#include <cstdint>
#include <string>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers setupScreenHandlers;

// The password an administrator gets who leaves the field empty.
inline constexpr const char *defaultAdminPassword = "Brisketmoo";

// The screen's state, for tests.
struct SetupState {
    int32_t phase = 0; // 0 entering (the next frame sets the form up), 2 shown
    int32_t frameCounter = 0; // 0..189
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord nameField;
    ControlRecord passwordField;
    ControlRecord goButton;
    ControlRecord exitButton;
    std::string adminName;
    std::string adminPassword;
};
extern SetupState setupState;
