#include "lessons/lesson_menu_alert.h"

#include "frame/message_panel.h"

PendingMenuAlert pendingMenuAlert;

const char *const chooseNotesFirstAlert = "Please choose your notes in Lesson 1 first.";
const char *const microphoneStoppedAlert = "The microphone stopped delivering sound.";
const char *const microphoneCheckAlert = "Please check the microphone and try again.";

void handAlertToLessonMenu(const std::string &line1, const std::string &line2, const std::string &line3)
{
    pendingMenuAlert.pending = true;
    pendingMenuAlert.lines[0] = line1;
    pendingMenuAlert.lines[1] = line2;
    pendingMenuAlert.lines[2] = line3;
}

void showPendingMenuAlert()
{
    if (!pendingMenuAlert.pending) return;
    showAlert(0, pendingMenuAlert.lines[0], pendingMenuAlert.lines[1], pendingMenuAlert.lines[2]);
    pendingMenuAlert = PendingMenuAlert{};
}
