// The exercise screen's pictures: the lesson's title and limits, the note on
// the grand staff, the two deviation meters with the pitch traces of the
// training and test recordings, the exercise's time line with its growing
// marker, the judgement (tolerance band, sung pitch, pass or fail picture,
// numbers) and the signal trace. The values come from the run
// (exercise_run.h); the pure layout rules are exposed for the tests.
#pragma once
#include <cstdint>
#include <string>

#include "lessons/exercise_run.h"

extern int32_t lessonScreenFont; // 2 (the 9 x 15 font) after the screen's set-up
extern int32_t scopeTriggerKind; // event kind the signal trace prefers to start at

// Draws one frame of the run (GL), ending with the buffer swap.
void drawExerciseFrame(const ExerciseFrame &frame);

// The signal trace of the last analysed window with the block's frequency
// readout (the exercise and the options screen's check draw it while
// showScope is set).
void drawSignalTrace();

// The colour of a block rated 1 (below), 2 (fits) or 3 (above) in the pitch
// traces of the exercise and the options screen's check; black otherwise.
void blockRatingColour(int32_t rating);

// A picture pack of the screen, through the packs' one owner (lessons/picture_sets):
// 25 and 49 are checked (never drawn, so not loaded), of 44 the three verdict
// pictures are loaded (fail and pass are its pictures 2 and 3).
void loadExercisePicturePack(int32_t pack);
// Frees what the screen loaded (when it is left).
void freeExercisePictures();

// A verdict picture, 128 x 128 white and blended with its lower left corner
// at (x, y), depth -8: kind 1..3 is pictures[kind - 1] (the first three of
// Images44: 2 fail, 3 pass); any other kind draws nothing. The sample
// exercise of the introduction shows its verdict the same way.
void drawVerdictPicture(const unsigned int *pictures, double x, double y, int32_t kind);

// The verdict of an answer that could not be judged: "Out of required
// precision" in large text at (760, 455), in the opaque red of the fail
// picture's cross (0.85, 0.1, 0.1), which reads on the screen's light grey.
// The exercise screen and the introduction's sample exercise draw it alike.
struct ImmediateDraw;
void drawOutOfPrecision(ImmediateDraw &d);

// ---- Layout rules --------------------------------------------------------

// Length of the time line's red marker for a phase and step; -1: none.
double timelineMarkerLength(int32_t answerPhase, int32_t step, double delayMs);

// The status word and panel icon of an answer frame.
struct ExerciseStatus {
    int32_t icon;
    const char *text;
};
ExerciseStatus answerStatus(int32_t answerPhase, int32_t step, double delayMs, bool trainingRunning);

// How block j of a trace is drawn: values are staff heights or meter values,
// meter the recording's meter values (0 = block not taken).
enum class TraceMark : int32_t { nothing, point, line };
TraceMark traceMark(const double *values, const double *meter, int32_t j);

// The signal trace's readout of a block frequency ("f= 440.50").
std::string scopeReadout(double hz);

// x of block j of a trace (or of the cursor) starting at x0.
inline double tracePlotX(double x0, double j) { return x0 + j / blocksPerPlot * 120.0; }
