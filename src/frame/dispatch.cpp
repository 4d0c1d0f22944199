#include "frame/dispatch.h"

#include "base/shared.h"
#include "frame/gl_draw.h"
#include "frame/picture_catalogue.h"
#include "base/stops.h"
#include "platform/memory.h"

#include <GL/freeglut.h>

uint8_t displayBusy = 0;

// The program's screen table lives above the toolkit (src/app), so start-up
// hands it in; until then no screen is served.
static const ScreenHandlers *noScreen(int32_t) { return nullptr; }
static ScreenLookup lookupScreen = noScreen;

void setScreenLookup(ScreenLookup lookup) { lookupScreen = lookup ? lookup : noScreen; }

const ScreenHandlers *currentScreenHandlers() { return lookupScreen(currentScreen); }

static void loadPixelProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, windowWidth, 0, windowHeight, 0, 16);
    glMatrixMode(GL_MODELVIEW);
}

void initProjection()
{
    glClear(GL_COLOR_BUFFER_BIT);
    loadPixelProjection();
}

void reshapeWindow(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
    if (glutGet(GLUT_WINDOW_DEPTH_SIZE) > 0) {
        // A resized depth buffer holds undefined values: clear it once more
        // to the far value (writes stay off, see createMainWindow).
        glDepthMask(GL_TRUE);
        glClear(GL_DEPTH_BUFFER_BIT);
        glDepthMask(GL_FALSE);
    }
    loadPixelProjection();
    glLoadIdentity();
    glutPostRedisplay();
}

void displayCurrentScreen()
{
    if (displayBusy) return; // a request during a frame is dropped, not queued
    displayBusy = 1;
    // No depth clear here: depth writes stay off (see createMainWindow), so
    // a clear of the depth buffer would write nothing yet cost a pass.
    int32_t id = currentScreen;
    if (id == quitScreenId) quitProgram();
    // Every screen frees its pictures and buffers when it is left; the first
    // frame of the next screen hands that memory back to the system.
    static int32_t lastDisplayed = -1;
    if (id != lastDisplayed) {
        if (lastDisplayed >= 0) returnFreeMemoryToSystem();
        lastDisplayed = id;
        forgetBackdropCopy();
        forgetKeptBox();
    }
    // Pictures a visit to the introduction handed back come back a few per
    // frame on the screens after it, between the readings of other packs.
    if (id != introLessonScreenId && !images6ReadingWaits()) readSomeImages6Pictures(images6PicturesPerFrame);
    if (const ScreenHandlers *h = lookupScreen(id); h && h->display) h->display();
    displayBusy = 0;
}

void keyboardCurrentScreen(unsigned char key, int x, int y)
{
    if (const ScreenHandlers *h = lookupScreen(currentScreen); h && h->keyboard) h->keyboard(key, x, y);
}

void specialKeyCurrentScreen(int key, int x, int y)
{
    if (const ScreenHandlers *h = lookupScreen(currentScreen); h && h->specialKey) h->specialKey(key, x, y);
}

void mouseCurrentScreen(int button, int state, int x, int y)
{
    // freeglut reports wheel steps as buttons 3..6; they would dismiss alerts
    // and close lists like a click, so they never reach the screens.
    if (button >= 3 && button <= 6) return;
    if (const ScreenHandlers *h = lookupScreen(currentScreen); h && h->mouse) h->mouse(button, state, x, y);
}

void motionCurrentScreen(int x, int y)
{
    if (const ScreenHandlers *h = lookupScreen(currentScreen); h && h->motion) h->motion(x, y);
}

void passiveMotionCurrentScreen(int x, int y)
{
    if (const ScreenHandlers *h = lookupScreen(currentScreen); h && h->passiveMotion) h->passiveMotion(x, y);
}

void ignoreWindowEntry(int) {}
