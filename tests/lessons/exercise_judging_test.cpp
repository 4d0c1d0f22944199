// Judging an answer: the tolerance band at its edges, status codes inside and
// outside the judged blocks, mean and spread, the meter and the stored slot.
#include <cmath>

#include <gtest/gtest.h>

#include "lessons/exercise_judging.h"

namespace {

constexpr double target = 440.0;

double at(double cents) { return target * std::pow(2.0, cents / 1200.0); }

// Blocks 0..30, every one at `cents` off the target.
struct Samples {
    double v[31];
    explicit Samples(double cents)
    {
        for (double &x : v) x = at(cents);
    }
};

TEST(ExerciseJudging, ToleranceBandEdgesAndStatusCodes)
{
    const double r = std::pow(2.0L, 75.0L / 1200.0L);
    Samples s(0);
    s.v[5] = target * r; // exactly on the upper edge
    s.v[6] = target / r; // exactly on the lower edge
    EXPECT_TRUE(answerSamplesWithinTolerance(s.v, 22, 75, target));
    s.v[7] = std::nextafter(target * r, 1e9);
    EXPECT_FALSE(answerSamplesWithinTolerance(s.v, 22, 75, target));

    struct Case {
        int block;
        double value;
        bool valid;
    };
    const Case cases[] = {
        {1, 6.0, false}, {22, 3.0, false}, {11, 0.0, false}, // silence or no pitch inside 1..22
        {0, 6.0, true},  {23, 1.0, true},  {30, 0.0, true},  // outside the judged blocks
    };
    for (const Case &c : cases) {
        Samples t(5);
        t.v[c.block] = c.value;
        EXPECT_EQ(judgeAnswer(t.v, 75, 50, target).valid, c.valid) << c.block;
    }
}

TEST(ExerciseJudging, MeanAndSpread)
{
    // Fixed offset: mean 10, spread 0 (never NaN), a pass at 25, 33 and 50.
    Samples fixed(10);
    for (double dev : {25.0, 33.0, 50.0}) {
        const AnswerJudgement j = judgeAnswer(fixed.v, 50, dev, target);
        EXPECT_TRUE(j.valid);
        EXPECT_NEAR(j.meanCents, 10.0, 1e-9);
        EXPECT_FALSE(std::isnan(j.stdCents));
        EXPECT_NEAR(j.stdCents, 0.0, 1e-3); // sqrt of the rounding of sums near 1e8
        EXPECT_TRUE(j.passed);
        EXPECT_NEAR(j.sungFrequency, at(10), 1e-9);
    }
    // Equal samples whose variance rounds below 0 give exactly 0.
    Samples equal(0);
    for (double &x : equal.v) x = 523.251;
    double meanHz, meanDev, std;
    meanPitchDeviation(equal.v, 22, meanHz, meanDev, 523.251, std);
    EXPECT_EQ(std, 0.0);

    // Alternating +-20: mean 0, spread 20.
    Samples alt(0);
    for (int i = 0; i < 31; ++i) alt.v[i] = at(i % 2 ? 20 : -20);
    const AnswerJudgement a = judgeAnswer(alt.v, 50, 25, target);
    EXPECT_NEAR(a.meanCents, 0.0, 1e-9);
    EXPECT_NEAR(a.stdCents, 20.0, 1e-6);
    EXPECT_TRUE(a.passed);

    // -60 with max. Dev. 50: valid (max. Tol. 75) but failed.
    Samples flat(-60);
    const AnswerJudgement f = judgeAnswer(flat.v, 75, 50, target);
    EXPECT_TRUE(f.valid);
    EXPECT_FALSE(f.passed);
    EXPECT_NEAR(f.meanCents, -60.0, 1e-9);
    // A deviation of exactly max. Dev. passes, the next double below fails:
    // max. Dev. is the deviation the judgement itself computes.
    for (double cents : {25.0, -33.0, 12.5}) {
        Samples edge(cents);
        const double dev = answerDeviationCents(judgeAnswer(edge.v, 50, 0, target).sungFrequency, target);
        EXPECT_NEAR(dev, std::fabs(cents), 1e-9);
        EXPECT_TRUE(judgeAnswer(edge.v, 50, dev, target).passed) << cents;
        EXPECT_FALSE(judgeAnswer(edge.v, 50, std::nextafter(dev, 0.0), target).passed) << cents;
    }
}

TEST(ExerciseJudging, MeterRangeByMaxDev)
{
    EXPECT_EQ(meterRangeFor(25), 100);
    EXPECT_EQ(meterRangeFor(std::nextafter(100.0, 0.0)), 100);
    EXPECT_EQ(meterRangeFor(100), 1200);
    EXPECT_EQ(meterRangeFor(480), 1200);
}

TEST(ExerciseJudging, TheLessonPassesWhenEveryTrainedSlotPasses)
{
    // Five trained slots, max. Dev. 25: each case changes one slot's mean.
    struct Case {
        int slot;    // 0-based
        double mean;
        bool passed;
    };
    const double below = std::nextafter(25.0, 100.0);
    const Case cases[] = {
        {4, 25.0, true},    {4, -25.0, true},  // exactly max. Dev. on the last trained slot
        {4, below, false},  {4, -below, false}, // just beyond it
        {0, below, false},  {2, 100.0, false},  // the first and a middle slot
        {5, 100.0, true},   {7, 100.0, true},   // slots above the trained ones do not count
    };
    for (const Case &c : cases) {
        LessonBlock b = emptyLessonBlock();
        for (int k = 0; k < 5; ++k) b.slots[k].mean = (k % 2 ? -1 : 1) * 10.0;
        b.slots[c.slot].mean = c.mean;
        EXPECT_EQ(lessonPassedBy(b, 5, 25.0), c.passed) << "slot " << c.slot << " mean " << c.mean;
    }
}

TEST(ExerciseJudging, StoredSlot)
{
    Samples ok(-12);
    const NoteSlot valid = judgedNoteSlot(36, judgeAnswer(ok.v, 50, 25, target));
    EXPECT_EQ(valid.note, 36);
    EXPECT_NEAR(valid.mean, -12.0, 1e-9);
    EXPECT_EQ(valid.passed, 1);
    Samples bad(0);
    bad.v[3] = 6.0;
    const NoteSlot invalid = judgedNoteSlot(36, judgeAnswer(bad.v, 50, 25, target));
    EXPECT_EQ(invalid.mean, 100.0);
    EXPECT_EQ(invalid.standardDeviation, 100.0);
    EXPECT_EQ(invalid.passed, 0);
}

TEST(ExerciseJudging, MeterValuesAndRatings)
{
    EXPECT_EQ(deviationToMeterY(100, 160, target, target), 160.0);
    EXPECT_NEAR(deviationToMeterY(100, 160, target, at(100) * (1 - 1e-12)), 320.0, 1e-6);
    EXPECT_NEAR(deviationToMeterY(100, 160, target, at(-50)), 80.0, 1e-9);
    EXPECT_EQ(deviationToMeterY(100, 160, target, at(101)), 322.0);
    EXPECT_EQ(deviationToMeterY(100, 160, target, at(-101)), -2.0);
    EXPECT_EQ(deviationToMeterY(100, 160, target, 6.0), -2.0);
    EXPECT_EQ(blockDeviationRating(at(49), target, 50), 2);
    EXPECT_EQ(blockDeviationRating(at(51), target, 50), 3);
    EXPECT_EQ(blockDeviationRating(at(-51), target, 50), 1);
    EXPECT_EQ(blockDeviationRating(0.0, target, 50), 1);
}

} // namespace
