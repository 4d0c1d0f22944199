// The replay's scrolling score view: the lesson's melody on a grand staff
// that moves right to left while a recording plays, with lyrics, labels,
// chord symbols, counting syllables, the play cursor, the teacher's cue
// figure, the performance bars, the rated pitch track and the running scores.
//
// Every item with a time t and a bar total b (the width the bar lines before
// it add to the axis) stands at x = (t + b - viewOriginMs) x scoreViewPxPerMs
// + scoreNotesStartX; a StaffValue v at y = v + 300. Items the replay has
// reached stand at their reached time, the others at their scheduled start
// plus waitShiftMs. Notes, rests, beams, bar lines, signs and text rows are
// drawn upcoming (0), current (1) or passed (2), each state with its own
// picture or colour.
//
// The view keeps no state: it reads the lesson, the replay's rating and
// scroll, and draws through the immediate-mode facade, so a recorder can read
// a frame as a trace.
#pragma once
#include <cstdint>

struct ImmediateDraw;

// The whole view as the replay screen asks for it (replay_state.h:
// scoreViewSheetOnly, scoreViewTimeMs, scoreViewNoteIdx, scoreViewChordIdx and
// scoreViewCountInFrame). Starts the frame (clears it); the caller draws its
// panels afterwards and ends the frame.
void drawScoreView(ImmediateDraw &draw);

// The full view with the graphs of the performance, for play time timeMs
// with noteIdx and chordIdx the next note and chord.
void drawReplayView(ImmediateDraw &draw, int32_t timeMs, int32_t noteIdx, int32_t chordIdx);
// The same sheet without the graphs (preparation and count-off).
void drawReplaySheetView(ImmediateDraw &draw, int32_t timeMs, int32_t noteIdx, int32_t chordIdx);
// The count-in picture of frame 0..23 (one beat) and the count beside it.
void drawCountInImage(ImmediateDraw &draw, int32_t frame);

// What tests replace: the texture names of the two picture packs by picture
// number, and the signal trace drawn with the pitch track (none unless set).
struct ScoreViewHooks {
    uint32_t (*images6)(int32_t picture);
    uint32_t (*images7)(int32_t picture);
    void (*signalTrace)();
};
const ScoreViewHooks &realScoreViewHooks();
void setScoreViewHooks(const ScoreViewHooks &hooks);

// ---- Picture choices, for the tests ------------------------------------------

// Images7 picture of a note by length (sixty-fourths), beam role and state.
int32_t scoreNotePicture(int32_t length, int32_t beamKind, int32_t state);
// Images7 picture of a rest and how far it is moved down.
struct RestPicture {
    int32_t picture;
    int32_t shiftDown;
};
RestPicture scoreRestPicture(int32_t length, int32_t shownStaff, int32_t state);
// Images7 picture of an accidental mark ('^', '_', '='); -1 for none.
int32_t scoreAccidentalPicture(char mark, int32_t state);
// Images7 picture of a loudness mark; -1 for none.
int32_t scoreMarkPicture(char mark, int32_t state);
// Images7 picture of the key signature of a KeyIndex and its lower y; picture
// -1 for C.
struct KeySignaturePicture {
    int32_t picture;
    int32_t y;
};
KeySignaturePicture scoreKeySignature(int32_t keyIndex);
// Images7 picture of a meter.
int32_t scoreTimeSignaturePicture(int32_t numerator, int32_t denominator);
// Images6 picture of count-in frame 0..23; -1 outside.
int32_t countInPicture(int32_t frame);
