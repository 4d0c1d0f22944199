#include "music/tune_state.h"

AbcNoteRecord abcNotes[abcMaxRecordIndex + 1];
int32_t abcNoteCount = 0;
AbcNoteRecord abcChords[abcMaxRecordIndex + 1];
BeatRecord beatRecords[abcMaxBeatIndex + 1];
int32_t beatRecordCount = 0;

int32_t tuneKeyIndex = 0;
int32_t tuneIsMinor = 0;
int32_t meterNumerator = 4;
int32_t meterDenominator = 4;
int32_t lessonTempo = 120;
int32_t pickupLength = 0;
std::string tuneTitle;
std::string tuneComposer;
std::string tuneSource;

int32_t currentTupletCount = 0;
