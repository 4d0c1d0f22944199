// Values of the replay that the score view and the score overview read.
// Written by the replay options and the replay.
#pragma once
#include <cstdint>

#include "lessons/lesson_state.h"
#include "lessons/run_tallies.h" // transposition, noteLabelMode, the scores of the re-rating

// Per analysis block: BlockRating of the pitch (2 = within the note's band),
// and the block's score-view time in ms.
extern int32_t blockPitchRating[blockTrackSize];
extern int32_t blockTimeMs[blockTrackSize];
// The other per-block arrays of the recording being replayed, filled by one
// pass over the loaded recording (replay_tracks) and by the rating.
extern int32_t blockEnvelope[blockTrackSize];   // amplitude envelope 0..32767
extern int32_t blockBarOffset[blockTrackSize];  // bar-line widths before the block's time, ms
extern int32_t blockLoudness[blockTrackSize];   // amplitude of the block's window 0..32767
extern int32_t blockPeakOffset[blockTrackSize]; // window offset of the block's largest extreme
extern float blockStaffHeight[blockTrackSize];  // staff height of the block's pitch (0 none)
extern int32_t blockLoudnessRating[blockTrackSize];
extern int32_t recheckPitchRating[blockTrackSize];    // re-analysis rating of the pitch
extern int32_t recheckAltPitchRating[blockTrackSize]; // of the alternative estimate
extern uint8_t blockSkipWaitMarks[blockTrackSize];    // ends a wait-till-hit hold (nothing sets it)

extern int32_t nextMelodyNote; // index into lessonNotes of the next note to sound

// Options of the replay alone (set by the replay options).
extern uint8_t playGuitarChords; // the lesson's chords sound on their own track
extern uint8_t waitTilHit;       // the replay holds a note until it is hit (nothing sets it)

// The rating's state as the score view reads it (the replay screen keeps
// these current from its rater every block).
extern int32_t currentNoteRow; // index in lessonNotes of the note being judged
extern int32_t waitShiftMs;    // hold-back added to every scheduled time
extern int32_t analysisTimeMs; // time of the block being analysed
extern int32_t countInBeat;    // beat of the count-off, 1..meterNumerator

// What drawScoreView draws: the sheet alone (preparation and count-off) or the
// full view with the graphs, for a play time and the next note and chord
// (playing: audioClockMs, nextMelodyNote, nextChord; frozen: the frozen
// values), and the count-in picture's frame during the count-off (-1 none).
extern uint8_t scoreViewSheetOnly;
extern int32_t scoreViewTimeMs;
extern int32_t scoreViewNoteIdx;
extern int32_t scoreViewChordIdx;
extern int32_t scoreViewCountInFrame;
