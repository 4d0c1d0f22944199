#include "lessons/note_ordering.h"

#include <cmath>

int32_t findPreviousResults(LessonBlockReader read, int32_t key, int32_t lesson, LessonBlock &previous)
{
    int32_t block = lesson - 3;
    read(key, block, previous);
    while (previous.done == 0 && block > 1) {
        --block;
        read(key, block, previous);
    }
    return block;
}

bool orderNotesToTrain(const LessonBlock &previous, int32_t n, LessonBlock &ordered)
{
    if (n < 1 || n > 8) return false;
    for (int32_t k = 0; k < 8; ++k) ordered.slots[k].note = previous.slots[k].note;
    bool taken[8] = {};
    for (int32_t j = n; j >= 1; --j) {
        int32_t best = -1;
        double bestValue = 0.0;
        for (int32_t k = n; k >= 1; --k) {
            const NoteSlot &s = previous.slots[k - 1];
            if (taken[k - 1] || s.note == emptyNoteIndex) continue;
            const double value = std::fabs(s.mean) + s.standardDeviation;
            if (best < 0 || value > bestValue) {
                best = k;
                bestValue = value;
            }
        }
        if (best < 0) return false;
        taken[best - 1] = true;
        ordered.slots[j - 1].note = previous.slots[best - 1].note;
    }
    return true;
}
