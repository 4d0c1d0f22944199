#include "lessons/stand_ins.h"
