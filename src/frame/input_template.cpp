// The input template shared by every screen.
#include "frame/input_template.h"

#include <GL/freeglut.h>

#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/message_panel.h"
#include "frame/text_field.h"

static bool running(const ScreenInput &s) { return s.phase == nullptr || *s.phase == s.runningPhase; }

// The entry a left release chose. Motion before the next frame moves
// popupChosenItem to whatever lies under the pointer then (999 off the list);
// the choice applied is the entry the button was released on.
static int32_t releasedPopupItem = popupNoChoice;

int32_t templateResetControls(const ScreenInput &s, ControlRecord *hit)
{
    const int32_t keptState = hit->state;
    int32_t r = hit->actionCode;
    for (int i = 0; i < s.controlCount; ++i)
        s.controls[i].control->state = stateIdle;
    if (textEditActive && editedControl != nullptr) {
        setKeyboardFocus(editedControl);
        editedControl->state = stateEditing;
        if (hit->actionCode == 0)
            r = actionEditing;
    } else if (!textEditActive) {
        promptLine.clear();
    }
    hit->state = keptState;
    return r;
}

// Dismisses the alert shown (any button release, or Return / Escape).
static void dismissAlert(const ScreenInput &s)
{
    textEditActive = false;
    promptLine.clear();
    showAlert("", "", "");
    hintLine.clear();
    setKeyboardFocus(nullptr);
    const int32_t followUp = s.alertFollowUp != nullptr ? s.alertFollowUp(alertKind) : 0;
    *s.pending = followUp;
    // A follow-up also goes to the deferred code: a motion event before the
    // next frame would otherwise overwrite the pending code and lose it.
    if (followUp != 0)
        *s.deferred = followUp;
}

void templateMouse(const ScreenInput &s, int button, int buttonState, int x, int y)
{
    if (!running(s))
        return;
    const MouseButtonEvent event = {.button = button, .state = buttonState, .x = x, .y = y};
    if (alertShown()) {
        if (buttonState == 1)
            dismissAlert(s);
        return;
    }
    if (popupOpen) {
        popupChosenItem = popupNoChoice;
        releasedPopupItem = popupNoChoice;
        for (int i = 0; i < popupItemCount && i < maxPopupItems; ++i)
            if (controlMouseButton(event, &popupEntries[i], {.leftRelease = actionPopupChosen}, *s.deferred)) {
                *s.pending = popupEntries[i].actionCode;
                popupChosenItem = i;
                if (popupEntries[i].actionCode == actionPopupChosen)
                    releasedPopupItem = i;
            }
        const int32_t waiting = *s.deferred;
        if (controlMouseButton(event, &popupAnchor, {.leftPress = actionPopupReopened}, *s.deferred)) {
            *s.pending = popupAnchor.actionCode;
            // A quick click on the opener closes the list as a slow one does
            // (see the controls below).
            if (buttonState == 0 && *s.pending != 0 && waiting == 0)
                *s.deferred = *s.pending;
            else if (buttonState == 1 && *s.deferred == 0)
                *s.deferred = waiting;
        } else if (popupChosenItem == popupNoChoice) {
            *s.pending = actionClickOutsidePopup;
            *s.deferred = actionClickOutsidePopup;
        }
        return;
    }
    if (textEditActive) {
        // Escape leaves the editing marked active with no field until the next
        // frame: such a click has nothing to act on.
        if (editedControl == nullptr || activeFieldId == 0)
            return;
        if (!controlMouseButton(event, editedControl, {.leftPress = 5}, *s.deferred)) {
            promptLine.clear();
            *s.pending = actionClickOutsideField;
            *s.deferred = actionClickOutsideField;
        } else {
            editedControl->state = stateEditing;
            editCursor = cursorForClick(editedControl->relX);
            *s.pending = actionEditing;
        }
        return;
    }
    for (int i = 0; i < s.controlCount; ++i) {
        const TemplateControl &t = s.controls[i];
        const int32_t waiting = *s.deferred;
        const ButtonCodes codes = {.leftPress = t.leftPressCode,
                                   .otherPress = t.otherPressCode,
                                   .leftRelease = t.leftReleaseCode,
                                   .otherRelease = t.otherReleaseCode};
        if (controlMouseButton(event, t.control, codes, *s.deferred)) {
            *s.pending = templateResetControls(s, t.control);
            hintLine.clear();
            // A press that acts (a pop-up opener) and the release after it
            // often arrive before the next frame (a touchpad tap, a quick
            // click), and motion with the button held may come between. The
            // press's code waits in the deferred variable like a release's,
            // and a release without an action of its own cancels nothing.
            if (buttonState == 0 && *s.pending != 0 && waiting == 0)
                *s.deferred = *s.pending;
            else if (buttonState == 1 && *s.deferred == 0)
                *s.deferred = waiting;
            return;
        }
    }
    promptLine.clear();
    clearAlertLines();
    hintLine.clear();
}

// While a list is open, motion only highlights the entry under the mouse.
static void popupMotion(const ScreenInput &s, int x, int y, bool drag)
{
    popupChosenItem = popupNoChoice;
    for (int i = 0; i < popupItemCount && i < maxPopupItems; ++i) {
        const bool hit = drag ? controlMouseDrag(x, y, &popupEntries[i], 0, 0)
                              : controlMouseHover(x, y, &popupEntries[i], 0);
        if (hit) {
            *s.pending = popupEntries[i].actionCode;
            popupChosenItem = i;
        }
    }
    const bool anchorHit = drag ? controlMouseDrag(x, y, &popupAnchor, 0, 0)
                                : controlMouseHover(x, y, &popupAnchor, 0);
    if (anchorHit)
        *s.pending = popupAnchor.actionCode;
    else if (popupChosenItem == popupNoChoice)
        *s.pending = 0;
}

void templateMotion(const ScreenInput &s, int x, int y)
{
    if (!running(s))
        return;
    if (popupOpen) {
        popupMotion(s, x, y, true);
        return;
    }
    if (textEditActive) {
        if (editedControl == nullptr || activeFieldId == 0)
            return;
        // A drag inside the field shows it pressed and moves the cursor; the
        // release inside gives it back its editing state (templateMouse).
        if (!controlMouseDrag(x, y, editedControl, 0, 0)) {
            // The drag left the field: the editing ends like a click outside.
            // controlMouseDrag's miss set the state to 0.
            *s.pending = actionClickOutsideField;
        } else {
            editCursor = cursorForClick(editedControl->relX);
        }
        return;
    }
    for (int i = 0; i < s.controlCount; ++i) {
        const TemplateControl &t = s.controls[i];
        if (controlMouseDrag(x, y, t.control, 0, 0)) {
            *s.pending = templateResetControls(s, t.control);
            hintLine = t.releaseHint != nullptr ? t.releaseHint : "";
            return;
        }
    }
    promptLine.clear();
    hintLine.clear();
}

void templatePassiveMotion(const ScreenInput &s, int x, int y)
{
    if (!running(s))
        return;
    if (popupOpen) {
        popupMotion(s, x, y, false);
        return;
    }
    if (textEditActive)
        return;
    for (int i = 0; i < s.controlCount; ++i) {
        const TemplateControl &t = s.controls[i];
        if (controlMouseHover(x, y, t.control, 0)) {
            *s.pending = templateResetControls(s, t.control);
            hintLine = t.clickHint != nullptr ? t.clickHint : "";
            return;
        }
    }
    promptLine.clear();
    hintLine.clear();
}

static void showHelp(const char *const lines[3])
{
    if (lines[0] == nullptr)
        return;
    showAlert(0, lines[0], lines[1] != nullptr ? lines[1] : "", lines[2] != nullptr ? lines[2] : "");
}

void templateKeyboard(const ScreenInput &s, unsigned char key, int x, int y)
{
    if (alertShown()) {
        if (key == keyReturn || key == keyEscape)
            templateMouse(s, 0, 1, 0, 0);
        return;
    }
    clearAlertLines();
    if (!running(s))
        return;
    if (activeFieldId != 0 && textEditActive && editedControl != nullptr) {
        if (s.acceptKey == nullptr || s.acceptKey(activeFieldId, key, editedControl->caption)) {
            ControlRecord *field = editedControl;
            field->caption = textFieldKey(key);
        }
        return;
    }
    if (textEditActive)
        return; // Escape was typed; the next frame finishes the editing
    if (s.ownKey != nullptr && s.ownKey(key))
        return;
    if (key == keyReturn) {
        for (int i = 0; i < s.controlCount; ++i)
            if (s.controls[i].control == keyboardFocus && s.controls[i].returnCode != 0) {
                *s.pending = s.controls[i].returnCode;
                // The pointer moving before the next frame must not lose it.
                if (*s.deferred == 0)
                    *s.deferred = *s.pending;
                return;
            }
        showHelp(s.returnHelp);
        return;
    }
    showHelp(s.keyHelp);
}

void templateSpecialKey(const ScreenInput &s, int key, int x, int y)
{
    if (alertShown())
        return;
    clearAlertLines();
    if (!running(s))
        return;
    if (textEditActive && activeFieldId != 0 && editedControl != nullptr &&
        (key == keyLeft || key == keyRight)) {
        ControlRecord *field = editedControl;
        field->caption = textFieldArrowKey(key);
    }
    if (s.ownSpecialKey != nullptr)
        s.ownSpecialKey(key);
}

bool templateHasAction(const ScreenInput &s) { return *s.pending != 0 || *s.deferred != 0; }

bool beginScreenFrame(const ScreenInput &s, void (*enter)(), void (*handleAction)(), int32_t &frameCounter,
                      int32_t period, void (*frameLogic)())
{
    if (*s.phase == 0) {
        enter();
        return false;
    }
    if (templateHasAction(s)) handleAction();
    if (*s.phase == 0) return false; // an action left the screen
    if (frameLogic != nullptr) frameLogic();
    if (!haveGlContext()) {
        endScreenFrame(frameCounter, period);
        return false;
    }
    return true;
}

void endScreenFrame(int32_t &frameCounter, int32_t period)
{
    if (++frameCounter >= period) frameCounter = 0;
}

void templateHandleAction(const ScreenInput &s)
{
    if (*s.deferred != 0) {
        *s.pending = *s.deferred;
        *s.deferred = 0;
    }
    const int32_t code = *s.pending;
    switch (code) {
    case actionNone:
        return;
    case actionPopupChosen: {
        const int32_t item =
            releasedPopupItem != popupNoChoice ? releasedPopupItem : popupChosenItem;
        releasedPopupItem = popupNoChoice;
        if (popupOpen && s.applyPopupChoice != nullptr && item >= 0 && item < popupItemCount)
            s.applyPopupChoice(openPopupId, item);
        closePopupList();
        *s.pending = 0;
        return;
    }
    case actionPopupReopened:
        releasedPopupItem = popupNoChoice;
        popupOpen = false;
        *s.pending = 0;
        return;
    case actionClickOutsidePopup:
    case actionClickOutsideField:
        releasedPopupItem = popupNoChoice;
        if (s.beforeCloseByClick != nullptr)
            s.beforeCloseByClick();
        if (textEditActive && editedControl != nullptr) {
            editFinished = true;
            editedControl->state = stateIdle;
            lastEditKey = 0;
            ControlRecord *field = editedControl;
            const std::string shown = textFieldKey(0);
            if (activeFieldId != 0)
                field->caption = shown;
            *s.pending = actionEditing;
        } else {
            if (popupOpen)
                popupOpen = false;
            *s.pending = 0;
        }
        return;
    case actionEditing:
        if (s.ownEditEnd != nullptr && s.ownEditEnd())
            return;
        if (!textEditActive) {
            *s.pending = 0;
            return;
        }
        if (editFinished) {
            if (s.finishEdit != nullptr)
                s.finishEdit(activeFieldId, editedText(), lastEditKey);
            if (endTextEdit()) {
                *s.pending = actionEditing;
            } else {
                promptLine.clear();
                *s.pending = 0;
            }
        } else {
            commitTextField(editedControl, s.frameCounter != nullptr ? *s.frameCounter : 0);
        }
        return;
    default:
        *s.pending = 0;
        if (code >= 10 && s.action != nullptr)
            s.action(code);
        return;
    }
}

void templateDrawControls(const ScreenInput &s)
{
    for (int i = 0; i < s.controlCount; ++i)
        drawControl(s.controls[i].control);
}

void finishScreenFrame(int32_t icon, const std::string &statusText)
{
    drawPopupList();
    drawTextCaret();
    drawMessagePanel(icon, statusText);
    glFlush();
    glutSwapBuffers();
}

void finishButtonAction(ControlRecord &button)
{
    button.value = button.value == 0 ? 1 : 0;
    button.state = stateIdle;
    promptLine.clear();
}
