#include "store/store_records.h"

#include <algorithm>
#include <bit>
#include <cstring>

// Field offsets on disk.
namespace {
// NoteSlot
constexpr std::size_t slotNoteAt = 0;
constexpr std::size_t slotMeanAt = 8;
constexpr std::size_t slotDeviationAt = 16;
constexpr std::size_t slotPassedAt = 24;
// LessonBlock
constexpr std::size_t blockDoneAt = 256;
// NoteTally
constexpr std::size_t tallyNameAt = 0;
constexpr std::size_t tallyNameCapacity = 4;
constexpr std::size_t tallyPresentedAt = 8;
constexpr std::size_t tallyMeasuredAt = 12;
constexpr std::size_t tallyInBandAt = 16;
constexpr std::size_t tallyNearAt = 20;
constexpr std::size_t tallyLnSquaredAt = 24;
constexpr std::size_t tallyHzAt = 32;
constexpr std::size_t tallyLnAt = 40;
// RhythmTally (pairs: sung-note follower, then rest follower)
constexpr std::size_t rhythmClassAt = 0;
constexpr std::size_t rhythmNotesAt = 4;
constexpr std::size_t rhythmWithinAccuracyAt = 12;
constexpr std::size_t rhythmNotMeasuredAt = 20;
constexpr std::size_t rhythmWithin240At = 28;
constexpr std::size_t rhythmSquaredAt = 40;
constexpr std::size_t rhythmSumAt = 56;
// UserRecord
constexpr std::size_t userNameAt = 0;
constexpr std::size_t userKeyAt = 44;
constexpr std::size_t userTessituraAt = 48;
constexpr std::size_t userCurrentLessonAt = 112;
constexpr std::size_t userNoteTalliesAt = 120;
constexpr std::size_t userRhythmTalliesAt = 3048;
constexpr std::size_t userLessonBlocksAt = 4200;
constexpr std::size_t userTimeLineFullAt = 150720;
// TimeLineDay
constexpr std::size_t dayDateAt = 0;
constexpr std::size_t dayLessonBlocksAt = 8;
// ScoreUserEntry / ScoreRecord
constexpr std::size_t entrySkipAt = 0;
constexpr std::size_t entryBestAt = 4;
constexpr std::size_t entryTessituraAt = 8;
constexpr std::size_t scoreReferenceAt = 120;
constexpr std::size_t scoreBestAt = 124;
constexpr std::size_t scoreHolderAt = 128;
constexpr std::size_t scoreHolderTessituraAt = 132;

constexpr std::size_t tallyCount = lastTallyNote - firstTallyNote + 1;

static_assert(slotPassedAt + 1 <= noteSlotSize);
static_assert(8 * noteSlotSize == blockDoneAt && blockDoneAt + 8 == lessonBlockSize);
static_assert(tallyLnAt + 8 == noteTallySize);
static_assert(rhythmSumAt + 16 == rhythmTallySize);
static_assert(userNameAt + 1 + maxUserNameLength <= userKeyAt);
static_assert(userNoteTalliesAt + tallyCount * noteTallySize == userRhythmTalliesAt);
static_assert(userRhythmTalliesAt + rhythmClassCount * rhythmTallySize == userLessonBlocksAt);
static_assert(userLessonBlocksAt + lessonBlockCount * lessonBlockSize == userTimeLineFullAt);
static_assert(userTimeLineFullAt + 8 == userRecordSize);
static_assert(dayLessonBlocksAt + lessonBlockCount * lessonBlockSize == timeLineDaySize);
static_assert(10 * scoreUserEntrySize == scoreReferenceAt);
static_assert(scoreHolderTessituraAt + 4 == scoreRecordSize);
static_assert(userNameOffset == userNameAt && userKeyOffset == userKeyAt && userTessituraOffset == userTessituraAt &&
              userCurrentLessonOffset == userCurrentLessonAt && userTimeLineFullOffset == userTimeLineFullAt);
static_assert(userLessonBlocksOffset == userLessonBlocksAt && noteSlotPassedOffset == slotPassedAt &&
              noteSlotNoteOffset == slotNoteAt &&
              lessonBlockDoneOffset == blockDoneAt);
static_assert(usersFileSize == 3014560 && timeLineFileSize == 293056000 && scoreFileSize == 75752);

void putInt32(uint8_t *p, int32_t v)
{
    uint32_t u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}

int32_t getInt32(const uint8_t *p)
{
    uint32_t u = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                 static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(u);
}

// On a little-endian machine the file's byte order is memory's: one copy
// (the byte loop is not merged into a store by the compiler, and a lesson
// end writes a user record and a training day of 8,880 doubles each).
void putDouble(uint8_t *p, double v)
{
    uint64_t u;
    std::memcpy(&u, &v, 8);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &u, 8);
    } else {
        for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
    }
}

double getDouble(const uint8_t *p)
{
    uint64_t u = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&u, p, 8);
    } else {
        for (int i = 0; i < 8; ++i) u |= static_cast<uint64_t>(p[i]) << (8 * i);
    }
    double v;
    std::memcpy(&v, &u, 8);
    return v;
}

// Length byte, then the characters; the rest of the field stays zero.
void putText(uint8_t *p, const std::string &text, std::size_t capacity)
{
    std::size_t n = std::min(text.size(), capacity);
    p[0] = static_cast<uint8_t>(n);
    std::memcpy(p + 1, text.data(), n);
}

std::string getText(const uint8_t *p, std::size_t capacity)
{
    std::size_t n = std::min<std::size_t>(p[0], capacity);
    return std::string(reinterpret_cast<const char *>(p + 1), n);
}

void writeBlocks(const LessonBlock *blocks, uint8_t *out)
{
    for (int32_t L = 0; L < lessonBlockCount; ++L) writeLessonBlock(blocks[L], out + L * lessonBlockSize);
}

void readBlocks(const uint8_t *in, LessonBlock *blocks)
{
    for (int32_t L = 0; L < lessonBlockCount; ++L) readLessonBlock(in + L * lessonBlockSize, blocks[L]);
}
} // namespace

LessonBlock emptyLessonBlock()
{
    LessonBlock block{};
    for (NoteSlot &s : block.slots) s = NoteSlot{emptyNoteIndex, 100.0, 100.0, 0};
    block.done = 0;
    return block;
}

int32_t lessonBlockNotesInUse(const LessonBlock &block)
{
    int32_t n = 0;
    for (const NoteSlot &s : block.slots)
        if (s.note != emptyNoteIndex) ++n;
    return n;
}

bool sameLessonBlock(const LessonBlock &a, const LessonBlock &b)
{
    if (a.done != b.done) return false;
    for (int j = 0; j < 8; ++j) {
        const NoteSlot &x = a.slots[j], &y = b.slots[j];
        if (x.note != y.note || x.passed != y.passed) return false;
        // Compare the stored bits: the file holds them, and NaN must not pass as "same".
        if (std::memcmp(&x.mean, &y.mean, 8) != 0) return false;
        if (std::memcmp(&x.standardDeviation, &y.standardDeviation, 8) != 0) return false;
    }
    return true;
}

bool isEmptyLessonBlock(const LessonBlock &block)
{
    static const LessonBlock empty = emptyLessonBlock();
    return sameLessonBlock(block, empty);
}

bool isEmptyTimeLineDay(const TimeLineDay &day)
{
    if (std::memcmp(&day.date, &emptyDayNumber, 8) != 0) return false;
    for (const LessonBlock &b : day.lessonBlocks)
        if (!isEmptyLessonBlock(b)) return false;
    return true;
}

void writeLessonBlock(const LessonBlock &block, uint8_t *out)
{
    std::memset(out, 0, lessonBlockSize);
    for (int j = 0; j < 8; ++j) {
        uint8_t *p = out + j * noteSlotSize;
        const NoteSlot &s = block.slots[j];
        putInt32(p + slotNoteAt, s.note);
        putDouble(p + slotMeanAt, s.mean);
        putDouble(p + slotDeviationAt, s.standardDeviation);
        p[slotPassedAt] = s.passed;
    }
    out[blockDoneAt] = block.done;
}

void readLessonBlock(const uint8_t *in, LessonBlock &block)
{
    for (int j = 0; j < 8; ++j) {
        const uint8_t *p = in + j * noteSlotSize;
        NoteSlot &s = block.slots[j];
        s.note = getInt32(p + slotNoteAt);
        s.mean = getDouble(p + slotMeanAt);
        s.standardDeviation = getDouble(p + slotDeviationAt);
        s.passed = p[slotPassedAt];
    }
    block.done = in[blockDoneAt];
}

void writeUserRecord(const UserRecord &r, uint8_t *out)
{
    std::memset(out, 0, userLessonBlocksAt);
    putText(out + userNameAt, r.name, maxUserNameLength);
    putInt32(out + userKeyAt, r.key);
    putInt32(out + userTessituraAt, r.tessitura);
    putInt32(out + userCurrentLessonAt, r.currentLesson);
    for (int32_t n = firstTallyNote; n <= lastTallyNote; ++n) {
        uint8_t *p = out + userNoteTalliesAt + (n - firstTallyNote) * noteTallySize;
        const NoteTally &t = r.noteTallies[n];
        putText(p + tallyNameAt, t.name, tallyNameCapacity);
        putInt32(p + tallyPresentedAt, t.presented);
        putInt32(p + tallyMeasuredAt, t.blocksMeasured);
        putInt32(p + tallyInBandAt, t.blocksInBand);
        putInt32(p + tallyNearAt, t.blocksNear);
        putDouble(p + tallyLnSquaredAt, t.sumLnHzSquared);
        putDouble(p + tallyHzAt, t.sumHz);
        putDouble(p + tallyLnAt, t.sumLnHz);
    }
    for (int32_t c = 0; c < rhythmClassCount; ++c) {
        uint8_t *p = out + userRhythmTalliesAt + c * rhythmTallySize;
        const RhythmTally &t = r.rhythmTallies[c];
        putInt32(p + rhythmClassAt, t.classNumber);
        for (int i = 0; i < 2; ++i) {
            putInt32(p + rhythmNotesAt + 4 * i, t.notes[i]);
            putInt32(p + rhythmWithinAccuracyAt + 4 * i, t.onsetsWithinAccuracy[i]);
            putInt32(p + rhythmNotMeasuredAt + 4 * i, t.onsetsNotMeasured[i]);
            putInt32(p + rhythmWithin240At + 4 * i, t.onsetsWithin240[i]);
            putDouble(p + rhythmSquaredAt + 8 * i, t.sumSquaredDeviation[i]);
            putDouble(p + rhythmSumAt + 8 * i, t.sumDeviation[i]);
        }
    }
    writeBlocks(r.lessonBlocks, out + userLessonBlocksAt);
    std::memset(out + userTimeLineFullAt, 0, userRecordSize - userTimeLineFullAt);
    out[userTimeLineFullAt] = r.timeLineFull;
}

void readUserRecord(const uint8_t *in, UserRecord &r)
{
    r.name = getText(in + userNameAt, maxUserNameLength);
    r.key = getInt32(in + userKeyAt);
    r.tessitura = getInt32(in + userTessituraAt);
    r.currentLesson = getInt32(in + userCurrentLessonAt);
    for (int32_t n = firstTallyNote; n <= lastTallyNote; ++n) {
        const uint8_t *p = in + userNoteTalliesAt + (n - firstTallyNote) * noteTallySize;
        NoteTally &t = r.noteTallies[n];
        t.name = getText(p + tallyNameAt, tallyNameCapacity);
        t.presented = getInt32(p + tallyPresentedAt);
        t.blocksMeasured = getInt32(p + tallyMeasuredAt);
        t.blocksInBand = getInt32(p + tallyInBandAt);
        t.blocksNear = getInt32(p + tallyNearAt);
        t.sumLnHzSquared = getDouble(p + tallyLnSquaredAt);
        t.sumHz = getDouble(p + tallyHzAt);
        t.sumLnHz = getDouble(p + tallyLnAt);
    }
    for (int32_t c = 0; c < rhythmClassCount; ++c) {
        const uint8_t *p = in + userRhythmTalliesAt + c * rhythmTallySize;
        RhythmTally &t = r.rhythmTallies[c];
        t.classNumber = getInt32(p + rhythmClassAt);
        for (int i = 0; i < 2; ++i) {
            t.notes[i] = getInt32(p + rhythmNotesAt + 4 * i);
            t.onsetsWithinAccuracy[i] = getInt32(p + rhythmWithinAccuracyAt + 4 * i);
            t.onsetsNotMeasured[i] = getInt32(p + rhythmNotMeasuredAt + 4 * i);
            t.onsetsWithin240[i] = getInt32(p + rhythmWithin240At + 4 * i);
            t.sumSquaredDeviation[i] = getDouble(p + rhythmSquaredAt + 8 * i);
            t.sumDeviation[i] = getDouble(p + rhythmSumAt + 8 * i);
        }
    }
    readBlocks(in + userLessonBlocksAt, r.lessonBlocks);
    r.timeLineFull = in[userTimeLineFullAt];
}

void writeTimeLineDay(const TimeLineDay &day, uint8_t *out)
{
    putDouble(out + dayDateAt, day.date);
    writeBlocks(day.lessonBlocks, out + dayLessonBlocksAt);
}

void readTimeLineDay(const uint8_t *in, TimeLineDay &day)
{
    day.date = getDouble(in + dayDateAt);
    readBlocks(in + dayLessonBlocksAt, day.lessonBlocks);
}

void writeScoreRecord(const ScoreRecord &r, uint8_t *out)
{
    std::memset(out, 0, scoreRecordSize);
    for (int k = 0; k < 10; ++k) {
        uint8_t *p = out + k * scoreUserEntrySize;
        p[entrySkipAt] = r.entries[k].skipIntro;
        putInt32(p + entryBestAt, r.entries[k].best);
        putInt32(p + entryTessituraAt, r.entries[k].tessitura);
    }
    putInt32(out + scoreReferenceAt, r.referenceScore);
    putInt32(out + scoreBestAt, r.lessonBest);
    putInt32(out + scoreHolderAt, r.holderKey);
    putInt32(out + scoreHolderTessituraAt, r.holderTessitura);
}

void readScoreRecord(const uint8_t *in, ScoreRecord &r)
{
    for (int k = 0; k < 10; ++k) {
        const uint8_t *p = in + k * scoreUserEntrySize;
        r.entries[k].skipIntro = p[entrySkipAt];
        r.entries[k].best = getInt32(p + entryBestAt);
        r.entries[k].tessitura = getInt32(p + entryTessituraAt);
    }
    r.referenceScore = getInt32(in + scoreReferenceAt);
    r.lessonBest = getInt32(in + scoreBestAt);
    r.holderKey = getInt32(in + scoreHolderAt);
    r.holderTessitura = getInt32(in + scoreHolderTessituraAt);
}
