// The store of users: the users file ("ResourceFiles\UsersFile", 20 records)
// and, saved together with it, the time-line file (time_line.h).
//
// Memory is the master copy; userRecords mirrors the file slot by slot. Other
// modules reach a user through a UserKey (1..10); only slots 0..9 are searched.
// Saves are atomic and only write files whose contents changed; several saves
// of one user action can be grouped (store_io.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "progress/store_io.h"
#include "progress/store_records.h"

// The in-memory mirror of the users file, indexed by UserSlot 0..19.
extern UserRecord userRecords[userSlotCount];
// Bit k set while key k belongs to a user.
extern int32_t usedUserKeys;

// The user chosen on the user-management screen (set there together).
extern int32_t currentUserSlot;
extern int32_t currentUserKey;
extern std::string currentUserName;
extern int32_t currentUserTessitura;

// Tessitura 0 unset, 1 low, 2 medium, 3 high.
inline constexpr const char *tessituraNames[4] = {"", "low", "medium", "high"};
// The name of tessitura t; "" for 0 and for any value outside 0..3.
inline const char *tessituraName(int32_t t) { return tessituraNames[t >= 0 && t <= 3 ? t : 0]; }

// Stop numbers of the users and time-line files.
constexpr int32_t stopUsersCreateName = 3251;
constexpr int32_t stopUsersCreateOpen = 3252;
constexpr int32_t stopUsersCreateWrite = 3253;
constexpr int32_t stopUsersLoadName = 3254;
constexpr int32_t stopUsersLoadOpen = 3255;
constexpr int32_t stopUsersLoadRead = 3256;
constexpr int32_t stopUsersSaveName = 3257;
constexpr int32_t stopUsersSaveOpen = 3258;
constexpr int32_t stopUsersSaveWrite = 3259;
// A users file that exists but cannot be examined or opened: never first use.
constexpr int32_t stopUsersFileUnreadable = 3269;

// Decides first use at start. True only when the users file does not exist
// or is 0 bytes long. A users file that exists but cannot be examined or
// opened ends the program (stop 3269) without touching any file: setting up
// anew would overwrite every user's time line and scores.
bool usersFileNeedsFirstUse();

// First use: builds all 20 records (administrator in slot 0, scrambled
// password in slot 10) and writes the users and time-line files.
void createUsersFiles(const std::string &adminName, const std::string &adminPassword);
// Reads both files into memory and rebuilds usedUserKeys. A users file that
// breaks what the format fixes ends in stop 3269 (usersImageFault).
void loadUsersFiles();
// What the format fixes of a users file image, checked and nothing stricter:
// reserved slots 6..19 carry their fixed keys; slots 0..5 are free (key 0,
// current lesson 0) or a user (name length <= 40, key 1..10 unique among the
// users, tessitura 0..3, current lesson 1..557); the flags (timeLineFull, and
// each lesson block's done and passed bytes) 0 or 1.
// "" when it holds, else the slot, field and value that do not.
std::string usersImageFault(const std::vector<uint8_t> &image);
// Writes the changed bytes of the users file and the changed days of the
// time line as one transaction (the group's, inside a store update group).
void saveUsersFiles();

// Resets the slot's tallies and its time line; no save.
void resetUserStatistics(int32_t slot);
// New user in the first free slot; returns the new key, 0 when full. Saves.
int32_t addUser(const std::string &name);
// First slot 0..9 whose key equals `key`, else -1.
int32_t findUserSlot(int32_t key);
// Like findUserSlot, but only for keys that can be issued (1..10): the slot
// of a present user, else -1. The by-key operations use it.
int32_t userSlotForKey(int32_t key);
// False (nothing saved) when no slot holds the key. Saves on success.
bool setUserTessitura(int32_t key, int32_t tessitura);
// Removes the user, closes the gap among slots 1..5, moves the key's lesson
// bests to the remaining users; saves users, time line and scores. A key no
// user holds changes nothing. Returns true.
bool deleteUser(int32_t key);
int32_t getUserCurrentLesson(int32_t key); // 1 for an unknown key
void setUserCurrentLesson(int32_t key, int32_t lesson); // saves
// L + 2 of the highest done block L, 1 when none is done (or unknown key).
int32_t getHighestPassedLesson(int32_t key);
// Copies block L into `block`; returns the number of note slots in use.
// An unknown key or block index gives the empty block and 0.
int32_t getUserLessonBlock(int32_t key, int32_t blockIndex, LessonBlock &block);
void setUserLessonBlock(int32_t key, int32_t blockIndex, const LessonBlock &block); // saves
