// Labels, staff slots, pitch bands, transposition and millisecond timing of
// the loaded lesson's notes (lessonNotes, lessonChords and the counting grid).
// The whole-lesson routines always start from the untransposed copies taken
// when the lesson was loaded, so calling them again with the same options
// gives the same result.
#pragma once
#include <cstdint>
#include <string>

// Names the replay options list shows for noteLabelMode 0..5.
inline constexpr const char *noteLabelModeNames[6] = {"Lyrics", "PitchNotation", "Solfege",
                                                      "Degrees", "(rel. Solfege)", "HalfStepChanges"};

// Shown StaffValue, accidental and ledger lines of lessonNotes[i] for a
// sounding StaffValue; black keys follow flatSpelling.
void setNoteStaffSlot(int32_t i, int32_t value);

// Ledger lines of a shown StaffValue: count (0..2) and first line (left as
// it was when the count is 0). Lines lie 20 apart upward from the first.
void ledgerLinesForShownStaff(int32_t shown, int32_t &count, int32_t &first);

// Fixed-do syllable of a NoteIndex ("Do" for any C), sharp or flat names.
std::string solfegeName(bool flat, int32_t note);

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

// Duration in ms of a note of lengthUnits sixty-fourths at msPerBeat, by its
// tuplet role (0 none, 1 first, 2 inner, 3 last) in an n-tuplet. The notes of
// an n-tuplet add up to exactly the time of two notes: the last one takes
// what the n - 1 rounded shares before it leave.
int32_t tupletNoteDurationMs(int32_t role, int32_t lengthUnits, double msPerBeat, int32_t n);
