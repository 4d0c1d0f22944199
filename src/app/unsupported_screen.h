// Screen 1: the sound input device cannot be used. It tells the user so and
// offers only to end the program (Close).
#pragma once
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers unsupportedScreenHandlers;

void createUnsupportedControls();
int32_t resetUnsupportedControls(ControlRecord *control);
void unsupportedKeyboard(unsigned char key, int x, int y);
void unsupportedSpecialKey(int key, int x, int y);
void unsupportedMouse(int button, int state, int x, int y);
void unsupportedMotion(int x, int y);
void unsupportedPassiveMotion(int x, int y);
void drawUnsupportedControls();
void handleUnsupportedAction();
void displayUnsupportedScreen();

// State, for tests.
extern ControlRecord unsupportedCloseButton;
extern int32_t unsupportedPhase;        // 0 enter, 1 shown
extern int32_t unsupportedFrameCounter; // 0..189
extern int32_t unsupportedPendingAction;
extern int32_t unsupportedDeferredAction;
