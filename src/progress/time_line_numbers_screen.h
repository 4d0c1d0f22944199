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

void createTimeLineNumbersControls();
int32_t resetTimeLineNumbersControls(ControlRecord *control);
void timeLineNumbersKeyboard(unsigned char key, int x, int y);
void timeLineNumbersSpecialKey(int key, int x, int y);
void timeLineNumbersMouse(int button, int state, int x, int y);
void timeLineNumbersMotion(int x, int y);
void timeLineNumbersPassiveMotion(int x, int y);
void drawTimeLineNumbersControls();
void drawTimeLineExportControls();
void handleTimeLineNumbersAction();
void displayTimeLineNumbersScreen();
void drawTimeLineRow(int32_t block, int32_t day, int32_t rowY);

// State, for tests.
extern int32_t timeLineNumbersPhase; // 0 entering, 1 statistics page, 2 export form
extern int32_t shownLessonBlock;     // 1..554
extern int32_t timeLineDatePage;     // 1..5
extern int32_t timeLineNumbersFrame;
extern int32_t experienceIndex;      // 0..7
extern int32_t timeLineNumbersPendingAction;
extern int32_t timeLineNumbersDeferredAction;

// The controls, in creation order.
enum TimeLineNumbersControl : int32_t {
    tlnPreviousPage, tlnNextPage, tlnPreviousDates, tlnNextDates, tlnExport, tlnMale, tlnFemale, tlnAge,
    tlnExperience, tlnYears, tlnReport1, tlnReport2, tlnReport3, tlnReport4, tlnReason1, tlnReason2, tlnReason3,
    tlnReason4, tlnReason5, tlnReason6, tlnQuit, tlnControlCount
};
extern ControlRecord timeLineNumbersControls[tlnControlCount];
