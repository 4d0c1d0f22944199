// Screen 1: unsupported sound input device.
#include "app/unsupported_screen.h"

#include <GL/gl.h>

#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/screen_frame.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "frame/text.h"

UnsupportedState unsupportedState;

static int32_t unsupportedFont = font9By15;

constexpr int32_t closeAction = 25;

static void unsupportedAction(int32_t code)
{
    if (code != closeAction)
        return;
    finishButtonAction(unsupportedState.closeButton);
    currentScreen = quitScreenId; // the next frame ends the program normally
}

static TemplateControl unsupportedControls[] = {
    {&unsupportedState.closeButton, 0, 0, closeAction, 0, "Release Button to terminate program",
     "Click to terminate program", 0},
};

static const ScreenInput unsupportedInput = {
    .controls = unsupportedControls,
    .controlCount = 1,
    .pending = &unsupportedState.pendingAction,
    .deferred = &unsupportedState.deferredAction,
    .phase = &unsupportedState.phase,
    .runningPhase = 1,
    .frameCounter = &unsupportedState.frameCounter,
    .action = unsupportedAction,
};

static void createUnsupportedControls()
{
    unsupportedState.phase = 0;
    initControl(&unsupportedState.closeButton,
                {.kind = kindPushButton, .left = 130, .right = 179, .bottom = 268, .top = 286, .value = 1,
                 .caption = "Close"});
    unsupportedFont = font9By15;
}

static void unsupportedKeyboard(unsigned char key, int x, int y) { templateKeyboard(unsupportedInput, key, x, y); }
static void unsupportedSpecialKey(int key, int x, int y) { templateSpecialKey(unsupportedInput, key, x, y); }
static void unsupportedMouse(int button, int state, int x, int y)
{
    templateMouse(unsupportedInput, button, state, x, y);
}
static void unsupportedMotion(int x, int y) { templateMotion(unsupportedInput, x, y); }
static void unsupportedPassiveMotion(int x, int y) { templatePassiveMotion(unsupportedInput, x, y); }
static void drawUnsupportedControls() { drawControl(&unsupportedState.closeButton); }
static void handleUnsupportedAction() { templateHandleAction(unsupportedInput); }

static void displayUnsupportedScreen()
{
    if (unsupportedState.phase == 0) {
        clearScreenMessages();
        unsupportedState.phase = 1;
        return;
    }
    if (templateHasAction(unsupportedInput))
        handleUnsupportedAction();

    clearScreenFrame();
    // Shown before any picture is loaded: the animation and the panel icon
    // bind texture names that were never filled, which draws plain quads.
    drawFrameAnimation(unsupportedState.frameCounter / 5);

    setColour(0, 0, 0, 0.4f);
    drawText(unsupportedFont, "Sorry", 130, 620);
    drawText(unsupportedFont, "Your sound input device is not supported", 130, 420);
    drawText(unsupportedFont,
             "Try using a different input source from the System Preferences --> Sound --> Input",
             130, 400);
    drawText(unsupportedFont, "Exit ", 130, 290);
    drawUnsupportedControls();
    finishScreenFrame(alertIcon, "Sorry, we can not continue");

    endScreenFrame(unsupportedState.frameCounter, 190);
}

const ScreenHandlers unsupportedScreenHandlers = {
    .create = createUnsupportedControls,
    .keyboard = unsupportedKeyboard,
    .specialKey = unsupportedSpecialKey,
    .mouse = unsupportedMouse,
    .motion = unsupportedMotion,
    .passiveMotion = unsupportedPassiveMotion,
    .drawControls = drawUnsupportedControls,
    .handleAction = handleUnsupportedAction,
    .display = displayUnsupportedScreen,
};
