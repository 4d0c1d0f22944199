#include "progress/results_logic.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/rounding.h"
#include "base/small_routines.h"
#include "lessons/exercise_parts.h"
#include "lessons/lesson_state.h"
#include "music/notes.h"
#include "store/user_actions.h"
#include "store/score_file.h"
#include "store/store_io.h"
#include "store/users_file.h"
#include "replay/replay_state.h"

// ---- Score overview -------------------------------------------------------

int32_t exerciseScore(int32_t type)
{
    switch (type) {
    case exercisePitch: case exerciseSong: case exerciseIntervalFirst: case exerciseIntervalLast: return pitchHitCount;
    case exerciseRhythm: return onBeatScore;
    case exerciseLoudness: return loudnessOkCount;
    case exerciseNoteOk: return 10 * noteOkCount;
    case exerciseTarnova: return lessonPassed;
    default: return 0;
    }
}

std::string exerciseTypeTitle(int32_t type)
{
    static const char *const titles[23] = {
        "Pitch", "Rhythm", "Loudness", "NoteOk", "Pitch", "Pitch", "Pitch", "", "",
        "Interval", "LeftOrRight", "HowManyNotes", "WhichNote", "NoteInChord", "SingleChordNote",
        "EarTraining", "Triad", "Seventh", "Move Notes", "LearningBox", "SingleNoteRecognition",
        "IntervalRecognition", "Tarnova"};
    if (type < 0 || type > exerciseTarnova || titles[type][0] == '\0') return "Exercise Type: ";
    return std::string("Exercise Type: ") + titles[type];
}

int32_t exerciseTallyKind(int32_t type)
{
    switch (type) {
    case exercisePitch: case exerciseNoteOk: case exerciseSong: case exerciseIntervalFirst: case exerciseIntervalLast:
    case exerciseSingleChordNote: return 1;
    case exerciseRhythm: return 2;
    default: return 0;
    }
}

void addPitchTally(UserRecord &record)
{
    // Half a block (1024 samples) after the moment the replay reached a note.
    constexpr double halfBlockMs = 1024.0 / 44.1;
    int32_t n = -1;
    int32_t p = 0;
    const int32_t blocks = std::min(recordingBlockIndex, blockTrackSize);
    const int32_t noteCount = std::min(lessonNoteCount, lessonNoteCapacity - 1);
    for (int32_t b = 0; b < blocks; ++b) {
        if (n + 1 < noteCount && blockTimeMs[b] >= lessonNotes[n + 1].reachedMs + halfBlockMs) {
            ++n;
            if (lessonNotes[n].letter != 'r') {
                p = noteOfStaffValue(lessonNotes[n].soundingStaff);
                if (p >= firstTallyNote && p <= lastTallyNote) record.noteTallies[p].presented += 1;
            }
        }
        if (n < 0 || n >= noteCount || lessonNotes[n].letter == 'r') continue;
        if (p < firstTallyNote || p > lastTallyNote) continue;
        NoteTally &t = record.noteTallies[p];
        t.blocksMeasured += 1;
        if (blockPitchRating[b] == 2) t.blocksInBand += 1;
        const double f = pitchSamples[b];
        if (noteFrequencies[p - 3] < f && f < noteFrequencies[p + 4]) {
            const double lnF = std::log(f);
            t.blocksNear += 1;
            t.sumHz += f;
            t.sumLnHz += lnF;
            t.sumLnHzSquared += lnF * lnF;
        }
    }
}

void addRhythmTally(UserRecord &record)
{
    int32_t g = 0;
    const int32_t lastI = std::min(nextMelodyNote - 2, lessonNoteCapacity - 2);
    for (int32_t i = 0; i <= lastI; ++i) {
        const int32_t k = i + 1;
        const TimedNote &note = lessonNotes[i];
        const TimedNote &next = lessonNotes[k];
        if (note.tieRole != 0) continue;
        if (next.letter == 'r') {
            g = k;
            continue;
        }
        const int32_t len = roundToInt32(next.startUnits - lessonNotes[g].startUnits);
        int32_t loud = 0;
        for (int32_t j = i;; --j) {
            if (lessonNotes[j].onsetPeakLevel > 8000 || lessonNotes[j].bodyPeakLevel > 8000) ++loud;
            if (j - 1 < 0) break;
            const TimedNote &before = lessonNotes[j - 1];
            if (!(before.tieRole == 1 || before.tieRole == 2) || before.letter != note.letter) break;
        }
        if (len < 4 || len > 64 || len % 4 != 0) {
            g = i + 1;
            continue;
        }
        RhythmTally &t = record.rhythmTallies[len / 4 - 1];
        const double dev = next.onsetPeakPos * 1000.0 / 44100.0 - next.startMs;
        const int side = note.letter == 'r' ? 1 : 0;
        t.notes[side] += 1;
        const bool measured = side == 1 ? loud == 0 : (loud <= 1 && next.bodyPeakLevel < 8000);
        if (measured) {
            if (std::fabs(dev) <= beatAccuracy * 10.0) t.onsetsWithinAccuracy[side] += 1;
            if (std::fabs(dev) <= 240.0) {
                t.onsetsWithin240[side] += 1;
                t.sumDeviation[side] += dev;
                t.sumSquaredDeviation[side] += dev * dev;
            }
        } else {
            t.onsetsNotMeasured[side] += 1;
        }
        g = i + 1;
    }
}

int32_t recordFinishedLesson()
{
    const int32_t score = exerciseScore(exerciseType);
    beginStoreUpdate();
    const int32_t slot = userSlotForKey(currentUserKey);
    if (slot >= 0) {
        const int32_t tally = exerciseTallyKind(exerciseType);
        if (tally == 1) addPitchTally(userRecords[slot]);
        if (tally == 2) addRhythmTally(userRecords[slot]);
    }
    saveUsersFiles();
    recordScore(currentLesson, currentUserKey, currentUserTessitura, score);
    int32_t rating = 0;
    ratingForScore(score, currentLesson, rating);
    // There is no lesson after 556 to make current.
    if (rating >= 2) setUserCurrentLesson(currentUserKey, currentLesson < 556 ? currentLesson + 1 : 556);
    endStoreUpdate();
    return rating;
}

bool typeSingsTheLessonNotes(int32_t type) { return (type >= 0 && type <= 6) || type == 14; }

bool replayOffered(int32_t type, RecordingKind recording)
{
    return typeSingsTheLessonNotes(type) && recording == RecordingKind::sungTune;
}

std::string oneDecimal(double value) { return fixedText(value, 1); }

std::string delaySecondsText(double delayMs) { return oneDecimal(delayMs / 1000.0); }

std::string requirementLine(const LessonParams &p)
{
    return "Score: " + std::to_string(p.noteCount) + " Notes;" + " time delay: " + delaySecondsText(p.delayMs) +
           " sec;" + " Allowed Tolerance: " + std::to_string(roundToInt32(p.maxTolCents)) + " cents;" +
           " Mean within: " + std::to_string(roundToInt32(p.maxDevCents)) + " cents;";
}

DeviationBar deviationBar(const NoteSlot &slot)
{
    const double m = slot.mean / 100.0 * 120.0;
    const double d = slot.standardDeviation / 100.0 * 120.0;
    return DeviationBar{m, d, m < 100.0};
}

// ---- Note statistics ------------------------------------------------------

int32_t highestLevelBlock(const UserRecord &record)
{
    int32_t h = 0;
    for (int32_t L = 1; L <= 554; ++L)
        if (record.lessonBlocks[L].done != 0) h = L;
    if (h < 554)
        for (const NoteSlot &s : record.lessonBlocks[h + 1].slots)
            if (s.passed != 0) return h + 1;
    return h;
}

int32_t noteStatisticsBlock(const UserRecord &record, int32_t lesson, bool &currentLevel)
{
    currentLevel = false;
    if (lesson < 2 || lesson > 556) return -1;
    if (record.lessonBlocks[lesson - 2].slots[0].note == emptyNoteIndex) return -1;
    if (lesson > 2) return lesson - 2;
    currentLevel = true;
    return highestLevelBlock(record);
}

// ---- Time line ------------------------------------------------------------

bool noteIsSuccess(const NoteSlot &slot, int32_t blockIndex)
{
    const int32_t lesson = blockIndex + 2;
    if (lesson < firstParamsLesson || lesson > lastParamsLesson) return false;
    return std::fabs(slot.mean) <= lessonParamsTable[lesson].maxDevCents;
}

void blockCounts(const LessonBlock &block, int32_t blockIndex, int32_t &successes, int32_t &misses)
{
    successes = 0;
    misses = 0;
    for (const NoteSlot &s : block.slots) {
        if (s.note == emptyNoteIndex) continue;
        if (noteIsSuccess(s, blockIndex))
            ++successes;
        else
            ++misses;
    }
}

void dayCounts(const TimeLineDay &day, int32_t &successes, int32_t &misses)
{
    successes = 0;
    misses = 0;
    for (int32_t L = 0; L < lessonBlockCount; ++L) {
        int32_t s, m;
        blockCounts(day.lessonBlocks[L], L, s, m);
        successes += s;
        misses += m;
    }
}

static const GraphGroup graphGroups[graphPageCount][5] = {
    {{1, 30, 0, "8 Notes", "up to 15 sec"},
     {31, 60, 154, "7 Notes", "up to 30 sec"},
     {61, 90, 308, "6 Notes", "up to 45 sec"},
     {91, 120, 462, "5 Notes", "up to 60 sec "},
     {121, 150, 616, "4 Notes", "up to 75 sec"}},
    {{151, 180, 0, "3 Notes", "up to 90 sec"},
     {181, 210, 154, "2 Notes", "up to 105 sec"},
     {211, 240, 308, "1 Note", "up to 120 sec"},
     {241, 270, 462, "1 Note", "up to 135 sec "},
     {271, 300, 616, "1 Note", "up to 150 sec"}},
    {{301, 330, 0, "1 Note", "up to 165 sec"},
     {331, 360, 154, "1 Note", "up to 18 sec"},
     {361, 390, 308, "1 Note", "up to 195 sec"},
     {391, 420, 462, "1 Note", "up to 210 sec "},
     {421, 450, 616, "1 Note", "up to 225 sec"}},
    {{451, 480, 0, "1 Note", "up to 240 sec"},
     {481, 483, 154, "2 Notes", "up to 240 sec"},
     {484, 486, 308, "3 Notes", "up to 240 sec"},
     {487, 489, 462, "4 Notes", "up to 240 sec "},
     {490, 492, 616, "5 Notes", "up to 240 sec"}},
    {{493, 495, 0, "6 Note", "up to 240 sec"},
     {496, 498, 154, "7 Notes", "up to 240 sec"},
     {499, 506, 308, "8 Notes", "up to 240 sec"},
     {507, 536, 462, "8 Notes", "up to 840 sec "},
     {537, 554, 616, "8 Notes", "up to 1200 sec"}},
};

const GraphGroup *graphPageGroups(int32_t page)
{
    if (page < 1 || page > graphPageCount) return nullptr;
    return graphGroups[page - 1];
}

int32_t graphPageLastBlock(int32_t firstBlock)
{
    for (const auto &page : graphGroups)
        if (page[0].first == firstBlock) return page[4].last;
    return -1;
}

int32_t graphCellX(int32_t page, int32_t blockIndex)
{
    const GraphGroup *groups = graphPageGroups(page);
    if (!groups) return -1;
    for (int i = 0; i < 5; ++i)
        if (blockIndex >= groups[i].first && blockIndex <= groups[i].last)
            return 255 + groups[i].offset + 5 * (blockIndex - groups[i].first);
    return -1;
}

int32_t graphCellRedHeight(int32_t successes, int32_t misses)
{
    if (successes + misses <= 0) return 0;
    return roundToInt32(5.0 * misses / (successes + misses));
}

std::string graphCountText(int32_t count)
{
    std::string digits = std::to_string(count);
    if (digits.size() < 4) digits = std::string(4 - digits.size(), ' ') + digits;
    return " " + digits;
}

// A whole number in decimal, whatever its size (no cast to an integer type:
// an imported standard deviation may lie far beyond 64 bits).
static std::string wholeNumberText(double r) { return fixedText(r, 0); }

std::string formatMeanCell(double mean)
{
    const double r = roundNearest(mean);
    const double magnitude = roundNearest(std::fabs(mean));
    if (!(magnitude < 100)) return "xxx"; // also a value that is no number
    std::string text;
    if (std::fabs(r) < 10) text += ' ';
    text += mean < 0 && magnitude != 0 ? '-' : ' '; // a mean that rounds to 0 has no sign
    text += wholeNumberText(magnitude);
    return text;
}

std::string formatVarianceCell(double deviation)
{
    const double r = roundNearest(deviation);
    if (r >= 100 || !std::isfinite(r)) return "xx";
    std::string text;
    if (std::fabs(r) < 10) text += ' ';
    text += wholeNumberText(r);
    return text;
}

std::string numbersNotesLine(const LessonParams &p)
{
    std::string text = p.noteCount == 1 ? "1 Note; Time delay " : std::to_string(p.noteCount) + " Notes; Time delay ";
    const int64_t ms = static_cast<int64_t>(p.delayMs);
    return text + std::to_string(ms / 1000) + "." + (ms % 1000 == 500 ? "5" : "0");
}

// ---- Export form ----------------------------------------------------------

bool fieldNumber(const std::string &text, int32_t &value)
{
    if (text.empty()) return false;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > INT32_MAX) return false;
    }
    value = static_cast<int32_t>(v);
    return true;
}

bool ageAccepted(const std::string &text)
{
    int32_t v;
    return fieldNumber(text, v) && v >= 1 && v <= 200;
}

bool yearsAccepted(const std::string &text)
{
    int32_t v;
    return fieldNumber(text, v) && v >= 0 && v <= 200;
}

std::string exportFormProblem(const ExportForm &form)
{
    if (!form.male && !form.female) return "Please set your gender";
    int32_t age = 0;
    if (!fieldNumber(form.ageText, age) || age == 0) return "Please set your age";
    if (form.reportType == 0) return "Please choose a report type";
    if (form.reportType == 4 && form.reason == 0) return "Please choose a reason for giving up";
    return "";
}
