// The score view of the replay: the lesson's staff with its notes, the sung
// pitch, the play cursor, the scroll indicator, the baton curve and the
// scores box, drawn at the values of replay_view.h and replay_state.h.
#pragma once
#include "frame/immediate_draw.h"

void drawScoreView(ImmediateDraw &draw);
