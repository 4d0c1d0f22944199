// Record types of the tune reader and of the loaded lesson: one AbcNoteRecord
// per note, rest or chord-symbol carrier of a tune, one BeatRecord per point of
// the counting grid, and one TimedNote per note of the loaded lesson.
#pragma once
#include <cstdint>
#include <string>

// Highest record index of a tune (records 0..count, count <= 5010 with the end
// record at count) and of the counting grid.
constexpr int32_t abcMaxRecordIndex = 5010;
constexpr int32_t abcMaxBeatIndex = 20043;

// The bar line written just before a note, by what the tune writes.
enum BarKind : int32_t {
    barNone = 0,               // no bar line (also a ':' alone)
    barSingle = 1,             // |
    barDouble = 2,             // ||
    barRepeatStart = 3,        // |:
    barRepeatStartColon = 4,   // a ':' right after |:
    barDoubleRepeat = 5,       // a ':' right after ||
    barThickEnd = 6,           // |] and ]|
    barThickEndRepeat = 7,     // a ':' right after |]
    barRepeatBoth = 8,         // ::
    barRepeatEnd = 9,          // :|
    barThickStart = 10,        // [|
};

// A note's place in a slur (or a tie, written the same way).
enum SlurRole : int32_t { slurNone = 0, slurStart = 1, slurInside = 2, slurEnd = 3 };

// A note's place in a beam group. A note shorter than a sixteenth's 5 units
// has the sixteenth variant, which also draws the second beam.
enum BeamRole : int32_t {
    beamRoleNone = 0,
    beamRoleFirst = 1,
    beamRoleFirstSixteenth = 2,
    beamRoleInside = 3,
    beamRoleInsideSixteenthToHere = 4,   // the second beam ends here (the next note is longer)
    beamRoleInsideSixteenth = 5,         // the second beam runs on through
    beamRoleInsideSixteenthFromHere = 6, // the second beam starts here (the previous note is longer)
    beamRoleLast = 7,
    beamRoleLastSixteenth = 8,
};

struct SlurSpan {
    int32_t first = 0;
    int32_t last = 0;
};

struct AbcNoteRecord {
    int32_t barKind = barNone; // a BarKind: the bar line written just before this item
    double start = 0.0;       // start in sixty-fourths of a whole note
    int32_t barOffset = 0;    // sum of the bar-line widths just before this item
    int32_t barTotal = 0;     // running sum of all bar-line widths so far
    int32_t firstBeat = 0;    // index of the item's first BeatRecord
    int32_t length = 16;      // sixty-fourths (64 = whole note)
    int32_t writtenStaff = 24; // StaffValue of the letter as written (tessitura applied)
    int32_t soundingStaff = 24; // StaffValue after accidental and key signature
    int32_t note = 24;        // NoteIndex of soundingStaff
    double upperPreset = 24.0; // copied by the lesson loader into the pitch band
    double lowerPreset = 24.0;
    char letter = 'r';        // 'A'..'G', 'a'..'g'; 'r' for a rest
    char accidental = ' ';    // AccidentalMark written before the letter
    char decoration = ' ';    // last decoration symbol before the note
    char countChar = 'Z';     // counting syllable at the note's start
    int32_t ledgerCount = 0;
    int32_t firstLedger = 24;
    std::string chordText;    // chord symbol written before this item (<= 255)
    int32_t chordId = 0;
    std::string lyric;        // syllable from a "w:" line (<= 255)
    int32_t slurRole = slurNone; // a SlurRole
    SlurSpan slurSpans[3];    // per nesting level: first and last item
    int32_t openSlurs = 0;
    int32_t tieRole = 0;      // 0 none, 1/2 tied to the next, 3 tied to the previous
    int32_t beamRole = beamRoleNone; // a BeamRole
    int32_t beamFirst = 0;
    int32_t beamLast = 0;
    int32_t beamTop = 0;
    int32_t tupletCount = 0;  // n of a tuplet "(n" starting here
    int32_t tupletRole = 0;   // 0 none, 1 first, 2 inner, 3 last
};

struct BeatRecord {
    int32_t note = 0;       // AbcNoteRecord in which the point lies
    int32_t kind = 0;       // 0 none, 1 beat, 2 half, 3 'e', 4 'a', 5 't', 6 'l'
    char countChar = ' ';
    int32_t beatNumber = 0; // beat in the bar from 0 (kind 1 only)
    uint8_t inTuplet = 0;
    uint8_t noteStarts = 0;
    double time = 0.0;      // sixty-fourths from the start of the tune
    int32_t msTime = 0;     // filled by the lesson loader and on tempo changes
    int32_t msToNext = 0;
    int32_t reachedMark = -1; // -1 until the replay reaches the point
    int32_t barTotal = 0;
    uint8_t barLine = 0;
    int32_t barOffset = 0;
};

// One note, rest or chord symbol of the loaded lesson.
struct TimedNote {
    int32_t reachedMs = -1;    // replay: ms at which it reached the note
    int32_t startMs = 0;
    double startUnits = 0.0;   // start in sixty-fourths
    int32_t firstBeat = 0;
    int32_t onsetPeakPos = 0;  // replay: sample position of the onset's loudest block
    int32_t onsetPeakLevel = 0;
    int32_t bodyPeakPos = 0;
    int32_t bodyPeakLevel = 0;
    int32_t shiftMs = 0;
    int32_t barKind = 0;
    int32_t barTotal = 0;
    char letter = 'r';
    int32_t intervalMark = 0;
    char countChar = ' ';
    int32_t lengthUnits = 0;
    int32_t durationMs = 0;
    double upperHz = 0.0;
    double lowerHz = 0.0;
    int32_t soundingStaff = 0;
    int32_t noteIndex = 0;
    int32_t shownStaff = 0;
    int32_t ledgerCount = 0;
    int32_t ledgerFirst = 0;
    uint8_t stepDown = 0;
    std::string lyric;
    std::string label;
    std::string chordText;
    int32_t chordId = 0;
    char accidental = ' ';
    char loudness = ' ';       // the tune's decoration character
    int32_t slurRole = slurNone; // a SlurRole
    int32_t tieRole = 0;
    int32_t slurFirst = 0;
    int32_t slurLast = 0;
    int32_t beamKind = beamRoleNone; // a BeamRole
    int32_t beamFirst = 0;
    int32_t beamLast = 0;
    int32_t beamTop = 0;
    int32_t tupletCount = 0;
    int32_t tupletRole = 0;
};
