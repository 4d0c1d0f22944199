// The line editor shared by every text field (kind 7) and password field
// (kind 8). Only one field in the whole program is edited at a time; its state
// lives here. A password's characters exist only in editBuffer: the field's
// caption shows one '*' per character.
#pragma once
#include <cstdint>
#include <string>

#include "frame/controls.h"

constexpr int editBufferSize = 128;  // 127 characters and the closing 0
constexpr int32_t maxEditLength = 127;
constexpr int32_t maxNameLength = 40; // user names and passwords: what the stores keep

extern bool textEditActive;
extern ControlRecord *editedControl;
extern int32_t activeFieldId;       // id of the edited field; 0 none (also after Escape)
extern char editBuffer[editBufferSize];
extern int32_t editLength;          // 0..limit
extern int32_t editCursor;          // 0..editLength: characters left of the cursor
extern std::string editSavedText;   // the value when editing began; Escape restores it
extern bool editFinished;           // ended, waiting for the screen to store the value
extern unsigned char lastEditKey;   // Tab (9) makes endTextEdit go on in the next field

struct CaretRect {
    int32_t x, bottom, top; // x 0: no caret this frame
};
extern CaretRect caretRect;

// The most characters the edited field takes (its editLimit, else 127).
int32_t editLimitOf(const ControlRecord *field);

// The text the edited field shows: asterisks for a password field.
std::string shownEditText();
// The characters of editBuffer before its first 0 (at most 127): the value
// the screen stores when editing ends.
std::string editedText();

// Starts editing `field` from a click (its relX places the cursor) and puts
// the focus on it. The buffer takes the field's value: the screen's real
// value for a password field (plainValue), else the caption; at most the
// field's limit. Sets promptLine and returns the pending code (6).
int32_t startFieldEdit(ControlRecord *field, const std::string &prompt);
// The same with the cursor at the end of the text (keyboard navigation).
int32_t startFieldEditAtEnd(ControlRecord *field, const std::string &prompt);

// Cursor for a click at relX: nearest to (relX - 4) / 9, within 0..editLength.
int32_t cursorForClick(int32_t relX);

// One typed key; returns the new shown text (after Escape the restored caption).
std::string textFieldKey(unsigned char key);
// The special keys keyLeft and keyRight move the cursor.
std::string textFieldArrowKey(int32_t specialKey);
// Per frame while editing: caption := shown text; places the blinking caret.
void commitTextField(ControlRecord *field, int32_t frameCounter);
// Draws the caret placed in this frame, if any, and clears it (GL).
void drawTextCaret();
// Ends the editing; true when Tab carried it into another field, which is
// then being edited.
bool endTextEdit();

// No caret in this frame (drawTextCaret draws nothing).
void hideTextCaret();
// Ends the editing where it is: no Tab carries it into the next field.
void endTextEditHere();
// Editing ends without the end-of-editing checks of endTextEdit; the value
// waits for the screen to store it (editFinished).
void endTextEditWithoutChecks();
// Drops the editing: nothing is stored, the field is drawn at rest, the
// buffer is emptied and no field is edited. The focus stays where it is.
void cancelTextEdit();
// Puts `field` (field number fieldId) into editing with `text` in place of its
// value, the cursor at the end; Escape restores the value it had. The focus
// moves to it; the prompt line stays.
void startTextEditWith(ControlRecord *field, int32_t fieldId, const std::string &text);
// The edited field's text becomes `text` (buffer and caption), cursor at the end.
void setEditedText(const std::string &text);

// Back to the start-of-program state (no field edited, empty buffer, no caret).
void resetTextEditing();

// The keys a user-name or password field takes (the first-time setup and
// user management share it): letters, digits, '-', '_' and the editing keys; a blank in a name
// only after its first character, anywhere in a password; '+' only in a
// password. caption: the field's text so far.
bool nameOrPasswordKeyAccepted(unsigned char key, bool passwordField, const std::string &caption);
