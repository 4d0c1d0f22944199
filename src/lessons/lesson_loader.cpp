// Screen 11: loading a lesson folder.
#include "lessons/lesson_loader.h"

#include <cstring>

#include "base/rounding.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "base/stops.h"
#include "lessons/exercise_parts.h"
#include "lessons/lesson_options.h"
#include "lessons/timed_notes.h"
#include "music/abc_reader.h"
#include "lessons/lesson_note_labels.h"
#include "music/note_labels.h"
#include "music/notes.h"
#include "music/tune_state.h"
#include "store/users_file.h"

float scoreViewPxPerMs = 0.0f;
int32_t viewWindowMs = 0;

// Bounds of the score view: a window of at most a day, and at most 10 pixels
// per ms (a window of 128 ms).
constexpr double maxViewWindowMs = 86400000.0;
constexpr double maxScoreViewPxPerMs = 10.0;
int32_t blockTraceInts[blockTrackSize];
double blockTraceReals[blockTrackSize];
float blockTraceSingles[blockTrackSize];

std::string lessonFolderName(int32_t lesson, LessonFile file)
{
    if (lesson == 1) return "Introduction";
    if (lesson >= 2 && lesson <= 7) return "Lesson" + std::to_string(lesson - 1);
    if (lesson == 8) return file == LessonFile::melody ? "Lesson7" : "lesson7";
    if (lesson >= 9 && lesson <= 26) return "lesson" + std::to_string(lesson - 1);
    if (lesson >= 27 && lesson <= 556) return "lesson" + std::to_string(lesson - 3);
    return "";
}

std::string lessonFilePath(int32_t lesson, LessonFile file)
{
    return resourceDir + lessonFolderName(lesson, file) + "/" + lessonFileNames[static_cast<int32_t>(file)];
}

namespace {

bool typeShowsSolfege(int32_t type) { return type == 0 || type == 3 || type == 5 || type == 6; }
bool isBlackKey(int32_t p) { const int32_t c = p % 12; return c == 1 || c == 4 || c == 6 || c == 9 || c == 11; }

// Flats for the keys Db, Eb, F, Gb, Ab, Bb and Cb, and for C major's
// relative minor; sharps for every other key.
uint8_t flatSpellingOfTune(int32_t key, int32_t minor)
{
    if (isFlatKey(key)) return 1;
    if (key == 0 && minor == 1) return 1;
    return 0;
}

bool shapesNotes(int32_t kind) { return kind != partFixed; }

// A part is shuffled only when none of its notes (nor the chords at the
// same indexes) belongs to a tuplet, beam, slur or tie.
bool partIsPlain(const ExercisePart &part)
{
    for (int32_t i = part.firstNote; i <= part.lastNote; ++i) {
        const TimedNote &n = lessonNotes[i];
        if (n.tupletRole || n.beamKind || n.slurRole || n.tieRole) return false;
        if (i > lessonChordCount) continue; // no chord there in this lesson (records past it are stale)
        const TimedNote &c = lessonChords[i];
        if (c.tupletRole || c.beamKind || c.slurRole || c.tieRole) return false;
    }
    return true;
}

// The counting position of the grid being rebuilt.
struct Counting {
    int32_t kind;
    char character;
    int32_t beatNumber;
};

void advanceCounting(Counting &c, int32_t stop)
{
    switch (c.kind) {
    case 1: c.kind = 3; c.character = 'e'; break;
    case 3: c.kind = 2; c.character = '+'; break;
    case 2: c.kind = 4; c.character = 'a'; break;
    case 4:
        c.kind = 1;
        c.beatNumber = (c.beatNumber + 1) % meterNumerator;
        c.character = static_cast<char>('1' + c.beatNumber);
        break;
    default:
        writeDebugDetail("displayLessonLoadingScreen: beat kind in " +
                         lessonFolderName(currentLesson, LessonFile::melody) + "=" + std::to_string(c.kind));
        stopProgram(0, stop);
    }
}

TimedNote shuffleScratch[maxShuffledPartNotes];
int32_t shuffleGridCounts[maxShuffledPartNotes];
int32_t placedGridCounts[maxShuffledPartNotes];

void shufflePart(const ExercisePart &part)
{
    const int32_t first = part.firstNote;
    const int32_t n = part.lastNote - first;
    if (n + 1 > maxShuffledPartNotes) {
        writeDebugDetail("displayLessonLoadingScreen: shuffled part longer than 1001 notes in " +
                         lessonFolderName(currentLesson, LessonFile::parts) + "=" + std::to_string(n + 1));
        stopProgram(0, stopLoaderPartTooLong);
    }
    const TimedNote &head = lessonNotes[first];
    const double savedStartUnits = head.startUnits;
    const char savedCountChar = head.countChar;
    const int32_t savedBarTotal = head.barTotal;
    const int32_t savedBarKind = head.barKind;
    const int32_t b0 = head.firstBeat;
    const BeatRecord savedGrid = beatRecords[b0];

    for (int32_t k = 0; k <= n; ++k) {
        shuffleScratch[k] = lessonNotes[first + k];
        shuffleGridCounts[k] = lessonNotes[first + k + 1].firstBeat - lessonNotes[first + k].firstBeat;
    }
    // Every order is equally likely: position k takes one of the notes not
    // yet placed, and the gap it leaves is closed.
    for (int32_t k = 0; k <= n; ++k) {
        const int32_t m = n - k;
        const int32_t r = randomBelow(m + 1);
        lessonNotes[first + k] = shuffleScratch[r];
        placedGridCounts[k] = shuffleGridCounts[r];
        for (int32_t j = r; j < m; ++j) {
            shuffleScratch[j] = shuffleScratch[j + 1];
            shuffleGridCounts[j] = shuffleGridCounts[j + 1];
        }
    }

    TimedNote &lead = lessonNotes[first];
    lead.startUnits = savedStartUnits;
    lead.countChar = savedCountChar;
    lead.barTotal = savedBarTotal;
    lead.barKind = savedBarKind;
    lead.firstBeat = b0;
    lead.startMs = roundToInt32(msPerBeat * lead.startUnits / 16);
    BeatRecord &g0 = beatRecords[b0];
    g0.note = savedGrid.note;
    g0.barOffset = savedGrid.barOffset;
    g0.kind = savedGrid.kind;
    g0.countChar = savedGrid.countChar;
    g0.time = savedGrid.time;
    g0.beatNumber = savedGrid.beatNumber;

    int32_t total = savedBarTotal;
    int32_t barOffset = savedGrid.barOffset;
    int32_t gridIndex = b0;
    Counting counting{savedGrid.kind, savedGrid.countChar, savedGrid.beatNumber};
    double time = savedGrid.time;
    const double step = roundToInt32(16.0 / meterDenominator);
    const int32_t gridEnd = beatRecordCount < beatRecordCapacity ? beatRecordCount : beatRecordCapacity;

    auto writeRecord = [&](int32_t k, bool noteStart, const TimedNote &note, int32_t stop) {
        if (gridIndex >= gridEnd) return; // a damaged grid never grows past its count
        BeatRecord &b = beatRecords[gridIndex];
        b.note = first + k;
        b.noteStarts = noteStart ? 1 : 0;
        b.barLine = noteStart && note.barKind != barNone ? 1 : 0;
        b.barOffset = noteStart && note.barKind != barNone ? barOffset : 0;
        b.barTotal = note.barTotal;
        b.inTuplet = 0;
        if (counting.kind == 1) b.beatNumber = counting.beatNumber;
        b.kind = counting.kind;
        b.countChar = counting.character;
        advanceCounting(counting, stop);
        b.time = time;
        b.msTime = roundToInt32(msPerBeat * time / 16);
        if (gridIndex >= 1) beatRecords[gridIndex - 1].msToNext = b.msTime - beatRecords[gridIndex - 1].msTime;
        ++gridIndex;
        time += step;
    };

    for (int32_t k = 0; k <= n; ++k) {
        TimedNote &note = lessonNotes[first + k];
        const int32_t gridCount = placedGridCounts[k];
        if (k >= 1) {
            const TimedNote &prev = lessonNotes[first + k - 1];
            note.startUnits = prev.startUnits + prev.lengthUnits;
            note.startMs = roundToInt32(msPerBeat * note.startUnits / 16);
            note.barTotal = total;
            note.firstBeat = gridIndex;
            const int32_t kind = note.barKind >= barNone && note.barKind <= barThickStart ? note.barKind : barNone;
            total += barLineOffsets[kind];
            barOffset += barLineOffsets[kind];
        }
        writeRecord(k, true, note, stopLoaderGridKindFirst);
        for (int32_t j = 1; j < gridCount; ++j) writeRecord(k, false, note, stopLoaderGridKindFollowing);
    }
}

void redrawPart(const ExercisePart &part)
{
    int32_t low = part.lowNote;
    int32_t high = part.highNote;
    const int32_t shift = currentUserTessitura == 1 ? 24 : currentUserTessitura == 2 ? 12 : 0;
    low -= shift;
    high -= shift;
    while (low < 0) { // a range the shift would take below A1 moves up by octaves
        low += 12;
        high += 12;
    }
    const bool whiteKeys = part.kind == partWhiteKeys;
    auto draw = [&]() {
        int32_t p = randomBelow(high - low + 1) + low;
        if (whiteKeys && isBlackKey(p)) p = p < high ? p + 1 : p - 1;
        return p;
    };
    for (int32_t j = part.firstNote; j <= part.lastNote; ++j) {
        int32_t p = draw();
        if (j >= 1 && high > low)
            for (int32_t again = 0; again < 3; ++again)
                if (lessonNotes[j - 1].noteIndex == p) p = draw();
        TimedNote &note = lessonNotes[j];
        note.noteIndex = p;
        note.soundingStaff = staffValueOfNote(p);
        setNoteStaffSlot(j, note.soundingStaff);
        setNoteToleranceBand(j);
        if (typeShowsSolfege(exerciseType)) {
            const bool flat = writtenAsFlat(note);
            note.lyric = solfegeName(flat, p);
            note.label = noteLabel(flat, p, j);
        }
        if (lessonNoteCount == lessonChordCount) setChordRootFromNote(j);
    }
}

void applyIntervalCode(const ExercisePart &part)
{
    const int32_t code = part.intervalCode;
    if (code == 0 || code > 37) return;
    for (int32_t i = part.firstNote + 1; i <= part.lastNote; i += 2) {
        if (code == 1) applyIntervalToNote(i, 0);
        else if (code % 3 == 2) applyIntervalToNote(i, (code + 1) / 3);
        else if (code % 3 == 0) applyIntervalToNote(i, -(code / 3));
        else {
            const int32_t n = (code - 1) / 3;
            applyIntervalToNote(i, randomBelow(2) == 0 ? n : -n);
        }
    }
    if (lessonNoteCount == lessonChordCount)
        for (int32_t i = part.firstNote; i <= part.lastNote; ++i) setChordRootFromNote(i);
}

} // namespace

void readLessonMelody(const std::string &fileName)
{
    readAbcTuneFile({.fileName = fileName,
                     .tessitura = currentUserTessitura,
                     .records = abcNotes,
                     .capacity = abcMaxRecordIndex,
                     .count = &abcNoteCount,
                     .beats = beatRecords,
                     .beatCapacity = abcMaxBeatIndex,
                     .lastBeatIndex = &beatRecordCount,
                     .keyIndex = &tuneKeyIndex,
                     .minor = &tuneIsMinor,
                     .meterNumerator = &meterNumerator,
                     .meterDenominator = &meterDenominator,
                     .tempo = &lessonTempo,
                     .pickup = &pickupLength,
                     .title = &tuneTitle,
                     .composer = &tuneComposer,
                     .source = &tuneSource});
}

void loadLesson()
{
    const int32_t L = currentLesson;
    pitchBandCents = pitchSensitivity;

    const std::string melody = lessonFilePath(L, LessonFile::melody);
    lessonTempo = 0; // a melody without "Q:" leaves it so
    readLessonMelody(melody);
    if (lessonTempo <= 0) {
        writeDebugDetail("displayLessonLoadingScreen: no Q: tempo in " + melody.substr(0, 200) + "=" +
                         std::to_string(lessonTempo));
        stopProgram(0, stopLoaderNoTempo);
    }
    buildTimedNotes();
    loadAbcChordFile(lessonFilePath(L, LessonFile::chords), currentUserTessitura, abcChords, abcMaxRecordIndex, lessonChordCount);
    buildTimedChords();
    int32_t partCount = 0;
    const std::string parts = lessonFilePath(L, LessonFile::parts);
    readExerciseParts(parts, partCount, exerciseSpeedFactor);

    // The scale becomes a float, its window a whole number of ms that view
    // times are added to, and scaled times become pixel columns: a speed
    // factor far from 1 (at the melody's tempo) must not overflow any of them.
    const double pxPerMs = 2100.0 / msPerBeat * 0.034 * exerciseSpeedFactor;
    if (!(pxPerMs >= 1280.0 / maxViewWindowMs && pxPerMs <= maxScoreViewPxPerMs)) {
        writeDebugDetail("displayLessonLoadingScreen: speed factor " + std::to_string(exerciseSpeedFactor) +
                         " at tempo " + std::to_string(lessonTempo) + " gives no usable score view in " +
                         parts.substr(0, 200));
        stopProgram(0, stopLoaderViewScale);
    }
    setScoreViewScale(exerciseSpeedFactor);
    flatSpelling = flatSpellingOfTune(tuneKeyIndex, tuneIsMinor);

    for (int32_t p = 0; p < partCount; ++p) {
        const ExercisePart &part = exerciseParts[p];
        if (!shapesNotes(part.kind) || part.lastNote < part.firstNote || !partIsPlain(part)) continue;
        shufflePart(part);
        if (part.kind == partWhiteKeys || part.kind == partRedrawn) redrawPart(part);
    }
    for (int32_t p = 0; p < partCount; ++p) applyIntervalCode(exerciseParts[p]);

    if (exerciseType == exerciseIntervalFirst || exerciseType == exerciseIntervalLast) {
        for (int32_t p = 0; p < partCount; ++p) {
            const ExercisePart &part = exerciseParts[p];
            const int32_t from = exerciseType == exerciseIntervalFirst ? part.firstNote + 1 : part.firstNote;
            const int32_t to = exerciseType == exerciseIntervalFirst ? part.lastNote : part.lastNote - 1;
            for (int32_t i = from; i <= to; ++i) lessonNotes[i].intervalMark = 1;
        }
    }

    for (int32_t i = 0; i <= lessonNoteCount; ++i) untransposedLessonNotes[i] = lessonNotes[i];
    for (int32_t i = 0; i <= lessonChordCount; ++i) untransposedLessonChords[i] = lessonChords[i];
    for (int32_t k = 0; k < beatRecordCount && k < beatRecordCapacity; ++k) beatRecordsBackup[k] = beatRecords[k];

    scoreNotesStartX = scoreNotesStartXForKey(tuneKeyIndex);
    timeSignatureX = scoreNotesStartX - 60;

    for (int32_t k = 0; k <= 6462; ++k) {
        blockTraceInts[k] = 0;
        blockTraceReals[k] = 0.0;
        blockTraceSingles[k] = 0.0f;
    }
}

static void displayLessonLoadingScreen()
{
    loadLesson();
    if (currentLesson == 1) {
        currentScreen = lessonScreenFor(currentLesson);
    } else {
        setUpExerciseOptions();
        currentScreen = exerciseOptionsScreenId;
    }
}

const ScreenHandlers lessonLoaderScreenHandlers = {
    .create = nullptr,
    .keyboard = nullptr,
    .specialKey = nullptr,
    .mouse = nullptr,
    .motion = nullptr,
    .passiveMotion = nullptr,
    .drawControls = nullptr,
    .handleAction = nullptr,
    .display = displayLessonLoadingScreen,
    .enter = setUpExerciseOptions, // the loader reads the lesson's options
};

void setScoreViewScale(double speedFactor)
{
    scoreViewPxPerMs = static_cast<float>(2100.0 / msPerBeat * 0.034 * speedFactor);
    viewWindowMs = roundToInt32(1280.0 / scoreViewPxPerMs);
}
