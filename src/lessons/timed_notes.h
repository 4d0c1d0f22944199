// The loaded lesson's melody and chord symbols as timed notes: the tune
// reader's records (sixty-fourths of a whole note) turned into TimedNotes
// with start and duration in milliseconds at the tune's tempo, the counting
// grid completed with millisecond times, and the two per-note edits the
// lesson loader applies while it reshapes exercise parts.
//
// Note names follow each note's own spelling: a black key written as a sharp
// (shown below its sounding staff value) gets sharp names ("C#", "Di"), one
// written as a flat gets flat names.
#pragma once
#include <cstdint>

#include "music/music_types.h"

extern double halfBeatMs;       // msPerBeat / 2
extern double scorePixelsPerMs; // scale of the score view's baton curve
extern int32_t scoreNotesStartX; // x where the score view's notes begin
extern int32_t timeSignatureX;   // scoreNotesStartX - 60

// x of the score view's first note for a KeyIndex (150 for any unknown one).
int32_t scoreNotesStartXForKey(int32_t key);

// 1 when a note's name should use flats: it is written above its sounding
// staff value (a flat).
bool writtenAsFlat(const TimedNote &note);

// lessonNotes[0..abcNoteCount] from abcNotes at lessonTempo; sets
// lessonNoteCount, msPerBeat, halfBeatMs, scorePixelsPerMs,
// untransposedKeyIndex, scoreNotesStartX and timeSignatureX. lessonTempo
// must be above 0.
void buildTimedNotes();

// lessonChords[0..lessonChordCount] from abcChords (after buildTimedNotes):
// each chord starts where the previous one ends; the closing chord starts at
// the end of the melody and the last chord lasts 999999 ms. Also fills the
// millisecond times of the counting grid.
void buildTimedChords();

// lessonNotes[i] (i >= 1) takes the pitch of lessonNotes[i - 1] plus
// semitones, kept within 0..74; a rest is left as it is.
void applyIntervalToNote(int32_t i, int32_t semitones);

// lessonChords[i] becomes the major chord of lessonNotes[i]'s root.
void setChordRootFromNote(int32_t i);
