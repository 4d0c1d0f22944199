// The time line: per user up to 100 training days, each holding the lesson
// results reached on that calendar day ("ResourceFiles\TimeLine", 20 blocks of
// 100 days, saved together with the users file by saveUsersFiles in
// user_actions.h).
//
// Memory keeps only days that differ from an empty day, and only of the
// user whose days were needed last (see loadTimeLineFile). Read days through
// timeLineDay; change them only through editTimeLineDay (or the operations
// below), which marks the time line as changed so that the next save writes
// it. A day's reference stays valid until another user's time line is read.
#pragma once
#include <cstdint>
#include <string>

#include "store/store_io.h"
#include "store/store_records.h"

// The stored day (or a shared empty day). Slot 0..19, day 0..99.
const TimeLineDay &timeLineDay(int32_t slot, int32_t day);
// Write access to a day; marks the time line changed.
TimeLineDay &editTimeLineDay(int32_t slot, int32_t day);
// The date of a day, without reading the day's blocks.
double timeLineDate(int32_t slot, int32_t day);
// True while a day differs from what the file holds.
bool timeLineChanged();

// timeLineFull := 0 and all 100 days of the slot empty; no save.
void resetUserTimeLine(int32_t slot);
// Puts the block into today's training day of the slot (the day dated today,
// else the first empty day, else the oldest day is dropped and day 99 is
// used). True exactly when day 99 is taken into use while timeLineFull was 0
// (the flag is then set). No save: addTimeLineEntry (user_actions.h) saves.
bool placeTimeLineEntry(int32_t slot, int32_t blockIndex, const LessonBlock &block);
// days := training days (0..100); successes and misses are always 0.
void countTrainingDays(int32_t key, int32_t &days, int32_t &successes, int32_t &misses);
// The date of day d as "5-May-00".
void formatTimeLineDate(int32_t key, int32_t day, std::string &text);

// Calendar days as whole days since 30 December 1899 (proleptic Gregorian).
int32_t dayNumberFromDate(int32_t year, int32_t month, int32_t dayOfMonth);
void dateFromDayNumber(int32_t dayNumber, int32_t &year, int32_t &month, int32_t &dayOfMonth);
// "31-Dec-19" for a day number.
std::string formatDayNumber(double dayNumber);

// Today's local date as a day number. Tests replace the clock with a
// function of their own; nullptr restores the clock.
using TodayFunction = int32_t (*)();
void setTodayFunction(TodayFunction today);
int32_t todayDayNumber();

// The time-line file's name below ResourceFiles.
constexpr const char *timeLineFileName = "TimeLine";

// A day in use that breaks what the format fixes (stop 3271).
constexpr int32_t stopTimeLineDamaged = 3271;
// What the format fixes of a day in use: a whole-day date from 1 January
// 1900 to 31 December 2199; in every block notes 0..74, finite means and
// deviations, the done and passed flags 0 or 1. "" when it holds, else the
// field and value that do not.
std::string timeLineDayFault(const TimeLineDay &day);
// Days held in memory now (tests: a start holds none, a read user's days
// replace the last one's).
int32_t timeLineDaysInMemory();

// Used by the actions that read and write it with the users file
// (user_actions.cpp).
// Opens the file and checks its size; no day is read. A user's 100 dates are
// read when something first needs that user's time line, each day in use
// whole when it is first needed (timeLineDay, editTimeLineDay, the operations
// above), each checked by timeLineDayFault; a day with the empty date is the
// empty day in memory (its bytes on disk are left as they are until the day
// is written). Reading another user's dates drops the last one's days unless
// they wait for a save. Every read ends the program on open or read errors
// and on a file of any other size (stop 3256), and on a damaged date or day
// in use with a debug line naming the file, the user and the day (stop 3271).
void loadTimeLineFile(const std::string &path);
// Stages every changed day into the open transaction (store_io.h).
void stageTimeLineChanges();
// Writes all 20 x 100 days of a new file; false when a write failed.
bool writeTimeLineBody(AtomicWrite &w);
// After a new file was written: nothing differs from it.
void clearTimeLineChanged();
// The days of fromSlot go to toSlot; fromSlot is left with empty days.
void moveTimeLine(int32_t fromSlot, int32_t toSlot);
// True when the open file is a whole time line of empty days only, as a
// first use writes it.
bool timeLineFileIsEmpty(int fd);
