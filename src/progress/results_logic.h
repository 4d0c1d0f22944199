// What the result screens (score overview, note statistics, time-line graph,
// time-line numbers) compute, apart from drawing: tallies of a finished
// lesson, its score and rating, the level shown, day counts, graph pages and
// cells, table cells and the export form's checks.
#pragma once
#include <cstdint>
#include <string>

#include "lessons/lesson_params.h"
#include "store/store_records.h"
#include "store/recording_file.h"

// ---- Score overview -------------------------------------------------------

// The score of the lesson just run, by ExerciseType (replay counters,
// lessonPassed for type 22, 0 for the types nothing scores).
int32_t exerciseScore(int32_t type);
// "Exercise Type: Pitch" and the like.
std::string exerciseTypeTitle(int32_t type);
// Which tally a type adds: 0 none, 1 pitch, 2 rhythm.
int32_t exerciseTallyKind(int32_t type);
// The lesson types sung as a melody, whose score or tallies come from the
// replay rating the recording against the lesson's notes: Pitch, Rhythm,
// Loudness, NoteOk, Song, IntervalFirst, IntervalLast and SingleChordNote.
// A TarnovaExercise lesson (type 22, every lesson of the curriculum) records
// one answer instead.
bool typeSingsTheLessonNotes(int32_t type);
// The score overview offers Replay only where the replay plays what was
// sung against the notes it was sung to: a lesson of such a type whose last
// recording is its tune as sung (not one answer of the exercise run).
bool replayOffered(int32_t type, RecordingKind recording);

// Adds the recording window's blocks to the note tallies of `record`.
void addPitchTally(UserRecord &record);
// Adds the onsets of the melody's notes to the rhythm tallies of `record`.
void addRhythmTally(UserRecord &record);

// The first display's work for the current user and currentLesson: tallies,
// one save of the users file, the score recorded, and when it rates 2 or
// more the next lesson made current. All saves of it are written once.
// Returns the rating.
int32_t recordFinishedLesson();

// "Score: 8 Notes; time delay: 1.5 sec; Allowed Tolerance: 75 cents; Mean within: 50 cents;"
std::string requirementLine(const LessonParams &params);
// The delay in seconds with one decimal ("1.5").
std::string delaySecondsText(double delayMs);
// Mean and standard deviation of a note row ("12.3"; a value that rounds to
// zero reads "0.0" whatever its sign).
std::string oneDecimal(double value);

// Bar of a note row: m and d in pixels (1.2 per cent); drawn only when m < 100.
struct DeviationBar {
    double m, d;
    bool shown;
};
DeviationBar deviationBar(const NoteSlot &slot);

// ---- Note statistics ------------------------------------------------------

// The block shown for the lesson the menu shows: -1 for none ("No Statistics
// yet"); `currentLevel` tells which heading applies.
int32_t noteStatisticsBlock(const UserRecord &record, int32_t lesson, bool &currentLevel);
// The current highest level: the block after the last done one when it holds
// a passed note, else the last done one (0 when none is done).
int32_t highestLevelBlock(const UserRecord &record);

// ---- Time line ------------------------------------------------------------

// A trained note counts as a success exactly when the exercise passed it:
// |mean| within the lesson's max. Dev. (block L is lesson L + 2).
bool noteIsSuccess(const NoteSlot &slot, int32_t blockIndex);
void blockCounts(const LessonBlock &block, int32_t blockIndex, int32_t &successes, int32_t &misses);
void dayCounts(const TimeLineDay &day, int32_t &successes, int32_t &misses);

// Graph pages 1..5: five column groups each.
struct GraphGroup {
    int32_t first, last; // block indexes
    int32_t offset;      // x offset of the group: 0, 154, 308, 462, 616
    const char *heading1;
    const char *heading2;
};
constexpr int32_t graphPageCount = 5;
const GraphGroup *graphPageGroups(int32_t page); // 5 groups, nullptr outside 1..5
int32_t graphPageLastBlock(int32_t firstBlock);  // 150, 300, 450, 492, 554; -1 otherwise
// x of block L's cell on the page (-1 when L is not on it).
int32_t graphCellX(int32_t page, int32_t blockIndex);
// Height of the red lower part of a cell with both successes and misses.
int32_t graphCellRedHeight(int32_t successes, int32_t misses);
// A count right-aligned in 4 characters, with one more blank in front.
std::string graphCountText(int32_t count);

// Table cells of the numbers page.
std::string formatMeanCell(double mean);
std::string formatVarianceCell(double deviation);
// "8 Notes; Time delay 1.5" / "1 Note; Time delay 240.0"
std::string numbersNotesLine(const LessonParams &params);

// ---- Export form ----------------------------------------------------------

// Value of a field's digits; false when empty, not all digits or beyond 32 bits.
bool fieldNumber(const std::string &text, int32_t &value);
bool ageAccepted(const std::string &text);   // 1..200
bool yearsAccepted(const std::string &text); // 0..200

struct ExportForm {
    bool male, female;     // chosen boxes
    std::string ageText;
    int32_t reportType;    // chosen box 1..4, 0 none
    int32_t reason;        // chosen box 1..6, 0 none
};
// The alert the Export checks give, in their order; "" when the form is complete.
std::string exportFormProblem(const ExportForm &form);
