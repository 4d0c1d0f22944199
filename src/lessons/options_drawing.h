// The options screen's frames (GL): the dialog with its note keys, chosen
// tiles and option labels, and the sung-note check on the grand staff.
#pragma once
#include <cstdint>

// One frame of state 1..4 at its frame count, ending with the buffer swap.
void drawOptionsFrame(int32_t state, int32_t frame);
