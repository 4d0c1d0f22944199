// Screen 578 (stand-in until the replay itself is built): every entry goes
// straight back to the replay options, which show themselves again.
#include "replay/replay_screen.h"

#include "base/shared.h"
#include "replay/replay_options_screen.h"

static void displayReplayScreen()
{
    replayOptions.phase = 0;
    currentScreen = replayOptionsScreenId;
}

const ScreenHandlers replayScreenHandlers = {
    .create = nullptr,
    .keyboard = nullptr,
    .specialKey = nullptr,
    .mouse = nullptr,
    .motion = nullptr,
    .passiveMotion = nullptr,
    .drawControls = nullptr,
    .handleAction = nullptr,
    .display = displayReplayScreen,
};
