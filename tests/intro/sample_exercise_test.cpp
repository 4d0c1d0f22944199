// The introduction's sample exercise as a model: phases and events of a
// replay in real time, what the plots receive, and the judgement of the
// stored answer.
#include "intro/sample_exercise.h"
#include "lessons/exercise_judging.h"
#include "lessons/lesson_state.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

int tickGridRestarts = 0;
int blocksFed = 0;

struct SampleExerciseTest : ::testing::Test {
    void SetUp() override
    {
        tickGridRestarts = 0;
        blocksFed = 0;
        setSampleRecordingHooks({[] {}, [] { ++blocksFed; }, [] { ++tickGridRestarts; }});
        sample = SampleExercise{};
        prepareSampleExercise(true);
    }
    void TearDown() override { setSampleRecordingHooks({[] {}, [] {}, [] {}}); }
    int32_t replay(int32_t tick)
    {
        return runSampleExerciseReplay(1, sample.phase, sample.delayFrame, sample.trainingCounter,
                                       sample.testCounter, tick);
    }
};

double centsOff(double f) { return 1200 * std::log2(f / sample.referenceHz); }

TEST_F(SampleExerciseTest, PreparedFromLessonFifteenOnF4)
{
    EXPECT_NEAR(sample.referenceHz, 349.228, 0.001);
    EXPECT_EQ(sample.delayMs, 7500);
    EXPECT_EQ(sample.maxTolCents, 75);
    EXPECT_EQ(sample.maxDevCents, 50);
    EXPECT_EQ(sample.noteCount, 8);
    EXPECT_EQ(sample.exercisesToDo, 8);
    EXPECT_EQ(sample.phase, samplePhaseNotStarted);
}

TEST_F(SampleExerciseTest, RealTimeReplayPhasesAndEventTicks)
{
    std::map<int32_t, int32_t> eventTicks; // event -> first tick
    std::vector<int32_t> phases;
    for (int32_t tick = 0; tick <= 262; ++tick) {
        const int32_t e = replay(tick);
        if (e != 0 && !eventTicks.count(e)) eventTicks[e] = tick;
        phases.push_back(sample.phase);
    }
    const std::map<int32_t, int32_t> expected = {{1, 11}, {2, 54}, {3, 97}, {4, 108}, {5, 129}, {6, 176}, {8, 259}};
    EXPECT_EQ(eventTicks, expected); // 7 never: the sing phase ends at test sample 42
    EXPECT_EQ(phases[10], samplePhaseRelax);
    EXPECT_EQ(phases[11], samplePhaseListen);
    EXPECT_EQ(phases[53], samplePhaseListen);
    EXPECT_EQ(phases[54], samplePhaseDelay);
    EXPECT_EQ(phases[215], samplePhaseDelay);
    EXPECT_EQ(phases[216], samplePhaseSing);
    EXPECT_EQ(phases[258], samplePhaseSing);
    EXPECT_EQ(phases[259], samplePhaseFinished);
    // Test samples 42 and 43 stay empty in the live replay.
    EXPECT_EQ(sample.testCounter, 42);
    EXPECT_NE(sample.testPlotY[41], 0);
    EXPECT_EQ(sample.testPlotY[42], 0);
    EXPECT_EQ(pitchSamples[41], sampleTestTrack[41 + sampleTestTrackOffset]);
    // One block counted per fed sample; the grid restarts once after the
    // training and in every finished frame.
    EXPECT_EQ(blocksFed, 43 + 42);
    EXPECT_EQ(tickGridRestarts, 1 + 4);
}

TEST_F(SampleExerciseTest, PlotsOfTheTrainingReplay)
{
    for (int32_t tick = 0; tick <= 56; ++tick) replay(tick);
    // Ticks 55 and 56 fed training samples 0 and 1 (tick 54 is counter 0).
    const SampleReplayFrame &f = lastSampleReplayFrame();
    EXPECT_EQ(f.trainingShown, 1);
    EXPECT_TRUE(f.trainingCursor);
    EXPECT_EQ(recordingBlockIndex, 1);
    EXPECT_NEAR(sample.trainingCursorX, 1 / 43.0664 * 120, 1e-9);
    // 337.164 Hz on the cents plot (160 at the note, 160 more at +100 cents), below the band.
    EXPECT_NEAR(sample.trainingPlotY[0], 160 + centsOff(337.164) / 100 * 160, 1e-6);
    EXPECT_NEAR(sample.trainingPlotY[0], 62.62, 0.01); // 61 cents flat
    EXPECT_EQ(sample.trainingRating[0], 1);
    EXPECT_GT(sample.trainingStaffY[0], 0);
    EXPECT_EQ(sample.trainingPlotY[2], 0); // not yet
}

TEST_F(SampleExerciseTest, PresetCountersHoldAMomentStill)
{
    // Topic 7 shows the training at 50 samples in every frame of a range.
    sample.phase = samplePhaseDelay;
    for (int i = 0; i < 3; ++i) {
        sample.delayFrame = sample.trainingCounter = 50;
        EXPECT_EQ(replay(104), 0);
        EXPECT_EQ(sample.trainingCounter, 51);
        EXPECT_EQ(lastSampleReplayFrame().trainingShown, 42); // complete, end line
        EXPECT_FALSE(lastSampleReplayFrame().trainingCursor);
    }
}

TEST(SamplePlotMapping, ClampsBeyondTheRangeAndMatchesTheMeter)
{
    const double ref = 349.228;
    EXPECT_EQ(sampleDeviationToPlotY(100, 160, ref, ref), 160);
    EXPECT_EQ(sampleDeviationToPlotY(100, 160, ref * 1.1, ref), 322);
    EXPECT_EQ(sampleDeviationToPlotY(100, 160, 6.0, ref), -2);
    EXPECT_NEAR(sampleDeviationToPlotY(100, 160, ref * std::pow(2, 50 / 1200.0), ref), 240, 1e-9);
}

TEST_F(SampleExerciseTest, FeedbackJudgesTheStoredAnswerAsPassed)
{
    int32_t unused = 0;
    sample.phase = samplePhaseFeedback;
    fillSamplePlotsFromTracks();
    EXPECT_EQ(showSampleExerciseFeedback(0, sample.phase, unused, unused, 0), sampleEventFeedback);
    EXPECT_FALSE(sample.answerValid); // nothing judged yet
    EXPECT_EQ(showSampleExerciseFeedback(1, sample.phase, unused, unused, 0), 0);
    EXPECT_TRUE(sample.answerValid);
    EXPECT_TRUE(sample.answerPassed);
    EXPECT_EQ(std::lround(centsOff(sample.meanHz)), 44);
    EXPECT_EQ(std::lround(sample.stdCents), 8);
    // Stages 2..4 and later ticks only show the result.
    pitchSamples[5] = 6.0;
    showSampleExerciseFeedback(1, sample.phase, unused, unused, 258);
    showSampleExerciseFeedback(4, sample.phase, unused, unused, 0);
    EXPECT_TRUE(sample.answerPassed);
    // A silent judged sample makes a new judging invalid and failed.
    showSampleExerciseFeedback(1, sample.phase, unused, unused, 0);
    EXPECT_FALSE(sample.answerValid);
    EXPECT_FALSE(sample.answerPassed);
}

// The feedback judges as the exercise does, at the edges of max. Tol. and
// max. Dev. too: the sample shares the exercise's rule.
TEST_F(SampleExerciseTest, FeedbackJudgesAsTheExerciseAtTheEdges)
{
    const double ref = sample.referenceHz;
    const double tol = sample.maxTolCents;
    std::vector<std::vector<double>> answers;
    for (double cents : {44.0, 50.0, -50.0, 49.999999, 50.000001}) {
        answers.emplace_back(50, ref * std::pow(2.0, cents / 1200.0));
    }
    std::vector<double> bandEdge(50, ref);
    bandEdge[7] = ref * std::pow(2.0L, tol / 1200.0L); // on the tolerance bound
    answers.push_back(bandEdge);
    bandEdge[7] = std::nextafter(bandEdge[7], 1e9);    // just past it
    answers.push_back(bandEdge);
    int32_t unused = 0;
    for (const std::vector<double> &a : answers) {
        for (double maxDev : {50.0, answerDeviationCents(judgeAnswer(a.data(), tol, 0, ref).sungFrequency, ref)}) {
            sample.maxDevCents = maxDev;
            std::copy(a.begin(), a.end(), pitchSamples);
            showSampleExerciseFeedback(1, sample.phase, unused, unused, 0);
            const AnswerJudgement j = judgeAnswer(a.data(), tol, maxDev, ref);
            EXPECT_EQ(sample.answerValid, j.valid) << a[1] << " max. Dev. " << maxDev;
            EXPECT_EQ(sample.answerPassed, j.passed) << a[1] << " max. Dev. " << maxDev;
            if (j.valid) {
                EXPECT_EQ(sample.meanHz, j.sungFrequency);
                EXPECT_EQ(sample.stdCents, j.stdCents);
            }
        }
    }
}

TEST_F(SampleExerciseTest, LessonEntrySetUpShowsThePass)
{
    sample = SampleExercise{};
    setUpSampleForLesson();
    EXPECT_NEAR(sample.referenceHz, 349.228, 0.001);
    EXPECT_TRUE(sample.answerPassed);
    EXPECT_EQ(sample.trainingLast, 43);
    EXPECT_EQ(sample.testLast, 44);
    EXPECT_NE(sample.testPlotY[43], 0);
}

TEST(SampleTimeLine, CursorLengthsByPhase)
{
    EXPECT_NEAR(sampleTimeLineLength(samplePhaseRelax, 10, 7500), 10 * 46.44 / 500 * 30, 1e-9);
    EXPECT_NEAR(sampleTimeLineLength(samplePhaseDelay, 54, 7500), (54 - 53.833) * 46.44 / 7500 * 270 + 150, 1e-9);
    EXPECT_EQ(sampleTimeLineLength(samplePhaseFeedback, 0, 7500), 540);
    EXPECT_EQ(sampleTimeLineLength(samplePhaseNotStarted, 5, 7500), 0);
}

TEST(SampleShortDelay, NoNoiseEventsAndAShorterTraining)
{
    sample = SampleExercise{};
    prepareSampleExercise(true);
    sample.delayMs = 1500;
    std::vector<int32_t> events;
    for (int32_t tick = 0; tick <= 150; ++tick) {
        const int32_t e = runSampleExerciseReplay(1, sample.phase, sample.delayFrame, sample.trainingCounter,
                                                  sample.testCounter, tick);
        if (e != 0 && e != sampleEventFinished) events.push_back(e);
    }
    EXPECT_EQ(sample.trainingLast, 32);
    EXPECT_EQ(events, (std::vector<int32_t>{1, 2, 3})); // 43 sing frames: no 7
}

} // namespace
