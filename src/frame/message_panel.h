// The message panel at the bottom of every screen (icon, status text, hover
// hint, editing prompt and three message lines) and the modal alert: a
// message whose first line is not empty, framed in red and dismissed by the
// user (how: input_template.h). The 14 icon pictures are panelIconTextures
// (picture_catalogue.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

extern std::string alertLines[3]; // line 1 not empty: an alert is shown
extern std::string hintLine;      // "Click to ..." / "Release Button to ..."
extern std::string promptLine;    // prompt of the field being edited
extern int32_t alertKind;         // follow-up the screen runs when its alert is dismissed

constexpr int32_t alertIcon = 0;
constexpr int32_t informationIcon = 3;
constexpr int32_t mainPanelRightEdge = 973;
constexpr int32_t lessonPanelRightEdge = 439;

// Sets the three lines (each cut to 255 characters) and the drawing colour to
// (0.9, 0.9, 0.9, 0.4). Three empty lines clear them; a non-empty line 1 makes
// a modal alert. alertKind keeps its value.
void showAlert(const std::string &line1, const std::string &line2, const std::string &line3);
// The same, and alertKind := kind (the follow-up when it is dismissed).
void showAlert(int32_t kind, const std::string &line1, const std::string &line2, const std::string &line3);
// A modal message that reports a success ("File exported successfully to
// ..."): shown and dismissed as an alert, with the information icon in place
// of the warning icon. alertKind keeps its value.
void showInformation(const std::string &line1, const std::string &line2, const std::string &line3);
void clearAlertLines(); // the three lines only; the colour is left alone
// A screen's first frame: no alert follow-up, and empty hint, prompt and
// message lines (through showAlert, so the colour is set as there).
void clearScreenMessages();
bool alertShown();      // line 1 not empty

// What the panel writes, before its shift of (12, 12): pure, for tests and
// for the drawing below.
struct PanelText {
    std::string text;
    int32_t y;
};
struct PanelLayout {
    int32_t icon;       // the icon actually shown (while an alert is shown: 0, or
                        // the information icon for showInformation's message)
    bool redFrame;      // alert frame, else the black status-bar frame
    std::vector<PanelText> lines; // all at x 129, font 2
};
PanelLayout messagePanelLayout(int32_t icon, const std::string &statusText);
// A panel line shortened in its middle to lie inside the window.
std::string fitPanelLine(const std::string &text);

// Drawing (GL). The panel's lower left corner lies at (12, 12).
void drawMessagePanel(int32_t icon, const std::string &statusText);       // right edge 973
void drawLessonMessagePanel(int32_t icon, const std::string &statusText); // right edge 439
void drawStatisticsMessagePanel(int32_t icon, const std::string &statusText, int32_t rightEdge);

// Start-of-program state: no lines, alertKind 0.
void resetMessageState();
