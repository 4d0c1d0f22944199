// The users in memory: the mirror of the users file's 20 records, the keys in
// use and the user chosen on the user-management screen. The users file
// (users_file.h) reads and writes the mirror; the time line and the score
// file find a user's slot here by key. Nothing here touches the disk.
#pragma once
#include <cstdint>
#include <string>

#include "store/store_records.h"

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

// First slot 0..9 whose key equals `key`, else -1.
int32_t findUserSlot(int32_t key);
// Like findUserSlot, but only for keys that can be issued (1..10): the slot
// of a present user, else -1. The by-key operations use it.
int32_t userSlotForKey(int32_t key);
