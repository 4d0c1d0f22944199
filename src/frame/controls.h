// On-screen controls: the control record, chains and rings of controls, the
// three mouse hit tests, the shared pop-up list state and the keyboard focus.
//
// Positions are window pixels with the origin at the bottom left and y up;
// GLUT passes mouse y counted from the top, which the hit tests turn around
// with windowHeight. Nothing here draws (see control_drawing.h).
#pragma once
#include <cstdint>
#include <string>

// Keys as GLUT delivers them: characters to the keyboard procedures, the
// arrows (GLUT_KEY_LEFT ... GLUT_KEY_DOWN) to the special-key procedures.
constexpr unsigned char keyBackspace = 8;
constexpr unsigned char keyTab = 9;
constexpr unsigned char keyLineFeed = 10;
constexpr unsigned char keyReturn = 13;
constexpr unsigned char keyEscape = 27;
constexpr unsigned char keyDelete = 127;
constexpr int keyLeft = 100;
constexpr int keyUp = 101;
constexpr int keyRight = 102;
constexpr int keyDown = 103;

// ControlKind: the kinds screens create.
constexpr int32_t kindPushButton = 0;
constexpr int32_t kindToggle = 1;          // crossed out while value is 0
constexpr int32_t kindFramedToggle = 2;    // value shown by the colour of a double frame
constexpr int32_t kindHorizontalPicker = 3;
constexpr int32_t kindVerticalPicker = 5;
constexpr int32_t kindPopupOpener = 6;     // value 2 while its list is open
constexpr int32_t kindTextField = 7;
constexpr int32_t kindPasswordField = 8;   // caption shows one '*' per character
constexpr int32_t kindGreenBox = 11;
constexpr int32_t kindPictureToggle = 12;

// ControlState.
constexpr int32_t stateIdle = 0;
constexpr int32_t stateHover = 1;
constexpr int32_t stateLeftPressed = 2;
constexpr int32_t stateLeftReleased = 4;
constexpr int32_t stateOtherPressed = 5;
constexpr int32_t stateOtherReleased = 7;
constexpr int32_t stateEditing = 8;

// PendingAction codes that mean the same on every screen; 10 and up are each
// screen's own.
constexpr int32_t actionNone = 0;
constexpr int32_t actionPopupChosen = 1;     // popupChosenItem names the entry
constexpr int32_t actionPopupReopened = 2;   // opener pressed again: close
constexpr int32_t actionClickOutsidePopup = 3;
constexpr int32_t actionClickOutsideField = 4;
constexpr int32_t actionEditing = 6;

constexpr int maxTextLength = 255; // every caption and message text

// Cuts a text to the 255 characters every caption and message line holds.
std::string cutText(const std::string &text);

struct ControlRecord {
    int32_t kind = 0;
    ControlRecord *self = nullptr;
    int32_t left = 0, right = 0, bottom = 0, top = 0;
    int32_t mouseX = 0, mouseY = 0;     // last hit, y up
    int32_t markX = 0, markY = 0;       // left/bottom after initControl; pickers: picked position
    int32_t state = 0;                  // ControlState
    int32_t value = 0;
    int32_t relX = 0, relY = 0;         // last hit relative to left/bottom
    std::string caption;                // at most 255 characters
    int32_t actionCode = 0;             // code recorded by the last hit test
    int32_t id = 0;                     // text-field number; 0 for other controls
    ControlRecord *next = nullptr;      // creation order; nil ends a chain
    bool focused = false;
    unsigned int pictureOff = 0;        // kind 12: GL texture name while value is 0
    int32_t pictureWidth = 0, pictureHeight = 0;
    unsigned int pictureOn = 0;         // kind 12: GL texture name otherwise

    // Editing limits and the real value of a password field. Set by the screen
    // after initControl (initControl leaves them alone).
    int32_t editLimit = 0;              // most characters typed; 0 = 127
    const std::string *plainValue = nullptr; // kind 8: the screen's variable with the real value
};

// A control's id, kind, rectangle and first look, filled by name for
// initControl.
struct ControlSpec {
    int32_t id = 0; // a text field's id; 0 for the other kinds
    int32_t kind = kindPushButton;
    int32_t left = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t top = 0;
    int32_t state = stateIdle;
    int32_t value = 1;
    std::string caption;
    ControlRecord *previous = nullptr;
};

// Fills a control and links it after `previous` (which keeps nothing of its
// old successor: its next becomes `control`). The new control's own next is
// left as it is, so creating the first control with the last as predecessor
// closes a ring that later calls keep closed; previous nil starts a chain and
// sets next to nil. Sets controlFont to 2.
void initControl(ControlRecord *control, const ControlSpec &spec);

// Hit tests (GLUT coordinates: y from the top). A hit needs the position
// strictly inside the rectangle.
bool controlContains(const ControlRecord &control, int32_t x, int32_t y);

// A mouse button event: button 0 left, 1 middle, 2 right; state 0 down, 1
// up; x and y in GLUT coordinates.
struct MouseButtonEvent {
    int32_t button = 0;
    int32_t state = 0;
    int32_t x = 0;
    int32_t y = 0;
};
// The action codes a button event on a control posts, filled by name (0: none).
struct ButtonCodes {
    int32_t leftPress = 0;
    int32_t otherPress = 0;
    int32_t leftRelease = 0;
    int32_t otherRelease = 0;
};
// A button event on a control. A release also stores its code in `deferred`.
// The middle button is a hit that changes nothing. A miss changes nothing at
// all.
bool controlMouseButton(const MouseButtonEvent &event, ControlRecord *control, const ButtonCodes &codes,
                        int32_t &deferred);
// Motion with a button held; a miss sets the state to 0.
bool controlMouseDrag(int32_t x, int32_t y, ControlRecord *control, int32_t leftCode,
                      int32_t otherCode);
// Passive motion; a miss sets the state to 0.
bool controlMouseHover(int32_t x, int32_t y, ControlRecord *control, int32_t code);

// Walks a chain from `first` along next, visiting each control once: it ends
// at nil or when a ring comes back to `first` (or to any control already seen).
// `visit` is called for every control; returns how many were visited.
template <typename Visit> int walkChain(ControlRecord *first, Visit visit);

// The first control after `from` along its chain with a non-zero id and kind
// 7 or 8; nullptr at the end of a nil-ended chain or when a ring comes back to
// `from`.
ControlRecord *nextFieldInChain(ControlRecord *from);

// Keyboard focus: the control with the focus has `focused` set, no other one.
extern ControlRecord *keyboardFocus;
void setKeyboardFocus(ControlRecord *control); // nullptr takes the focus away

extern int32_t controlClickPhase; // 1 after a left press on a control, 2 other press, 0 release
extern int32_t controlFont;       // GLUT font id of captions (2)

// The one pop-up list of the system.
constexpr int maxPopupItems = 16;
constexpr int32_t popupNoChoice = 999;
extern bool popupOpen;
extern int32_t openPopupId;     // the screen's number of the open list; 0 none
extern int32_t popupItemCount;  // 1..16
extern ControlRecord popupAnchor; // copy of the opener
extern ControlRecord popupEntries[maxPopupItems];
extern int32_t popupChosenItem; // entry hit by the last mouse event, 999 none

// Entry i (0..15) one row of 22 pixels per index below the opener.
void initPopupEntry(int32_t i, int32_t kind, int32_t left, int32_t right, int32_t anchorBottom,
                    int32_t anchorTop, int32_t state, int32_t value, const std::string &caption);

// Opens a list under `opener` (from a screen's action handler): the opener
// gets value 2 and state 0 and is copied as the anchor; one push-button entry
// per item (at most 16, extra items are dropped).
void openPopupList(ControlRecord *opener, int32_t listId, const std::string *items, int count);
// Closes the open list (openPopupId 0).
void closePopupList();

// ---- implementation of the template above ----
template <typename Visit> int walkChain(ControlRecord *first, Visit visit)
{
    // A chain has at most a few hundred controls; remembering what was seen
    // also ends on a ring that does not lead back to `first`.
    constexpr int maxControls = 4096;
    const ControlRecord *seen[maxControls];
    int count = 0;
    for (ControlRecord *c = first; c != nullptr && count < maxControls; c = c->next) {
        for (int i = 0; i < count; ++i)
            if (seen[i] == c)
                return count;
        seen[count++] = c;
        visit(c);
    }
    return count;
}
