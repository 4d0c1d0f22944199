#include "lessons/stand_ins.h"

void setUpExerciseOptions() {}

void enterLessonMenu() {}
