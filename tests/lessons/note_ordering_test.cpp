// The order of the notes a lesson trains, and the block it is chosen from.
#include <map>

#include <gtest/gtest.h>

#include "lessons/note_ordering.h"

namespace {

LessonBlock blockOf(const double (&values)[8], const int32_t (&notes)[8])
{
    LessonBlock b{};
    for (int k = 0; k < 8; ++k) b.slots[k] = NoteSlot{notes[k], values[k] / 2, values[k] / 2, 0};
    return b;
}

const int32_t notes[8] = {27, 29, 31, 32, 34, 36, 38, 39};

std::vector<int32_t> orderOf(const LessonBlock &previous, int32_t n, bool *ok = nullptr)
{
    LessonBlock out{};
    const bool done = orderNotesToTrain(previous, n, out);
    if (ok) *ok = done;
    std::vector<int32_t> v;
    for (int k = 0; k < 8; ++k) v.push_back(out.slots[k].note);
    return v;
}

TEST(NoteOrdering, WorstLastTiesToTheHigherSlot)
{
    // |mean| + std: 10, 40, 40, 5 with four notes to train.
    const LessonBlock b = blockOf({10, 40, 40, 5, 99, 99, 99, 99}, notes);
    EXPECT_EQ(orderOf(b, 4), (std::vector<int32_t>{32, 27, 29, 31, 34, 36, 38, 39}));
}

TEST(NoteOrdering, PerfectAnswersAndSlotCounts)
{
    // A perfect previous answer (0) is trained like any other.
    bool ok = false;
    const LessonBlock perfect = blockOf({0, 0, 0, 0, 0, 0, 0, 0}, notes);
    EXPECT_EQ(orderOf(perfect, 8, &ok), (std::vector<int32_t>{27, 29, 31, 32, 34, 36, 38, 39}));
    EXPECT_TRUE(ok);
    // Fewer notes than before: slot 8's note is not trained, however bad.
    const LessonBlock worst8 = blockOf({1, 2, 3, 4, 5, 6, 7, 500}, notes);
    EXPECT_EQ(orderOf(worst8, 7, &ok), (std::vector<int32_t>{27, 29, 31, 32, 34, 36, 38, 39}));
    EXPECT_TRUE(ok);
    // More notes than the earlier block holds: the lesson cannot run.
    const int32_t six[8] = {27, 29, 31, 32, 34, 36, 74, 74};
    orderOf(blockOf({1, 2, 3, 4, 5, 6, 0, 0}, six), 8, &ok);
    EXPECT_FALSE(ok);
    // An empty slot inside the candidates is never trained.
    const int32_t gap[8] = {27, 74, 31, 32, 34, 36, 38, 39};
    orderOf(blockOf({1, 200, 3, 4, 5, 6, 7, 8}, gap), 8, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(orderOf(blockOf({1, 200, 3, 4, 5, 6, 7, 8}, gap), 3, &ok)[0], 27);
    EXPECT_FALSE(ok);
}

std::map<int32_t, LessonBlock> stored;
std::vector<int32_t> reads;
int32_t readStored(int32_t, int32_t index, LessonBlock &b)
{
    reads.push_back(index);
    b = stored.count(index) ? stored[index] : LessonBlock{};
    return 0;
}

TEST(NoteOrdering, PreviousBlockWalksDownToTheLastPassed)
{
    stored.clear();
    LessonBlock passed{};
    passed.done = 1;
    stored[4] = passed;
    LessonBlock b;
    reads.clear();
    EXPECT_EQ(findPreviousResults(readStored, 1, 10, b), 4); // blocks 7, 6, 5, 4
    EXPECT_EQ(reads, (std::vector<int32_t>{7, 6, 5, 4}));
    reads.clear();
    EXPECT_EQ(findPreviousResults(readStored, 1, 5, b), 1); // nothing passed: block 1
    EXPECT_EQ(reads, (std::vector<int32_t>{2, 1}));
    reads.clear();
    EXPECT_EQ(findPreviousResults(readStored, 1, 3, b), 0); // lesson 3: the note choice
    EXPECT_EQ(reads, (std::vector<int32_t>{0}));
}

} // namespace
