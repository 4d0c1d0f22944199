// The line editor behind text and password fields.
#include "frame/text_field.h"

#include <cstring>

#include "frame/gl_draw.h"
#include "frame/message_panel.h"
#include "base/rounding.h"

bool textEditActive = false;
ControlRecord *editedControl = nullptr;
int32_t activeFieldId = 0;
char editBuffer[editBufferSize] = {};
int32_t editLength = 0;
int32_t editCursor = 0;
std::string editSavedText;
bool editFinished = false;
unsigned char lastEditKey = 0;
CaretRect caretRect = {0, 0, 0};

int32_t editLimitOf(const ControlRecord *field)
{
    if (field == nullptr || field->editLimit <= 0 || field->editLimit > maxEditLength)
        return maxEditLength;
    return field->editLimit;
}

static bool isPassword(const ControlRecord *field)
{
    return field != nullptr && field->kind == kindPasswordField;
}

// What a field shows for a value: one '*' per character for a password.
static std::string shownFor(const ControlRecord *field, const std::string &value)
{
    return isPassword(field) ? std::string(value.size(), '*') : value;
}

std::string shownEditText()
{
    if (isPassword(editedControl))
        return std::string(size_t(editLength), '*');
    return std::string(editBuffer, size_t(editLength));
}

std::string editedText()
{
    size_t n = strnlen(editBuffer, maxEditLength);
    return std::string(editBuffer, n);
}

// The value editing starts from: the screen's real value for a password
// field, else the caption.
static std::string valueOf(const ControlRecord *field)
{
    if (isPassword(field))
        return field->plainValue != nullptr ? *field->plainValue : std::string();
    return field->caption;
}

static void loadBuffer(const ControlRecord *field, const std::string &value)
{
    std::memset(editBuffer, 0, sizeof editBuffer);
    const int32_t n = std::min<int32_t>(int32_t(value.size()), editLimitOf(field));
    std::memcpy(editBuffer, value.data(), size_t(n));
    editLength = n;
}

int32_t cursorForClick(int32_t relX)
{
    int32_t c = roundToInt32((relX - 4) / 9.0);
    if (c > editLength)
        c = editLength;
    if (c < 0)
        c = 0;
    return c;
}

// Makes field the edited one with its value (a password field's real value)
// in the buffer; the cursor is the caller's to place.
static void openEdit(ControlRecord *field)
{
    const std::string value = valueOf(field);
    textEditActive = true;
    editSavedText = cutText(value);
    activeFieldId = field->id;
    editedControl = field;
    loadBuffer(field, value);
    editFinished = false;
    field->state = stateEditing;
}

static void beginEdit(ControlRecord *field, const std::string &prompt)
{
    openEdit(field);
    setKeyboardFocus(field);
    promptLine = cutText(prompt);
}

int32_t startFieldEdit(ControlRecord *field, const std::string &prompt)
{
    beginEdit(field, prompt);
    editCursor = cursorForClick(field->relX);
    return actionEditing;
}

int32_t startFieldEditAtEnd(ControlRecord *field, const std::string &prompt)
{
    beginEdit(field, prompt);
    editCursor = editLength;
    return actionEditing;
}

std::string textFieldKey(unsigned char key)
{
    lastEditKey = key;
    switch (key) {
    case 0:
    case keyTab:
    case 10:
    case keyReturn:
        if (editLength >= 0 && editLength < editBufferSize)
            editBuffer[editLength] = 0;
        if (editedControl != nullptr)
            editedControl->state = stateIdle;
        editFinished = true;
        return shownEditText();
    case keyBackspace:
        if (editCursor > 0) {
            std::memmove(editBuffer + editCursor - 1, editBuffer + editCursor,
                         size_t(editLength - editCursor));
            --editLength;
            --editCursor;
            editBuffer[editLength] = 0;
        }
        return shownEditText();
    case keyDelete:
        if (editCursor < editLength) {
            std::memmove(editBuffer + editCursor, editBuffer + editCursor + 1,
                         size_t(editLength - editCursor - 1));
            --editLength;
            editBuffer[editLength] = 0;
        }
        return shownEditText();
    case keyEscape: {
        // The caption shows the saved value again; a password field shows it
        // as asterisks, never as plain text.
        const std::string restored = shownFor(editedControl, editSavedText);
        if (editedControl != nullptr) {
            editedControl->state = stateIdle;
            editedControl->caption = restored;
        }
        activeFieldId = 0;
        editFinished = true;
        setKeyboardFocus(nullptr);
        return restored;
    }
    default:
        if (editLength < editLimitOf(editedControl) && editCursor >= 0 && editCursor <= editLength) {
            std::memmove(editBuffer + editCursor + 1, editBuffer + editCursor,
                         size_t(editLength - editCursor));
            editBuffer[editCursor] = char(key);
            ++editLength;
            ++editCursor;
        }
        return shownEditText();
    }
}

std::string textFieldArrowKey(int32_t specialKey)
{
    if (specialKey == keyLeft && editCursor > 0)
        --editCursor;
    else if (specialKey == keyRight && editCursor < editLength)
        ++editCursor;
    return shownEditText();
}

void commitTextField(ControlRecord *field, int32_t frameCounter)
{
    if (field == nullptr)
        return;
    field->caption = shownEditText();
    if (((frameCounter % 8 + 8) % 8) / 4 == 1)
        caretRect = {field->left + 4 + 9 * editCursor, field->bottom, field->top};
    else
        caretRect.x = 0;
}

void drawTextCaret()
{
    if (caretRect.x == 0)
        return;
    setColour(0, 0, 0, 0.4f);
    drawLine(caretRect.x, caretRect.bottom, caretRect.x, caretRect.top, -2);
    caretRect.x = 0;
}

bool endTextEdit()
{
    ControlRecord *edited = editedControl;
    textEditActive = false;
    activeFieldId = 0;
    std::memset(editBuffer, 0, sizeof editBuffer);
    editLength = 0;
    if (lastEditKey != keyTab)
        return false;

    ControlRecord *nextField = nullptr;
    if (keyboardFocus != nullptr && keyboardFocus->focused &&
        (keyboardFocus->kind == kindTextField || keyboardFocus->kind == kindPasswordField))
        nextField = keyboardFocus;
    else
        nextField = nextFieldInChain(edited);
    if (nextField == nullptr)
        return false;

    // Tab carries the editing on with the cursor at the end; a password field
    // starts from its real value, as a click would.
    openEdit(nextField);
    editCursor = editLength;
    return true;
}

void hideTextCaret() { caretRect.x = 0; }

void endTextEditHere()
{
    lastEditKey = 0;
    endTextEdit();
}

void endTextEditWithoutChecks()
{
    textEditActive = false;
    activeFieldId = 0;
    editFinished = true;
}

void cancelTextEdit()
{
    if (editedControl != nullptr) editedControl->state = stateIdle;
    textEditActive = false;
    activeFieldId = 0;
    editedControl = nullptr;
    editFinished = false;
    std::memset(editBuffer, 0, sizeof editBuffer);
    editLength = 0;
    editCursor = 0;
}

void setEditedText(const std::string &text)
{
    loadBuffer(editedControl, text);
    editCursor = editLength;
    if (editedControl != nullptr) editedControl->caption = text;
}

void startTextEditWith(ControlRecord *field, int32_t fieldId, const std::string &text)
{
    textEditActive = true;
    editedControl = field;
    activeFieldId = fieldId;
    editSavedText = field->caption;
    editFinished = false;
    setEditedText(text);
    field->state = stateEditing;
    setKeyboardFocus(field);
}

void resetTextEditing()
{
    textEditActive = false;
    editedControl = nullptr;
    activeFieldId = 0;
    std::memset(editBuffer, 0, sizeof editBuffer);
    editLength = 0;
    editCursor = 0;
    editSavedText.clear();
    editFinished = false;
    lastEditKey = 0;
    caretRect = {0, 0, 0};
}

bool nameOrPasswordKeyAccepted(unsigned char key, bool passwordField, const std::string &caption)
{
    switch (key) {
    case keyBackspace: case keyTab: case keyLineFeed: case keyReturn: case keyEscape: case keyDelete: case '-': case '_':
        return true;
    case ' ':
        return passwordField || !caption.empty();
    case '+':
        return passwordField;
    default:
        return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
    }
}
