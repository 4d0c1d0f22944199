#include "progress/users_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "base/stops.h"
#include "music/notes.h"
#include "progress/password.h"
#include "progress/score_file.h"
#include "progress/time_line.h"

UserRecord userRecords[userSlotCount];
int32_t usedUserKeys = 0;

int32_t currentUserSlot = 0;
int32_t currentUserKey = 0;
std::string currentUserName;
int32_t currentUserTessitura = 0;

// The users file exactly as it is on disk (empty: unknown, the next save writes).
static std::vector<uint8_t> savedUsersImage;

static const char usersFileName[] = "UsersFile";
static const char timeLineFileName[] = "TimeLine";

static std::vector<uint8_t> usersImage()
{
    std::vector<uint8_t> image(usersFileSize);
    for (int32_t s = 0; s < userSlotCount; ++s) writeUserRecord(userRecords[s], image.data() + s * userRecordSize);
    return image;
}

static void rebuildUsedKeys()
{
    usedUserKeys = 0;
    for (const UserRecord &r : userRecords)
        if (r.key >= 1 && r.key <= 10) usedUserKeys |= 1 << r.key;
}

bool usersFileNeedsFirstUse()
{
    recoverStoreFolder();
    std::string path = storeFilePath(usersFileName);
    if (path.empty()) stopProgram(0, stopUsersFileUnreadable);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        writeDebugDetail("usersFileNeedsFirstUse: cannot examine the users file errno=" + std::to_string(errno));
        stopProgram(0, stopUsersFileUnreadable);
    }
    if (!S_ISREG(st.st_mode)) {
        writeDebugDetail("usersFileNeedsFirstUse: the users file is not a file mode=" + std::to_string(st.st_mode));
        stopProgram(0, stopUsersFileUnreadable);
    }
    if (st.st_size == 0) return true;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        writeDebugDetail("usersFileNeedsFirstUse: cannot open the users file errno=" + std::to_string(errno));
        stopProgram(0, stopUsersFileUnreadable);
    }
    ::close(fd);
    return false;
}

static const StoreFile usersStoreFile = {usersFileName, usersFileSize, stopUsersSaveName, stopUsersSaveOpen,
                                         stopUsersSaveWrite};

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
    const std::vector<uint8_t> image = usersImage();
    createBothFiles(image);
    savedUsersImage = image;
    usedUserKeys = 2;
}

static uint8_t byteAt(const std::vector<uint8_t> &image, int32_t slot, std::size_t at)
{
    return image[static_cast<std::size_t>(slot) * userRecordSize + at];
}

static int32_t int32At(const std::vector<uint8_t> &image, int32_t slot, std::size_t at)
{
    const std::size_t p = static_cast<std::size_t>(slot) * userRecordSize + at;
    return static_cast<int32_t>(static_cast<uint32_t>(image[p]) | static_cast<uint32_t>(image[p + 1]) << 8 |
                                static_cast<uint32_t>(image[p + 2]) << 16 | static_cast<uint32_t>(image[p + 3]) << 24);
}

std::string usersImageFault(const std::vector<uint8_t> &image)
{
    if (image.size() != usersFileSize) return "size " + std::to_string(image.size());
    auto fault = [](int32_t slot, const std::string &field, int64_t value) {
        return "slot " + std::to_string(slot) + " field " + field + " value " + std::to_string(value);
    };
    int32_t keysSeen = 0;
    for (int32_t s = 0; s < userSlotCount; ++s) {
        const int32_t key = int32At(image, s, userKeyOffset);
        const uint8_t full = byteAt(image, s, userTimeLineFullOffset);
        if (full > 1) return fault(s, "timeLineFull", full);
        for (int32_t L = 0; L < lessonBlockCount; ++L) {
            const std::size_t block = userLessonBlocksOffset + static_cast<std::size_t>(L) * lessonBlockSize;
            const uint8_t done = byteAt(image, s, block + lessonBlockDoneOffset);
            if (done > 1) return fault(s, ("lessonBlock " + std::to_string(L) + " done").c_str(), done);
            for (std::size_t j = 0; j < 8; ++j) {
                const uint8_t passed = byteAt(image, s, block + j * noteSlotSize + noteSlotPassedOffset);
                if (passed > 1)
                    return fault(s, ("lessonBlock " + std::to_string(L) + " slot " + std::to_string(j + 1) + " passed").c_str(),
                                 passed);
            }
        }
        if (s >= maxUsers) {
            const int32_t fixedKey = s < passwordSlot ? 20 : s + 1;
            if (key != fixedKey) return fault(s, "key", key);
            continue;
        }
        const int32_t lesson = int32At(image, s, userCurrentLessonOffset);
        if (key == 0) {
            if (lesson != 0) return fault(s, "currentLesson", lesson);
            continue;
        }
        const uint8_t nameLength = byteAt(image, s, userNameOffset);
        if (nameLength > maxUserNameLength) return fault(s, "name length", nameLength);
        if (key < 1 || key > 10 || (keysSeen & (1 << key)) != 0) return fault(s, "key", key);
        keysSeen |= 1 << key;
        const int32_t tessitura = int32At(image, s, userTessituraOffset);
        if (tessitura < 0 || tessitura > 3) return fault(s, "tessitura", tessitura);
        if (lesson < 1 || lesson > scoreLessonCount) return fault(s, "currentLesson", lesson);
    }
    return std::string();
}

void loadUsersFiles()
{
    recoverStoreFolder();
    // A read error, or a file of any other size, stops with stopUsersLoadRead.
    std::vector<uint8_t> image;
    loadStoreImage(usersFileName, usersFileSize, image, stopUsersLoadName, stopUsersLoadOpen, stopUsersLoadRead);
    // A damaged record must not load as users who cannot be chosen or keys
    // that collide; nothing is written, the file stays for inspection.
    const std::string fault = usersImageFault(image);
    if (!fault.empty()) {
        writeDebugDetail("loadUsersFiles: the users file is damaged: " + fault);
        stopProgram(0, stopUsersFileUnreadable);
    }
    for (int32_t s = 0; s < userSlotCount; ++s) {
        readUserRecord(image.data() + s * userRecordSize, userRecords[s]);
        // One past the last lesson is what the end of lesson 556 stores.
        if (s < maxUsers && userRecords[s].currentLesson == scoreLessonCount) userRecords[s].currentLesson = 556;
    }
    savedUsersImage = std::move(image);
    loadTimeLineFile(storeFilePath(timeLineFileName));
    rebuildUsedKeys();
}

void saveUsersFiles()
{
    if (deferStoreSave(saveUsersFiles)) return;
    std::vector<uint8_t> image = usersImage();
    if (savedUsersImage.size() != image.size()) savedUsersImage.assign(image.size(), 0); // never loaded: all of it
    stageChangedBytes(usersStoreFile, savedUsersImage, image);
    savedUsersImage = std::move(image);
    stageTimeLineChanges();
    commitStoreWrites();
}

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

int32_t getUserCurrentLesson(int32_t key)
{
    int32_t slot = userSlotForKey(key);
    return slot < 0 ? 1 : userRecords[slot].currentLesson;
}

void setUserCurrentLesson(int32_t key, int32_t lesson)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0) return;
    userRecords[slot].currentLesson = lesson;
    saveUsersFiles();
}

int32_t getHighestPassedLesson(int32_t key)
{
    int32_t slot = userSlotForKey(key);
    int32_t result = 1;
    if (slot < 0) return result;
    for (int32_t L = 0; L < lessonBlockCount; ++L)
        if (userRecords[slot].lessonBlocks[L].done != 0) result = L + 2;
    return result;
}

int32_t getUserLessonBlock(int32_t key, int32_t blockIndex, LessonBlock &block)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0 || blockIndex < 0 || blockIndex >= lessonBlockCount) {
        block = emptyLessonBlock();
        return 0;
    }
    block = userRecords[slot].lessonBlocks[blockIndex];
    return lessonBlockNotesInUse(block);
}

void setUserLessonBlock(int32_t key, int32_t blockIndex, const LessonBlock &block)
{
    int32_t slot = userSlotForKey(key);
    if (slot < 0 || blockIndex < 0 || blockIndex >= lessonBlockCount) return;
    userRecords[slot].lessonBlocks[blockIndex] = block;
    saveUsersFiles();
}
