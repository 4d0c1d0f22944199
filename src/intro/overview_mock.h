// The animated copy of the training-overview screen that the introduction's
// pages talk over: the screen's background picture, the chosen lesson's title
// and parameters, the delay dial, the chart of the curriculum with a red
// marker at the lesson (the lesson menu's own dial, parameters and chart), and
// the screen's Prev, Next and StartLesson buttons (drawn only, never
// hit-tested).
#pragma once
#include <cstdint>

struct ImmediateDraw;

// Lesson L (1 the introduction, 2..556 the numbered lessons).
void drawTrainingOverviewMock(ImmediateDraw &draw, bool showTitle, int32_t lesson);
// Dark-green boxes over the mock's Next and StartLesson buttons.
void drawMockNextPressed(ImmediateDraw &draw);
void drawMockStartLessonPressed(ImmediateDraw &draw);
