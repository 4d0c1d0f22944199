// STAND-IN until the exercise screen is merged (delete this file then): it
// only switches to the current lesson's exercise screen, so the road from the
// lesson loader through the options screen can be followed.
#include "frame/screens.h"
#include "frame/shared.h"
#include "lessons/exercise_screen.h"
#include "lessons/lesson_state.h"

int32_t exerciseStartStandInCalls = 0;

void startExerciseScreen()
{
    ++exerciseStartStandInCalls;
    currentScreen = currentLesson + lessonScreenOffset;
}
