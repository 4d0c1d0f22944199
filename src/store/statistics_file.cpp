#include "store/statistics_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <vector>

#include "base/small_routines.h"
#include "music/notes.h"
#include "platform/paths.h"
#include "store/store_io.h"
#include "store/store_records.h"
#include "store/time_line.h"
#include "store/users_file.h"

static const char *const headerStart = "TNVStats v1.2 ";
// Line 2: free text of 30 to 80 characters; its first 8 characters enter the
// check sums.
static const char *const secondLine = "Tarnova pitch memory training statistics";
static const char *const snapshotHeading = "Snapshot Tarnova";
static const char *const timeLineHeading = "timeline stats";
static const char *const monthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int checkedChars = 8;
constexpr size_t keptLineLength = 255;

static_assert(sizeof("Tarnova pitch memory training statistics") - 1 >= 30 &&
                  sizeof("Tarnova pitch memory training statistics") - 1 <= 80,
              "line 2 must be 30 to 80 characters long");

std::string statisticsDateText(int32_t dayNumber)
{
    int32_t year, month, day;
    dateFromDayNumber(dayNumber, year, month, day);
    char yy[3] = {char('0' + (year % 100 + 100) % 100 / 10), char('0' + (year % 100 + 100) % 10), 0};
    return std::to_string(day) + "-" + monthNames[month - 1] + "-" + yy;
}

static void addToSums(int32_t sums[checkedChars], const std::string &line)
{
    if (line.size() < size_t(checkedChars))
        return;
    for (int k = 0; k < checkedChars; ++k)
        sums[k] += static_cast<unsigned char>(line[size_t(k)]);
}

static char checkChar(int32_t sum) { return char(33 + sum % 64); }

// ---- writing ---------------------------------------------------------------

namespace {
// Collects the text and hands it to the atomic writer in large pieces.
struct ExportWriter {
    AtomicWrite file;
    std::string buffer;
    bool ok = true;

    void line(const std::string &text)
    {
        buffer += text;
        buffer += "\r\n";
        if (buffer.size() >= (1u << 20))
            flush();
    }
    void flush()
    {
        if (ok && !buffer.empty())
            ok = storeWriteBytes(file, buffer.data(), buffer.size());
        buffer.clear();
    }
};
} // namespace

static std::string deviationText(double value)
{
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc())
        return "100.00";
    return std::string(text, result.ptr);
}

static void writeBlockGroup(ExportWriter &out, int32_t index, const LessonBlock &block, bool trailingBlank)
{
    out.line(std::to_string(index));
    for (const NoteSlot &slot : block.slots) {
        std::string name;
        const int32_t note = slot.note >= 0 && slot.note <= emptyNoteIndex ? slot.note : emptyNoteIndex;
        spelledNoteName(0, note, name);
        out.line(name + " ");
        out.line(deviationText(slot.mean) + " " + deviationText(slot.standardDeviation) + " " +
                 (slot.passed != 0 ? "TRUE" : "FALSE") + " ");
    }
    out.line(std::string(block.done != 0 ? "TRUE" : "FALSE") + (trailingBlank ? " " : ""));
}

bool writeStatisticsExport(const std::string &fileName, const StatisticsPersonalData &data)
{
    const int32_t slot = findUserSlot(currentUserKey);
    if (fileName.empty() || slot < 0)
        return false;
    ExportWriter out;
    if (!beginFreshAtomicWrite(out.file, fileName)) {
        abandonAtomicWrite(out.file);
        return false;
    }
    int32_t sums[checkedChars] = {};

    out.line(headerStart + statisticsDateText(todayDayNumber()));
    out.line(secondLine);
    addToSums(sums, secondLine);
    out.line(currentUserName);
    out.line(std::to_string(data.trainingDays));
    out.line(std::to_string(data.successfulMoves));
    out.line(std::to_string(data.missedMoves));
    out.line(data.male ? "Male" : "Female");
    out.line(data.ageText);
    const int32_t experience = data.experienceIndex >= 0 && data.experienceIndex < 8 ? data.experienceIndex : 0;
    out.line(experienceNames[experience]);
    out.line(data.yearsText);
    out.line(std::to_string(data.reportType));
    out.line(std::to_string(data.reason));

    out.line(snapshotHeading);
    for (int32_t b = 0; b < lessonBlockCount; ++b)
        writeBlockGroup(out, b, userRecords[slot].lessonBlocks[b], false);

    out.line(timeLineHeading);
    for (int32_t d = 0; d < timeLineDayCount; ++d) {
        std::string date;
        formatTimeLineDate(currentUserKey, d, date);
        out.line(date);
        addToSums(sums, date);
        const TimeLineDay &day = timeLineDay(slot, d);
        for (int32_t b = 0; b < lessonBlockCount; ++b)
            writeBlockGroup(out, b, day.lessonBlocks[b], true);
    }

    std::string check;
    for (int k = 0; k < 4; ++k)
        check += checkChar(sums[k]);
    check += char(33 + randomBelow(64)); // never checked
    for (int k = 4; k < checkedChars; ++k)
        check += checkChar(sums[k]);
    out.line(check);
    out.flush();

    if (!out.ok || !finishAtomicWrite(out.file)) {
        abandonAtomicWrite(out.file);
        return false;
    }
    return true;
}

// ---- reading ---------------------------------------------------------------

namespace {
// Lines of a text file; CR LF or LF ends a line; at most 255 characters are
// kept of any line. Past the end of the file lines read as empty.
struct LineReader {
    std::FILE *file = nullptr;
    char buffer[1 << 16];
    size_t length = 0, position = 0;
    bool endOfFile = false; // set once a line was asked for past the end
    // Set once a line after line 2 was longer than any line of the format
    // (lines 1 and 2 have their own length checks): its cut text must not be
    // taken for a value.
    bool overlong = false;
    int32_t linesRead = 0;

    int nextByte()
    {
        if (position == length) {
            length = std::fread(buffer, 1, sizeof buffer, file);
            position = 0;
            if (length == 0)
                return -1;
        }
        return static_cast<unsigned char>(buffer[position++]);
    }

    std::string read()
    {
        std::string line;
        int c = nextByte();
        if (c < 0) {
            endOfFile = true;
            return line;
        }
        while (c >= 0 && c != '\n') {
            if (line.size() < keptLineLength + 1)
                line += char(c);
            c = nextByte();
        }
        if (!line.empty() && line.back() == '\r' && line.size() <= keptLineLength + 1)
            line.pop_back();
        if (line.size() > keptLineLength) {
            line.resize(keptLineLength);
            if (++linesRead > 2)
                overlong = true;
        } else {
            ++linesRead;
        }
        return line;
    }
};

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

struct ImportScratch {
    LessonBlock blocks[lessonBlockCount];
    TimeLineDay days[timeLineDayCount];
};
} // namespace

// A decimal integer with optional blanks around it.
static bool parseInteger(const std::string &text, int64_t &value)
{
    size_t start = text.find_first_not_of(' ');
    size_t end = text.find_last_not_of(' ');
    if (start == std::string::npos)
        return false;
    const char *first = text.data() + start;
    const char *last = text.data() + end + 1;
    if (*first == '+')
        ++first;
    auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

// A real number token; a decimal comma counts as a decimal point.
static bool parseReal(std::string token, double &value)
{
    for (char &c : token)
        if (c == ',')
            c = '.';
    const char *first = token.data();
    const char *last = token.data() + token.size();
    if (first != last && *first == '+')
        ++first;
    auto result = std::from_chars(first, last, value, std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

// "mean deviation passed": the two numbers, then the rest of the line from
// the blank after the second number; passed when the rest's second character
// is 't' or 'T'.
static bool parseValueLine(const std::string &line, NoteSlot &slot)
{
    size_t p = 0;
    double numbers[2];
    for (double &number : numbers) {
        p = line.find_first_not_of(' ', p);
        if (p == std::string::npos)
            return false;
        size_t end = line.find(' ', p);
        if (end == std::string::npos)
            end = line.size();
        if (!parseReal(line.substr(p, end - p), number))
            return false;
        p = end;
    }
    slot.mean = numbers[0];
    slot.standardDeviation = numbers[1];
    const std::string rest = line.substr(p);
    slot.passed = rest.size() >= 2 && (rest[1] == 't' || rest[1] == 'T') ? 1 : 0;
    return true;
}

static bool isDigit(char c) { return c >= '0' && c <= '9'; }

// D-Mon-YY into a day number, or an ImportResult code.
static int32_t parseDateLine(const std::string &line, int32_t &dayNumber)
{
    auto at = [&line](size_t i) { return i < line.size() ? line[i] : '\0'; };
    if (!isDigit(at(0)))
        return importBadDate;
    int32_t day = at(0) - '0';
    size_t p = 1;
    if (at(1) != '-') {
        if (!isDigit(at(1)))
            return importBadDate;
        day = day * 10 + (at(1) - '0');
        p = 2;
    }
    ++p; // the hyphen after the day
    int32_t month = 0;
    for (int m = 0; m < 12 && month == 0; ++m)
        if (at(p) == monthNames[m][0] && at(p + 1) == monthNames[m][1] && at(p + 2) == monthNames[m][2])
            month = m + 1;
    if (month == 0)
        return importBadMonth;
    p += 3;
    if (at(p) != '-')
        return importBadDateHyphen;
    ++p;
    if (!isDigit(at(p)) || !isDigit(at(p + 1)))
        return importBadDate;
    const int32_t year = 2000 + (at(p) - '0') * 10 + (at(p + 1) - '0');
    // A day its month does not have (31-Apr, 29-Feb of a common year).
    int32_t y, m, d;
    const int32_t number = dayNumberFromDate(year, month, day);
    dateFromDayNumber(number, y, m, d);
    if (day < 1 || y != year || m != month || d != day)
        return importBadDate;
    dayNumber = number;
    return importOk;
}

static int32_t readBlockGroup(LineReader &in, LessonBlock &block)
{
    in.read(); // the block index is not checked
    if (in.endOfFile)
        return importTruncated;
    for (NoteSlot &slot : block.slots) {
        const std::string name = in.read();
        if (in.endOfFile)
            return importTruncated;
        const int32_t note = tryParseNoteName(name);
        if (note < 0)
            return importBadNoteName;
        slot.note = note;
        const std::string values = in.read();
        if (in.endOfFile)
            return importTruncated;
        if (!parseValueLine(values, slot))
            return importBadNumber;
    }
    const std::string done = in.read();
    if (in.endOfFile)
        return importTruncated;
    block.done = !done.empty() && (done[0] == 't' || done[0] == 'T') ? 1 : 0;
    return importOk;
}

static std::FILE *openImportFile(const std::string &fileName)
{
    if (fileName.empty())
        return nullptr;
    std::string path = fileName;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        path = resolveDataPath(fileName);
        if (::stat(path.c_str(), &info) != 0)
            return nullptr;
    }
    if (!S_ISREG(info.st_mode))
        return nullptr;
    return std::fopen(path.c_str(), "rb");
}

static int32_t readStatistics(LineReader &in, int32_t slot, ImportScratch &scratch)
{
    int32_t sums[checkedChars] = {};

    const std::string header = in.read();
    if (header.size() < 22 || header.size() > 50)
        return importBadHeaderLength;
    if (header[0] != 'T' && header[1] != 'N' && header[2] != 'V' && header[3] != 'S' && header[4] != 't')
        return importBadHeaderLetters;

    const std::string second = in.read();
    if (second.size() < 30 || second.size() > 80)
        return importBadLine2Length;
    addToSums(sums, second);

    // A free row has no user to match, whatever its record holds.
    if (in.read() != userRecords[slot].name || in.endOfFile || userRecords[slot].key == 0)
        return importOtherUser;

    int64_t moves[2] = {0, 0};
    in.read(); // training days
    for (int64_t &m : moves) {
        const std::string line = in.read();
        if (in.endOfFile)
            return importTruncated;
        if (!parseInteger(line, m))
            return importBadNumber;
    }
    for (int i = 7; i <= 10; ++i)
        in.read(); // gender, age, experience, years

    const char layout = header[12];
    if (layout == '1' || layout == '2') {
        in.read(); // report type
        in.read(); // reason
    }
    if (in.endOfFile)
        return importTruncated;
    if (layout == '2') {
        const std::string heading = in.read();
        if (heading.empty() || heading[0] != 'S')
            return importNoSnapshot;
        for (LessonBlock &block : scratch.blocks)
            if (int32_t r = readBlockGroup(in, block); r != importOk)
                return r;
    }

    const std::string heading = in.read();
    if (heading.empty() || heading[0] != 't')
        return importNoTimeLine;
    for (TimeLineDay &day : scratch.days) {
        const std::string date = in.read();
        if (in.endOfFile)
            return importTruncated;
        addToSums(sums, date);
        int32_t dayNumber = 0;
        if (int32_t r = parseDateLine(date, dayNumber); r != importOk)
            return r;
        day.date = dayNumber;
        for (LessonBlock &block : day.lessonBlocks)
            if (int32_t r = readBlockGroup(in, block); r != importOk)
                return r;
    }

    const std::string check = in.read();
    if (check.size() < size_t(checkedChars))
        return importShortCheckLine;
    for (int k = 0; k < 4; ++k)
        if (check[size_t(k)] != checkChar(sums[k]))
            return importWrongCheckStart;
    for (int k = 4; k < checkedChars; ++k)
        if (size_t(k + 1) >= check.size() || check[size_t(k + 1)] != checkChar(sums[k]))
            return importWrongCheckEnd;

    if (moves[0] != 0 || moves[1] != 0)
        return importMovesNotZero;
    return importOk;
}

int32_t importUserStatistics(int32_t slot, const std::string &fileName)
{
    if (slot < 0 || slot >= maxUsers)
        return importOtherUser;
    std::unique_ptr<std::FILE, FileCloser> file(openImportFile(fileName));
    if (!file)
        return importCannotOpen;
    auto reader = std::make_unique<LineReader>();
    reader->file = file.get();

    // Read into a copy; the user's blocks and days change only on success.
    auto scratch = std::make_unique<ImportScratch>();
    for (int32_t b = 0; b < lessonBlockCount; ++b)
        scratch->blocks[b] = userRecords[slot].lessonBlocks[b];
    for (int32_t d = 0; d < timeLineDayCount; ++d)
        scratch->days[d] = timeLineDay(slot, d);

    const int32_t result = readStatistics(*reader, slot, *scratch);
    if (std::ferror(file.get()))
        return importCannotOpen;
    // Reading stops at the first failing line, so a cut line was read at or
    // before it: the cut is the fault to report.
    if (reader->overlong)
        return importLineTooLong;
    if (result != importOk)
        return result;

    for (int32_t b = 0; b < lessonBlockCount; ++b)
        userRecords[slot].lessonBlocks[b] = scratch->blocks[b];
    // Empty days cost nothing in memory: clear the time line, then store only
    // the days that hold something. The time-line-full flag is the user's own.
    const uint8_t full = userRecords[slot].timeLineFull;
    resetUserTimeLine(slot);
    userRecords[slot].timeLineFull = full;
    for (int32_t d = 0; d < timeLineDayCount; ++d)
        if (!isEmptyTimeLineDay(scratch->days[d]))
            editTimeLineDay(slot, d) = scratch->days[d];
    return importOk;
}
