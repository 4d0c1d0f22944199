// The users file ("ResourceFiles\UsersFile", 20 records): its image of the
// in-memory mirror (user_table.h), what it checks when it is read, and the
// per-user reads. It is saved together with the time-line file as one
// transaction; the actions that write both (and the score file) are in
// user_actions.h.
//
// Memory is the master copy; userRecords mirrors the file slot by slot. Other
// modules reach a user through a UserKey (1..10); only slots 0..9 are searched.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "store/store_io.h"
#include "store/store_records.h"
#include "store/user_table.h"

// A users file that exists but cannot be examined or opened: never first use.
constexpr int32_t stopUsersFileUnreadable = 3269;

// Decides first use at start. True only when the users file does not exist
// or is 0 bytes long. A users file that exists but cannot be examined or
// opened ends the program (stop 3269) without touching any file: setting up
// anew would overwrite every user's time line and scores.
bool usersFileNeedsFirstUse();

// What the format fixes of a users file image, checked and nothing stricter:
// reserved slots 6..19 carry their fixed keys; slots 0..5 are free (key 0,
// current lesson 0) or a user (name length <= 40, key 1..10 unique among the
// users, tessitura 0..3, current lesson 1..557); the flags (timeLineFull, and
// each lesson block's done and passed bytes) 0 or 1.
// "" when it holds, else the slot, field and value that do not.
std::string usersImageFault(const std::vector<uint8_t> &image);
// The users file's name below ResourceFiles.
constexpr const char *usersFileName = "UsersFile";
// The users file as the mirror makes it now.
std::vector<uint8_t> usersFileImage();
// Reads the users file into the mirror and rebuilds usedUserKeys. A file
// that breaks what the format fixes ends in stop 3269 (usersImageFault).
void loadUsersFile();
// The file now holds `image` (after it was written whole).
void usersFileWritten(std::vector<uint8_t> image);
// Stages the changed bytes of the users file into the open transaction.
void stageUsersFileChanges();

int32_t getUserCurrentLesson(int32_t key); // 1 for an unknown key
// L + 2 of the highest done block L, 1 when none is done (or unknown key).
int32_t getHighestPassedLesson(int32_t key);
// Copies block L into `block`; returns the number of note slots in use.
// An unknown key or block index gives the empty block and 0.
int32_t getUserLessonBlock(int32_t key, int32_t blockIndex, LessonBlock &block);
