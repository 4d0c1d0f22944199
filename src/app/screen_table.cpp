// Which module serves which ScreenId. Add one line per screen module.
#include "app/screen_table.h"
#include "app/about_screen.h"
#include "app/unsupported_screen.h"
#include "app/loading_screen.h"
#include "progress/setup_screen.h"
#include "progress/user_management_screen.h"
#include "progress/note_statistics_screen.h"
#include "progress/time_line_graph_screen.h"
#include "progress/time_line_numbers_screen.h"
#include "progress/score_overview_screen.h"
#include "intro/intro_lesson_screen.h"
#include "lessons/exercise_screen.h"
#include "lessons/lesson_loader.h"
#include "lessons/options_screen.h"
#include "lessons/lesson_info_screens.h"
#include "lessons/lesson_one_screen.h"
#include "lessons/lesson_menu_screen.h"
#include "replay/replay_options_screen.h"
#include "replay/replay_screen.h"

const ScreenTableEntry screenTable[] = {
    {loadingScreenId, loadingScreenId, &loadingScreenHandlers},
    {unsupportedDeviceScreenId, unsupportedDeviceScreenId, &unsupportedScreenHandlers},
    {setupScreenId, setupScreenId, &setupScreenHandlers},
    {userManagementScreenId, userManagementScreenId, &userManagementScreenHandlers},
    {aboutScreenId, aboutScreenId, &aboutScreenHandlers},
    {lessonMenuScreenId, lessonMenuScreenId, &lessonMenuScreenHandlers},
    {introLessonScreenId, introLessonScreenId, &introLessonScreenHandlers},
    {lessonLoaderScreenId, lessonLoaderScreenId, &lessonLoaderScreenHandlers},
    {exerciseOptionsScreenId, exerciseOptionsScreenId, &exerciseOptionsScreenHandlers},
    {lessonOverviewScreenId, lessonOverviewScreenId, &lessonOverviewScreenHandlers},
    {exerciseInfoScreenId, exerciseInfoScreenId, &exerciseInfoScreenHandlers},
    {exerciseSampleScreenId, exerciseSampleScreenId, &exerciseSampleScreenHandlers},
    {lessonOneScreenId, lessonOneScreenId, &lessonOneScreenHandlers},
    {firstExerciseScreenId, lastExerciseScreenId, &exerciseScreenHandlers},
    {noteStatisticsScreenId, noteStatisticsScreenId, &noteStatisticsScreenHandlers},
    {timeLineGraphScreenId, timeLineGraphScreenId, &timeLineGraphScreenHandlers},
    {timeLineNumbersScreenId, timeLineNumbersScreenId, &timeLineNumbersScreenHandlers},
    {scoreOverviewScreenId, scoreOverviewScreenId, &scoreOverviewScreenHandlers},
    {replayOptionsScreenId, replayOptionsScreenId, &replayOptionsScreenHandlers},
    {replayScreenId, replayScreenId, &replayScreenHandlers},
};
const int screenTableSize = sizeof(screenTable) / sizeof(screenTable[0]);

const ScreenHandlers *screenHandlersFor(int32_t id)
{
    for (int i = 0; i < screenTableSize; ++i)
        if (screenTable[i].handlers && id >= screenTable[i].firstId && id <= screenTable[i].lastId)
            return screenTable[i].handlers;
    return nullptr;
}
