// Screen 11, the lesson loader: in one display call it reads the folder of
// lesson currentLesson (melody, chords, exercise parts), turns them into
// timed notes, reshapes the notes of every exercise part (shuffled order,
// redrawn pitches, interval steps), keeps untransposed copies for the replay,
// and goes on to the introductory lesson (lesson 1) or, after
// setUpExerciseOptions, to the exercise options. It draws nothing and takes
// no input. Its entry (`.enter`) sets up the current lesson's options, which
// the loading reads (the pitch band from the sensitivity): a screen of
// another folder calls it before it makes the loader current.
//
// Lesson folders under resourceDir: 1 "Introduction"; 2..7 "Lesson1".."Lesson6";
// 8 "Lesson7" for the melody and "lesson7" for the other two files (one folder:
// names are looked up without regard to case); 9..26 "lesson8".."lesson25";
// 27..556 "lesson" + (index - 3), so lessons 25 and 27 share "lesson24" and 26
// and 28 share "lesson25".
#pragma once
#include <cstdint>
#include <string>

#include "frame/screens.h"
#include "lessons/lesson_state.h"

extern const ScreenHandlers lessonLoaderScreenHandlers;

enum class LessonFile : int32_t { melody, chords, parts };
inline constexpr const char *lessonFileNames[3] = {"ABC-Notes.txt", "ABC-Chords.txt", "ExerciseParts.txt"};

// The folder a lesson index 1..556 reads the file from; "" outside 1..556.
std::string lessonFolderName(int32_t lesson, LessonFile file);
// resourceDir + folder + "/" + file name.
std::string lessonFilePath(int32_t lesson, LessonFile file);

// Score view values the load sets.
extern float scoreViewPxPerMs; // pixels per ms of the score view
extern int32_t viewWindowMs;   // ms the score view's window spans
// Sets both from msPerBeat and the exercise's speed factor: 2100 / msPerBeat
// x 0.034 x speed pixels per ms (as a float), and the window's 1280 pixels
// in ms.
void setScoreViewScale(double speedFactor);

// The replay's per-block tables, cleared (entries 0..6462) by every load.
extern int32_t blockTraceInts[blockTrackSize];
extern double blockTraceReals[blockTrackSize];
extern float blockTraceSingles[blockTrackSize];

// The whole load of lesson currentLesson without the switch to the next
// screen (the screen's display procedure is loadLesson + the switch).
void loadLesson();

// Reads a melody file into the loaded lesson's notes, beats, key, meter,
// tempo and titles, at the current user's tessitura (a header field the
// file lacks keeps its value).
void readLessonMelody(const std::string &fileName);

// Notes a shuffled part may hold (the scratch table of the shuffle).
constexpr int32_t maxShuffledPartNotes = 1001;

// Stops of the loader's own.
constexpr int32_t stopLoaderGridKindFirst = 7270;     // beat kind outside 1..4 at a note's first record
constexpr int32_t stopLoaderGridKindFollowing = 7271; // ... at a following record
constexpr int32_t stopLoaderNoTempo = 7272;           // the melody has no "Q:" line
constexpr int32_t stopLoaderPartTooLong = 7274;       // a shuffled part beyond the scratch table
constexpr int32_t stopLoaderViewScale = 7278;         // speed factor and tempo give no usable score-view scale
