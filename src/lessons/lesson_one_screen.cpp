// Screen 17: the lesson-one screen and the Images36 pack.
#include "lessons/lesson_one_screen.h"

#include "frame/input_template.h"
#include "base/shared.h"
#include "frame/text.h"
#include "frame/texture_pack.h"

LessonOneState lessonOneState;
static int32_t lessonScreenFont = font9By15;

GLuint noteKeyPictures[images36SmallPictures];
GLuint optionsBackdrop = 0;
static bool images36Done = false;

constexpr int32_t pauseAction = 12;
constexpr int32_t stopAction = 14;

static TemplateControl lessonOneControls[] = {
    {&lessonOneState.stopControl, 0, 0, stopAction, 0, "Release Button to quit exercise", "Click to finish exercise", 0},
    {&lessonOneState.pauseControl, 0, 0, pauseAction, 0, "Release Button to continue exercise",
     "Click to continue exercise", 0},
};

// The handlers act in state 0, the only state the screen has; its actions
// are recorded but never run.
static const ScreenInput lessonOneInput = {
    .controls = lessonOneControls,
    .controlCount = 2,
    .pending = &lessonOneState.pendingAction,
    .deferred = &lessonOneState.deferredAction,
    .phase = &lessonOneState.phase,
    .runningPhase = 0,
};

bool images36Loaded() { return images36Done; }

bool loadImages36Step(int32_t step)
{
    if (images36Done) return true;
    if (step == 0) {
        openTexturePack(userDataDirAlt + "images.prod\\Images36");
    } else if (step >= 1 && step <= images36SmallPictures) {
        noteKeyPictures[step - 1] = loadNextTexture(images36PictureSize, images36PictureSize, 0, 1);
    } else if (step == images36SmallPictures + 1) {
        optionsBackdrop = loadNextTexture(optionsBackdropSize, optionsBackdropSize, 0, 1);
    } else if (step == images36SmallPictures + 2) {
        closeTexturePack();
        images36Done = true;
        return true;
    }
    return false;
}

void setUpLessonOneScreen()
{
    lessonOneState.phase = 0;
    initControl(&lessonOneState.pauseControl,
                {.kind = kindPushButton, .left = 700, .right = 785, .bottom = 40, .top = 60, .value = 1,
                 .caption = "Pause"});
    initControl(&lessonOneState.stopControl,
                {.kind = kindPushButton, .left = 640, .right = 689, .bottom = 40, .top = 60, .value = 1,
                 .caption = "Stop", .previous = &lessonOneState.pauseControl});
    lessonScreenFont = font9By15;
    for (int32_t step = 0; !loadImages36Step(step); ++step) {
    }
}

static void lessonOneKeyboard(unsigned char key, int x, int y) { templateKeyboard(lessonOneInput, key, x, y); }
static void lessonOneSpecialKey(int key, int x, int y) { templateSpecialKey(lessonOneInput, key, x, y); }
static void lessonOneMouse(int button, int state, int x, int y) { templateMouse(lessonOneInput, button, state, x, y); }
static void lessonOneMotion(int x, int y) { templateMotion(lessonOneInput, x, y); }
static void lessonOnePassiveMotion(int x, int y) { templatePassiveMotion(lessonOneInput, x, y); }
static void drawLessonOneControls() { templateDrawControls(lessonOneInput); }
static void displayLessonOneScreen() {} // state 0: no drawing, no buffer swap

const ScreenHandlers lessonOneScreenHandlers = {
    .create = setUpLessonOneScreen,
    .keyboard = lessonOneKeyboard,
    .specialKey = lessonOneSpecialKey,
    .mouse = lessonOneMouse,
    .motion = lessonOneMotion,
    .passiveMotion = lessonOnePassiveMotion,
    .drawControls = drawLessonOneControls,
    .handleAction = nullptr,
    .display = displayLessonOneScreen,
};
