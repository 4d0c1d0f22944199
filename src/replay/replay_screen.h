// Screen 578, the replay of the last recording. For now a stand-in that
// returns at once to the replay options (577), as the replay does at the end
// of a recording.
#pragma once
#include "frame/screens.h"

extern const ScreenHandlers replayScreenHandlers;
