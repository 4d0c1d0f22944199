// The pages of the sample exercise: topic 5 "Sample Exercise" (the exercise
// played in real time with the reference note and the teacher's sung
// answer), topic 6 "Exercise Feedback" (its judging), topic 7 "Commented
// Exercise" (frozen moments with ellipses, arrows and pictures while the
// teacher explains), and topic 4's hand-over frames 8302-8342, which show
// the exercise's first frame. The exercise itself is sample_exercise.h; its
// layout is drawn here through the drawing facade, with the notation's and
// the pictures' pieces behind SampleDrawHooks.
#pragma once
#include <cstdint>

struct ImmediateDraw;
struct IntroPageRow;

// What a page row of topics 5-7 (or topic 4 from step 8302) draws besides the
// teacher and its bubble, and the sounds it starts with the exercise's
// events. The content is chosen by the step alone (row, the caller's name
// of the row, is not needed).
void drawSampleRowExtras(int32_t row, int32_t step);

// The engine's hooks: an entry step of a topic, and topic 5's exercise at a
// tick (draws the frame, sounds the reference note at event 1, returns the
// event for the clips and the move to topic 6).
void sampleEntryStep(int32_t topic, int32_t step);
int32_t sampleExerciseAtTick(int32_t tick);
// The drawRowExtras hook for the sample's rows (the pages' dispatcher calls
// drawSampleRowExtras itself).
void drawSampleRowExtrasOfRow(ImmediateDraw &draw, const IntroPageRow &row, int32_t step);
// At lesson entry: the exercise's parameters, reference note and judged
// answer (and the frame's capture counters as its recording hooks).
void startSampleLesson();

// The facade the pages draw through (glImmediateDraw() until set).
void setSamplePagesDraw(ImmediateDraw &draw);

// What the pages ask of the screen that shows them: a clip 1..212 started on
// the teacher's source, and the teacher's source stopped. The screen installs
// them (nothing happens until then).
struct SamplePagesSound {
    void (*startClip)(int32_t clip);
    void (*stopTeacher)();
};
void setSamplePagesSound(const SamplePagesSound &sound);

// Pieces the facade lacks, and the note voices; tests install recorders.
struct SampleDrawHooks {
    void (*staffWithNote)(int32_t note); // grand staff x 100..280, clefs at 100, the note at 220
    void (*arrow)(int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width);
    void (*point)(double x, double y, double z); // smoothed, 3 pixels
    void (*verdictIcon)(double x, double y, int32_t picture); // Images44 picture 1..3, 128 square
    void (*smallPicture)(int32_t x, int32_t y);
    void (*diagramPair)(int32_t n, int32_t x);
    void (*setUpVoices)();        // topic 5's entry: voice 1 on the note as a tone of the reference Hz
    void (*referenceNote)();      // highlight the voices and play the note (sequence state 6)
    void (*timedSequence)(int32_t t1); // sequence state 20 with t0 2 and t1, one voice
    void (*countShownVoices)();
};
const SampleDrawHooks &realSampleDrawHooks();
void setSampleDrawHooks(const SampleDrawHooks &hooks);

// The exercise layout of one replay frame and of a feedback stage (the
// model's state after the call), for the pages and the tests.
void drawSampleReplay(ImmediateDraw &draw);
void drawSampleFeedback(ImmediateDraw &draw, int32_t stage, int32_t tick);
