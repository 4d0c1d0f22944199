// The overview the lesson menu draws around its buttons every frame: the
// user line, the menu picture, the delay dial, the shown lesson's title and
// parameters with the two limit scales, and the programme chart with the
// syllables of the notes the lesson will train. Everything is computed from
// the arguments; drawn through the immediate-mode facade.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "frame/immediate_draw.h"
#include "lessons/note_ordering.h"
#include "lessons/programme_chart.h"

// "Delay 1.5 sec": a numbered lesson's delay in seconds with one decimal.
std::string lessonDelayText(int32_t lesson);
// The line under the title: "Explanations" for lesson 1, "Select Notes" for
// lesson 2, the delay text otherwise.
std::string lessonSubtitle(int32_t lesson);

// For lessons above 2: the delay and note count at the left, "max. Tol." and
// "max. Dev." at the right, and their two scales around y 659 (0.6 pixels
// per cent; olive arrows for the tolerance, dark green for the deviation).
// Leaves the colour black at alpha 0.4. Nothing for lessons 1 and 2.
void drawLessonParameters(ImmediateDraw &draw, int32_t lesson);

// The syllables of the chart's rows, top to bottom, for `lesson` and a user
// whose highest passed lesson is `highestPassed`: the fixed scale "Do" .. "Do"
// before lesson 2 is passed (and for lesson 1); for lesson 2 the user's eight
// chosen notes in slot order; from lesson 3 on the notes the lesson will
// train, in the exercise's order (the nearest earlier lesson with a result
// decides), slots 7, 5, 3, 2, 1, 4, 6, 8 from the top.
std::array<std::string, chartRows> lessonNoteColumn(int32_t lesson, int32_t highestPassed, LessonBlockReader read,
                                                    int32_t key);

struct LessonMenuPanelInput {
    int32_t lesson = 1; // the shown lesson, 1..556
    std::string userName;
    int32_t tessitura = 0;
    uint32_t picture = 0; // the menu picture's texture; 0 draws none
    std::array<std::string, chartRows> column;
};

// One frame's panels in their drawing order (the frame is begun by the caller).
void drawLessonMenuPanels(ImmediateDraw &draw, const LessonMenuPanelInput &in);
