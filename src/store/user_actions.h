// The user-level actions that write more than one store file: the users file
// with its time line (always one transaction), and the score file. Each
// action's changes reach the disk all or none (store_io.h); the file modules
// below (users_file, time_line, score_file) do not call each other, they are
// put together here.
#pragma once
#include <cstdint>
#include <string>

#include "store/store_io.h"
#include "store/store_records.h"

// First use: builds all 20 records (administrator in slot 0, scrambled
// password in slot 10) and writes the users and time-line files.
void createUsersFiles(const std::string &adminName, const std::string &adminPassword);
// Reads both files into memory and rebuilds usedUserKeys. A users file that
// breaks what the format fixes ends in stop 3269 (usersImageFault).
void loadUsersFiles();
// Writes the changed bytes of the users file and the changed days of the
// time line as one transaction (the group's, inside a store update group).
void saveUsersFiles();
// For setStoreFilesAsideBeforeSetup (store_io.h): true when the open store
// file holds only what a new one does (empty time-line days, a new score
// file), so a setup may replace it instead of keeping it aside.
bool storeFileHoldsNoData(const char *resourceName, int fd);

// Resets the slot's tallies and its time line; no save.
void resetUserStatistics(int32_t slot);
// New user in the first free slot; returns the new key, 0 when full. Saves.
int32_t addUser(const std::string &name);
// False (nothing saved) when no slot holds the key. Saves on success.
bool setUserTessitura(int32_t key, int32_t tessitura);
// Removes the user, closes the gap among slots 1..5 (each later user moves
// up with its time line), moves the key's lesson bests to the remaining
// users; saves users, time line and scores. A key no user holds changes
// nothing. Returns true.
bool deleteUser(int32_t key);
void setUserCurrentLesson(int32_t key, int32_t lesson); // saves
void setUserLessonBlock(int32_t key, int32_t blockIndex, const LessonBlock &block); // saves

// Stores the block into today's training day (placeTimeLineEntry). True
// exactly when day 99 is taken into use while timeLineFull was 0. Saves once.
bool addTimeLineEntry(int32_t key, int32_t blockIndex, const LessonBlock &block);
// timeLineFull := flag; saves.
void setTimeLineFullFlag(int32_t key, uint8_t flag);

// The last lesson an exercise can make current.
constexpr int32_t lastStoredLesson = 556;
// The end of an exercise lesson, one store update: a passed lesson makes the
// next one current (the last stays current), the results become the lesson's
// block and today's time-line entry. True when that entry took the hundredth
// training day into use. `commit` as endStoreUpdate's (store_io.h): memory
// holds the results when it returns either way.
bool storeLessonResult(int32_t key, int32_t lesson, const LessonBlock &results, bool passed,
                       StoreCommit commit = StoreCommit::now);
