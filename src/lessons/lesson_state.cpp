#include "lessons/lesson_state.h"

int32_t currentLesson = 0;
int32_t shownLesson = 0;
int32_t lessonPassed = 0;
int32_t exerciseType = 0;
int32_t beatAccuracy = 12;

TimedNote lessonNotes[lessonNoteCapacity];
int32_t lessonNoteCount = 0;
TimedNote untransposedLessonNotes[lessonNoteCapacity];

TimedNote lessonChords[lessonNoteCapacity];
int32_t lessonChordCount = 0;
TimedNote untransposedLessonChords[lessonNoteCapacity];

BeatRecord beatRecordsBackup[beatRecordCapacity];

double msPerBeat = 500.0;
uint8_t flatSpelling = 0;
int32_t untransposedKeyIndex = 0;
double pitchBandCents = 50.0;

int32_t recordingBlockIndex = -1;
double pitchSamples[blockTrackSize];
