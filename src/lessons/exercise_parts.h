// The exercise definition file "ExerciseParts.txt" of a lesson folder:
//
//   line 1  the exercise-type keyword, compared exactly ("TarnovaExercise")
//   line 2  the speed factor, read leniently ("1.0", "x1.0" and "1.0 fast")
//   line 3  part lines, one per exercise part, until the first line whose
//   ...     first character after blanks starts no part line:
//
//           first ; last ; K ; lo ? hi ; M ; n ; I .
//
//   K is the part kind (f s c r h), lo?hi the range of redrawn pitches ('?'
//   is any one character right behind lo), M the mode letter (a b c x r), n
//   the reference note, I the interval ('n', or u/d/r/R and 0..12). Blanks,
//   tabs and line feeds may stand before every field and separator; a field
//   without digits reads 0; a line ending in '\' continues on the next one.
//   One trailing CR is removed from every line, so CR LF and LF files read
//   alike.
//
// Every malformed file ends the program with a numbered stop; the detail line
// before it names the file (and so the lesson's folder).
#pragma once
#include <cstdint>
#include <string>

enum ExerciseType : int32_t {
    exercisePitch = 0,
    exerciseRhythm = 1,
    exerciseLoudness = 2,
    exerciseNoteOk = 3,
    exerciseSong = 4,
    exerciseIntervalFirst = 5,
    exerciseIntervalLast = 6,
    exerciseNameInterval = 9,
    exerciseLeftOrRight = 10,
    exerciseHowManyNotes = 11,
    exerciseWhichNote = 12,
    exerciseNoteInChord = 13,
    exerciseSingleChordNote = 14,
    exerciseEarTraining = 15,
    exerciseTriad = 16,
    exerciseSeventhChord = 17,
    exerciseMoveNotes = 18,
    exerciseLearningBox = 19,
    exerciseSingleNoteRecognition = 20,
    exerciseIntervalRecognition = 21,
    exerciseTarnova = 22,
    exerciseUnknown = 23,
};

struct ExerciseTypeKeyword {
    const char *keyword;
    int32_t code;
};
inline constexpr ExerciseTypeKeyword exerciseTypeKeywords[21] = {
    {"Pitch", 0},          {"Rhythm", 1},          {"Loudness", 2},
    {"NoteOk", 3},         {"Song", 4},            {"IntervalFirst", 5},
    {"IntervalLast", 6},   {"NameInterval", 9},    {"LeftOrRight", 10},
    {"HowManyNotes", 11},  {"WhichNote", 12},      {"NoteInChord", 13},
    {"SingleChordNote", 14}, {"EarTraining", 15},  {"Triad", 16},
    {"SeventhChord", 17},  {"MoveNotes", 18},      {"LearningBox", 19},
    {"SingleNoteRecognition", 20}, {"IntervalRecognition", 21}, {"TarnovaExercise", 22},
};

// Part kinds and the markers of the part records.
enum PartKind : int32_t { partFixed = 0, partShuffled = 1, partWhiteKeys = 2, partRedrawn = 3, partShuffledH = 4 };
constexpr int32_t partMarker = 5;
constexpr int32_t lastPartMarker = 9;

struct ExercisePart {
    int32_t firstNote;    // index into lessonNotes of the part's first note
    int32_t lastNote;     // its last note (inclusive)
    int32_t kind;         // PartKind
    int32_t lowNote;      // lowest NoteIndex of redrawn pitches
    int32_t highNote;     // highest (at most 51)
    int32_t mode;         // 0 'a', 1 'b', 2 'c', 3 'x', 4 'r'
    int32_t refNote;      // reference NoteIndex 0..50
    int32_t startNote;    // drawn from lowNote..highNote while the line is read
    int32_t intervalCode; // 0 none, 1 unison, 2..37 steps, 39..50 the 'R' codes
    int32_t marker;       // partMarker, lastPartMarker on the last part
    uint8_t active;       // part 0 after reading; the replay moves it
};

constexpr int32_t maxExerciseParts = 1024;
constexpr int32_t maxPartLineLength = 1000;

// Parts 0..partCount - 1, then a closing record whose first and last note are
// the last part's last note + 1 (room for it after 1024 parts).
extern ExercisePart exerciseParts[maxExerciseParts + 1];
extern int32_t exercisePartCount;
// The part being run: its first and last note, its reference note and its
// start note. The exercise run sets part 0 at every lesson start, the replay
// the part it plays; the replay's count-off and the score view read them.
extern int32_t currentPartFirst;
extern int32_t currentPartLast;
extern int32_t currentPartRefNote;
extern int32_t currentPartStartNote;
// Makes exerciseParts[part] the current part.
void setCurrentExercisePart(int32_t part);

// Interval code of a written interval: letter 'n', 'u', 'd', 'r' or 'R' and
// 0..12; -1 for any other letter.
int32_t intervalCodeOf(char letter, int32_t n);

// Reads the file (full path as the program writes it) after the melody has
// been turned into timed notes (the part lines are checked against
// lessonNoteCount). Sets exerciseType, exerciseParts, part 0 as the current
// part and its active flag.
void readExerciseParts(const std::string &fileName, int32_t &partCount, double &speedFactor);

// Stop numbers.
constexpr int32_t stopPartsAssign = 7251;
constexpr int32_t stopPartsOpen = 7252;
constexpr int32_t stopPartsTypeLine = 7253;
constexpr int32_t stopPartsUnknownType = 7254;
constexpr int32_t stopPartsSpeedLine = 7255;
constexpr int32_t stopPartsNoPartLine = 7256;
constexpr int32_t stopPartsRead = 7257;
constexpr int32_t stopPartsFirstOutOfSequence = 7258;
constexpr int32_t stopPartsFirstBeyondMelody = 7259;
constexpr int32_t stopPartsTooMany = 7260;
constexpr int32_t stopPartsLastBeyondMelody = 7261;
constexpr int32_t stopPartsLowNegative = 7262;
constexpr int32_t stopPartsHighAbove51 = 7263;
constexpr int32_t stopPartsRefNoteRange = 7264;
constexpr int32_t stopPartsUpRange = 7265;
constexpr int32_t stopPartsDownRange = 7266;
constexpr int32_t stopPartsEitherRange = 7267;
constexpr int32_t stopPartsRCodeRange = 7268;
constexpr int32_t stopPartsSyntax = 7269;
constexpr int32_t stopPartsSpeedNotPositive = 7273;
constexpr int32_t stopPartsLowAboveHigh = 7275;
constexpr int32_t stopPartsLineTooLong = 7276;
constexpr int32_t stopPartsNumberTooLarge = 7277;
