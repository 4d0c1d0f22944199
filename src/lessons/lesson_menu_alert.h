// An alert handed to the lesson menu: a screen that returns to the menu with
// a message sets it here, and the menu shows it after its own set-up (which
// clears the alert lines, so raising it before the switch would lose it).
#pragma once
#include <string>

struct PendingMenuAlert {
    bool pending = false;
    std::string lines[3];
};
extern PendingMenuAlert pendingMenuAlert;

// The text of the alert for a lesson that cannot run yet.
extern const char *const chooseNotesFirstAlert; // "Please choose your notes in Lesson 1 first."
// The alert of a recording whose microphone fell behind real time (first
// and last lines; the middle one says what was not stored).
extern const char *const microphoneStoppedAlert;     // "The microphone stopped delivering sound."
extern const char *const microphoneCheckAlert;       // "Please check the microphone and try again."

void handAlertToLessonMenu(const std::string &line1, const std::string &line2, const std::string &line3);
// For the lesson menu after its set-up: shows the pending alert (showAlert)
// and clears it; nothing when none is pending.
void showPendingMenuAlert();
