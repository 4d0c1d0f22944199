// Screen 12, the exercise options. Its first frame (state 0) decides whether
// the lesson needs the options dialog: lesson 2 does, lessons 3..256 do while
// the user's lesson-2 result lacks eight notes, and every lesson does while
// alwaysShowOptions is set; every other lesson goes straight on to its
// exercise screen. The dialog itself is not here yet: where the entry state
// would open it, the screen returns to the lesson menu.
#pragma once
#include <cstdint>

#include "frame/screens.h"

extern const ScreenHandlers exerciseOptionsScreenHandlers;

// 0 entry, 1 dialog, 2 listen, 3 sing, 4 verdict; set to 0 by
// setUpExerciseOptions.
extern int32_t optionsProgress;
extern int32_t optionsFrameCount; // -1 right after a state change
extern int32_t optionsFont;       // bitmap font of the screen's texts
extern uint8_t alwaysShowOptions; // every lesson opens the dialog

// What the entry state calls outside itself, so tests can record it.
struct OptionsScreenHooks {
    void (*startExercise)();   // startExerciseScreen
    void (*restartClock)();    // the 46.44 ms grid starts again
    void (*focusGoButton)();   // the keyboard focus goes to Go (the dialog's module)
};
const OptionsScreenHooks &realOptionsScreenHooks();
void setOptionsScreenHooks(const OptionsScreenHooks &hooks);

// The screen opens at its entry state (setUpExerciseOptions): state 0 and
// the screen's font.
void enterOptionsScreenAtEntry();

// Slots 1..8 of the user's lesson-2 block that hold a note (not 74).
int32_t lessonTwoNotesStored(int32_t userKey);
