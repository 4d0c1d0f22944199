#include "store/users_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <utility>
#include <vector>

#include "base/stops.h"

// The users file exactly as it is on disk (empty: unknown, the next save writes).
static std::vector<uint8_t> savedUsersImage;
// What a save serialises the changed records into and compares with
// savedUsersImage. Between saves it holds the same bytes as savedUsersImage,
// so a save rewrites only the slots of the records that changed; both are
// kept: a new image of 3 MB is a new mapping (platform/memory.h) whose every
// page faults when first written, in the frame that ends a lesson.
static std::vector<uint8_t> stagingUsersImage;
// Each record as it was when its slot of savedUsersImage was last written or
// found to match: while keptRecordMatches[s], writeUserRecord(keptRecords[s])
// gives exactly slot s of savedUsersImage. A save serialises and compares
// only the records that differ from their kept copy (sameSerialisedRecord),
// so no mutating path has to mark what it changed. 3 MB, allocated once.
static std::unique_ptr<UserRecord[]> keptRecords;
static bool keptRecordMatches[userSlotCount];

static void writeUsersImage(uint8_t *image)
{
    for (int32_t s = 0; s < userSlotCount; ++s) writeUserRecord(userRecords[s], image + s * userRecordSize);
}

std::vector<uint8_t> usersFileImage()
{
    std::vector<uint8_t> image(usersFileSize);
    writeUsersImage(image.data());
    return image;
}

static std::size_t slotAt(int32_t slot) { return static_cast<std::size_t>(slot) * userRecordSize; }

template <typename T> static bool sameBytes(const T &a, const T &b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// True only when writeUserRecord gives the same bytes for both. Numbers are
// compared by their bits (what is stored: 0.0 and -0.0 differ, a NaN equals
// itself); of the note tallies only those the file holds. Whole arrays of
// plain records are compared as memory, padding included: padding that
// differs only costs a needless serialisation.
static bool sameSerialisedRecord(const UserRecord &a, const UserRecord &b)
{
    static_assert(std::is_trivially_copyable_v<LessonBlock> && std::is_trivially_copyable_v<RhythmTally>);
    if (a.key != b.key || a.tessitura != b.tessitura || a.currentLesson != b.currentLesson ||
        a.timeLineFull != b.timeLineFull || a.name != b.name)
        return false;
    if (!sameBytes(a.lessonBlocks, b.lessonBlocks) || !sameBytes(a.rhythmTallies, b.rhythmTallies)) return false;
    for (int32_t n = firstTallyNote; n <= lastTallyNote; ++n) {
        const NoteTally &x = a.noteTallies[n], &y = b.noteTallies[n];
        if (x.presented != y.presented || x.blocksMeasured != y.blocksMeasured || x.blocksInBand != y.blocksInBand ||
            x.blocksNear != y.blocksNear || !sameBytes(x.sumLnHzSquared, y.sumLnHzSquared) ||
            !sameBytes(x.sumHz, y.sumHz) || !sameBytes(x.sumLnHz, y.sumLnHz) || x.name != y.name)
            return false;
    }
    return true;
}

// savedUsersImage was just set (a load, a file written whole): the kept
// copies are the records now, each trusted only where its bytes are the
// slot's (a loaded record may have been corrected, and a file may hold
// bytes this program would not write). Runs at start and first use, not
// in a lesson's frames.
static void keepRecordsOfSavedImage()
{
    if (!keptRecords) keptRecords = std::make_unique<UserRecord[]>(userSlotCount);
    stagingUsersImage.resize(usersFileSize);
    for (int32_t s = 0; s < userSlotCount; ++s) {
        keptRecords[s] = userRecords[s];
        uint8_t *slot = stagingUsersImage.data() + slotAt(s);
        writeUserRecord(keptRecords[s], slot);
        keptRecordMatches[s] = std::memcmp(slot, savedUsersImage.data() + slotAt(s), userRecordSize) == 0;
    }
    stagingUsersImage = savedUsersImage;
}

static void rebuildUsedKeys()
{
    usedUserKeys = 0;
    for (const UserRecord &r : userRecords)
        if (r.key >= 1 && r.key <= 10) usedUserKeys |= 1 << r.key;
}

static const StoreFile usersStoreFile = {usersFileName, usersFileSize, stopUsersSaveName, stopUsersSaveOpen,
                                         stopUsersSaveWrite};

bool usersFileNeedsFirstUse()
{
    recoverStoreFolder();
    std::string path = storeFilePath(usersFileName);
    if (path.empty()) stopProgram(0, stopUsersFileUnreadable);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        writeDebugDetail("usersFileNeedsFirstUse: cannot examine the users file " + path + ": " + systemErrorText(errno));
        stopProgram(0, stopUsersFileUnreadable);
    }
    if (!S_ISREG(st.st_mode)) {
        writeDebugDetail("usersFileNeedsFirstUse: the users file is not a file mode=" + std::to_string(st.st_mode));
        stopProgram(0, stopUsersFileUnreadable);
    }
    if (st.st_size == 0) return true;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        writeDebugDetail("usersFileNeedsFirstUse: cannot open the users file " + path + ": " + systemErrorText(errno));
        stopProgram(0, stopUsersFileUnreadable);
    }
    ::close(fd);
    return false;
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
                // A note outside the note tables (0 .. 74, 74 = empty) would
                // index past them when a lesson trains this block's notes.
                const int32_t note = int32At(image, s, block + j * noteSlotSize + noteSlotNoteOffset);
                if (note < 0 || note > emptyNoteIndex)
                    return fault(s, ("lessonBlock " + std::to_string(L) + " slot " + std::to_string(j + 1) + " note").c_str(),
                                 note);
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

void loadUsersFile()
{
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
    keepRecordsOfSavedImage();
    rebuildUsedKeys();
}

void usersFileWritten(std::vector<uint8_t> image)
{
    savedUsersImage = std::move(image);
    if (savedUsersImage.size() == usersFileSize) keepRecordsOfSavedImage();
}

void stageUsersFileChanges()
{
    if (savedUsersImage.size() != usersFileSize || !keptRecords) { // never loaded: all of it
        savedUsersImage.assign(usersFileSize, 0);
        keepRecordsOfSavedImage();
    }
    // Serialise the records that differ from their kept copy into their
    // slots of the staging image (writeUserRecord sets every byte of a slot).
    // Everywhere else the staging image holds the saved bytes, so only the
    // pieces over those slots can differ. Neighbouring changed slots share a
    // piece and are compared as one range, so what is staged is what
    // comparing the whole images stages.
    bool changed[userSlotCount];
    bool gathering = false; // changed slots [from, to) wait to be compared
    std::size_t from = 0, to = 0;
    for (int32_t s = 0; s < userSlotCount; ++s) {
        changed[s] = !keptRecordMatches[s] || !sameSerialisedRecord(keptRecords[s], userRecords[s]);
        if (!changed[s]) continue;
        writeUserRecord(userRecords[s], stagingUsersImage.data() + slotAt(s));
        if (gathering && slotAt(s) != to) {
            stageChangedBytesWithin(usersStoreFile, savedUsersImage, stagingUsersImage, from, to);
            gathering = false;
        }
        if (!gathering) from = slotAt(s);
        gathering = true;
        to = slotAt(s) + userRecordSize;
    }
    if (gathering) stageChangedBytesWithin(usersStoreFile, savedUsersImage, stagingUsersImage, from, to);
    // The saved image and the kept copies follow: the two images hold the
    // same bytes again.
    for (int32_t s = 0; s < userSlotCount; ++s) {
        if (!changed[s]) continue;
        std::memcpy(savedUsersImage.data() + slotAt(s), stagingUsersImage.data() + slotAt(s), userRecordSize);
        keptRecords[s] = userRecords[s];
        keptRecordMatches[s] = true;
    }
}

int32_t getUserCurrentLesson(int32_t key)
{
    int32_t slot = userSlotForKey(key);
    return slot < 0 ? 1 : userRecords[slot].currentLesson;
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
