// Reader of lesson tunes in the ABC subset the lesson folders use.
//
// The dialect: an "L:" line gives the unit length before any note; an explicit
// accidental (= natural, ^ sharp, _ flat) replaces the key signature's
// alteration of its letter and holds for that letter and octave up to the
// next bar line, as in standard ABC; blanks and CR LF line ends close beam
// groups; "Q:" without a note length counts in units of L. Records are
// indices 0..count - 1 with an end record at count; times and lengths are in
// sixty-fourths of a whole note. The melody also gets its counting grid of
// BeatRecords (one per quarter beat and per note start). The end record
// keeps the kind of a bar line written after the last note (the closing
// "|]"), for the score view to draw; the pickup and the grid ignore it.
//
// Files are read as raw bytes; CR LF and LF line ends both work. A line
// ending in a backslash continues on the next one.
//
// Stops: 3501 a note record that already carries a decoration, 3502 an
// unusable file name, 3503 a file that cannot be opened, 3504 a tune without
// a note or rest; limits of the dialect: 3505 more than `capacity` records,
// 3506 more grid points than `beatCapacity`, 3507 a logical line of more than
// 1000 characters, 3508 an "L:" denominator of 0, 3509 a meter denominator of
// 0, 3510 a meter denominator above 31 for the counting grid, 3511 a meter
// numerator of 0 for the counting grid, 3512 a ")" with no open slur, 3513 a
// backslash in a "w:" line that is not followed by '-', 3514 a "Q:" note
// length with denominator 0, 3515 a "w:" line with syllables past the last
// record the tune can hold, 3516 a note longer than abcMaxNoteLength, 3517 a
// "Q:" tempo outside 1..abcMaxTempo (so "Q:0" too), 3518 a meter numerator
// above abcMaxMeterNumerator. These keep every sum of lengths, times and the
// pickup inside int32. Tunes outside the dialect stop too (3519..3522 below),
// rather than being read as something else; a "%" comment is allowed at the
// end of any line.
#pragma once
#include <cstdint>
#include <string>

#include "music/music_types.h"

constexpr int32_t stopAbcDecoratedRecord = 3501;
constexpr int32_t stopAbcFileName = 3502;
constexpr int32_t stopAbcOpen = 3503;
constexpr int32_t stopAbcNoNotes = 3504;
constexpr int32_t stopAbcTooManyRecords = 3505;
constexpr int32_t stopAbcTooManyGridPoints = 3506;
constexpr int32_t stopAbcLineTooLong = 3507;
constexpr int32_t stopAbcUnitLengthZero = 3508;
constexpr int32_t stopAbcMeterDenominatorZero = 3509;
constexpr int32_t stopAbcMeterDenominatorTooLarge = 3510;
constexpr int32_t stopAbcMeterNumeratorZero = 3511;
constexpr int32_t stopAbcUnmatchedSlurEnd = 3512;
constexpr int32_t stopAbcLyricBackslash = 3513;
constexpr int32_t stopAbcTempoDenominatorZero = 3514;
constexpr int32_t stopAbcTooManySyllables = 3515;
constexpr int32_t stopAbcNoteTooLong = 3516;
constexpr int32_t stopAbcTempoOutOfRange = 3517;
constexpr int32_t stopAbcMeterNumeratorTooLarge = 3518;
// Tunes outside the dialect (the debug log names the file and the line):
constexpr int32_t stopAbcNoUnitLength = 3519;        // a note, or a "Q:" in units, before any "L:"
constexpr int32_t stopAbcUnknownKey = 3520;          // a "K:" name outside the key table (modes too)
constexpr int32_t stopAbcFieldAfterContinuation = 3521; // a field line continuing a body line
constexpr int32_t stopAbcOutsideDialect = 3522;      // "^^", "__", a mark without a note, "[CEG]", "[K:..]", "{g}"

// A note of at most 1024 whole notes (broken rhythm included); a tempo of
// 1..10000 beats per minute; at most 64 beats in a bar.
constexpr int32_t abcMaxNoteLength = 64 * 1024;
constexpr int32_t abcMaxTempo = 10000;
constexpr int32_t abcMaxMeterNumerator = 64;

constexpr int32_t abcMaxLineLength = 1000;

// Bar-line width per BarKind (0 for none or ":" alone, 307 for every bar line).
inline constexpr int32_t barLineOffsets[barThickStart + 1] = {0, 307, 307, 307, 307, 307, 307, 307, 307, 307, 307};

// Running bar-line total of the tune being read; 1 while a chord file is read.
extern int32_t abcLineBarTotal;
extern uint8_t abcChordFileMode;

void initAbcReader();

// What readAbcTuneFile reads and where it puts it, filled by name. Every
// output pointer must be set (beats may be nullptr: no counting grid).
struct AbcTuneRead {
    std::string fileName;
    // Written notes are shifted by the singer's tessitura (1 low: two octaves
    // down, 2 medium: one octave down; 1..3 also put rests on the tessitura's
    // slot; the loader passes currentUserTessitura).
    int32_t tessitura = 0;
    // The records and their highest index (5010 for the lesson arrays);
    // count gets the number of records (the end record is records[count]).
    AbcNoteRecord *records = nullptr;
    int32_t capacity = 0;
    int32_t *count = nullptr;
    // The counting grid and its highest index (20043 for the lesson arrays);
    // lastBeatIndex gets the number of grid points.
    BeatRecord *beats = nullptr;
    int32_t beatCapacity = 0;
    int32_t *lastBeatIndex = nullptr;
    // The header: each keeps its value when the tune has no such field,
    // except meterDenominator, which starts at 4.
    int32_t *keyIndex = nullptr;
    int32_t *minor = nullptr;
    int32_t *meterNumerator = nullptr;
    int32_t *meterDenominator = nullptr;
    int32_t *tempo = nullptr;
    int32_t *pickup = nullptr;
    std::string *title = nullptr;
    std::string *composer = nullptr;
    std::string *source = nullptr;
};
// Reads a melody. Every failure is a stop.
void readAbcTuneFile(const AbcTuneRead &read);

// Reads a chord tune the same way, without a counting grid; its header values
// are dropped.
void loadAbcChordFile(const std::string &fileName, int32_t tessitura, AbcNoteRecord *records, int32_t capacity,
                      int32_t &count);

// KeyIndex of a "K:" name ("D", "Bm" ...), its minor flag, and the letter key
// signature (A..G: +1 sharp, -1 flat), which an unknown name leaves as it was.
int32_t keyIndexFromName(const std::string &name, int32_t &minor, int32_t signature[7]);
