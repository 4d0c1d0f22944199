#include "intro/sample_exercise.h"

#include "base/rounding.h"
#include "lessons/exercise_judging.h"
#include "lessons/lesson_params.h"
#include "lessons/lesson_state.h"
#include "music/notes.h"
#include "music/staff_geometry.h"
#include "sound/recording.h"

#include <algorithm>
#include <cmath>

SampleExercise sample;

// The teacher's training answer: a voice settling onto F4 (entries 0..43
// are read), fading at the end (80..100 too quiet, 101 empty).
const double sampleTrainingTrack[sampleTrackLength] = {
    337.164, 338.264, 338.083, 337.228, 341.741, 346.086, 344.902, 345.902, 346.750, 346.785, 348.568,
    351.460, 352.195, 351.269, 352.024, 352.160, 350.522, 350.344, 353.281, 354.569, 351.908, 350.862,
    350.885, 351.190, 351.320, 350.787, 351.532, 351.625, 350.762, 350.506, 352.675, 352.745, 349.509,
    349.092, 354.186, 356.043, 351.043, 346.542, 346.358, 349.957, 353.019, 353.125, 351.384, 351.205,
    350.203, 349.574, 351.397, 349.289, 350.976, 356.081, 349.237, 350.873, 349.162, 350.604, 349.280,
    349.356, 350.570, 352.040, 349.476, 349.837, 351.311, 352.482, 351.127, 350.469, 352.587, 349.195,
    352.156, 350.079, 349.550, 349.454, 348.694, 347.396, 344.735, 343.326, 341.515, 339.332, 337.680,
    335.268, 333.430, 324.113, 6.0,     6.0,     6.0,     6.0,     6.0,     6.0,     6.0,     6.0,
    6.0,     6.0,     6.0,     6.0,     6.0,     6.0,     6.0,     6.0,     6.0,     6.0,     6.0,
    6.0,     0.0,
};

// The teacher's answer after the delay: sung from before the test (entries
// 0..38), the test's samples 0..43 (entries 39..82), then on (101 empty).
const double sampleTestTrack[sampleTrackLength] = {
    327.712, 336.900, 350.200, 364.481, 361.000, 358.533, 358.755, 359.511, 358.560, 358.648, 358.813,
    357.979, 358.656, 358.901, 359.239, 357.792, 358.225, 357.785, 359.274, 359.033, 357.684, 359.632,
    359.596, 358.951, 358.871, 357.923, 357.628, 358.690, 357.720, 357.990, 358.097, 357.659, 358.557,
    358.508, 359.342, 358.671, 358.922, 358.631, 358.968, 359.490, 359.426, 360.276, 361.734, 359.724,
    356.985, 357.217, 358.554, 358.969, 358.147, 357.566, 357.344, 359.322, 360.162, 358.095, 356.262,
    357.020, 359.171, 359.138, 355.866, 354.998, 356.694, 356.233, 354.959, 356.320, 356.867, 356.557,
    355.789, 354.164, 354.886, 356.414, 355.815, 355.786, 357.821, 358.388, 356.954, 357.252, 356.743,
    354.965, 355.684, 359.303, 358.599, 355.859, 355.612, 358.526, 358.081, 359.871, 359.866, 359.478,
    359.149, 358.173, 357.960, 358.108, 357.565, 359.294, 358.384, 359.494, 358.350, 359.772, 359.496,
    357.392, 357.911, 0.0,
};

namespace {

void noHook() {}
SampleRecordingHooks recordingHooks{noHook, noHook, noHook};
SampleReplayFrame lastFrame;

constexpr int32_t blockSamples = 2048;

int32_t ratingOf(double f)
{
    return blockDeviationRating(f, sample.referenceHz, sample.maxDevCents);
}

// Steps 2 to 4 of feeding a sample into entry i of a track.
void storeEntry(double *plotY, int32_t *rating, double *staffY, int32_t i, double s)
{
    sample.currentHz = s;
    plotY[i] = sampleDeviationToPlotY(samplePlotRangeCents, 160, s, sample.referenceHz);
    rating[i] = ratingOf(s);
    staffY[i] = frequencyToStaffHeight(s);
}

// Feeding as if one block had been captured and analysed.
void feedEntry(double *plotY, int32_t *rating, double *staffY, int32_t i, double s)
{
    sample.currentHz = s;
    ++recordingBlockIndex;
    recordingHooks.blockFed();
    sample.analysisPos += blockSamples;
    storeEntry(plotY, rating, staffY, i, s);
    pitchSamples[i] = s;
}

// A recording starts again, as for a new capture.
void restartRecording()
{
    std::fill(recordingBuffer, recordingBuffer + 2 * blockSamples, int16_t{0});
    std::fill(eventTypeAtSample, eventTypeAtSample + 2000, 0);
    recordingHooks.restartCapture();
    recordingBlockIndex = -1;
    sample.analysisPos = 0;
}

void clearPlots()
{
    std::fill(std::begin(sample.trainingPlotY), std::end(sample.trainingPlotY), 0.0);
    std::fill(std::begin(sample.trainingRating), std::end(sample.trainingRating), 0);
    std::fill(std::begin(sample.testPlotY), std::end(sample.testPlotY), 0.0);
    std::fill(std::begin(sample.testRating), std::end(sample.testRating), 0);
    std::fill(pitchSamples, pitchSamples + sampleArraySize, 0.0);
}

void judgeSampleAnswer()
{
    // The exercise's own judgement of blocks 1..22; an invalid answer keeps
    // the mean and spread shown last (they are not shown for it).
    const AnswerJudgement j = judgeAnswer(pitchSamples, sample.maxTolCents, sample.maxDevCents, sample.referenceHz);
    sample.answerValid = j.valid;
    sample.answerPassed = j.passed;
    if (!j.valid) return;
    sample.meanHz = j.sungFrequency;
    sample.meanDeviationCents = j.meanCents;
    sample.stdCents = j.stdCents;
}

// Phase 4, every frame.
int32_t delayWork(SampleReplayFrame &f, bool first)
{
    int32_t event = sampleEventNone;
    if (first) {
        event = sampleEventDelay;
        sample.delayFrame = -1;
        sample.trainingCounter = -1;
        sample.trainingLast = sample.delayMs >= 2000 ? 43 : roundToInt32(sample.delayMs / sampleFrameMs);
        sample.clockRebasePending = true;
        restartRecording();
    }
    ++sample.delayFrame;
    ++sample.trainingCounter;
    const int32_t c = sample.trainingCounter;
    if (c >= 1) {
        sample.trainingCursorX = (c - 1) / samplePlotFrames * 120;
        if (c <= sample.trainingLast) {
            if (c - 1 < sampleArraySize)
                feedEntry(sample.trainingPlotY, sample.trainingRating, sample.trainingStaffY, c - 1,
                          sampleTrainingTrack[std::min(c - 1, sampleTrackLength - 1)]);
            f.trainingShown = c - 1;
            f.trainingCursor = true;
        } else {
            f.trainingShown = sample.trainingLast - 1;
            f.trainingCursor = false;
        }
    }
    if (c == sample.trainingLast) {
        event = sampleEventTrainingDone;
        if (sample.clockRebasePending) {
            sample.clockRebasePending = false;
            recordingHooks.restartTickGrid();
        }
    }
    if (sample.delayMs >= 7500) {
        const int32_t d = sample.delayFrame;
        if (d == sampleNoiseStartFrame(sample.delayMs)) event = sampleEventNoiseStart;
        if (d == sampleNoiseEndFrame(sample.delayMs)) event = sampleEventNoiseEnd;
        if (d == sampleAnswerFrame(sample.delayMs)) event = sampleEventAnswer;
    }
    return event;
}

// Phase 5, every frame.
int32_t singWork(SampleReplayFrame &f, bool first)
{
    if (first) {
        sample.testCounter = -1;
        restartRecording();
    }
    ++sample.testCounter;
    const int32_t t = sample.testCounter;
    if (t >= 1) {
        sample.testCursorX = (t - 1) / samplePlotFrames * 120;
        if (t <= sample.testLast) {
            feedEntry(sample.testPlotY, sample.testRating, sample.testStaffY, t - 1,
                      sampleTestTrack[std::min(t - 1 + sampleTestTrackOffset, sampleTrackLength - 1)]);
            f.testShown = t - 1;
            f.testCursor = true;
        } else {
            f.testShown = sample.testLast - 1;
            f.testCursor = false;
        }
    }
    return t == sample.testLast ? sampleEventTestDone : sampleEventNone;
}

} // namespace

void setSampleRecordingHooks(const SampleRecordingHooks &hooks) { recordingHooks = hooks; }

int32_t sampleNoiseStartFrame(double delayMs) { return roundToInt32((delayMs - 5000) / sampleFrameMs); }
int32_t sampleNoiseEndFrame(double delayMs) { return roundToInt32((delayMs - 4000) / sampleFrameMs); }
int32_t sampleAnswerFrame(double delayMs) { return roundToInt32(delayMs / sampleFrameMs) - 39; }

double sampleDeviationToPlotY(double rangeCents, double halfHeight, double f, double reference)
{
    return deviationToMeterY(rangeCents, halfHeight, reference, f);
}

bool replaySamplesWithinTolerance(int32_t n, double reference, double toleranceCents)
{
    return answerSamplesWithinTolerance(pitchSamples, n, toleranceCents, reference);
}

double replayMeanPitchDeviation(int32_t n, double &meanHz, double &meanDeviationCents, double reference,
                                double &stdCents)
{
    meanPitchDeviation(pitchSamples, n, meanHz, meanDeviationCents, reference, stdCents);
    return meanHz > reference ? meanDeviationCents + stdCents : meanDeviationCents - stdCents;
}

void prepareSampleExercise(bool topicEntry)
{
    sample.note = sampleNoteIndex;
    sample.delayFrame = 0;
    sample.trainingCounter = 0;
    const LessonParams &p = lessonParamsTable[sampleLessonIndex];
    sample.delayMs = p.delayMs;
    sample.maxTolCents = p.maxTolCents;
    sample.maxDevCents = p.maxDevCents;
    sample.noteCount = p.noteCount;
    sample.exercisesToDo = p.exercisesPerLesson;
    if (topicEntry) {
        sample.referenceHz = noteFrequencies[noteOfStaffValue(staffValueOfNote(sample.note))];
        sample.delayMs = 1500 * roundNearest(sample.delayMs / 1500);
    }
    sample.phase = samplePhaseNotStarted;
    sample.clockRebasePending = false;
    if (topicEntry) clearPlots();
}

void fillSamplePlotsFromTracks()
{
    for (int32_t i = 0; i <= 43; ++i)
        storeEntry(sample.trainingPlotY, sample.trainingRating, sample.trainingStaffY, i, sampleTrainingTrack[i]);
    sample.trainingLast = 43;
    for (int32_t i = 0; i <= 43; ++i) {
        const double s = sampleTestTrack[i + sampleTestTrackOffset];
        storeEntry(sample.testPlotY, sample.testRating, sample.testStaffY, i, s);
        pitchSamples[i] = s;
    }
    sample.testLast = 44;
}

void setUpSampleForLesson()
{
    prepareSampleExercise(true);
    fillSamplePlotsFromTracks();
    judgeSampleAnswer();
}

int32_t samplePhaseOfTick(int32_t tick, double delayMs)
{
    if (tick <= 500 / sampleFrameMs) return samplePhaseRelax;
    if (tick <= 2500 / sampleFrameMs) return samplePhaseListen;
    if (tick <= (delayMs + 2500) / sampleFrameMs) return samplePhaseDelay;
    if (tick <= (delayMs + 4500) / sampleFrameMs) return samplePhaseSing;
    return samplePhaseFinished;
}

int32_t runSampleExerciseReplay(int32_t, int32_t &phase, int32_t &delayFrame, int32_t &trainingCounter,
                                int32_t &testCounter, int32_t tick)
{
    // The counters are the page's; the replay works on them in place.
    sample.delayFrame = delayFrame;
    sample.trainingCounter = trainingCounter;
    sample.testCounter = testCounter;
    SampleReplayFrame f;
    f.tick = tick;
    f.phaseBefore = phase;
    sample.previousPhase = phase;
    phase = samplePhaseOfTick(tick, sample.delayMs);
    sample.phase = phase;
    const bool first = phase != sample.previousPhase;
    int32_t event = sampleEventNone;
    switch (phase) {
    case samplePhaseListen:
        if (first) event = sampleEventListen;
        break;
    case samplePhaseDelay: event = delayWork(f, first); break;
    case samplePhaseSing: event = singWork(f, first); break;
    case samplePhaseFinished:
        event = sampleEventFinished;
        recordingHooks.restartTickGrid();
        break;
    default: break;
    }
    delayFrame = sample.delayFrame;
    trainingCounter = sample.trainingCounter;
    testCounter = sample.testCounter;
    f.event = event;
    lastFrame = f;
    sample.replayEvent = event;
    return event;
}

const SampleReplayFrame &lastSampleReplayFrame() { return lastFrame; }

int32_t showSampleExerciseFeedback(int32_t stage, int32_t &, int32_t &, int32_t &, int32_t tick)
{
    int32_t event = sampleEventNone;
    if (stage == 0 && tick == 0) event = sampleEventFeedback;
    if (stage == 1 && tick == 0) judgeSampleAnswer();
    sample.replayEvent = event;
    return event;
}

double sampleTimeLineLength(int32_t phase, int32_t tick, double delayMs)
{
    const double f = sampleFrameMs;
    switch (phase) {
    case samplePhaseRelax: return tick * f / 500 * 30;
    case samplePhaseListen: return tick * f / 2500 * 150;
    case samplePhaseDelay: return (tick - 53.833) * f / delayMs * 270 + 150;
    case samplePhaseSing: return (tick - (delayMs + 2500) / f) * f / 2000 * 120 + 420;
    case samplePhaseFinished:
    case samplePhaseFeedback: return 540;
    default: return 0;
    }
}
