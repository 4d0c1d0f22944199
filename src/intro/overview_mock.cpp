#include "intro/overview_mock.h"

#include "frame/immediate_draw.h"
#include "intro/intro_lesson_screen.h"
#include "intro/intro_slides.h"
#include "intro/speech_bubbles.h"
#include "lessons/delay_dial.h"
#include "lessons/lesson_menu_panels.h"
#include "lessons/lesson_params.h"
#include "lessons/programme_chart.h"

void drawTrainingOverviewMock(ImmediateDraw &draw, bool showTitle, int32_t lesson)
{
    if (lesson < 1 || lesson > lastParamsLesson) return;
    drawDiagramPicture(draw, 1, 0, 0);
    drawLessonDial(draw, lesson); // leaves (0, 0, 0, 0.4), the hands' colour
    if (showTitle) draw.text(DrawnText::large, introLessonFont, lessonTitleTable[lesson], 940, 227);
    if (lesson != 1 || showTitle) draw.text(DrawnText::large, introLessonFont, lessonSubtitle(lesson), 940, 202);
    drawLessonParameters(draw, lesson);
    static const std::array<std::string, chartRows> labels = {"Do", "Ti", "La", "So", "Fa", "Mi", "Re", "Do"};
    drawProgrammeChart(draw, lesson, labels, {0, 0, 0, 0.4f}, {0.5f, 0.5f, 0.1f, 0.4f});
    if (showTitle) {
        if (lesson > 1) draw.control(&introLesson.mockPrev);
        if (lesson < lastParamsLesson) draw.control(&introLesson.mockNext);
        draw.control(&introLesson.mockStartLesson);
    }
}

void drawMockNextPressed(ImmediateDraw &draw)
{
    draw.colour(0, 0.549f, 0, 1);
    draw.quad(870, 172, 930, 190, -8);
}

void drawMockStartLessonPressed(ImmediateDraw &draw)
{
    draw.colour(0, 0.549f, 0, 1);
    draw.quad(940, 172, 1060, 190, -8);
}
