// The names of the screens: `currentScreen` holds one of these.
#pragma once
#include <cstdint>

// Every screen the program has, by the value `currentScreen` holds. Ids that
// no table row serves (5, 7, 9, 10, 13, 572 and anything outside 0..579) draw
// nothing and ignore input.
enum ScreenId : int32_t {
    loadingScreenId = 0,
    unsupportedDeviceScreenId = 1,
    setupScreenId = 2,
    userManagementScreenId = 3,
    aboutScreenId = 4,
    lessonMenuScreenId = 6,
    introLessonScreenId = 8,
    lessonLoaderScreenId = 11,
    exerciseOptionsScreenId = 12,
    lessonOverviewScreenId = 14,
    exerciseInfoScreenId = 15,
    exerciseSampleScreenId = 16,
    lessonOneScreenId = 17,        // lesson index 2: created and dispatched, never leaves state 0
    firstExerciseScreenId = 18,    // lesson index 3 (screen = lesson index + 15)
    lastExerciseScreenId = 571,    // lesson index 556
    afterLastLessonScreenId = 572, // lesson index 557: no procedures
    noteStatisticsScreenId = 573,
    timeLineGraphScreenId = 574,
    timeLineNumbersScreenId = 575,
    scoreOverviewScreenId = 576,
    replayOptionsScreenId = 577,
    replayScreenId = 578,
    quitScreenId = 579,            // the next frame ends the program normally
};
// The screen of a lesson index (2..557): lesson index + 15.
constexpr int32_t lessonScreenOffset = 15;
