// Pitch arithmetic: note numbers, their frequencies, staff positions, keys and
// the spelled note names ("C#4", "Db4") with their parser.
//
// NoteIndex: one step per semitone, 0 = A1 (55 Hz), 27 = C4, 36 = A4 (440 Hz),
// 74 = B7; 75 is the end entry of the tables (frequency 0, empty name).
// StaffValue: 10 per letter step, 70 per octave, A1 = 20, C4 = 180; a black
// key sits on an odd multiple of 5 between its white neighbours.
#pragma once
#include <cstdint>
#include <string>

constexpr int32_t noteA1 = 0;
constexpr int32_t noteC2 = 3;
constexpr int32_t noteC4 = 27;
constexpr int32_t noteA4 = 36;
constexpr int32_t noteB7 = 74;
constexpr int32_t noteEnd = 75;       // end entry of the tables
constexpr int32_t noteTableSize = 76;

// Hz per NoteIndex: 55 x 2^(n/12), rounded to six significant digits up to
// C7 (63) and to one decimal place above; the last entry is 0.
inline constexpr double noteFrequencies[noteTableSize] = {
    55.0, 58.2705, 61.7354, 65.4064, 69.2957, 73.4162, 77.7817, 82.4069, 87.3071, 92.4986,
    97.9989, 103.826, 110.0, 116.541, 123.471, 130.813, 138.591, 146.832, 155.563, 164.814,
    174.614, 184.997, 195.998, 207.652, 220.0, 233.082, 246.942, 261.626, 277.183, 293.665,
    311.127, 329.628, 349.228, 369.994, 391.995, 415.305, 440.0, 466.164, 493.883, 523.251,
    554.365, 587.33, 622.254, 659.255, 698.456, 739.989, 783.991, 830.609, 880.0, 932.328,
    987.767, 1046.5, 1108.73, 1174.66, 1244.51, 1318.51, 1396.91, 1479.98, 1567.98, 1661.22,
    1760.0, 1864.66, 1975.53, 2093.0, 2217.5, 2349.3, 2489.0, 2637.0, 2793.8, 2960.0,
    3136.0, 3322.4, 3520.0, 3729.3, 3951.1, 0.0};

// AccidentalMark, the ABC signs.
constexpr char accidentalNone = ' ';
constexpr char accidentalSharp = '^';
constexpr char accidentalFlat = '_';
constexpr char accidentalNatural = '=';

// KeyIndex 0..14: C/Am, D/Bm, Db/Bbm, E/C#m, Eb/Cm, F/Dm, G/Em, Gb/Ebm, A/F#m,
// Ab/Fm, B/G#m, Bb/Gm, C#/A#m, Cb/Abm, F#/D#m.
constexpr int32_t keyCount = 15;

// True for the keys that write black keys as flats (2, 4, 5, 7, 9, 11, 13).
bool isFlatKey(int32_t key);

// The six spelling tables of the note names.
enum NameTable : int32_t {
    namesSharps = 0,
    namesSharpsWithEs = 1,     // E# for F
    namesSharpsWithEsBs = 2,   // E# for F, B# for C
    namesFlats = 3,
    namesFlatsWithCb = 4,      // Cb for B
    namesFlatsWithCbFb = 5,    // Cb for B, Fb for E
};
constexpr int32_t nameTableCount = 6;

// Spelled pitch class per table, indexed by pitch class counted from A.
inline constexpr const char *pitchClassSpellings[nameTableCount][12] = {
    {"A", "A#", "B", "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#"},
    {"A", "A#", "B", "C", "C#", "D", "D#", "E", "E#", "F#", "G", "G#"},
    {"A", "A#", "B", "B#", "C#", "D", "D#", "E", "E#", "F#", "G", "G#"},
    {"A", "Bb", "B", "C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab"},
    {"A", "Bb", "Cb", "C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab"},
    {"A", "Bb", "Cb", "C", "Db", "D", "Eb", "Fb", "F", "Gb", "G", "Ab"},
};

// The name of note 0..75 in one table: letter, "#"/"b", octave digit of the
// written letter (B#1 sounds as C2, Cb2 as B1); "" for 75 and outside 0..75.
std::string noteNameInTable(int32_t table, int32_t note);

// A note or interval as a pitch class 0..11, for negative values too.
inline constexpr int32_t positiveMod12(int32_t v) { return ((v % 12) + 12) % 12; }

// Which table a key writes its note names with; -1 outside 0..14.
int32_t nameTableForKey(int32_t key);

// Cents of a positive frequency: 1200 x log2(hz), in double precision, as
// the sung-note check judges and the screens show a deviation (the exercise
// judges in extended precision: exercise_judging).
double centsOfHz(double hz);

int32_t staffValueOfNote(int32_t note);
int32_t noteOfStaffValue(int32_t value);

// Where a note of sounding StaffValue value is written in the key, and the
// accidental written before it.
int32_t staffSlotForKey(int32_t value, int32_t key, char &mark);

// The name of a note as the key writes it; a key outside 0..14 leaves name
// unchanged.
void spelledNoteName(int32_t key, int32_t note, std::string &name);

// NoteIndex of a spelled name ("A1".."B7"); a malformed name ends the program
// with stop 18023.
int32_t parseNoteName(const std::string &name);

// Like parseNoteName, but returns -1 for a malformed name instead of stopping.
int32_t tryParseNoteName(const std::string &name);

// Tonic of a key as a pitch class counted from A, of the major key or of its
// relative minor.
int32_t keyTonicPitchClass(bool minor, int32_t key);
