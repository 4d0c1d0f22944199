// Screen 12: the entry decision of the exercise options.
#include "lessons/options_screen.h"

#include "frame/controls.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "frame/text.h"
#include "frame/timer.h"
#include "lessons/exercise_screen.h"
#include "lessons/lesson_state.h"
#include "progress/store_records.h"
#include "progress/users_file.h"

int32_t optionsProgress = 0;
int32_t optionsFrameCount = -1;
int32_t optionsFont = font9By15;
uint8_t alwaysShowOptions = 0;

static void noFocusTarget() {}

static const OptionsScreenHooks realHooks = {
    .startExercise = startExerciseScreen,
    .restartClock = restartFreeGrid,
    .focusGoButton = noFocusTarget, // the dialog's Go button comes with the dialog
};
static OptionsScreenHooks hooks = realHooks;

const OptionsScreenHooks &realOptionsScreenHooks() { return realHooks; }
void setOptionsScreenHooks(const OptionsScreenHooks &h) { hooks = h; }

void enterOptionsScreenAtEntry()
{
    optionsProgress = 0;
    optionsFont = font9By15;
}

int32_t lessonTwoNotesStored(int32_t userKey)
{
    LessonBlock block{};
    getUserLessonBlock(userKey, 0, block);
    int32_t count = 0;
    for (const NoteSlot &slot : block.slots)
        if (slot.note != emptyNoteIndex) ++count;
    return count;
}

// Until the dialog exists, a lesson that needs it goes back to the lesson menu.
static void openDialog()
{
    optionsProgress = 0;
    currentScreen = lessonMenuScreenId;
}

static void optionsEntryFrame()
{
    hooks.restartClock();
    hintLine.clear();
    promptLine.clear();
    showAlert("", "", "");
    hooks.focusGoButton();
    alertKind = 0;

    const int32_t L = currentLesson;
    if (alwaysShowOptions) openDialog();
    else if (L == 2) openDialog();
    else if (L >= 3 && L <= 256) {
        if (lessonTwoNotesStored(currentUserKey) == 8) hooks.startExercise();
        else openDialog();
    } else {
        hooks.startExercise();
    }
}

static void displayOptionsScreen()
{
    if (optionsProgress == 0) optionsEntryFrame(); // nothing is drawn
}

const ScreenHandlers exerciseOptionsScreenHandlers = {
    .create = nullptr,
    .keyboard = nullptr,
    .specialKey = nullptr,
    .mouse = nullptr,
    .motion = nullptr,
    .passiveMotion = nullptr,
    .drawControls = nullptr,
    .handleAction = nullptr,
    .display = displayOptionsScreen,
};
