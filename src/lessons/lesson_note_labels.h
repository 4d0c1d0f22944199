// Labels, staff slots, pitch bands, transposition and millisecond timing of
// the loaded lesson's notes (lessonNotes, lessonChords and the counting grid).
// The whole-lesson routines always start from the untransposed copies taken
// when the lesson was loaded, so calling them again with the same options
// gives the same result.
#pragma once
#include <cstdint>
#include <string>

// Shown StaffValue, accidental and ledger lines of lessonNotes[i] for a
// sounding StaffValue; black keys follow flatSpelling.
void setNoteStaffSlot(int32_t i, int32_t value);

// Label of lessonNotes[i] (NoteIndex note) in the current noteLabelMode:
// 0 "error!", 1 note name in the tune's key, 2 solfege, 3 scale degree,
// 4 relative solfege, 5 semitones from the previous sung note. Another mode
// gives the note's current label back.
std::string noteLabel(bool flat, int32_t note, int32_t i);

void refreshNoteLabels();
void applyTransposition();
void computeNoteTimesMs();
void setNoteToleranceBand(int32_t i);
void extendBandToNextNote(int32_t i);
