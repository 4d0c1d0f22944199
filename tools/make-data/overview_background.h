// The lesson menu's background (Images51's first picture), which the
// introductory lesson also shows behind its copy of that screen.
#pragma once
#include "picture_canvas.h"

// 1024 x 1024. The menu lays it over the window from (-80, 76) to
// (944, 1100), so window pixel (x, y) (y up) shows picture pixel
// (x + 80, 1100 - y); only x 80..1023 and rows 335..1023 are ever seen.
Canvas overviewBackground();
