#include "store/time_line.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/stops.h"
#include "store/store_io.h"
#include "store/user_table.h"

// A null entry is an empty day; only days that differ from it are allocated.
static std::unique_ptr<TimeLineDay> days[userSlotCount][timeLineDayCount];
// Days whose bytes on disk may differ from memory: the next save writes them.
static bool dirty[userSlotCount][timeLineDayCount];
static bool anyDirty = false;
static TodayFunction todayOverride = nullptr;

// Where a slot's days are. A start reads no days. A user's 100 dates are read
// when something first needs that user's time line, and each day in use when
// it is first needed. Another user's days are dropped again (when nothing in
// them waits for a save) as soon as a user's dates are read, so memory holds
// about one user's history, not six.
enum class SlotDays : uint8_t {
    inMemory,  // memory is the whole truth (no file read, or made anew)
    inFile,    // nothing read yet: days[slot] holds nothing
    datesRead, // dates known; a day not yet held is read when needed
};
static SlotDays slotDays[userSlotCount];
// For a slot whose dates were read: memory holds day d (days[slot][d], null
// = empty), or else the file does and fileDate is its date.
static bool held[userSlotCount][timeLineDayCount];
static double fileDate[userSlotCount][timeLineDayCount];
// The slot's days were reset while they were still in the file: the next
// save must write empty days over the file's days in use.
static bool resetInFile[userSlotCount];
static std::string timeLinePath; // the file loadTimeLineFile opened
static void ensureDates(int32_t slot, int32_t alsoKeep = -1);
static void ensureDay(int32_t slot, int32_t day);

static const TimeLineDay &emptyDay()
{
    static const TimeLineDay *day = [] {
        TimeLineDay *d = new TimeLineDay;
        d->date = emptyDayNumber;
        const LessonBlock empty = emptyLessonBlock();
        for (LessonBlock &b : d->lessonBlocks) b = empty;
        return d;
    }();
    return *day;
}

static const std::vector<uint8_t> &emptyDayImage()
{
    static const std::vector<uint8_t> image = [] {
        std::vector<uint8_t> bytes(timeLineDaySize);
        writeTimeLineDay(emptyDay(), bytes.data());
        return bytes;
    }();
    return image;
}

static bool validSlotDay(int32_t slot, int32_t day)
{
    return slot >= 0 && slot < userSlotCount && day >= 0 && day < timeLineDayCount;
}

const TimeLineDay &timeLineDay(int32_t slot, int32_t day)
{
    if (!validSlotDay(slot, day)) return emptyDay();
    ensureDay(slot, day);
    if (!days[slot][day]) return emptyDay();
    return *days[slot][day];
}

static void markDirty(int32_t slot, int32_t day)
{
    dirty[slot][day] = true;
    anyDirty = true;
}

TimeLineDay &editTimeLineDay(int32_t slot, int32_t day)
{
    if (!validSlotDay(slot, day)) {
        // A caller's index fault must not reach memory outside the time line.
        static TimeLineDay scratch;
        scratch = emptyDay();
        return scratch;
    }
    ensureDay(slot, day);
    markDirty(slot, day);
    std::unique_ptr<TimeLineDay> &p = days[slot][day];
    if (!p) p = std::make_unique<TimeLineDay>(emptyDay());
    return *p;
}

bool timeLineChanged() { return anyDirty; }

double timeLineDate(int32_t slot, int32_t day)
{
    if (!validSlotDay(slot, day)) return emptyDayNumber;
    ensureDates(slot);
    if (slotDays[slot] == SlotDays::datesRead && !held[slot][day]) return fileDate[slot][day];
    return days[slot][day] ? days[slot][day]->date : emptyDayNumber;
}

void resetUserTimeLine(int32_t slot)
{
    if (slot < 0 || slot >= userSlotCount) return;
    userRecords[slot].timeLineFull = 0;
    if (slotDays[slot] == SlotDays::inFile) {
        // Nothing to read: the save finds the days in use by their dates.
        slotDays[slot] = SlotDays::inMemory;
        resetInFile[slot] = true;
        anyDirty = true;
        return;
    }
    // Only a time line that held days needs writing; resetting an empty one
    // (a new user in a free slot) must not cost a rewrite of the whole file.
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        if (slotDays[slot] == SlotDays::datesRead && !held[slot][d]) {
            held[slot][d] = true; // a day in use the file holds: written empty, never read
            markDirty(slot, d);
            continue;
        }
        if (!days[slot][d]) continue;
        days[slot][d].reset();
        markDirty(slot, d);
    }
}

void moveTimeLine(int32_t fromSlot, int32_t toSlot)
{
    if (fromSlot < 0 || fromSlot >= userSlotCount || toSlot < 0 || toSlot >= userSlotCount) return;
    if (fromSlot == toSlot) return;
    ensureDates(fromSlot);
    ensureDates(toSlot, fromSlot);
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        ensureDay(fromSlot, d);
        ensureDay(toSlot, d);
    }
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        if (days[toSlot][d] || days[fromSlot][d]) {
            markDirty(toSlot, d);
            markDirty(fromSlot, d);
        }
        days[toSlot][d] = std::move(days[fromSlot][d]);
    }
}

bool placeTimeLineEntry(int32_t slot, int32_t blockIndex, const LessonBlock &block)
{
    const double today = todayDayNumber();
    int32_t found = -1;
    for (int32_t d = 0; d < timeLineDayCount && found < 0; ++d)
        if (timeLineDate(slot, d) == today) found = d;
    for (int32_t d = 0; d < timeLineDayCount && found < 0; ++d)
        if (timeLineDate(slot, d) == emptyDayNumber) found = d;
    bool result = false;
    if (found == timeLineDayCount - 1 && userRecords[slot].timeLineFull == 0) {
        result = true;
        userRecords[slot].timeLineFull = 1;
    }
    if (found < 0) {
        // All days in use, none of them today: drop the oldest.
        for (int32_t d = 0; d < timeLineDayCount; ++d) ensureDay(slot, d);
        for (int32_t d = 0; d + 1 < timeLineDayCount; ++d) days[slot][d] = std::move(days[slot][d + 1]);
        days[slot][timeLineDayCount - 1].reset();
        for (int32_t d = 0; d < timeLineDayCount; ++d) markDirty(slot, d);
        found = timeLineDayCount - 1;
    }
    TimeLineDay &day = editTimeLineDay(slot, found);
    day.date = today;
    day.lessonBlocks[blockIndex] = block;
    return result;
}

void countTrainingDays(int32_t key, int32_t &daysInUse, int32_t &successes, int32_t &misses)
{
    daysInUse = 0;
    successes = 0;
    misses = 0;
    int32_t slot = userSlotForKey(key);
    if (slot < 0) return;
    for (int32_t d = 0; d < timeLineDayCount; ++d)
        if (timeLineDate(slot, d) != emptyDayNumber) ++daysInUse;
}

// Days since 1 March of year 0 based civil calendar (proleptic Gregorian).
static constexpr int64_t daysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

static void civilFromDays(int64_t z, int64_t &y, int64_t &m, int64_t &d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y = yoe + era * 400 + (m <= 2);
}

static constexpr int64_t dayZero = daysFromCivil(1899, 12, 30);
static_assert(daysFromCivil(2000, 5, 5) - dayZero == 36651); // the date of an empty day

int32_t dayNumberFromDate(int32_t year, int32_t month, int32_t dayOfMonth)
{
    return static_cast<int32_t>(daysFromCivil(year, month, dayOfMonth) - dayZero);
}

void dateFromDayNumber(int32_t dayNumber, int32_t &year, int32_t &month, int32_t &dayOfMonth)
{
    int64_t y, m, d;
    civilFromDays(static_cast<int64_t>(dayNumber) + dayZero, y, m, d);
    year = static_cast<int32_t>(y);
    month = static_cast<int32_t>(m);
    dayOfMonth = static_cast<int32_t>(d);
}

std::string formatDayNumber(double dayNumber)
{
    static const char *const monthTexts[12] = {"-Jan-", "-Feb-", "-Mar-", "-Apr-", "-May-", "-Jun-",
                                               "-Jul-", "-Aug-", "-Sep-", "-Oct-", "-Nov-", "-Dec-"};
    // A date read from a damaged file must still give a text.
    if (!std::isfinite(dayNumber) || std::fabs(dayNumber) > 3.0e6) dayNumber = emptyDayNumber;
    int32_t y, m, d;
    dateFromDayNumber(static_cast<int32_t>(std::floor(dayNumber)), y, m, d);
    std::string year = std::to_string(y);
    if (year.size() > 2) year = year.substr(year.size() - 2);
    return std::to_string(d) + monthTexts[m - 1] + year;
}

void formatTimeLineDate(int32_t key, int32_t day, std::string &text)
{
    int32_t slot = userSlotForKey(key);
    text = formatDayNumber(slot < 0 ? emptyDayNumber : timeLineDate(slot, day));
}

static int32_t clockToday()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return dayNumberFromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

void setTodayFunction(TodayFunction today) { todayOverride = today; }

int32_t todayDayNumber() { return todayOverride ? todayOverride() : clockToday(); }

const StoreFile timeLineStoreFile = {"TimeLine", timeLineFileSize, stopUsersSaveName, stopUsersSaveOpen,
                                     stopUsersSaveWrite};

static uint64_t dayOffset(int32_t slot, int32_t day)
{
    return static_cast<uint64_t>(slot) * timeLineBlockSize + static_cast<uint64_t>(day) * timeLineDaySize;
}

// What the format fixes of a day in use, and nothing stricter: a whole-day
// date from 1 January 1900 to 31 December 2199 (what a clock set anywhere in
// that span writes, and every date the statistics import accepts), and in
// every block notes 0..74, finite means and deviations and the flags 0 or 1.
static std::string numberText(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", v);
    return std::string(text);
}

static std::string dateFault(double date)
{
    static const double firstDate = dayNumberFromDate(1900, 1, 1);
    static const double lastDate = dayNumberFromDate(2199, 12, 31);
    if (!(date >= firstDate && date <= lastDate) || date != std::floor(date)) return "field date value " + numberText(date);
    return std::string();
}

std::string timeLineDayFault(const TimeLineDay &day)
{
    if (std::string fault = dateFault(day.date); !fault.empty()) return fault;
    // The texts are made only for a fault: a day read in the frame that ends
    // a lesson is checked whole, and 555 blocks of texts cost more than the
    // checks.
    const auto block = [](int32_t L) { return "field lessonBlock " + std::to_string(L); };
    const auto slot = [&](int32_t L, int32_t j) { return block(L) + " slot " + std::to_string(j + 1); };
    for (int32_t L = 0; L < lessonBlockCount; ++L) {
        const LessonBlock &b = day.lessonBlocks[L];
        if (b.done > 1) return block(L) + " done value " + std::to_string(b.done);
        for (int32_t j = 0; j < 8; ++j) {
            const NoteSlot &n = b.slots[j];
            if (n.note < 0 || n.note > emptyNoteIndex) return slot(L, j) + " note value " + std::to_string(n.note);
            if (!std::isfinite(n.mean)) return slot(L, j) + " mean value " + numberText(n.mean);
            if (!std::isfinite(n.standardDeviation))
                return slot(L, j) + " deviation value " + numberText(n.standardDeviation);
            if (n.passed > 1) return slot(L, j) + " passed value " + std::to_string(n.passed);
        }
    }
    return std::string();
}

// Opens the time line for a read, checked as the start checks it: a file of
// any other size is refused (loading what there is and saving would write
// the missing days back as empty ones for good).
static int openTimeLineForRead()
{
    waitForStoreWrites();
    if (timeLinePath.empty()) stopProgram(0, stopUsersLoadName);
    int fd = ::open(timeLinePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        writeDebugDetail("loadTimeLineFile: cannot open " + timeLinePath + " errno=" + std::to_string(errno));
        stopProgram(0, stopUsersLoadOpen);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) != timeLineFileSize) {
        writeDebugDetail("loadTimeLineFile: " + timeLinePath + " is " + std::to_string(st.st_size) + " bytes, not " +
                         std::to_string(timeLineFileSize));
        ::close(fd);
        stopProgram(0, stopUsersLoadRead);
    }
    return fd;
}

static std::string userAndDay(int32_t slot, int32_t day)
{
    const UserRecord &user = userRecords[slot];
    return "user \"" + user.name + "\" (slot " + std::to_string(slot) + ", key " + std::to_string(user.key) +
           ") day " + std::to_string(day);
}

[[noreturn]] static void stopReading(int fd, const std::string &detail, int32_t stopNumber)
{
    writeDebugDetail("loadTimeLineFile: " + detail);
    ::close(fd);
    stopProgram(0, stopNumber);
}

static bool slotClean(int32_t slot)
{
    if (resetInFile[slot]) return false;
    for (int32_t d = 0; d < timeLineDayCount; ++d)
        if (dirty[slot][d]) return false;
    return true;
}

// Reads the slot's 100 dates (100 small reads) and checks each; a day with
// the empty date is the empty day in memory, whatever its blocks hold.
static void ensureDates(int32_t slot, int32_t alsoKeep)
{
    if (slotDays[slot] != SlotDays::inFile) return;
    // The file holds what a clean slot read from it holds: drop it.
    for (int32_t s = 0; s < userSlotCount; ++s) {
        if (s == slot || s == alsoKeep || slotDays[s] != SlotDays::datesRead || !slotClean(s)) continue;
        for (std::unique_ptr<TimeLineDay> &p : days[s]) p.reset();
        slotDays[s] = SlotDays::inFile;
    }
    const int fd = openTimeLineForRead();
    const std::vector<uint8_t> &empty = emptyDayImage();
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        days[slot][d].reset();
        dirty[slot][d] = false;
        uint8_t dateBytes[8];
        if (::pread(fd, dateBytes, 8, static_cast<off_t>(dayOffset(slot, d))) != 8)
            stopReading(fd, "cannot read the date of " + userAndDay(slot, d) + " in " + timeLinePath, stopUsersLoadRead);
        held[slot][d] = std::memcmp(dateBytes, empty.data(), 8) == 0;
        if (held[slot][d]) continue;
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(dateBytes[i]) << (8 * i); // little-endian
        std::memcpy(&fileDate[slot][d], &bits, 8);
        const std::string fault = dateFault(fileDate[slot][d]);
        if (!fault.empty())
            stopReading(fd, "the time line " + timeLinePath + " is damaged: " + userAndDay(slot, d) + " " + fault,
                        stopTimeLineDamaged);
    }
    ::close(fd);
    slotDays[slot] = SlotDays::datesRead;
}

// Reads a day in use whole when memory does not hold it yet, and checks it:
// a damaged day must not reach the screens, the export or a save; nothing is
// written, the file stays for inspection.
static void ensureDay(int32_t slot, int32_t day)
{
    ensureDates(slot);
    if (slotDays[slot] != SlotDays::datesRead || held[slot][day]) return;
    const int fd = openTimeLineForRead();
    std::vector<uint8_t> buffer(timeLineDaySize);
    std::size_t got = 0;
    if (::lseek(fd, static_cast<off_t>(dayOffset(slot, day)), SEEK_SET) < 0 ||
        !storeReadBytes(fd, buffer.data(), buffer.size(), got) || got != buffer.size())
        stopReading(fd, "cannot read " + userAndDay(slot, day) + " in " + timeLinePath, stopUsersLoadRead);
    auto read = std::make_unique<TimeLineDay>();
    readTimeLineDay(buffer.data(), *read);
    const std::string fault = timeLineDayFault(*read);
    if (!fault.empty())
        stopReading(fd, "the time line " + timeLinePath + " is damaged: " + userAndDay(slot, day) + " " + fault,
                    stopTimeLineDamaged);
    ::close(fd);
    days[slot][day] = std::move(read);
    held[slot][day] = true;
}

int32_t timeLineDaysInMemory()
{
    int32_t n = 0;
    for (const auto &slotDaysHeld : days)
        for (const std::unique_ptr<TimeLineDay> &p : slotDaysHeld) n += p ? 1 : 0;
    return n;
}

void loadTimeLineFile(const std::string &path)
{
    waitForStoreWrites();
    if (path.empty()) stopProgram(0, stopUsersLoadName);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) stopProgram(0, stopUsersLoadOpen);
    // A time line of any other size is refused at once, as when it is read.
    struct stat st;
    if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) != timeLineFileSize) {
        writeDebugDetail("loadTimeLineFile: the time line is " + std::to_string(st.st_size) + " bytes, not " +
                         std::to_string(timeLineFileSize));
        ::close(fd);
        stopProgram(0, stopUsersLoadRead);
    }
    ::close(fd);
    timeLinePath = path;
    for (int32_t s = 0; s < userSlotCount; ++s) {
        for (int32_t d = 0; d < timeLineDayCount; ++d) {
            days[s][d].reset();
            dirty[s][d] = false;
        }
        slotDays[s] = SlotDays::inFile;
        resetInFile[s] = false;
    }
    anyDirty = false;
}

// A slot reset before its days were read: the days the file holds in use
// (by their dates) are written as empty days.
static void markResetDaysInFile(int32_t slot)
{
    resetInFile[slot] = false;
    waitForStoreWrites();
    int fd = timeLinePath.empty() ? -1 : ::open(timeLinePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        writeDebugDetail("stageTimeLineChanges: cannot open " + timeLinePath + " errno=" + std::to_string(errno));
        stopProgram(0, stopUsersSaveOpen);
    }
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        if (days[slot][d] || dirty[slot][d]) continue; // written anyway
        uint8_t dateBytes[8];
        if (::pread(fd, dateBytes, 8, static_cast<off_t>(dayOffset(slot, d))) != 8) {
            writeDebugDetail("stageTimeLineChanges: cannot read the date of slot " + std::to_string(slot) + " day " +
                             std::to_string(d));
            ::close(fd);
            stopProgram(0, stopUsersSaveWrite);
        }
        if (std::memcmp(dateBytes, emptyDayImage().data(), 8) != 0) dirty[slot][d] = true;
    }
    ::close(fd);
}

void stageTimeLineChanges()
{
    if (!anyDirty) return;
    std::vector<uint8_t> buffer(timeLineDaySize);
    for (int32_t s = 0; s < userSlotCount; ++s)
        if (resetInFile[s]) markResetDaysInFile(s);
    for (int32_t s = 0; s < userSlotCount; ++s) {
        for (int32_t d = 0; d < timeLineDayCount; ++d) {
            if (!dirty[s][d]) continue;
            dirty[s][d] = false;
            std::unique_ptr<TimeLineDay> &p = days[s][d];
            if (p && isEmptyTimeLineDay(*p)) p.reset(); // edited back to empty: free it
            if (p) {
                writeTimeLineDay(*p, buffer.data());
                stageStoreWrite(timeLineStoreFile, dayOffset(s, d), buffer.data(), buffer.size());
            } else {
                stageStoreWrite(timeLineStoreFile, dayOffset(s, d), emptyDayImage().data(), timeLineDaySize);
            }
        }
    }
    anyDirty = false;
}

bool writeTimeLineBody(AtomicWrite &w)
{
    const std::vector<uint8_t> &empty = emptyDayImage();
    std::vector<uint8_t> buffer(timeLineDaySize);
    for (int32_t s = 0; s < userSlotCount; ++s) {
        for (int32_t d = 0; d < timeLineDayCount; ++d) {
            ensureDay(s, d);
            std::unique_ptr<TimeLineDay> &p = days[s][d];
            if (p && isEmptyTimeLineDay(*p)) p.reset(); // edited back to empty: free it
            const uint8_t *bytes = empty.data();
            if (p) {
                writeTimeLineDay(*p, buffer.data());
                bytes = buffer.data();
            }
            if (!storeWriteBytes(w, bytes, timeLineDaySize)) return false;
        }
    }
    return true;
}

void clearTimeLineChanged()
{
    for (auto &slotDirty : dirty)
        for (bool &d : slotDirty) d = false;
    for (bool &r : resetInFile) r = false;
    anyDirty = false;
}

bool timeLineFileIsEmpty(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) != timeLineFileSize) return false;
    const std::vector<uint8_t> &empty = emptyDayImage();
    std::vector<uint8_t> buffer(timeLineDaySize);
    for (uint64_t at = 0; at < timeLineFileSize; at += timeLineDaySize) {
        std::size_t got = 0;
        if (!storeReadBytes(fd, buffer.data(), buffer.size(), got) || got != buffer.size() || buffer != empty)
            return false;
    }
    return true;
}
