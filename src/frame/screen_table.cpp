// Which module serves which ScreenId. Add one line per screen module.
#include "frame/screens.h"
#include "frame/about_screen.h"
#include "frame/unsupported_screen.h"
#include "frame/loading_screen.h"
#include "progress/setup_screen.h"
#include "progress/user_management_screen.h"
#include "progress/note_statistics_screen.h"
#include "progress/time_line_graph_screen.h"
#include "progress/time_line_numbers_screen.h"
#include "progress/score_overview_screen.h"
#include "intro/intro_lesson_screen.h"

const ScreenTableEntry screenTable[] = {
    {0, 0, &loadingScreenHandlers},
    {1, 1, &unsupportedScreenHandlers},
    {2, 2, &setupScreenHandlers},
    {3, 3, &userManagementScreenHandlers},
    {4, 4, &aboutScreenHandlers},
    {8, 8, &introLessonScreenHandlers},
    {573, 573, &noteStatisticsScreenHandlers},
    {574, 574, &timeLineGraphScreenHandlers},
    {575, 575, &timeLineNumbersScreenHandlers},
    {576, 576, &scoreOverviewScreenHandlers},
};
const int screenTableSize = sizeof(screenTable) / sizeof(screenTable[0]);

const ScreenHandlers *screenHandlersFor(int32_t id)
{
    for (int i = 0; i < screenTableSize; ++i)
        if (screenTable[i].handlers && id >= screenTable[i].firstId && id <= screenTable[i].lastId)
            return screenTable[i].handlers;
    return nullptr;
}
