// Which notes a numbered lesson trains, and in what order: the result of the
// nearest earlier passed lesson decides, the worst-sung note goes last. Used
// by the exercise run and by the lesson menu's panel, which shows the same
// order before a lesson starts.
#pragma once
#include <cstdint>

#include "store/store_records.h"

// Reads a user's lesson block (blockIndex = lesson index - 2) into `block`.
using LessonBlockReader = int32_t (*)(int32_t key, int32_t blockIndex, LessonBlock &block);

// The block the notes of lesson `lesson` (>= 3) are chosen from: the block
// of lesson - 1 and downwards to the first whose done flag is set, block 1 at
// the lowest (block 0, the note choice, only for lesson 3). Returns the block
// index read last.
int32_t findPreviousResults(LessonBlockReader read, int32_t key, int32_t lesson, LessonBlock &previous);

// Orders the notes to train. Every slot 1..8 of `ordered` first takes the
// note of the same slot of `previous`; then slots n..1 are filled from the
// candidates, previous slots 1..n holding a note (not 74): each time the one
// with the largest |mean| + standard deviation (ties: the higher slot; a
// value of 0, a perfect answer, is a candidate too). Returns false when
// fewer than n slots hold a note (the lesson cannot run); `ordered` is then
// unspecified. Means and deviations of `ordered` are left as they are.
bool orderNotesToTrain(const LessonBlock &previous, int32_t n, LessonBlock &ordered);
