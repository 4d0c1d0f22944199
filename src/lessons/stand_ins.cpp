#include "lessons/stand_ins.h"

void enterLessonMenu() {}
