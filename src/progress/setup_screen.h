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

void createSetupControls();
int32_t resetSetupControls(ControlRecord *control);
void setupKeyboard(unsigned char key, int x, int y);
void setupSpecialKey(int key, int x, int y);
void setupMouse(int button, int state, int x, int y);
void setupMotion(int x, int y);
void setupPassiveMotion(int x, int y);
void drawSetupControls();
void handleSetupAction();
void displaySetupScreen();

// The password an administrator gets who leaves the field empty.
inline constexpr const char *defaultAdminPassword = "Brisketmoo";

// State, for tests.
extern ControlRecord setupNameField, setupPasswordField, setupGoButton, setupExitButton;
extern std::string adminName;
extern std::string adminPassword;
extern int32_t setupPhase;        // 0 entering (the next frame sets the form up), 2 shown
extern int32_t setupFrameCounter; // 0..189
extern int32_t setupPendingAction;
extern int32_t setupDeferredAction;
