// The introduction's sample exercise: one exercise of lesson index 15 on the
// note F4, replayed without a microphone from two stored pitch tracks (the
// teacher's "Training" right after the note and "Test" after the delay) and
// judged like a real answer. The pages hand it a tick (frames since the
// replay started) or a feedback stage; it derives the phase, feeds one stored
// sample per frame into the plot arrays, judges the test and returns an
// event code that tells the page when to sound the note and the teacher.
// Pure: the drawing is sample_pages.cpp's, the clock and capture counters of
// the frame are reached through SampleRecordingHooks.
#pragma once
#include <cstdint>

// Frame length and plot width of the sample (its own constants: the
// exercise screen's differ in the later decimals, and the page timings rest
// on these).
constexpr double sampleFrameMs = 46.44;
constexpr double samplePlotFrames = 43.0664; // 2000 ms of frames per 120-pixel plot
constexpr int32_t samplePlotRangeCents = 100;
constexpr int32_t sampleArraySize = 120;
constexpr int32_t sampleLessonIndex = 15;
constexpr int32_t sampleNoteIndex = 32; // F4

// The stored tracks: Hz per 2048-sample block, as the pitch detector gave
// them. Test sample k (0..43) is test track entry k + sampleTestTrackOffset.
constexpr int32_t sampleTrackLength = 102;
constexpr int32_t sampleTestTrackOffset = 39;
extern const double sampleTrainingTrack[sampleTrackLength];
extern const double sampleTestTrack[sampleTrackLength];

// SamplePhase: the exercise run's answer phases plus one.
constexpr int32_t samplePhaseNotStarted = 0;
constexpr int32_t samplePhaseRelax = 2;
constexpr int32_t samplePhaseListen = 3;
constexpr int32_t samplePhaseDelay = 4;
constexpr int32_t samplePhaseSing = 5;
constexpr int32_t samplePhaseFinished = 7;
constexpr int32_t samplePhaseFeedback = 8;

// SampleReplayEvent.
constexpr int32_t sampleEventNone = 0;
constexpr int32_t sampleEventListen = 1;       // the reference note is due
constexpr int32_t sampleEventDelay = 2;        // the teacher sings the note
constexpr int32_t sampleEventTrainingDone = 3; // last training sample fed
constexpr int32_t sampleEventNoiseStart = 4;
constexpr int32_t sampleEventNoiseEnd = 5;
constexpr int32_t sampleEventAnswer = 6;       // the teacher sings the answer
constexpr int32_t sampleEventTestDone = 7;     // last test sample fed
constexpr int32_t sampleEventFinished = 8;     // every frame after the sing phase
constexpr int32_t sampleEventFeedback = 9;     // feedback stage 0 at tick 0

struct SampleExercise {
    // Replay parameters, set by the page (prepareSampleExercise).
    int32_t note = sampleNoteIndex;
    double referenceHz = 0;
    double delayMs = 0;
    double maxTolCents = 0;
    double maxDevCents = 0;
    int32_t noteCount = 0;
    int32_t exercisesToDo = 0;

    // Page-owned state handed to the replay by reference.
    int32_t phase = samplePhaseNotStarted;
    int32_t delayFrame = 0;
    int32_t trainingCounter = 0;
    int32_t testCounter = 0;
    int32_t replayEvent = 0; // the last call's event

    // Replay state.
    int32_t previousPhase = 0;
    int32_t trainingLast = 43; // number of the last training sample (from 1)
    int32_t testLast = 44;
    double trainingCursorX = 0;
    double testCursorX = 0;
    bool clockRebasePending = false;
    double currentHz = 0;
    int32_t analysisPos = 0; // the page's analysis position, as if blocks were captured

    // Per-sample plot data (index = sample number from 0).
    double trainingPlotY[sampleArraySize] = {};
    int32_t trainingRating[sampleArraySize] = {};
    double trainingStaffY[sampleArraySize] = {};
    double testPlotY[sampleArraySize] = {};
    int32_t testRating[sampleArraySize] = {};
    double testStaffY[sampleArraySize] = {};

    // The last judging (stage 1 of the feedback).
    bool answerValid = false;
    bool answerPassed = false;
    double meanHz = 0;
    double meanDeviationCents = 0;
    double stdCents = 0;
};
extern SampleExercise sample;

// What one replay call did, for its drawing.
struct SampleReplayFrame {
    int32_t event = 0;
    int32_t phaseBefore = 0;   // the phase left by the previous call
    int32_t tick = 0;
    int32_t trainingShown = -1; // plots drawn up to this training sample this frame (-1 none)
    bool trainingCursor = false; // the magenta cursor (else the end line) with trainingShown
    int32_t testShown = -1;
    bool testCursor = false;
};

// The frame's clock and capture counters, which live outside the pure
// libraries; the pages install the real ones, the default does nothing.
struct SampleRecordingHooks {
    void (*restartCapture)();   // samplesConsumed, audioClockMs := 0, recordingBlockIndex := -1
    void (*blockFed)();         // samplesConsumed += 2048
    void (*restartTickGrid)();  // freeTickCount := 0, freeClockStart := frameTime
};
void setSampleRecordingHooks(const SampleRecordingHooks &hooks);

// Preparing the exercise (topic 4 from step 8302 and topic 5's entry 8347):
// note, counters, parameters of lesson index 15, phase 0. topicEntry also
// sets the reference frequency, takes the delay to a multiple of 1500 ms and
// clears the plot arrays and pitchSamples[0..119] (the note voices are the
// page's).
void prepareSampleExercise(bool topicEntry);
// At lesson entry: the parameters and reference note, the stored answer in
// the plots and its judgement, so a page entered by paging past topic 5
// shows the passed exercise the teacher explains.
void setUpSampleForLesson();
// Topic 6's entry step 8904: both windows filled at once from the tracks.
void fillSamplePlotsFromTracks();

// The phase a tick lies in (2, 3, 4, 5 or 7) with the delay in ms.
int32_t samplePhaseOfTick(int32_t tick, double delayMs);

// One frame of the replay at a tick: phase from the tick, the phase's work,
// the event (also stored in sample.replayEvent). mode has no effect.
int32_t runSampleExerciseReplay(int32_t mode, int32_t &phase, int32_t &delayFrame, int32_t &trainingCounter,
                                int32_t &testCounter, int32_t tick);
// The last call's frame facts.
const SampleReplayFrame &lastSampleReplayFrame();

// One frame of the feedback: stage 1 judges at tick 0; event 9 at stage 0
// tick 0, else 0. The counters are not used.
int32_t showSampleExerciseFeedback(int32_t stage, int32_t &phase, int32_t &delayFrame, int32_t &trainingCounter,
                                   int32_t tick);

// Height on the cents plot (relative to its bottom; 160 the reference,
// +-H at +-R cents, 2 more beyond): the exercise screen's meter mapping.
double sampleDeviationToPlotY(double rangeCents, double halfHeight, double f, double reference);

// Cursor length of the time line (E) for a phase and tick; 0 none.
double sampleTimeLineLength(int32_t phase, int32_t tick, double delayMs);
// The judging over pitchSamples[1..n] (the exercise run's routines).
bool replaySamplesWithinTolerance(int32_t n, double reference, double toleranceCents);
double replayMeanPitchDeviation(int32_t n, double &meanHz, double &meanDeviationCents, double reference,
                                double &stdCents);
// Delay frames of events 4, 5 and 6 (only when the delay is at least 7500 ms).
int32_t sampleNoiseStartFrame(double delayMs);
int32_t sampleNoiseEndFrame(double delayMs);
int32_t sampleAnswerFrame(double delayMs);
