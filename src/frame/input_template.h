// The input template every screen runs its input through.
//
// A screen describes itself once in a ScreenInput (its controls in test
// order with their codes and hints, its pending/deferred action pair, its
// phase, and a few hooks for what differs), and its ten ScreenHandlers
// procedures become one-line calls into the template:
//
//   static const ScreenInput aboutInput = {.controls = ..., .action = aboutAction};
//   static void aboutMouse(int b, int s, int x, int y) { templateMouse(aboutInput, b, s, x, y); }
//   static void handleAboutAction() { templateHandleAction(aboutInput); }
//
// Input handlers only record action codes (and hints); the screen's display
// procedure calls templateHandleAction at the start of the next frame while
// the pending or deferred code is not 0. Dismissing an alert, placing the
// edit cursor and feeding keys to the line editor happen in the handlers.
#pragma once
#include <cstdint>
#include <string>

#include "frame/controls.h"

struct TemplateControl {
    ControlRecord *control;
    // controlMouseButton's four codes. Push buttons act on the left release,
    // pop-up openers on the left press.
    int32_t leftPressCode;
    int32_t otherPressCode;
    int32_t leftReleaseCode;
    int32_t otherReleaseCode;
    const char *releaseHint; // shown while a button is held over it ("Release Button to ...")
    const char *clickHint;   // shown while the pointer rests over it ("Click to ...")
    int32_t returnCode;      // posted by Return while it has the keyboard focus; 0 none
};

struct ScreenInput {
    // What every screen supplies.
    TemplateControl *controls = nullptr; // in the screen's test order (every control it hit-tests)
    int controlCount = 0;
    int32_t *pending = nullptr;          // <x>PendingAction
    int32_t *deferred = nullptr;         // <x>DeferredAction
    const int32_t *phase = nullptr;      // the screen's phase variable
    int32_t runningPhase = 0;      // handlers act only while *phase == runningPhase
    const int32_t *frameCounter = nullptr; // drives the caret blink (may be nullptr: 0)

    // Help alerts for keys while no field is edited; nullptr line 1 = no alert.
    const char *keyHelp[3] = {};    // any key but Return
    const char *returnHelp[3] = {}; // Return while the focus has no keyboard action

    // Hooks; any of them may be nullptr.
    // Pending code after an alert is dismissed (default 0).
    int32_t (*alertFollowUp)(int32_t alertKind) = nullptr;
    // Character filter of a field; default: every key reaches the editor.
    bool (*acceptKey)(int32_t fieldId, unsigned char key, const std::string &caption) = nullptr;
    // A key while no field is edited; return true when the screen handled it
    // (then the template does nothing more with it).
    bool (*ownKey)(unsigned char key) = nullptr;
    // A special key after the template's own handling (arrows while editing).
    void (*ownSpecialKey)(int32_t key) = nullptr;
    // Code 1: apply entry `item` of list `listId` (the template closes the list).
    void (*applyPopupChoice)(int32_t listId, int32_t item) = nullptr;
    // Codes 3 and 4, before the template closes the list or the editing.
    void (*beforeCloseByClick)() = nullptr;
    // Code 6 once editing has finished: store `value` by fieldId (0 after
    // Escape: nothing to store). Runs before endTextEdit.
    void (*finishEdit)(int32_t fieldId, const std::string &value, unsigned char lastKey) = nullptr;
    // Code 6: the screen's own end-of-editing checks, run first; true when it
    // took the code (then finishEdit and endTextEdit do not run).
    bool (*ownEditEnd)() = nullptr;
    // The screen's own codes (10 and up). Pending is 0 when it is called; the
    // screen may post another code.
    void (*action)(int32_t code) = nullptr;
};

// reset<X>Controls: every control of the screen to state 0 except the one that
// was hit; keeps the edited field in state 8 with the focus. Returns the code
// the hit posts (6 while editing when the control has none).
int32_t templateResetControls(const ScreenInput &screen, ControlRecord *hit);

void templateMouse(const ScreenInput &screen, int button, int buttonState, int x, int y);
void templateMotion(const ScreenInput &screen, int x, int y);
void templatePassiveMotion(const ScreenInput &screen, int x, int y);
void templateKeyboard(const ScreenInput &screen, unsigned char key, int x, int y);
void templateSpecialKey(const ScreenInput &screen, int key, int x, int y);

// handle<X>Action: deferred first, then codes 1, 2, 3, 4, 6 and the screen's own.
void templateHandleAction(const ScreenInput &screen);
// True while the pending or the deferred code is not 0.
bool templateHasAction(const ScreenInput &screen);

// The two halves of the display procedure every screen shares. The start:
// in the entry phase (0) it runs `enter`, which prepares the screen and sets
// its running phase, and the frame ends there; otherwise it runs the pending
// or deferred action through `handleAction`, then the screen's own per-frame
// logic `frameLogic` (when given) if no action sent it back to its entry
// phase: it runs with or without a window, as it must not draw. True when the
// screen draws this frame: it is still running and a GL context is current
// (tests drive screens without one; the frame counter still advances then).
bool beginScreenFrame(const ScreenInput &screen, void (*enter)(), void (*handleAction)(),
                      int32_t &frameCounter, int32_t period, void (*frameLogic)() = nullptr);
// The end: the frame counter advances, back to 0 at the screen's period.
void endScreenFrame(int32_t &frameCounter, int32_t period);

// Draws every control of the screen in test order (draw<X>Controls for
// screens whose drawing order is their test order).
void templateDrawControls(const ScreenInput &screen);

// The end of every frame: open pop-up list, caret, message panel, flush, swap.
void finishScreenFrame(int32_t icon, const std::string &statusText);

// A push button's action has run: its value flips between 0 and 1, it is
// drawn at rest again and the prompt line is cleared.
void finishButtonAction(ControlRecord &button);
