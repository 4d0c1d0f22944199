// Note labels as pure notation: the names of the label modes, solfege
// syllables, the ledger lines of a staff position and the millisecond
// length of a note in a tuplet. What applies them to the loaded lesson is in
// lessons/lesson_note_labels.h.
#pragma once
#include <cstdint>
#include <string>

// Names the replay options list shows for noteLabelMode 0..5.
inline constexpr const char *noteLabelModeNames[6] = {"Lyrics", "PitchNotation", "Solfege",
                                                      "Degrees", "(rel. Solfege)", "HalfStepChanges"};

// Ledger lines of a shown StaffValue: count (0..2) and first line (left as
// it was when the count is 0). Lines lie 20 apart upward from the first.
void ledgerLinesForShownStaff(int32_t shown, int32_t &count, int32_t &first);

// Fixed-do syllable of a NoteIndex ("Do" for any C), sharp or flat names.
std::string solfegeName(bool flat, int32_t note);

// Duration in ms of a note of lengthUnits sixty-fourths at msPerBeat, by its
// tuplet role (0 none, 1 first, 2 inner, 3 last) in an n-tuplet. The notes of
// an n-tuplet add up to exactly the time of two notes: the last one takes
// what the n - 1 rounded shares before it leave.
int32_t tupletNoteDurationMs(int32_t role, int32_t lengthUnits, double msPerBeat, int32_t n);
