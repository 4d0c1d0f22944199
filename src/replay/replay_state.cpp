#include "replay/replay_state.h"

int32_t blockPitchRating[blockTrackSize];
int32_t blockTimeMs[blockTrackSize];
int32_t blockEnvelope[blockTrackSize];
int32_t blockBarOffset[blockTrackSize];
int32_t blockLoudness[blockTrackSize];
int32_t blockPeakOffset[blockTrackSize];
float blockStaffHeight[blockTrackSize];
int32_t blockLoudnessRating[blockTrackSize];
int32_t recheckPitchRating[blockTrackSize];
int32_t recheckAltPitchRating[blockTrackSize];
uint8_t blockSkipWaitMarks[blockTrackSize];

int32_t nextMelodyNote = 0;

uint8_t playGuitarChords = 0;
uint8_t waitTilHit = 0;

int32_t currentNoteRow = 0;
int32_t waitShiftMs = 0;
int32_t analysisTimeMs = 0;
int32_t countInBeat = 0;

uint8_t scoreViewSheetOnly = 1;
int32_t scoreViewTimeMs = 0;
int32_t scoreViewNoteIdx = 0;
int32_t scoreViewChordIdx = 0;
int32_t scoreViewCountInFrame = -1;
