// Driving a screen through its ScreenHandlers value: no window is needed, the
// display procedures draw only with a GL context.
#pragma once
#include <string>

#include "base/shared.h"
#include "frame/controls.h"
#include "frame/message_panel.h"
#include "frame/screens.h"
#include "frame/text_field.h"

struct ScreenDriver {
    const ScreenHandlers &screen;

    void type(const std::string &keys) const
    {
        for (unsigned char c : keys) screen.keyboard(c, 0, 0);
    }
    void frame(int count = 1) const
    {
        for (int i = 0; i < count; ++i) screen.display();
    }
    void special(int key) const { screen.specialKey(key, 0, 0); }
    // GLUT coordinates of a control's centre (y from the top).
    static int gx(const ControlRecord &c) { return (c.left + c.right) / 2; }
    static int gy(const ControlRecord &c) { return windowHeight - (c.bottom + c.top) / 2; }
    void press(const ControlRecord &c) const { screen.mouse(0, 0, gx(c), gy(c)); }
    void release(const ControlRecord &c) const { screen.mouse(0, 1, gx(c), gy(c)); }
    void click(const ControlRecord &c) const
    {
        press(c);
        release(c);
    }
};

inline void resetToolkitState()
{
    windowHeight = 765;
    resetTextEditing();
    resetMessageState();
    setKeyboardFocus(nullptr);
    closePopupList();
}
