// Values of the loaded lesson and of the lesson just run that the notation,
// the results screens and the replay read. Set by the lesson menu, the lesson
// loader and the exercise run; the others only read, except where noted.
#pragma once
#include <cstdint>

#include "music/music_types.h"

constexpr int32_t lessonNoteCapacity = 5011;  // indices 0..5010
constexpr int32_t beatRecordCapacity = 20044; // indices 0..20043
constexpr int32_t blockTrackSize = 6464;      // analysis blocks 0..6463

extern int32_t currentLesson;  // lesson index being run (3..556 at the score overview)
extern int32_t shownLesson;    // lesson index 1..556 the lesson menu shows
extern int32_t lessonPassed;   // 1 when the lesson just run was passed
extern int32_t exerciseType;   // ExerciseType code of the loaded lesson
extern int32_t beatAccuracy;   // on-beat tolerance in 10 ms units, -20..20 (12 at start)

// The melody: entries 0..lessonNoteCount, the last one an end record whose
// start is the end of the melody.
extern TimedNote lessonNotes[lessonNoteCapacity];
extern int32_t lessonNoteCount;
extern TimedNote untransposedLessonNotes[lessonNoteCapacity];

// The chord symbols: entries 0..lessonChordCount (end record at the count).
extern TimedNote lessonChords[lessonNoteCapacity];
extern int32_t lessonChordCount;
extern TimedNote untransposedLessonChords[lessonNoteCapacity];

// Copy of the counting grid taken when loading ends.
extern BeatRecord beatRecordsBackup[beatRecordCapacity];

extern double msPerBeat;             // ms per quarter note (60000 / tempo)
extern uint8_t flatSpelling;         // 1: black keys of the lesson written as flats
extern int32_t untransposedKeyIndex; // the tune's KeyIndex before any transposition
extern double pitchBandCents;        // half-width in cents of every note's pitch band

extern int32_t recordingBlockIndex;          // current analysis block, -1 before the first
extern double pitchSamples[blockTrackSize];  // Hz per block, or a pitch status below 10
