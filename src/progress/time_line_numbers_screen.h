// Screen 575, the time-line numbers: per training day of the current user
// the date, the day's counts and, for one lesson at a time, each trained
// note's mean and standard deviation; and the export form, whose Export
// writes the statistics file after a save dialog.
#pragma once
#include <cstdint>
#include <string>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers timeLineNumbersScreenHandlers;

// The controls, in creation order.
enum TimeLineNumbersControl : int32_t {
    tlnPreviousPage, tlnNextPage, tlnPreviousDates, tlnNextDates, tlnExport, tlnMale, tlnFemale, tlnAge,
    tlnExperience, tlnYears, tlnReport1, tlnReport2, tlnReport3, tlnReport4, tlnReason1, tlnReason2, tlnReason3,
    tlnReason4, tlnReason5, tlnReason6, tlnQuit, tlnControlCount
};

// The screen's state, for tests.
struct TimeLineNumbersState {
    int32_t phase = 0; // 0 entering, 1 statistics page, 2 export form
    int32_t shownLessonBlock = 1; // 1..554
    int32_t datePage = 1; // 1..5
    int32_t frameCounter = 0;
    int32_t experienceIndex = 0; // 0..7
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord controls[tlnControlCount];
};
extern TimeLineNumbersState timeLineNumbersState;
