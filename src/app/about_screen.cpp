// Screen 4: About.
#include "app/about_screen.h"

#include <GL/gl.h>

#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "app/loading_screen.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "frame/text.h"

ControlRecord aboutCloseButton;
int32_t aboutPhase = 0;
int32_t aboutFrameCounter = 0;
int32_t aboutPendingAction = 0;
int32_t aboutDeferredAction = 0;
static int32_t aboutFont = font9By15;

constexpr int32_t closeAction = 25;

static void aboutAction(int32_t code)
{
    if (code != closeAction)
        return;
    finishButtonAction(aboutCloseButton);
    setKeyboardFocus(nullptr);
    aboutPhase = 0; // the next visit sets the screen up again
    currentScreen = userManagementScreenId;
}

static TemplateControl aboutControls[] = {
    {&aboutCloseButton, 0, 0, closeAction, 0,
     "Release Button to return to the User selection dialog",
     "Click to return to the User selection dialog", closeAction},
};

static const ScreenInput aboutInput = {
    aboutControls, 1, &aboutPendingAction, &aboutDeferredAction, &aboutPhase, 1,
    &aboutFrameCounter,
    {"Click \"Quit\" or hit <Return>", "to return", nullptr},
    {"Click \"Quit\" to return", nullptr, nullptr},
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, aboutAction,
};

void createAboutControls()
{
    aboutPhase = 0;
    initControl(0, &aboutCloseButton, kindPushButton, 580, 643, 158, 176, stateIdle, 1, "Close",
                nullptr);
    aboutFont = font9By15;
}

int32_t resetAboutControls(ControlRecord *control) { return templateResetControls(aboutInput, control); }

void aboutKeyboard(unsigned char key, int x, int y) { templateKeyboard(aboutInput, key, x, y); }
void aboutSpecialKey(int key, int x, int y) { templateSpecialKey(aboutInput, key, x, y); }
void aboutMouse(int button, int state, int x, int y) { templateMouse(aboutInput, button, state, x, y); }
void aboutMotion(int x, int y) { templateMotion(aboutInput, x, y); }
void aboutPassiveMotion(int x, int y) { templatePassiveMotion(aboutInput, x, y); }
void drawAboutControls() { drawControl(&aboutCloseButton); }
void handleAboutAction() { templateHandleAction(aboutInput); }

void displayAboutScreen()
{
    if (aboutPhase == 0) {
        clearScreenMessages();
        setKeyboardFocus(&aboutCloseButton);
        aboutPhase = 1;
        return;
    }
    if (templateHasAction(aboutInput))
        handleAboutAction();

    clearScreenFrame();
    drawFrameAnimation(aboutFrameCounter / 5);

    glColor4f(0, 0, 0, 0.4f);
    drawLargeText(aboutFont, "Tarnova", 130, 680);
    drawTitleRule();
    drawInfoPanel(aboutFont, "About");
    drawVersionLines(aboutFont);
    drawControlBox(aboutFont, "Close About-Box .........");
    drawAboutControls();
    finishScreenFrame(3, "About Tarnova");

    if (++aboutFrameCounter >= 190)
        aboutFrameCounter = 0;
}

const ScreenHandlers aboutScreenHandlers = {
    createAboutControls, nullptr, aboutKeyboard, aboutSpecialKey, aboutMouse, aboutMotion,
    aboutPassiveMotion, drawAboutControls, handleAboutAction, displayAboutScreen,
};
