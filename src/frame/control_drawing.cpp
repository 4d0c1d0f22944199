// Drawing of controls and of the open pop-up list.
#include "frame/control_drawing.h"

#include <GL/gl.h>

#include "frame/gl_draw.h"
#include "frame/text.h"

Rgba controlStateColour(int32_t state)
{
    switch (state) {
    case stateHover: return {0.6f, 0.8f, 0.9f, 0.4f};
    case stateLeftPressed: return {0.6f, 0.8f, 0.3f, 0.4f};
    case stateEditing: return {0.6f, 0.6f, 0.9f, 0.4f};
    default: return {0.6f, 0.8f, 0.5f, 0.4f};
    }
}

Rgba pictureToggleTint(int32_t state)
{
    switch (state) {
    case stateHover: return {0.6f, 0.8f, 0.9f, 0.4f};
    case stateLeftPressed: return {0.6f, 0.8f, 0.3f, 0.4f};
    case stateLeftReleased: return {0.6f, 0.8f, 0.5f, 0.4f};
    case stateEditing: return {0.6f, 0.6f, 0.9f, 0.4f};
    default: return {1, 1, 1, 1};
    }
}

static void useColour(const Rgba &c) { setColour(c.r, c.g, c.b, c.a); }

// The closed line of a push button, 2 pixels inside its rectangle.
static void buttonOutline(const ControlRecord &c, double z)
{
    drawFrameRect(c.left + 2.0, c.bottom + 2.0, c.right - 3.0, c.top - 2.0, z);
}

static void drawPickerMarker(ControlRecord *c)
{
    if (c->state != stateLeftPressed && c->state != stateLeftReleased)
        return;
    if (c->state == stateLeftPressed)
        setColour(0.5f, 0.5f, 1.0f, 0.4f);
    else
        setColour(0, 0, 0, 1.0f);
    if (c->kind == kindHorizontalPicker) {
        drawLine(c->mouseX, c->bottom - 20, c->mouseX, c->top + 40, -5);
    } else if (c->state == stateLeftPressed) {
        drawLine(c->left - 20, c->mouseY, c->left + 20, c->mouseY, -5);
    } else {
        drawLine(c->left - 20, c->mouseY, c->right + 20, c->mouseY, -6);
    }
    c->markX = c->mouseX;
    c->markY = c->mouseY;
}

static void drawFigure(const ControlRecord &c)
{
    const Rgba focusRed = {1, 0, 0, 0.4f};
    const Rgba dark = {0.1f, 0.1f, 0.1f, 0.4f};
    switch (c.kind) {
    case kindPushButton:
        useColour(c.focused ? focusRed : dark);
        buttonOutline(c, -5);
        break;
    case kindToggle:
        useColour(c.focused ? focusRed : dark);
        if (c.value == 0) {
            drawLine(c.left, c.bottom, c.right, c.top, -5);
            drawLine(c.right, c.bottom, c.left, c.top, -5);
        } else {
            drawLine(c.left + 2, c.bottom, c.left + 2, c.top, -5);
            drawLine(c.right - 3, c.bottom, c.right - 3, c.top, -5);
        }
        break;
    case kindFramedToggle: {
        if (c.value == 0)
            setColour(0.2f, 0.4f, 0.8f, 0.4f);
        else
            setColour(0.6f, 0.8f, 1.0f, 0.4f);
        const double l = c.left, r = c.right, b = c.bottom, t = c.top;
        const double pts[] = {l + 2, b + 2, r - 1, b + 2, r - 1, t - 1, l + 2, t - 1, l + 2, b + 2,
                              l + 1, b + 1, r,     b + 1, r,     t,     l + 1, t,     l + 1, b + 1};
        drawLineStrip(pts, 10, -5);
        break;
    }
    case kindHorizontalPicker:
        setColour(0.3f, 0.3f, 0.3f, 0.4f);
        drawLine(c.left + c.relX, c.bottom - 3, c.left + c.relX, c.top + 3, -5);
        break;
    case kindVerticalPicker:
        setColour(0.3f, 0.3f, 0.3f, 0.4f);
        drawLine(c.left - 3, c.bottom + c.relY, c.right + 3, c.bottom + c.relY, -5);
        break;
    case kindPopupOpener:
        setColour(0.6f, 0.6f, 0.9f, 0.4f);
        fillTriangle(c.right - 12, c.top - 2, c.right - 6, c.bottom + 2, c.right - 2, c.top - 2, -5);
        break;
    case kindTextField:
    case kindPasswordField:
        if (c.focused)
            useColour(focusRed);
        else
            setColour(0.6f, 0.6f, 0.9f, 0.4f);
        drawLine(c.left, c.bottom, c.right, c.bottom, -5);
        drawLine(c.left, c.top, c.right, c.top, -5);
        drawLine(c.left, c.bottom, c.left, c.top, -5);
        drawLine(c.right, c.bottom, c.right, c.top, -5);
        break;
    default:
        break;
    }
}

static void drawPictureToggle(const ControlRecord &c)
{
    useColour(pictureToggleTint(c.state));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawTexturedRect(c.value == 0 ? c.pictureOff : c.pictureOn, c.left, c.bottom,
                     c.left + c.pictureWidth, c.bottom + c.pictureHeight, -6);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
}

static ControlObserver controlObserver = nullptr;

void setControlObserver(ControlObserver observer) { controlObserver = observer; }

void drawControl(ControlRecord *c)
{
    if (c == nullptr)
        return;
    if (controlObserver != nullptr)
        controlObserver(*c);
    if (c->kind < 10) {
        useColour(controlStateColour(c->state));
        fillRect(c->left, c->bottom, c->right, c->top, -6);
        if (c->kind == kindHorizontalPicker || c->kind == kindVerticalPicker)
            drawPickerMarker(c);
        drawFigure(*c);
    } else if (c->kind == kindGreenBox) {
        setColour(0, 8.0f / 15.0f, 0, 0.8f);
        fillRect(c->left, c->bottom, c->right, c->top, -6);
        setColour(0.1f, 0.1f, 0.1f, 0.4f);
        buttonOutline(*c, -5);
    } else if (c->kind == kindPictureToggle) {
        drawPictureToggle(*c);
    }
    if (!c->caption.empty()) {
        setColour(0.1f, 0.1f, 0.1f, 0.4f);
        drawText(controlFont, c->caption, c->left + 4, c->bottom + 4);
    }
}

namespace {

template <typename T> void appendBytes(std::string &s, const T &v)
{
    s.append(reinterpret_cast<const char *>(&v), sizeof v);
}

} // namespace

std::string pictureTogglesSignature(ControlRecord *const *toggles, int32_t count)
{
    std::string signature;
    for (int32_t i = 0; i < count; ++i) {
        const ControlRecord *c = toggles[i];
        if (c == nullptr || c->kind != kindPictureToggle || !c->caption.empty()) return {};
        for (const int32_t v : {c->left, c->bottom, c->state, c->value, c->pictureWidth, c->pictureHeight,
                                static_cast<int32_t>(c->focused)})
            appendBytes(signature, v);
        appendBytes(signature, c->pictureOff);
        appendBytes(signature, c->pictureOn);
    }
    return signature;
}

void passPictureToggles(ControlRecord *const *toggles, int32_t count)
{
    if (count <= 0) return;
    const ControlRecord &last = *toggles[count - 1];
    useColour(pictureToggleTint(last.state));
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    leaveTexturedRectState(last.value == 0 ? last.pictureOff : last.pictureOn);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    if (controlObserver != nullptr)
        for (int32_t i = 0; i < count; ++i) controlObserver(*toggles[i]);
}

void drawPopupEntry(const ControlRecord &e)
{
    useColour(controlStateColour(e.state));
    fillRect(e.left, e.bottom, e.right, e.top, -3);
    setColour(0.1f, 0.1f, 0.1f, 0.4f);
    buttonOutline(e, -2);
    if (!e.caption.empty())
        drawControlText(controlFont, e.caption, e.left + 4, e.bottom + 4);
}

void drawPopupList()
{
    if (!popupOpen || popupItemCount < 1 || popupItemCount > maxPopupItems)
        return;
    const ControlRecord &anchor = popupAnchor;
    const ControlRecord &last = popupEntries[popupItemCount - 1];
    setColour(0.6f, 0.3f, 0.5f, 0.4f);
    fillRect(anchor.left - 2, last.bottom - 2, anchor.right + 2, anchor.top + 2, -4);
    if (!anchor.caption.empty()) {
        setColour(0.1f, 0.1f, 0.1f, 0.4f);
        drawControlText(controlFont, anchor.caption, anchor.left + 4, anchor.bottom + 4);
    }
    for (int i = 0; i < popupItemCount; ++i)
        drawPopupEntry(popupEntries[i]);
}
