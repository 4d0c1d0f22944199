// The exercise run: one numbered lesson (3..556) from its start to its
// result, frame by frame. For each trained note: show it, let the user relax,
// play it, record the sung answer at once ("Training"), wait the lesson's
// delay, record it again from memory ("Test"), judge the test in cents and
// show the judgement; after the last note store the lesson's result and hand
// over to the score overview.
//
// The run is an engine without GL or AL of its own: captured blocks, the
// clock, the store and the sounds come through ExerciseHooks, and each frame
// that shows something calls hooks.draw with what to draw. The exercise
// screen (exercise_screen.*) fills the hooks with the real devices; the tests
// run whole lessons with a synthetic singer.
#pragma once
#include <cstdint>
#include <string>

#include "store/store_records.h"
#include "sound/recording.h"

// LessonProgress: the states of the run. Only 0, 1, 3, 4, 5 and 12 are ever
// entered; the others have names but no branch.
enum LessonProgress : int32_t {
    progressPreparation = 0,
    progressWaitInitialisation = 1,
    progressWelcome = 2,
    progressPrepareExercise = 3,
    progressGetExerciseAnswer = 4,
    progressExerciseFeedback = 5,
    progressBarCountOff = 6,
    progressAnimation1 = 7,
    progressDemoExercisePart1 = 8,
    progressExercisePart1 = 9,
    progressDemoExercisePart2 = 10,
    progressDemoExercisePart3 = 11,
    progressStatistics = 12,
    progressFinish = 15,
};
// The name of a state ("preparation", "waitInitialisation", ...), nullptr
// for a value without one.
const char *lessonProgressName(int32_t value);

// answerPhase values.
constexpr int32_t answerPreparing = 0;
constexpr int32_t answerRelax = 1;
constexpr int32_t answerListen = 2;
constexpr int32_t answerDelay = 3;
constexpr int32_t answerSing = 4;
constexpr int32_t answerEvaluate = 6;
constexpr int32_t answerFeedback = 7;

// One frame of the capture: 2048 / 44100 s in ms.
constexpr double exerciseFrameMs = 46.439909297;
// The relax and listen limits in frames (500 and 2500 ms), stored cut.
constexpr double relaxFrameLimit = 10.7666015625;
constexpr double listenFrameLimit = 53.8330078125;
// Plot x per block: 120 px for 43.06640625 blocks (2000 ms).
constexpr double blocksPerPlot = 43.06640625;
constexpr int32_t exerciseArraySize = 120;   // entries cleared per exercise
constexpr int32_t testRecordingEnd = 44;
constexpr int32_t longTrainingEnd = 43;
constexpr int32_t lastExerciseLesson = 556;

// Stop numbers of the run.
constexpr int32_t stopExerciseMusicStop = 18501;
constexpr int32_t stopExercisePhase = 18505;
constexpr int32_t stopExerciseQuitMusic = 18509;
constexpr int32_t stopExerciseQuitDetach = 18510;
constexpr int32_t stopExercisePopupClose = 18511;
constexpr int32_t stopExerciseUnknownProgress = 18512;
constexpr int32_t stopExercisePrepMusic = 18513;
constexpr int32_t stopExerciseBuffers = 18514;
constexpr int32_t stopExerciseSoundFile = 18515;
constexpr int32_t stopExerciseStartMusic = 18517;
constexpr int32_t stopExerciseNoBranch = 18520;

// The third line of the 100th-day alert names where the export is explained.
extern const char *const studyAddress; // "README.md, Statistics"

// Which phase of the answer a GetExerciseAnswer frame of step s belongs to.
int32_t answerPhaseForStep(int32_t step, double delayMs);
// Training blocks taken for a delay: round(D / frame) below 2000 ms, else 43.
int32_t trainingRecordingEnd(double delayMs);
// Delay-phase frame counts (c) at which the white noise starts and stops;
// -1 for delays below 7500 ms.
int32_t noiseStartFrame(double delayMs);
int32_t noiseStopFrame(double delayMs);

// What the lesson brings in from outside the run (the screen fills it).
struct ExerciseLessonInputs {
    int32_t lesson = 3;   // currentLesson
    int32_t userKey = 1;  // currentUserKey
    bool showScope = true; // display option "Scope"
    // The lesson's first exercise part (firstNote, lastNote, refNote, startNote).
    int32_t firstPart[4] = {0, 0, 0, 0};
};

// What a drawn frame shows.
enum class ExerciseFrameKind : int32_t { preparation, prepareExercise, answer, feedback };
struct ExerciseFrame {
    ExerciseFrameKind kind;
    int32_t step; // progressStep when the frame began
};

struct ExerciseHooks {
    void (*draw)(const ExerciseFrame &frame); // nullptr: nothing is drawn
    // The screen's pending actions: any queued, and run them (Quit posts 55).
    bool (*actionQueued)();
    void (*runAction)();
    // Clock.
    int32_t (*elapsedMs)();  // GLUT elapsed time
    int32_t (*timerDelay)(); // nextTimerDelay of the last tick
    // Block source. readBlock waits for 2048 samples while the capture keeps
    // up with real time; after the capture stopped it takes what is there;
    // missing samples are silence.
    void (*startCapture)(); // a recording starts on new sound
    void (*stopCapture)();
    bool (*captureRunning)();
    void (*readBlock)(int16_t *block);
    // The running recording fell behind real time (the microphone stopped
    // delivering sound): the lesson ends and nothing of it is stored.
    // nullptr: never.
    bool (*captureFellBehind)();
    // Sound output.
    void (*loadTeacherSounds)();       // at every lesson start (none while loaded)
    void (*playDingDong)();            // on the teacher source
    void (*playWhiteNoise)();          // on the teacher source
    void (*stopTeacherSource)();
    void (*stopMusicSource)(int32_t stopNumber); // an audio error is that stop
    void (*stopClickSource)();
    void (*detachMusicSource)(int32_t stopNumber);
    void (*loadPicturePack)(int32_t pack); // 25, 49, 44; none while loaded
    // Frees the screen's pictures and teacher sounds: every way out of the
    // screen (Quit, a lesson that cannot run, the lesson's end) calls it.
    void (*releaseResources)();
    // Keyboard focus on the Quit control (true) or nowhere (false).
    void (*focusQuit)(bool on);
    // Store.
    int32_t (*highestPassedLesson)(int32_t key);
    int32_t (*readLessonBlock)(int32_t key, int32_t blockIndex, LessonBlock &block);
    int32_t (*userCurrentLesson)(int32_t key);
    // Stores the result of a finished lesson as one store update (a passed
    // lesson makes the next one, at most 556, the user's current lesson);
    // returns true when it took the user's 100th training day into use.
    bool (*storeLessonEnd)(int32_t key, int32_t lesson, const LessonBlock &results, bool passed);
    // Connected by the lessons' own modules: the options of the lesson are
    // prepared anew (on Quit), the replay's play position is reset (at the
    // start), the last test recording is handed to the replay (lesson end).
    void (*setUpExerciseOptions)();
    void (*resetReplayPlayPosition)();
    void (*handRecordingToReplay)();
};
void setExerciseHooks(const ExerciseHooks &hooks);
const ExerciseHooks &exerciseHooks();
void setExerciseLessonInputs(const ExerciseLessonInputs &inputs);
const ExerciseLessonInputs &exerciseLessonInputs();

// The run's state: module-level, for the whole program run.
struct ExerciseRunState {
    int32_t lessonProgress = progressPreparation;
    int32_t progressStep = 0;
    bool progressStepHold = false;
    int32_t exercisePhase = 1;
    int32_t answerPhase = 0;
    int32_t previousAnswerPhase = 0;
    bool exercisePrepared = false;
    int32_t notesToTrain = 8;
    int32_t exercisesLeft = 0;
    int32_t exerciseCount = 0;
    int32_t delayUnits = 1;          // the lesson's delay in 1500-ms units
    double exerciseDelayMs = 1500.0;
    double maxDeviationCents = 50.0;
    double maxToleranceCents = 75.0;
    int32_t meterRange = 100;
    int32_t currentExerciseNote = 27;
    double targetFrequency = 261.626;
    LessonBlock lessonResults{};
    LessonBlock previousResults{};
    // The recordings.
    bool trainingCapture = false;
    int32_t trainingIndex = -1, trainingStart = 1, trainingEnd = 43;
    int32_t testIndex = -1, testStart = 1, testEnd = testRecordingEnd;
    int32_t delayFrame = 0; // frames of the delay phase, 0 in its entry frame
    int32_t captureWritePos = 2048;
    PitchTracker tracker;
    double trainingMeterValues[exerciseArraySize];
    int32_t trainingRatings[exerciseArraySize];
    double trainingStaffHeights[exerciseArraySize];
    double testMeterValues[exerciseArraySize];
    int32_t testRatings[exerciseArraySize];
    double testStaffHeights[exerciseArraySize];
    // The judgement of the current answer.
    bool microphoneStalled = false; // a block of this recording came too late
    // The lesson's end stored its results; the last test recording goes to
    // the replay on the next frame, so the two disk writes share no frame.
    bool recordingForReplayPending = false;
    bool answerValid = false;
    bool notePassed = false;
    double sungFrequency = 0.0;
    double meanDeviationCents = 0.0;
    double stdDeviationCents = 0.0;
    // Blocks analysed since the program started (tests and benchmarks).
    int64_t blocksAnalysed = 0;
};
extern ExerciseRunState exerciseRun;
// The name of the running state, written at the start of every frame (the
// exercise, introduction and replay screens share it).
extern std::string progressName;

// setProgressStep / advanceProgressStep: a state entered with
// setProgressStep(n) sees n in its first frame.
void setProgressStep(int32_t n);
void advanceProgressStep();
void advanceExercisePhase();

// The screen's create procedure: state 0, step 0, exercisePhase 1.
void resetExerciseRun();
// One frame of the run (displayExerciseScreen's work).
void runExerciseFrame();
// Action 55: leaves the lesson for the lesson menu without storing anything.
void quitExercise();
// Finishes a running recording (one last block from what the device holds).
void analyseExerciseBlock();
