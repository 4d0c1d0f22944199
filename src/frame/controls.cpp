// Controls, hit tests, chains and the shared pop-up list.
#include "frame/controls.h"

#include "base/shared.h"
#include "frame/text.h"

ControlRecord *keyboardFocus = nullptr;
int32_t controlClickPhase = 0;
int32_t controlFont = font9By15;

bool popupOpen = false;
int32_t openPopupId = 0;
int32_t popupItemCount = 0;
ControlRecord popupAnchor;
ControlRecord popupEntries[maxPopupItems];
int32_t popupChosenItem = popupNoChoice;

std::string cutText(const std::string &text)
{
    return text.size() > size_t(maxTextLength) ? text.substr(0, maxTextLength) : text;
}

void initControl(ControlRecord *control, const ControlSpec &spec)
{
    control->self = control;
    control->id = spec.id;
    control->kind = spec.kind;
    control->left = spec.left;
    control->right = spec.right;
    control->bottom = spec.bottom;
    control->top = spec.top;
    control->state = spec.state;
    control->value = spec.value;
    control->caption = cutText(spec.caption);
    control->markX = spec.left;
    control->markY = spec.bottom;
    ControlRecord *previous = spec.previous;
    control->focused = false;
    if (keyboardFocus == control)
        keyboardFocus = nullptr; // the focus flag and the focus pointer stay in step
    if (previous != nullptr)
        previous->next = control;
    else
        control->next = nullptr;
    controlFont = font9By15;
}

bool controlContains(const ControlRecord &c, int32_t x, int32_t y)
{
    const int32_t up = windowHeight - y;
    return c.left < x && x < c.right && c.bottom < up && up < c.top;
}

static void recordPosition(ControlRecord *c, int32_t x, int32_t y)
{
    c->mouseX = x;
    c->mouseY = windowHeight - y;
    c->relX = x - c->left;
    c->relY = (windowHeight - y) - c->bottom;
}

bool controlMouseButton(const MouseButtonEvent &event, ControlRecord *c, const ButtonCodes &codes, int32_t &deferred)
{
    const int32_t button = event.button, buttonState = event.state, x = event.x, y = event.y;
    const int32_t leftPressCode = codes.leftPress, otherPressCode = codes.otherPress;
    const int32_t leftReleaseCode = codes.leftRelease, otherReleaseCode = codes.otherRelease;
    if (!controlContains(*c, x, y))
        return false;
    if (buttonState == 0) {
        if (button == 0) {
            controlClickPhase = 1;
            c->state = stateLeftPressed;
            recordPosition(c, x, y);
            c->actionCode = leftPressCode;
        } else if (button != 1) {
            controlClickPhase = 2;
            c->state = stateOtherPressed;
            recordPosition(c, x, y);
            c->actionCode = otherPressCode;
        }
    } else {
        controlClickPhase = 0;
        if (button == 0) {
            c->state = stateLeftReleased;
            recordPosition(c, x, y);
            c->actionCode = leftReleaseCode;
            deferred = leftReleaseCode;
        } else if (button != 1) {
            c->state = stateOtherReleased;
            recordPosition(c, x, y);
            c->actionCode = otherReleaseCode;
            deferred = otherReleaseCode;
        }
    }
    return true;
}

bool controlMouseDrag(int32_t x, int32_t y, ControlRecord *c, int32_t leftCode, int32_t otherCode)
{
    if (!controlContains(*c, x, y)) {
        c->state = stateIdle;
        return false;
    }
    const bool left = controlClickPhase == 1;
    c->state = left ? stateLeftPressed : stateOtherPressed;
    recordPosition(c, x, y);
    c->actionCode = left ? leftCode : otherCode;
    return true;
}

bool controlMouseHover(int32_t x, int32_t y, ControlRecord *c, int32_t code)
{
    if (!controlContains(*c, x, y)) {
        c->state = stateIdle;
        return false;
    }
    c->state = stateHover;
    recordPosition(c, x, y);
    c->actionCode = code;
    return true;
}

ControlRecord *nextFieldInChain(ControlRecord *from)
{
    ControlRecord *found = nullptr;
    if (from == nullptr)
        return nullptr;
    // Walk from the control after `from`; walkChain stops when the ring
    // returns to a control already seen, `from` included.
    const ControlRecord *start = from;
    walkChain(from->next, [&](ControlRecord *c) {
        if (found == nullptr && c != start && c->id != 0 &&
            (c->kind == kindTextField || c->kind == kindPasswordField))
            found = c;
    });
    // A ring seen from `from->next` comes back to itself only after passing
    // `from`; anything found after `from` would be a second lap, which the
    // first-match rule above never reaches.
    return found;
}

void setKeyboardFocus(ControlRecord *control)
{
    if (keyboardFocus != nullptr)
        keyboardFocus->focused = false;
    keyboardFocus = control;
    if (control != nullptr)
        control->focused = true;
}

void initPopupEntry(int32_t i, int32_t kind, int32_t left, int32_t right, int32_t anchorBottom,
                    int32_t anchorTop, int32_t state, int32_t value, const std::string &caption)
{
    if (i < 0 || i >= maxPopupItems)
        return;
    ControlRecord &e = popupEntries[i];
    e.kind = kind;
    e.left = left;
    e.right = right;
    e.state = state;
    e.value = value;
    e.caption = cutText(caption);
    e.bottom = anchorBottom - 22 * (i + 1);
    e.top = anchorTop - 22 * (i + 1);
}

void openPopupList(ControlRecord *opener, int32_t listId, const std::string *items, int count)
{
    if (count > maxPopupItems)
        count = maxPopupItems;
    if (count < 0)
        count = 0;
    popupOpen = true;
    openPopupId = listId;
    opener->value = 2;
    opener->state = stateIdle;
    popupAnchor = *opener;
    popupItemCount = count;
    for (int i = 0; i < count; ++i)
        initPopupEntry(i, kindPushButton, opener->left, opener->right, opener->bottom, opener->top,
                       stateIdle, 1, items[i]);
}

void closePopupList()
{
    popupOpen = false;
    openPopupId = 0;
}
