// Screen 4, About: the program's name and version; Close returns to the user
// management screen (3), from which it is opened.
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers aboutScreenHandlers;

void createAboutControls();
int32_t resetAboutControls(ControlRecord *control);
void aboutKeyboard(unsigned char key, int x, int y);
void aboutSpecialKey(int key, int x, int y);
void aboutMouse(int button, int state, int x, int y);
void aboutMotion(int x, int y);
void aboutPassiveMotion(int x, int y);
void drawAboutControls();
void handleAboutAction();
void displayAboutScreen();

// State, for tests.
extern ControlRecord aboutCloseButton;
extern int32_t aboutPhase;        // 0 enter (the next frame sets the screen up), 1 shown
extern int32_t aboutFrameCounter; // 0..189
extern int32_t aboutPendingAction;
extern int32_t aboutDeferredAction;
