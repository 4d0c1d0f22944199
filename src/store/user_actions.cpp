#include "store/user_actions.h"

#include <utility>
#include <vector>

#include "base/stops.h"
#include "music/notes.h"
#include "store/password.h"
#include "store/score_file.h"
#include "store/store_io.h"
#include "store/time_line.h"
#include "store/user_table.h"
#include "store/users_file.h"

// First use: both files are written whole to temporary files and renamed.
// The time line is renamed first: the users file's presence is what marks a
// finished first use, so it must never exist without its time line.
static void createBothFiles(const std::vector<uint8_t> &image)
{
    std::string usersPath = storeFilePath(usersFileName);
    std::string timeLinePath = storeFilePath(timeLineFileName);
    if (usersPath.empty() || timeLinePath.empty()) stopProgram(0, stopUsersCreateName);
    AtomicWrite users{-1, {}, {}, 0, false};
    AtomicWrite timeLine{-1, {}, {}, 0, false};
    auto fail = [&](int32_t stop) {
        abandonAtomicWrite(users);
        abandonAtomicWrite(timeLine);
        stopProgram(0, stop);
    };
    if (!beginAtomicWrite(timeLine, timeLinePath)) fail(stopUsersCreateOpen);
    if (!writeTimeLineBody(timeLine) || !syncAtomicWrite(timeLine)) fail(stopUsersCreateWrite);
    if (!beginAtomicWrite(users, usersPath)) fail(stopUsersCreateOpen);
    if (!storeWriteBytes(users, image.data(), image.size()) || !syncAtomicWrite(users)) fail(stopUsersCreateWrite);
    if (!commitAtomicWrite(timeLine)) fail(stopUsersCreateWrite);
    if (!commitAtomicWrite(users)) fail(stopUsersCreateWrite);
    clearTimeLineChanged();
}

void resetUserStatistics(int32_t slot)
{
    if (slot < 0 || slot >= userSlotCount) return;
    UserRecord &r = userRecords[slot];
    for (int32_t n = firstTallyNote; n <= 51; ++n) r.noteTallies[n] = NoteTally{noteNameInTable(namesSharps, n), 0, 0, 0, 0, 0.0, 0.0, 0.0};
    for (int32_t c = 0; c < rhythmClassCount; ++c) {
        r.rhythmTallies[c] = RhythmTally{};
        r.rhythmTallies[c].classNumber = c;
    }
    resetUserTimeLine(slot);
}

static void setAllLessonBlocks(UserRecord &r, const LessonBlock &block)
{
    for (LessonBlock &b : r.lessonBlocks) b = block;
}

// No name, key, tessitura, current lesson or note tallies.
static void clearUserIdentity(UserRecord &r)
{
    r.name.clear();
    r.key = 0;
    r.tessitura = 0;
    r.currentLesson = 0;
    for (NoteTally &t : r.noteTallies) t = NoteTally{};
}

void createUsersFiles(const std::string &adminName, const std::string &adminPassword)
{
    std::string scrambled;
    scramblePassword(adminPassword, scrambled);
    const LessonBlock empty = emptyLessonBlock();
    const LessonBlock zero{};
    for (int32_t s = 0; s < userSlotCount; ++s) {
        UserRecord &r = userRecords[s];
        clearUserIdentity(r);
        if (s == 0) {
            r.name = adminName.substr(0, maxUserNameLength);
            r.key = 1;
            r.tessitura = 3;
            r.currentLesson = 1;
        } else if (s >= 6 && s <= 9) {
            r.key = 20;
        } else if (s >= 10) {
            r.key = s + 1;
            if (s == passwordSlot) r.name = scrambled.substr(0, maxUserNameLength);
            if (s >= 15) r.tessitura = 3;
        }
        setAllLessonBlocks(r, s < maxUsers ? empty : zero);
        resetUserStatistics(s);
    }
    recoverStoreFolder();
    const std::vector<uint8_t> image = usersFileImage();
    createBothFiles(image);
    usersFileWritten(image);
    usedUserKeys = 2;
}

void loadUsersFiles()
{
    recoverStoreFolder();
    loadUsersFile();
    loadTimeLineFile(storeFilePath(timeLineFileName));
}

bool storeFileHoldsNoData(const char *resourceName, int fd)
{
    const std::string name = resourceName;
    if (name == timeLineFileName) return timeLineFileIsEmpty(fd);
    if (name == "ScoreFile") return scoreFileIsNew(fd);
    return false; // the users file: any bytes may be a user's
}

void saveUsersFiles()
{
    if (deferStoreSave(saveUsersFiles)) return;
    stageUsersFileChanges();
    stageTimeLineChanges();
    commitStoreWrites();
}

int32_t addUser(const std::string &name)
{
    // Only the user slots: a user in a reserved slot could never be shown or chosen.
    int32_t slot = -1;
    for (int32_t s = 0; s < maxUsers && slot < 0; ++s)
        if (userRecords[s].key == 0) slot = s;
    if (slot < 0) return 0;
    int32_t key = 0;
    for (int32_t k = 1; k <= 10 && key == 0; ++k)
        if ((usedUserKeys & (1 << k)) == 0) key = k;
    if (key == 0) return 0;
    // One action: the record, its emptied time line and the key's cleared
    // score entries (a reissued key must not inherit a personal best) reach
    // the disk together.
    beginStoreUpdate();
    UserRecord &r = userRecords[slot];
    r.name = name.substr(0, maxUserNameLength);
    r.key = key;
    r.currentLesson = 1;
    clearScoreEntriesOfKey(key);
    resetUserStatistics(slot);
    usedUserKeys |= 1 << key;
    saveUsersFiles();
    saveScoreFile();
    endStoreUpdate();
    return key;
}

bool setUserTessitura(int32_t key, int32_t tessitura)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0) return false;
    userRecords[slot].tessitura = tessitura;
    saveUsersFiles();
    return true;
}

// Slot as first use leaves the user slots 1..5.
static void freeUserSlot(int32_t slot)
{
    UserRecord &r = userRecords[slot];
    clearUserIdentity(r);
    setAllLessonBlocks(r, emptyLessonBlock());
    resetUserStatistics(slot);
}

bool deleteUser(int32_t key)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0) return true;
    beginStoreUpdate();
    usedUserKeys &= ~(1 << key);
    int32_t last = maxUsers - 1;
    if (slot < last) {
        for (int32_t i = slot; i < last; ++i) {
            userRecords[i] = std::move(userRecords[i + 1]);
            moveTimeLine(i + 1, i);
        }
        freeUserSlot(last);
    } else {
        freeUserSlot(slot);
    }
    saveUsersFiles();
    clearScoreEntriesOfKey(key);
    reassignLessonBestsOfKey(key);
    saveScoreFile();
    endStoreUpdate();
    return true;
}

void setUserCurrentLesson(int32_t key, int32_t lesson)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0) return;
    userRecords[slot].currentLesson = lesson;
    saveUsersFiles();
}

void setUserLessonBlock(int32_t key, int32_t blockIndex, const LessonBlock &block)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0 || blockIndex < 0 || blockIndex >= lessonBlockCount) return;
    userRecords[slot].lessonBlocks[blockIndex] = block;
    saveUsersFiles();
}

bool addTimeLineEntry(int32_t key, int32_t blockIndex, const LessonBlock &block)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0 || blockIndex < 0 || blockIndex >= lessonBlockCount) return false;
    beginStoreUpdate();
    const bool result = placeTimeLineEntry(slot, blockIndex, block);
    saveUsersFiles();
    endStoreUpdate();
    return result;
}

void setTimeLineFullFlag(int32_t key, uint8_t flag)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0) return;
    userRecords[slot].timeLineFull = flag;
    saveUsersFiles();
}

bool storeLessonResult(int32_t key, int32_t lesson, const LessonBlock &results, bool passed, StoreCommit commit)
{
    beginStoreUpdate();
    // There is no lesson after 556 to make current.
    if (passed) setUserCurrentLesson(key, lesson < lastStoredLesson ? lesson + 1 : lastStoredLesson);
    setUserLessonBlock(key, lesson - 2, results);
    const bool hundredthDay = addTimeLineEntry(key, lesson - 2, results);
    endStoreUpdate(commit);
    return hundredthDay;
}
