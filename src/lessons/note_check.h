// The rules of the note choice on the options screen, without screen or
// sound: how a sung frequency compares with the target (the live colour),
// whether the end of an answer holds the note (the check's verdict), and the
// texts the dialog shows.
#pragma once
#include <cstdint>
#include <string>

// Notes the keys offer: C2..C6.
constexpr int32_t firstKeyNote = 3;
constexpr int32_t lastKeyNote = 51;
constexpr int32_t maxChosenNotes = 18;

// Where a sung frequency lies against a band of bandCents around targetHz:
// 2 strictly inside, 3 at or above the upper bound, 1 below (a pitch above
// 55 Hz), 0 no pitch (55 Hz and below).
int32_t classifySungPitch(int32_t bandCents, double sungHz, double targetHz);

// The check's verdict on samples[59 - n .. 58]: every sample lies within
// bandCents of the target (bounds included) and the mean of their cents lies
// within meanLimitCents of the target's (bounds included).
bool lastSamplesWithinTolerance(const double *samples, int32_t n, double meanLimitCents, double bandCents,
                                double targetHz);

// The live rating of one block of the check: 3 above the 50-cent band, 2 at
// or inside its bounds, 1 below.
int32_t checkBlockRatingOf(double hz, double targetHz);

// x of block i of the check's trace, starting at x0 (120 px per second).
double checkTraceX(double x0, double block);

// x of the listened note sliding left in frames 40..54 of the listen state.
int32_t slidingNoteX(int32_t frame);

// The dialog's title for lessons 2..65 ("Select Options: PitchSensitivity
// 480 %, 2 notes "); "" for other lessons.
std::string optionsTitle(int32_t lesson);

// The line above the note keys in the dialog state.
std::string noteCountLine(int32_t chosenCount);
// The count line over the keys in a state of the dialog: noteCountLine in
// state 1; during the check (states 2..4) "Select the notes to include in
// the test by clicking on the desired notes: " with the count after it, so
// the count stays in sight.
std::string dialogCountLine(int32_t state, int32_t chosenCount);

// The failed check's three lines in Times Roman 24 (text, x, y), left of the
// list of chosen notes (x 950) so that the list stays in sight.
struct PlacedText {
    const char *text;
    int32_t x, y;
};
constexpr PlacedText failedCheckLines[3] = {{"Sorry, the last pitch-samples", 655, 675},
                                            {"in the light blue area must", 655, 650},
                                            {"must be within 50 cents", 655, 625}};

// The note's name as the key hints write it ("C#3").
std::string keyNoteName(int32_t note);
