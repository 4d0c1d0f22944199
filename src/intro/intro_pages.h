// The page content of the introduction's topics beyond the teacher and the
// speech bubbles: slides, staves, pictures, definition panels, the overview
// mock with its button presses, travelling icons, word cards, the day chart
// and the closing title, chosen by step. The sample exercise's pages (topics
// 5 to 7 and topic 4's hand-over from step 8302) are drawn by sample_pages.h.
#pragma once
#include <cstdint>

#include "intro/intro_tables.h"

struct ImmediateDraw;

// The screen's drawRowExtras hook: draws into the screen's facade (the
// sample's rows into the sample pages' own).
void drawIntroRowExtras(ImmediateDraw &draw, const IntroPageRow &row, int32_t step);
// The same for a given facade (topics 1 to 4, 8 and 9).
void drawIntroPageExtras(ImmediateDraw &draw, int32_t topic, int32_t step);
// The overview mock's lesson at a step of topic 4's walk through the lessons
// (0 where no mock is drawn).
int32_t topic4MockLesson(int32_t step);
