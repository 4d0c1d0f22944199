#include "lessons/lesson_menu_panels.h"

#include <cstdio>

#include "base/rounding.h"
#include "lessons/delay_dial.h"
#include "lessons/lesson_params.h"
#include "music/note_labels.h"
#include "store/users_file.h"

static bool numberedLesson(int32_t lesson) { return lesson >= 3 && lesson <= lastParamsLesson; }

std::string lessonDelayText(int32_t lesson)
{
    const double ms = numberedLesson(lesson) ? lessonParamsTable[lesson].delayMs : 0.0;
    char text[64];
    std::snprintf(text, sizeof text, "Delay %.1f sec", ms / 1000.0);
    return text;
}

std::string lessonSubtitle(int32_t lesson)
{
    if (lesson == 1) return "Explanations";
    if (lesson == 2) return "Select Notes";
    return lessonDelayText(lesson);
}

void drawLessonParameters(ImmediateDraw &draw, int32_t lesson)
{
    if (!numberedLesson(lesson)) return;
    const LessonParams &p = lessonParamsTable[lesson];
    draw.colour(0, 0, 0, 0.4f);
    draw.text(DrawnText::large, 2, lessonDelayText(lesson), 50, 637);
    draw.text(DrawnText::large, 2, std::to_string(p.noteCount) + " Notes", 50, 662);
    draw.text(DrawnText::large, 2, "max. Tol. " + std::to_string(roundToInt32(p.maxTolCents)) + " cents", 910, 662);
    draw.text(DrawnText::large, 2, "max. Dev. " + std::to_string(roundToInt32(p.maxDevCents)) + " cents", 910, 637);

    // A scale: two arrows from the zero line, then the limits as lines to the chart's side.
    auto scale = [&](int32_t style, int32_t arrowX, int32_t lineX, double cents) {
        const int32_t reach = roundToInt32(0.6 * cents);
        drawStyledArrow(draw, style, arrowX, 659, arrowX, 659 + reach, 2);
        drawStyledArrow(draw, style, arrowX, 659, arrowX, 659 - reach, 2);
        draw.line(lineX, 659 + reach, 825, 659 + reach, -6);
        draw.line(lineX, 659 - reach, 825, 659 - reach, -6);
    };
    scale(6, 895, 900, p.maxTolCents);
    scale(5, 885, 890, p.maxDevCents);
    draw.colour(0, 0, 0, 0.4f);
}

std::array<std::string, chartRows> lessonNoteColumn(int32_t lesson, int32_t highestPassed, LessonBlockReader read,
                                                    int32_t key)
{
    std::array<std::string, chartRows> column = {"Do", "Ti", "La", "So", "Fa", "Mi", "Re", "Do"};
    if (highestPassed < 2 || lesson <= 1 || lesson > lastParamsLesson) return column;
    LessonBlock block = emptyLessonBlock();
    if (lesson == 2) {
        read(key, 0, block);
        for (int32_t row = 0; row < chartRows; ++row) column[row] = solfegeName(false, block.slots[row].note);
        return column;
    }
    findPreviousResults(read, key, lesson, block);
    LessonBlock ordered = block;
    // A result with fewer notes than the lesson trains has no order; its
    // notes are shown as they stand.
    if (!orderNotesToTrain(block, lessonParamsTable[lesson].noteCount, ordered)) ordered = block;
    for (int32_t row = 0; row < chartRows; ++row)
        column[row] = solfegeName(false, ordered.slots[chartRowSlot[row] - 1].note);
    return column;
}

void drawLessonMenuPanels(ImmediateDraw &draw, const LessonMenuPanelInput &in)
{
    const int32_t lesson = in.lesson;

    // The picture lies under everything (drawing order decides what covers what).
    if (in.picture != 0) {
        draw.colour(1, 1, 1, 0.4f);
        draw.backdropPicture(in.picture, -80, 76, 944, 1100, -8);
    }
    drawChartDivider(draw);

    draw.colour(0, 0, 0, 0.4f);
    draw.text(DrawnText::normal, 2, "User:", 30, 735);
    draw.text(DrawnText::normal, 2, in.userName, 90, 735);
    draw.text(DrawnText::normal, 2, "Tessitura:", 300, 735);
    draw.text(DrawnText::normal, 2, tessituraName(in.tessitura), 400, 735);
    draw.colour(0.5f, 0.5f, 0.1f, 0.4f);
    draw.line(25, 728, 985, 728, -6);

    drawLessonDial(draw, lesson);

    draw.colour(0, 0, 0, 0.4f);
    const char *title = lesson >= 0 && lesson <= 557 ? lessonTitleTable[lesson] : "";
    draw.text(DrawnText::large, 2, title, 940, 227);
    draw.text(DrawnText::large, 2, lessonSubtitle(lesson), 940, 202);

    drawLessonParameters(draw, lesson);

    const ChartColour black = {0, 0, 0, 0.4f};
    drawProgrammeChart(draw, lesson, in.column, black, black);
}
