// The animated copy of the training-overview screen that the introduction's
// pages talk over: the screen's background picture, the chosen lesson's title
// and parameters, a stopwatch showing its delay, the chart of the curriculum
// with a red marker at the lesson, and the screen's Prev, Next and
// StartLesson buttons (drawn only, never hit-tested).
#pragma once
#include <cstdint>
#include <string>

struct ImmediateDraw;

// Lesson L (1 the introduction, 2..556 the numbered lessons).
void drawTrainingOverviewMock(ImmediateDraw &draw, bool showTitle, int32_t lesson);
// The delay dial alone, centre (532, 238).
void drawLessonDelayStopwatch(ImmediateDraw &draw, int32_t lesson);
// Dark-green boxes over the mock's Next and StartLesson buttons.
void drawMockNextPressed(ImmediateDraw &draw);
void drawMockStartLessonPressed(ImmediateDraw &draw);

// The dial's sector in units of 3 degrees (s) and minute hand (v) for lessons 3..556.
struct DelayDialUnits {
    int32_t sector;
    int32_t minuteHand;
};
DelayDialUnits delayDialUnits(int32_t lesson);
// The red marker's x for lessons 1..556; its top y (bottom 160); 0 for no marker.
int32_t lessonMarkerX(int32_t lesson);
int32_t lessonMarkerTop(int32_t lesson);
// "Delay 1.5 sec" for a delay in milliseconds.
std::string delayText(double delayMs);
