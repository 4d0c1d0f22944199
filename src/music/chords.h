// Chord numbering and chord symbols ("Am", "F#7", "Bbm7").
//
// ChordId: 0 no chord; 160 + 5 x root + kind for the basic chords (kind 0
// major, 1 "m", 2 "7", 3 "X", 4 "m7"; equal to the SoundId of the chord's
// sample); 280 + 8 x root + kind for the extended chords ("dim", "aug",
// "dim7", "Maj7", "aug7", "+M7", "m7b5", "mM7"), which have no sample. Roots
// count from C: 0 C, 1 C#/Db ... 11 B.
#pragma once
#include <cstdint>
#include <string>

constexpr int32_t chordNone = 0;
constexpr int32_t basicChordFirst = 160;
constexpr int32_t basicChordLast = 219;
constexpr int32_t extendedChordFirst = 280;
constexpr int32_t extendedChordLast = 375;

// The ChordId whose sharp or flat symbol equals the text exactly (case and
// blanks count), else 0.
int32_t chordIdFromSymbol(const std::string &symbol);

// The symbol with sharp (or flat) root names; "None" outside 160..219 and
// 280..375.
std::string chordSymbolSharp(int32_t chord);
std::string chordSymbolFlat(int32_t chord);
