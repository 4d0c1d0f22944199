#include "store/user_table.h"

UserRecord userRecords[userSlotCount];
int32_t usedUserKeys = 0;

int32_t currentUserSlot = 0;
int32_t currentUserKey = 0;
std::string currentUserName;
int32_t currentUserTessitura = 0;

int32_t findUserSlot(int32_t key)
{
    for (int32_t s = 0; s < userKeySearchSlots; ++s)
        if (userRecords[s].key == key) return s;
    return -1;
}

int32_t userSlotForKey(int32_t key)
{
    if (key < 1 || key > 10) return -1;
    return findUserSlot(key);
}
