// Callback dispatch: the display callback and the five input callbacks pass
// their GLUT arguments unchanged to the procedures of the active screen
// (`currentScreen`, looked up in screen_table.cpp). Unknown ids draw nothing
// and ignore input; screen 579 ends the program normally.
#pragma once
#include <cstdint>

#include "frame/screens.h"


extern uint8_t displayBusy; // set while a screen's display procedure runs

// Pixel projection: origin bottom left, y up, depth 0 (near) to -16 (far).
void initProjection();

void displayCurrentScreen();
void reshapeWindow(int width, int height);
void keyboardCurrentScreen(unsigned char key, int x, int y);
void specialKeyCurrentScreen(int key, int x, int y);
void mouseCurrentScreen(int button, int state, int x, int y); // wheel buttons 3..6 dropped
void motionCurrentScreen(int x, int y);
void passiveMotionCurrentScreen(int x, int y);
void ignoreWindowEntry(int state);

// The lookup the dispatchers use: start-up sets the program's screen table
// (screenHandlersFor); tests may put a table of their own in its place;
// nullptr serves no screen.
using ScreenLookup = const ScreenHandlers *(*)(int32_t id);
void setScreenLookup(ScreenLookup lookup);
// The procedures of the active screen, or nullptr.
const ScreenHandlers *currentScreenHandlers();
