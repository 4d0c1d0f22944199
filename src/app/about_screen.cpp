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

AboutState aboutState;

static int32_t aboutFont = font9By15;

constexpr int32_t closeAction = 25;

static void aboutAction(int32_t code)
{
    if (code != closeAction)
        return;
    finishButtonAction(aboutState.closeButton);
    setKeyboardFocus(nullptr);
    aboutState.phase = 0; // the next visit sets the screen up again
    currentScreen = userManagementScreenId;
}

static TemplateControl aboutControls[] = {
    {&aboutState.closeButton, 0, 0, closeAction, 0,
     "Release Button to return to the User selection dialog",
     "Click to return to the User selection dialog", closeAction},
};

static const ScreenInput aboutInput = {
    .controls = aboutControls,
    .controlCount = 1,
    .pending = &aboutState.pendingAction,
    .deferred = &aboutState.deferredAction,
    .phase = &aboutState.phase,
    .runningPhase = 1,
    .frameCounter = &aboutState.frameCounter,
    .keyHelp = {"Click \"Quit\" or hit <Return>", "to return", nullptr},
    .returnHelp = {"Click \"Quit\" to return", nullptr, nullptr},
    .action = aboutAction,
};

static void createAboutControls()
{
    aboutState.phase = 0;
    initControl(&aboutState.closeButton,
                {.kind = kindPushButton, .left = 580, .right = 643, .bottom = 158, .top = 176, .value = 1,
                 .caption = "Close"});
    aboutFont = font9By15;
}

static void aboutKeyboard(unsigned char key, int x, int y) { templateKeyboard(aboutInput, key, x, y); }
static void aboutSpecialKey(int key, int x, int y) { templateSpecialKey(aboutInput, key, x, y); }
static void aboutMouse(int button, int state, int x, int y) { templateMouse(aboutInput, button, state, x, y); }
static void aboutMotion(int x, int y) { templateMotion(aboutInput, x, y); }
static void aboutPassiveMotion(int x, int y) { templatePassiveMotion(aboutInput, x, y); }
static void drawAboutControls() { drawControl(&aboutState.closeButton); }
static void handleAboutAction() { templateHandleAction(aboutInput); }

static void displayAboutScreen()
{
    if (aboutState.phase == 0) {
        clearScreenMessages();
        setKeyboardFocus(&aboutState.closeButton);
        aboutState.phase = 1;
        return;
    }
    if (templateHasAction(aboutInput))
        handleAboutAction();

    clearScreenFrame();
    drawFrameAnimation(aboutState.frameCounter / 5);

    setColour(0, 0, 0, 0.4f);
    drawLargeText(aboutFont, "Tarnova", 130, 680);
    drawTitleRule();
    drawInfoPanel(aboutFont, "About");
    drawVersionLines(aboutFont);
    drawControlBox(aboutFont, "Close About-Box .........");
    drawAboutControls();
    finishScreenFrame(3, "About Tarnova");

    endScreenFrame(aboutState.frameCounter, 190);
}

const ScreenHandlers aboutScreenHandlers = {
    .create = createAboutControls,
    .keyboard = aboutKeyboard,
    .specialKey = aboutSpecialKey,
    .mouse = aboutMouse,
    .motion = aboutMotion,
    .passiveMotion = aboutPassiveMotion,
    .drawControls = drawAboutControls,
    .handleAction = handleAboutAction,
    .display = displayAboutScreen,
};
