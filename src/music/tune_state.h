// The tune reader's outputs for the loaded lesson, as the lesson loader passes
// them to readAbcTuneFile and loadAbcChordFile, and the tuplet count shared by
// the timing routines.
#pragma once
#include <cstdint>
#include <string>

#include "music/music_types.h"

extern AbcNoteRecord abcNotes[abcMaxRecordIndex + 1]; // melody, end record at abcNoteCount
extern int32_t abcNoteCount;
extern AbcNoteRecord abcChords[abcMaxRecordIndex + 1]; // chords, end record at lessonChordCount
extern BeatRecord beatRecords[abcMaxBeatIndex + 1];    // counting grid 0..beatRecordCount - 1
extern int32_t beatRecordCount;

extern int32_t tuneKeyIndex;  // KeyIndex of the tune ("K:"), 0 for an unknown key
extern int32_t tuneIsMinor;   // 1 for a minor key name
extern int32_t meterNumerator;
extern int32_t meterDenominator;
extern int32_t lessonTempo;   // beats per minute ("Q:")
extern int32_t pickupLength;  // sixty-fourths before the first full bar
extern std::string tuneTitle;
extern std::string tuneComposer;
extern std::string tuneSource;

extern int32_t currentTupletCount; // n of the tuplet being timed
