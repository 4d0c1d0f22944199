// Screens 1 and 4 driven through their handlers (their first frame draws
// nothing, so no window is needed).
#include <gtest/gtest.h>

#include "app/about_screen.h"
#include "frame/controls.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "app/unsupported_screen.h"

namespace {

int gy(int yUp) { return windowHeight - yUp; }

class AboutScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        windowHeight = 765;
        resetTextEditing();
        resetMessageState();
        setKeyboardFocus(nullptr);
        aboutState.pendingAction = aboutState.deferredAction = 0;
        aboutScreenHandlers.create();
        currentScreen = aboutScreenId;
        aboutScreenHandlers.display(); // the entry frame: focus on Close, nothing drawn
    }
};

TEST_F(AboutScreen, ReturnOnCloseGoesBackToUserManagement)
{
    EXPECT_EQ(keyboardFocus, &aboutState.closeButton);
    aboutScreenHandlers.keyboard(13, 0, 0);
    EXPECT_EQ(aboutState.pendingAction, 25);
    aboutScreenHandlers.handleAction();
    EXPECT_EQ(currentScreen, userManagementScreenId);
    EXPECT_EQ(aboutState.phase, 0); // the next visit starts afresh
    EXPECT_EQ(keyboardFocus, nullptr);
}

TEST_F(AboutScreen, KeysShowHelpAlertsThatReturnDismisses)
{
    aboutScreenHandlers.keyboard('q', 0, 0);
    EXPECT_EQ(alertLines[0], "Click \"Quit\" or hit <Return>");
    EXPECT_EQ(alertLines[1], "to return");
    aboutScreenHandlers.keyboard(13, 0, 0); // dismisses; focus is lost with it
    EXPECT_FALSE(alertShown());
    aboutScreenHandlers.keyboard(13, 0, 0);
    EXPECT_EQ(alertLines[0], "Click \"Quit\" to return");
    aboutScreenHandlers.mouse(0, 0, 10, gy(10)); // a press leaves the alert
    EXPECT_TRUE(alertShown());
    aboutScreenHandlers.mouse(0, 1, 10, gy(10));
    EXPECT_FALSE(alertShown());
    EXPECT_EQ(currentScreen, aboutScreenId);
}

TEST(UnsupportedScreen, CloseHintsAndClick)
{
    windowHeight = 765;
    resetMessageState();
    unsupportedState.pendingAction = unsupportedState.deferredAction = 0;
    unsupportedScreenHandlers.create();
    currentScreen = unsupportedDeviceScreenId;
    unsupportedScreenHandlers.display();
    unsupportedScreenHandlers.keyboard(27, 0, 0); // Escape without an alert: nothing
    EXPECT_FALSE(alertShown());
    EXPECT_EQ(unsupportedState.pendingAction, 0);
    unsupportedScreenHandlers.passiveMotion(150, gy(277));
    EXPECT_EQ(hintLine, "Click to terminate program");
    unsupportedScreenHandlers.mouse(0, 0, 150, gy(277));
    unsupportedScreenHandlers.motion(151, gy(277));
    EXPECT_EQ(hintLine, "Release Button to terminate program");
    unsupportedScreenHandlers.mouse(0, 1, 151, gy(277));
    unsupportedScreenHandlers.handleAction();
    EXPECT_EQ(currentScreen, quitScreenId);
}

} // namespace
