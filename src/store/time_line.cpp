#include "store/time_line.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/stops.h"
#include "store/user_table.h"

// A null entry is an empty day; only days that differ from it are allocated.
static std::unique_ptr<TimeLineDay> days[userSlotCount][timeLineDayCount];
// Days whose bytes on disk may differ from memory: the next save writes them.
static bool dirty[userSlotCount][timeLineDayCount];
static bool anyDirty = false;
static TodayFunction todayOverride = nullptr;

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
    if (!validSlotDay(slot, day) || !days[slot][day]) return emptyDay();
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
    markDirty(slot, day);
    std::unique_ptr<TimeLineDay> &p = days[slot][day];
    if (!p) p = std::make_unique<TimeLineDay>(emptyDay());
    return *p;
}

bool timeLineChanged() { return anyDirty; }

void resetUserTimeLine(int32_t slot)
{
    if (slot < 0 || slot >= userSlotCount) return;
    userRecords[slot].timeLineFull = 0;
    // Only a time line that held days needs writing; resetting an empty one
    // (a new user in a free slot) must not cost a rewrite of the whole file.
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        if (!days[slot][d]) continue;
        days[slot][d].reset();
        markDirty(slot, d);
    }
}

void moveTimeLine(int32_t fromSlot, int32_t toSlot)
{
    if (fromSlot < 0 || fromSlot >= userSlotCount || toSlot < 0 || toSlot >= userSlotCount) return;
    if (fromSlot == toSlot) return;
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
        if (timeLineDay(slot, d).date == today) found = d;
    for (int32_t d = 0; d < timeLineDayCount && found < 0; ++d)
        if (timeLineDay(slot, d).date == emptyDayNumber) found = d;
    bool result = false;
    if (found == timeLineDayCount - 1 && userRecords[slot].timeLineFull == 0) {
        result = true;
        userRecords[slot].timeLineFull = 1;
    }
    if (found < 0) {
        // All days in use, none of them today: drop the oldest.
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
        if (timeLineDay(slot, d).date != emptyDayNumber) ++daysInUse;
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
    text = formatDayNumber(slot < 0 ? emptyDayNumber : timeLineDay(slot, day).date);
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

void loadTimeLineFile(const std::string &path)
{
    if (path.empty()) stopProgram(0, stopUsersLoadName);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) stopProgram(0, stopUsersLoadOpen);
    auto fail = [fd](const std::string &detail) {
        writeDebugDetail("loadTimeLineFile: " + detail);
        ::close(fd);
        stopProgram(0, stopUsersLoadRead);
    };
    // A time line of any other size is refused: loading what there is and
    // saving would write the missing days back as empty ones for good.
    struct stat st;
    if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) != timeLineFileSize)
        fail("the time line is " + std::to_string(st.st_size) + " bytes, not " + std::to_string(timeLineFileSize));
    // First the dates; only the days in use (a date other than the empty
    // date) are read whole, so an empty time line costs 2000 small reads.
    const std::vector<uint8_t> &empty = emptyDayImage();
    std::vector<uint8_t> buffer(timeLineDaySize);
    for (int32_t s = 0; s < userSlotCount; ++s) {
        for (int32_t d = 0; d < timeLineDayCount; ++d) {
            days[s][d].reset();
            dirty[s][d] = false;
            uint8_t dateBytes[8];
            if (::pread(fd, dateBytes, 8, static_cast<off_t>(dayOffset(s, d))) != 8)
                fail("cannot read the date of slot " + std::to_string(s) + " day " + std::to_string(d));
            if (std::memcmp(dateBytes, empty.data(), 8) == 0) continue; // an empty day, whatever its blocks
            std::size_t got = 0;
            if (::lseek(fd, static_cast<off_t>(dayOffset(s, d)), SEEK_SET) < 0 ||
                !storeReadBytes(fd, buffer.data(), buffer.size(), got) || got != buffer.size())
                fail("cannot read slot " + std::to_string(s) + " day " + std::to_string(d));
            auto day = std::make_unique<TimeLineDay>();
            readTimeLineDay(buffer.data(), *day);
            days[s][d] = std::move(day);
        }
    }
    ::close(fd);
    anyDirty = false;
}

void stageTimeLineChanges()
{
    if (!anyDirty) return;
    std::vector<uint8_t> buffer(timeLineDaySize);
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
    for (auto &slotDays : dirty)
        for (bool &d : slotDays) d = false;
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
