// The statistics export: one user's lesson results (the 555 lesson blocks of
// the user record) and time line (100 training days) as a text file with CR LF
// line ends, headed by "TNVStats v1.2 " and the date, the user's name and the
// personal data of the time-line numbers screen, closed by a 9-character check
// line. The same file can be imported into a user of the user-management
// screen.
//
// An import changes nothing unless it succeeds: the file is read into a
// scratch copy of the user's lesson blocks and time line, which replaces them
// only when the whole file was read and every check passed (result 0). The
// caller saves after a result of 0. No file, however damaged, ends the
// program.
#pragma once
#include <cstdint>
#include <string>

// What the time-line numbers screen collects for the export.
struct StatisticsPersonalData {
    int32_t trainingDays = 0;    // as countTrainingDays reports them
    int32_t successfulMoves = 0; // always 0 from countTrainingDays
    int32_t missedMoves = 0;     // always 0 from countTrainingDays
    bool male = true;            // "Male", else "Female"
    std::string ageText;         // the age field's text
    int32_t experienceIndex = 0; // index into experienceNames, 0..7
    std::string yearsText;       // the years field's text (may be empty)
    int32_t reportType = 0;      // chosen report-type box 1..4, 0 none
    int32_t reason = 0;          // chosen reason box 1..6, 0 none
};

// The musical-experience list of the time-line numbers screen.
inline constexpr const char *experienceNames[8] = {
    "None", "Voice", "Keyboard", "plucked String", "bowed String", "Wind", "Percussion", "Other"};

// Writes the export of the current user (currentUserKey, currentUserName)
// to fileName, replacing an existing file only once the new one is complete.
// False when the file could not be written (no permission, full disk, no such
// folder); the caller then raises the alert. Nothing in
// memory changes either way.
bool writeStatisticsExport(const std::string &fileName, const StatisticsPersonalData &data);

// ImportResult codes.
constexpr int32_t importOk = 0;
constexpr int32_t importBadHeaderLength = 1;  // line 1 shorter than 22 or longer than 50
constexpr int32_t importBadHeaderLetters = 2; // none of "TNVSt" at its place
constexpr int32_t importBadLine2Length = 3;   // line 2 shorter than 30 or longer than 80
constexpr int32_t importOtherUser = 5;        // line 3 is not the target user's name
constexpr int32_t importNoSnapshot = 24;      // line 13 does not begin with 'S'
constexpr int32_t importNoTimeLine = 25;      // the time-line heading does not begin with 't'
constexpr int32_t importBadMonth = 27;        // a date's month is none of "Jan".."Dec"
constexpr int32_t importBadDateHyphen = 28;   // no '-' after a date's month
constexpr int32_t importWrongCheckStart = 29; // check characters 1..4 differ
constexpr int32_t importWrongCheckEnd = 30;   // check characters 6..9 differ
constexpr int32_t importShortCheckLine = 31;  // check line shorter than 8 characters
constexpr int32_t importMovesNotZero = 32;    // line 5 or 6 is not 0
constexpr int32_t importCannotOpen = 33;      // the file cannot be opened
constexpr int32_t importTruncated = 34;       // the file ends before its check line
constexpr int32_t importBadNoteName = 35;     // a note line is no note name
constexpr int32_t importBadNumber = 36;       // line 5 or 6, or a deviation, is no number
constexpr int32_t importBadDate = 37;         // a date line names no calendar day
constexpr int32_t importLineTooLong = 38;     // a line after line 2 is longer than 255 characters

// Reads fileName into user slot 0..5: its 555 lesson blocks (when the file
// carries a snapshot section) and all 100 time-line days. Only a result of 0
// changes the slot; nothing is saved here.
int32_t importUserStatistics(int32_t slot, const std::string &fileName);

// "5-May-00": day without leading zero, English month, two-digit year.
std::string statisticsDateText(int32_t dayNumber);
