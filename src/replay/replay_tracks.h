// The per-block tracks of the recording being replayed, and the rating that
// works on them.
//
// One pass over the loaded recording fills, for every block b the replay
// rates (0..lastBlock), what the exercise run does not keep for it: the
// block's time and bar offset on the score view, its amplitude envelope and
// loudness and the offset of its largest extreme (the window pre-analysis of
// the 4096 samples at 2048 x b), and its pitch in pitchSamples, found by the
// pitch detector run over the blocks in order as the exercise runs it.
//
// The rater of the replay (replayRater) rates the shared block arrays
// against lessonNotes and lessonChords; publishReplayTallies copies its
// tallies to the shared ones the score view and the score overview read.
#pragma once
#include <cstdint>

#include "replay/block_rating.h"

// The highest live block index; above it the replay stops with 5003.
constexpr int32_t lastReplayBlock = 6460;
constexpr int32_t stopReplayBlockIndex = 5003;

// The bar offset of time t: the barTotal of the last note started at or
// before t (0 before the first).
int32_t barOffsetAt(int32_t t);

// Fills the tracks of blocks 0..lastBlock (cut to the block arrays). Samples
// past `recordedSamples` count as silence (they are cleared first, up to one
// window past the recording's end).
void fillReplayBlockTracks(int32_t lastBlock, int32_t recordedSamples);

// The rater on the shared arrays and the loaded lesson (rewired at each call).
ReplayRater &replayRater();
void publishReplayTallies();
