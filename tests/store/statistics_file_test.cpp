// The statistics export and import: the written layout, the round trip, and
// damaged files that must leave the user exactly as they were.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "store/statistics_file.h"
#include "store/store_fixture.h"

namespace {

int32_t fixedToday() { return dayNumberFromDate(2026, 12, 28); }

// Bytes of everything an import may touch: the slot's record and its days.
std::vector<uint8_t> slotImage(int32_t slot)
{
    std::vector<uint8_t> bytes(userRecordSize + timeLineBlockSize);
    writeUserRecord(userRecords[slot], bytes.data());
    for (int32_t d = 0; d < timeLineDayCount; ++d)
        writeTimeLineDay(timeLineDay(slot, d), bytes.data() + userRecordSize + timeLineDaySize * size_t(d));
    return bytes;
}

void putUser(int32_t slot, int32_t key, const std::string &name)
{
    UserRecord &r = userRecords[slot];
    r.name = name;
    r.key = key;
    r.tessitura = 3;
    r.currentLesson = 1;
    for (LessonBlock &b : r.lessonBlocks) b = emptyLessonBlock();
    resetUserTimeLine(slot);
}

LessonBlock resultBlock(int32_t firstNote, double mean, bool done)
{
    LessonBlock b = emptyLessonBlock();
    for (int j = 0; j < 3; ++j) {
        b.slots[j].note = firstNote + j;
        b.slots[j].mean = mean - j;
        b.slots[j].standardDeviation = 7.25 + j;
        b.slots[j].passed = j != 1;
    }
    b.done = done;
    return b;
}

std::vector<std::string> splitLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string> &lines, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count && i < lines.size(); ++i) text += lines[i] + "\r\n";
    return text;
}

std::string readText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

struct StatisticsTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        setTodayFunction(fixedToday);
        for (int32_t s = 0; s < maxUsers; ++s) putUser(s, 0, "");
        putUser(0, 1, "Ada");
        putUser(1, 2, "Bea Ray");
        currentUserSlot = 0;
        currentUserKey = 1;
        currentUserName = "Ada";
    }

    // Ada with results in her record and on three training days.
    void giveAdaResults()
    {
        userRecords[0].lessonBlocks[0] = resultBlock(27, -12.3, true);
        userRecords[0].lessonBlocks[554] = resultBlock(40, 0.5, false);
        const int32_t dates[3] = {dayNumberFromDate(2026, 12, 1), dayNumberFromDate(2026, 12, 28),
                                  dayNumberFromDate(2009, 3, 9)};
        for (int d = 0; d < 3; ++d) {
            TimeLineDay &day = editTimeLineDay(0, d);
            day.date = dates[d];
            day.lessonBlocks[d * 100] = resultBlock(10 + d * 20, 3.0 * d - 40.0, d != 1);
        }
    }

    std::string exportAda(const std::string &name = "stats.txt")
    {
        StatisticsPersonalData data;
        data.trainingDays = 3;
        data.male = false;
        data.ageText = "42";
        data.experienceIndex = 3;
        data.yearsText = "";
        data.reportType = 2;
        data.reason = 0;
        EXPECT_TRUE(writeStatisticsExport(path(name), data));
        return path(name);
    }
};

TEST_F(StatisticsTest, ExportLayoutOfAUserWithoutResults)
{
    const std::vector<std::string> lines = splitLines(readText(exportAda()));
    ASSERT_EQ(lines.size(), 1009105u);
    EXPECT_EQ(lines[0], "TNVStats v1.2 28-Dec-26");
    EXPECT_GE(lines[1].size(), 30u);
    EXPECT_LE(lines[1].size(), 80u);
    const std::vector<std::string> personal = {"Ada", "3", "0", "0", "Female", "42", "plucked String", "", "2", "0",
                                               "Snapshot Tarnova"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 13), personal);
    // First snapshot group, then the first time-line group.
    EXPECT_EQ(lines[13], "0");
    EXPECT_EQ(lines[14], "B7 ");
    EXPECT_EQ(lines[15], "100.00 100.00 FALSE ");
    EXPECT_EQ(lines[30], "FALSE");
    EXPECT_EQ(lines[13 + 9990], "timeline stats");
    EXPECT_EQ(lines[13 + 9991], "5-May-00");
    EXPECT_EQ(lines[13 + 9991 + 18], "FALSE ");
    EXPECT_EQ(lines.back().size(), 9u);
    for (char c : lines.back()) {
        EXPECT_GE(c, 33);
        EXPECT_LE(c, 96);
    }
    EXPECT_EQ(statisticsDateText(int32_t(emptyDayNumber)), "5-May-00");
}

TEST_F(StatisticsTest, RoundTripRestoresBlocksAndTimeLineExactly)
{
    giveAdaResults();
    const std::vector<uint8_t> before = slotImage(0);
    const std::string file = exportAda();
    const std::vector<std::string> lines = splitLines(readText(file));
    EXPECT_EQ(lines[14], "C4 ");
    EXPECT_EQ(lines[15], "-12.30 7.25 TRUE ");
    EXPECT_EQ(lines[16], "C#4 ");
    EXPECT_EQ(lines[30], "TRUE");

    // Wipe Ada's results, then bring them back from the file.
    for (LessonBlock &b : userRecords[0].lessonBlocks) b = emptyLessonBlock();
    const uint8_t full = userRecords[0].timeLineFull;
    resetUserTimeLine(0);
    userRecords[0].timeLineFull = full;
    ASSERT_NE(slotImage(0), before);
    EXPECT_EQ(importUserStatistics(0, file), importOk);
    EXPECT_EQ(slotImage(0), before);
}

TEST_F(StatisticsTest, DecimalCommaAndChangedFifthCheckCharacterStillImport)
{
    giveAdaResults();
    const std::vector<uint8_t> before = slotImage(0);
    std::vector<std::string> lines = splitLines(readText(exportAda()));
    ASSERT_EQ(lines[15], "-12.30 7.25 TRUE ");
    lines[15] = "-12,30 7,25 TRUE ";
    lines.back()[4] = lines.back()[4] == '!' ? '"' : '!';
    writeText(path("comma.txt"), joinLines(lines, lines.size()));
    for (LessonBlock &b : userRecords[0].lessonBlocks) b = emptyLessonBlock();
    EXPECT_EQ(importUserStatistics(0, path("comma.txt")), importOk);
    EXPECT_EQ(slotImage(0), before);
}

TEST_F(StatisticsTest, DamagedFilesChangeNothing)
{
    giveAdaResults();
    const std::vector<std::string> good = splitLines(readText(exportAda()));
    const size_t timeLineStart = 13 + 9990;    // "timeline stats"
    const size_t firstDate = timeLineStart + 1;
    const size_t secondDate = firstDate + 9991;

    // "-12.30 7.25000...0 TRUE " of 267 characters: cut at 255 it would read
    // as the same numbers, not passed.
    const std::string longValueLine = "-12.30 7.25" + std::string(250, '0') + " TRUE ";
    ASSERT_EQ(good[15], "-12.30 7.25 TRUE ");

    struct Case {
        const char *what;
        int32_t line;       // line to change (0-based), -1 none
        const char *text;   // its new text
        size_t keepLines;   // lines kept (0 = all)
        int32_t expected;
    };
    const Case cases[] = {
        {"empty file", -1, "", 1, importBadHeaderLength}, // line 0 replaced below
        {"header letters", 0, "XXXXX v1.2 28-Dec-26abc", 0, importBadHeaderLetters},
        {"one header letter is enough", 0, "XNXXXats v1.2 28-Dec-26", 0, importOk},
        {"short line 2", 1, "too short", 0, importBadLine2Length},
        {"another user", 2, "Bea Ray", 0, importOtherUser},
        {"name in other case", 2, "ada", 0, importOtherUser},
        {"successes not 0", 4, "1", 0, importMovesNotZero},
        {"successes no number", 4, "many", 0, importBadNumber},
        {"truncated in personal data", -1, "", 8, importTruncated},
        {"no snapshot heading", 12, "snapshot", 0, importNoSnapshot},
        {"truncated in snapshot", -1, "", 5000, importTruncated},
        {"note name damaged", 14, "H4 ", 0, importBadNoteName},
        {"deviation damaged", 15, "-12.30 abc TRUE ", 0, importBadNumber},
        {"no time-line heading", int32_t(timeLineStart), "Timeline", 0, importNoTimeLine},
        {"month letter case", int32_t(firstDate), "1-dec-26", 0, importBadMonth},
        {"slash after month", int32_t(firstDate), "1-Dec/26", 0, importBadDateHyphen},
        {"day its month lacks", int32_t(secondDate), "31-Apr-26", 0, importBadDate},
        {"year not digits", int32_t(secondDate), "28-Dec-2x", 0, importBadDate},
        {"truncated in time line", -1, "", secondDate + 5000, importTruncated},
        {"check line missing", -1, "", good.size() - 1, importShortCheckLine},
        {"check line of 8", -1, "", 0, importWrongCheckEnd},
        {"first check char", -1, "", 0, importWrongCheckStart},
        {"ninth check char", -1, "", 0, importWrongCheckEnd},
        {"date changed, check fails", int32_t(firstDate), "2-Dec-26", 0, importWrongCheckStart},
        // A value line cut at 255 characters would read as passed = false.
        {"value line too long", 15, longValueLine.c_str(), 0, importLineTooLong},
        {"time-line value line too long", int32_t(secondDate + 3), longValueLine.c_str(), 0, importLineTooLong},
        {"line 2 too long keeps its own code", 1, longValueLine.c_str(), 0, importBadLine2Length},
    };

    const std::vector<uint8_t> before = slotImage(0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> lines = good;
        if (c.line >= 0) lines[size_t(c.line)] = c.text;
        const std::string check = good.back();
        if (std::string(c.what) == "check line of 8") lines.back() = check.substr(0, 8);
        if (std::string(c.what) == "first check char") lines.back()[0] = check[0] == '!' ? '"' : '!';
        if (std::string(c.what) == "ninth check char") lines.back()[8] = check[8] == '!' ? '"' : '!';
        std::string text = joinLines(lines, c.keepLines == 0 ? lines.size() : c.keepLines);
        if (std::string(c.what) == "empty file") text.clear();
        writeText(path("damaged.txt"), text);
        EXPECT_EQ(importUserStatistics(0, path("damaged.txt")), c.expected);
        EXPECT_EQ(slotImage(0), before);
    }

    SCOPED_TRACE("missing file");
    EXPECT_EQ(importUserStatistics(0, path("no-such-file.txt")), importCannotOpen);
    EXPECT_EQ(importUserStatistics(0, dir), importCannotOpen); // a folder
    EXPECT_EQ(slotImage(0), before);
}

TEST_F(StatisticsTest, LayoutDigitOneExpectsNoSnapshot)
{
    std::vector<std::string> lines = splitLines(readText(exportAda()));
    lines[0][12] = '1';
    writeText(path("v11.txt"), joinLines(lines, lines.size()));
    EXPECT_EQ(importUserStatistics(0, path("v11.txt")), importNoTimeLine);
}

TEST_F(StatisticsTest, ImportIntoAFreeRowIsRefused)
{
    const std::string file = exportAda();
    userRecords[2].name = "Ada"; // a stale name in a free slot must not matter
    EXPECT_EQ(importUserStatistics(2, file), importOtherUser);
    EXPECT_EQ(importUserStatistics(6, file), importOtherUser);
    // The file's own checks come first, in the order its lines are read.
    EXPECT_EQ(importUserStatistics(2, path("no-such-file.txt")), importCannotOpen);
    writeText(path("short.txt"), "TNVStats v1.2 28-Dec-26\r\ntoo short\r\n");
    EXPECT_EQ(importUserStatistics(2, path("short.txt")), importBadLine2Length);
}

TEST_F(StatisticsTest, FailedExportLeavesThePreviousFileAndReportsFalse)
{
    const std::string file = exportAda("keep.txt");
    const std::string previous = readText(file);
    giveAdaResults();

    // A file of the user's with the name "<target>.tmp" is not the export's
    // temporary file: it is never touched.
    { std::ofstream(path("keep.txt.tmp")) << "the user's own file"; }
    StatisticsPersonalData data;
    injectStoreWriteFault(1, 100000); // the disk fills up mid-file
    EXPECT_FALSE(writeStatisticsExport(file, data));
    injectStoreWriteFault(0, 0);
    EXPECT_EQ(readText(file), previous);
    EXPECT_EQ(readText(path("keep.txt.tmp")), "the user's own file");
    int beside = 0;
    for (const auto &entry : std::filesystem::directory_iterator(path("")))
        beside += entry.path().filename().string().rfind("keep.txt", 0) == 0;
    EXPECT_EQ(beside, 2) << "the export and the user's file, no temporary file";

    EXPECT_FALSE(writeStatisticsExport(dir + "/no-such-folder/stats.txt", data));
    EXPECT_FALSE(writeStatisticsExport("", data));
}

} // namespace
