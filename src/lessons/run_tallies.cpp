#include "lessons/run_tallies.h"

int32_t transposition = 0;
int32_t noteLabelMode = 0;

int32_t pitchHitCount = 0;
int32_t onBeatScore = 0;
int32_t noteOkCount = 0;
int32_t loudnessOkCount = 0;

int32_t melodySoundId = 0;
int32_t chordTrackSoundId = 0;
