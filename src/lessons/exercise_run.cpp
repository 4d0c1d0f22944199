#include "lessons/exercise_run.h"

#include <cmath>
#include <cstring>

#include "frame/message_panel.h"
#include "base/rounding.h"
#include "base/screen_id.h"
#include "base/shared.h"
#include "base/stops.h"
#include "frame/timer.h"
#include "lessons/exercise_judging.h"
#include "lessons/exercise_parts.h"
#include "lessons/lesson_menu_alert.h"
#include "lessons/lesson_params.h"
#include "lessons/lesson_state.h"
#include "lessons/note_ordering.h"
#include "lessons/recording_start.h"
#include "lessons/run_tallies.h"
#include "music/note_voices.h"
#include "store/store_io.h"
#include "store/time_line.h"
#include "store/users_file.h"
#include "music/notes.h"
#include "music/staff_geometry.h"
#include "music/voice_sequencer.h"
#include "sound/pitch_detector.h"

ExerciseRunState exerciseRun;
std::string progressName;
const char *const studyAddress = "README.md, Statistics";

namespace {

ExerciseHooks hooks{};
ExerciseLessonInputs inputs{};
ExerciseRunState &r = exerciseRun;

const char *const progressNames[16] = {
    "preparation",       "waitInitialisation", "Welcome",           "prepareExercise",
    "GetExerciseAnswer", "ExerciseFeedback",   "BarCountOff",       "animation1",
    "DemoExercisePart1", "ExercisePart1",      "DemoExercisePart2", "DemoExercisePart3",
    "statistics",        nullptr,              nullptr,             "finish",
};

int16_t captureBlock[recordingBlockLength];
int32_t frameStartStep = 0; // progressStep when the frame began

void drawFrame(ExerciseFrameKind kind)
{
    if (hooks.draw) hooks.draw(ExerciseFrame{kind, frameStartStep});
}

void restartFreeClock(int32_t start)
{
    freeTickCount = 0;
    freeClockStart = start;
}

// ---- Capture and per-block analysis -----------------------------------

void captureExerciseBlock()
{
    // Only a block of the running recording can come too late; the one taken
    // after the stop is whatever the device holds.
    const bool recording = hooks.captureRunning();
    hooks.readBlock(captureBlock);
    if (recording && hooks.captureFellBehind && hooks.captureFellBehind()) r.microphoneStalled = true;
    std::memcpy(&recordingBuffer[r.captureWritePos], captureBlock, sizeof captureBlock);
    if (r.captureWritePos < captureWrapPos) r.captureWritePos += recordingBlockLength;
    else r.captureWritePos = recordingBlockLength;
}

void analyseOneBlock()
{
    captureExerciseBlock();
    recordingBlockIndex += 1;
    analyseWindow(r.tracker);
    samplesConsumed += recordingBlockLength;
    r.tracker.analysisPos += recordingBlockLength;
    r.blocksAnalysed += 1;
}

void startRecording(bool training)
{
    startLessonRecording(r.captureWritePos, r.tracker);
    r.microphoneStalled = false;
    if (training) {
        r.trainingIndex = -1;
        r.trainingStart = 1;
        r.trainingEnd = trainingRecordingEnd(r.exerciseDelayMs);
        r.trainingCapture = true;
    } else {
        r.testIndex = -1;
        r.testStart = 1;
        r.testEnd = testRecordingEnd;
    }
    hooks.startCapture();
}

// One frame of a recording: its block, rated and placed on meter and staff.
void recordingFrame(bool training)
{
    int32_t &index = training ? r.trainingIndex : r.testIndex;
    const int32_t start = training ? r.trainingStart : r.testStart;
    const int32_t end = training ? r.trainingEnd : r.testEnd;
    index += 1;
    if (index < start) return;
    if (index <= end) {
        analyseOneBlock();
        const double f = r.tracker.frequency;
        const int32_t k = index - start;
        double *meter = training ? r.trainingMeterValues : r.testMeterValues;
        int32_t *rating = training ? r.trainingRatings : r.testRatings;
        double *staff = training ? r.trainingStaffHeights : r.testStaffHeights;
        if (k < exerciseArraySize) {
            meter[k] = deviationToMeterY(r.meterRange, 160, r.targetFrequency, f);
            rating[k] = blockDeviationRating(f, r.targetFrequency, r.maxDeviationCents);
            staff[k] = frequencyToStaffHeight(f);
        }
        pitchSamples[k] = f;
    }
    if (index == end) {
        if (training) {
            if (r.trainingCapture) {
                analyseExerciseBlock();
                r.trainingCapture = false;
                restartFreeClock(frameTime);
            }
        } else {
            analyseExerciseBlock();
        }
    }
}

// ---- The states ----------------------------------------------------------

void handPendingRecordingToReplay()
{
    if (!r.recordingForReplayPending) return;
    r.recordingForReplayPending = false;
    hooks.handRecordingToReplay();
}

// The road back to the lesson menu without storing anything (Quit, and a
// lesson that cannot run).
void leaveForLessonMenu()
{
    handPendingRecordingToReplay();
    analyseExerciseBlock();
    hooks.stopTeacherSource();
    stopAllVoices();
    hooks.stopMusicSource(stopExerciseQuitMusic);
    hooks.detachMusicSource(stopExerciseQuitDetach);
    hooks.stopMusicSource(stopExerciseMusicStop);
    hooks.stopCapture();
    hooks.focusQuit(false);
    if (hooks.releaseResources) hooks.releaseResources();
    setProgressStep(0);
    r.lessonProgress = progressPreparation;
    hooks.setUpExerciseOptions();
    currentScreen = lessonMenuScreenId;
    promptLine.clear();
}

void preparationFrame()
{
    if (r.progressStep != 0 && hooks.actionQueued()) {
        hooks.runAction();
        return;
    }
    setChordVoices(27);
    const int32_t lesson = inputs.lesson;
    switch (r.progressStep) {
    case 0:
        r.exercisePhase = 1;
        restartFreeClock(hooks.elapsedMs());
        recordingBlockIndex = 0;
        hintLine.clear();
        promptLine.clear();
        showAlert("", "Please wait - loading animation images", "");
        hooks.stopMusicSource(stopExercisePrepMusic);
        // Nothing the replay started on the melody and chord sources counts
        // as sounding in a new run.
        melodySoundId = 0;
        chordTrackSoundId = 0;
        // A new run is never scored with another recording's tallies.
        pitchHitCount = onBeatScore = noteOkCount = loudnessOkCount = 0;
        break;
    case 1: hooks.loadPicturePack(25); break;
    case 2:
        hooks.loadPicturePack(49);
        if (lesson >= firstParamsLesson && lesson <= lastParamsLesson)
            r.delayUnits = roundToInt32(lessonParamsTable[lesson].delayMs / 1500.0);
        break;
    case 3: setProgressStep(20); break;
    case 20:
        hooks.loadTeacherSounds();
        showAlert("", "Please wait - loading animation images", "Please wait - loading animation sounds");
        break;
    case 21: setProgressStep(40); break;
    case 40:
        restartFreeClock(hooks.elapsedMs());
        // The lesson's first part is the current one (exercise_parts.h):
        // the replay's count-off and the score view read it from here.
        currentPartFirst = inputs.firstPart[0];
        currentPartLast = inputs.firstPart[1];
        currentPartRefNote = inputs.firstPart[2];
        currentPartStartNote = inputs.firstPart[3];
        lessonPassed = 0;
        hooks.stopMusicSource(stopExerciseStartMusic);
        showAlert("", "", "");
        r.exercisePrepared = false;
        hooks.focusQuit(true);
        r.lessonProgress = progressWaitInitialisation;
        break;
    default: break;
    }
    drawFrame(ExerciseFrameKind::preparation);
    advanceProgressStep();
}

void waitInitialisationFrame()
{
    if (hooks.timerDelay() < 20) return;
    hooks.resetReplayPlayPosition();
    const int32_t L = inputs.lesson;
    if (L >= 3 && L <= lastExerciseLesson) {
        const LessonParams &p = lessonParamsTable[L];
        r.exerciseDelayMs = p.delayMs;
        r.maxToleranceCents = p.maxTolCents;
        r.maxDeviationCents = p.maxDevCents;
        r.notesToTrain = p.noteCount;
        r.exercisesLeft = p.exercisesPerLesson;
    } else {
        r.maxDeviationCents = 50;
        r.maxToleranceCents = 75;
        r.notesToTrain = 8;
        r.exercisesLeft = 32;
    }
    // A user who has not chosen notes, or whose earlier result holds fewer
    // notes than the lesson trains, cannot run it: nothing is stored and the
    // lesson menu shows why.
    bool canRun = hooks.highestPassedLesson(inputs.userKey) >= 2;
    if (canRun) {
        findPreviousResults(hooks.readLessonBlock, inputs.userKey, L, r.previousResults);
        for (int32_t k = 0; k < 8; ++k) {
            r.lessonResults.slots[k].note = r.previousResults.slots[k].note;
            r.lessonResults.slots[k].mean = invalidAnswerCents;
            r.lessonResults.slots[k].standardDeviation = invalidAnswerCents;
            if (k >= r.notesToTrain) r.lessonResults.slots[k].passed = 0;
        }
        canRun = orderNotesToTrain(r.previousResults, r.notesToTrain, r.lessonResults);
    }
    if (!canRun) {
        handAlertToLessonMenu(chooseNotesFirstAlert, "", "");
        leaveForLessonMenu();
        return;
    }
    r.meterRange = meterRangeFor(r.maxDeviationCents);
    eventSyncMode = 0;
    r.exerciseCount = 0;
    r.exercisePhase = 2;
    advanceExercisePhase();
}

void setUpExercise()
{
    const int32_t slot = r.exerciseCount % r.notesToTrain;
    r.currentExerciseNote = r.lessonResults.slots[slot].note;
    const int32_t note = r.currentExerciseNote;
    setUpExerciseVoices(note, 0);
    playingVoices[1] = noteVoices[1];
    countShownVoices();
    r.targetFrequency = noteFrequencies[note];
    r.exerciseDelayMs = r.delayUnits * 1500.0;
    r.answerPhase = answerPreparing;
    r.trainingCapture = false;
    for (int32_t i = 0; i < exerciseArraySize; ++i) {
        pitchSamples[i] = 0;
        r.trainingMeterValues[i] = r.testMeterValues[i] = 0;
        r.trainingRatings[i] = r.testRatings[i] = 0;
    }
    hooks.startCapture();
    hooks.stopCapture();
    r.exercisePrepared = true;
}

void prepareExerciseFrame()
{
    if (hooks.actionQueued()) {
        hooks.runAction();
        return;
    }
    if (!r.exercisePrepared) setUpExercise();
    r.answerPhase = answerPreparing;
    drawFrame(ExerciseFrameKind::prepareExercise);
    nextShakeOffset(shakeStep);
    tickVoiceSequencer();
    if (r.progressStep >= 5) {
        setProgressStep(0);
        r.exercisePhase += 1;
        advanceExercisePhase();
    }
    advanceProgressStep();
}

void getExerciseAnswerFrame()
{
    if (hooks.actionQueued()) {
        hooks.runAction();
        if (r.lessonProgress != progressGetExerciseAnswer) return; // left: no last drawing
    }
    const double D = r.exerciseDelayMs;
    r.previousAnswerPhase = r.answerPhase;
    r.answerPhase = answerPhaseForStep(r.progressStep, D);
    const bool entry = r.answerPhase != r.previousAnswerPhase;
    switch (r.answerPhase) {
    case answerListen:
        if (entry) {
            highlightAllVoices();
            startVoiceSequence(6, 0);
        }
        break;
    case answerDelay:
        if (entry) {
            stopAllVoices();
            r.delayFrame = 0;
            startRecording(true);
        } else {
            r.delayFrame += 1;
        }
        if (D >= 7500) {
            if (r.delayFrame == noiseStartFrame(D)) {
                hooks.stopTeacherSource();
                hooks.playWhiteNoise();
            }
            if (r.delayFrame == noiseStopFrame(D)) hooks.stopTeacherSource();
        }
        recordingFrame(true);
        break;
    case answerSing:
        if (entry) startRecording(false);
        recordingFrame(false);
        break;
    case answerEvaluate:
        if (entry) {
            analyseExerciseBlock();
            restartFreeClock(frameTime);
            setProgressStep(60);
            r.lessonProgress = progressExerciseFeedback;
        }
        break;
    default: break;
    }
    if (r.microphoneStalled) {
        // Sound that came too late, or silence in its place, is never
        // judged: the lesson ends here and nothing of it is stored.
        r.microphoneStalled = false;
        handAlertToLessonMenu(microphoneStoppedAlert, "Nothing of this lesson was stored.", microphoneCheckAlert);
        leaveForLessonMenu();
        return;
    }
    drawFrame(ExerciseFrameKind::answer);
    nextShakeOffset(shakeStep);
    tickVoiceSequencer();
    advanceProgressStep();
}

void endLesson()
{
    const bool passed = lessonPassedBy(r.lessonResults, r.notesToTrain, r.maxDeviationCents);
    lessonPassed = passed ? 1 : 0;
    r.lessonResults.done = passed ? 1 : 0;
    const int32_t L = inputs.lesson;
    const bool hundredthDay = hooks.storeLessonEnd(inputs.userKey, L, r.lessonResults, passed);
    if (passed) shownLesson = hooks.userCurrentLesson(inputs.userKey);
    // The last test recording is handed to the replay on the next frame (or
    // on the way out, whichever comes first).
    r.recordingForReplayPending = true;
    if (hundredthDay) {
        promptLine.clear();
        showAlert(0, "Congratulations this is your 100th Training day! We would highly appreciate if you export",
                  "the Timeline Statistics and mail it to us as an attachment",
                  std::string("for our study (see ") + studyAddress + ")");
    }
}

void exerciseFeedbackFrame()
{
    handPendingRecordingToReplay();
    if (hooks.actionQueued()) {
        hooks.runAction();
        return;
    }
    r.trainingCapture = false;
    r.answerPhase = answerFeedback;
    const int32_t step = r.progressStep;
    switch (step) {
    case 60:
        hooks.stopTeacherSource();
        hooks.playDingDong();
        startVoiceSequence(1, 0);
        break;
    case 61: hooks.loadPicturePack(44); break;
    case 62:
        restartFreeClock(hooks.elapsedMs());
        setProgressStep(103);
        break;
    case 103: {
        const AnswerJudgement j =
            judgeAnswer(pitchSamples, r.maxToleranceCents, r.maxDeviationCents, r.targetFrequency);
        r.answerValid = j.valid;
        r.notePassed = j.passed;
        if (j.valid) {
            r.sungFrequency = j.sungFrequency;
            r.meanDeviationCents = j.meanCents;
            r.stdDeviationCents = j.stdCents;
        }
        const int32_t slot = r.exerciseCount % r.notesToTrain;
        r.lessonResults.slots[slot] = judgedNoteSlot(r.currentExerciseNote, j);
        break;
    }
    case 143:
        playingVoices[1] = noteVoices[1];
        countShownVoices();
        highlightAllVoices();
        startVoiceSequence(6, 0);
        break;
    case 202:
        r.exercisesLeft -= 1;
        r.exerciseCount += 1;
        if (r.exercisesLeft > 0) {
            r.exercisePrepared = false;
            r.exercisePhase = 2;
            advanceExercisePhase();
        } else {
            endLesson();
            setProgressStep(203);
        }
        break;
    case 203:
        hooks.stopTeacherSource();
        hooks.stopMusicSource(stopExerciseMusicStop);
        break;
    case 243:
        setProgressStep(0);
        r.lessonProgress = progressStatistics;
        break;
    default: break;
    }
    drawFrame(ExerciseFrameKind::feedback);
    if (step >= 143 && step <= 202) {
        nextShakeOffset(shakeStep);
        tickVoiceSequencer();
    }
    nextShakeOffset(shakeStep);
    tickVoiceSequencer();
    advanceProgressStep();
}

void statisticsFrame()
{
    handPendingRecordingToReplay();
    stopAllVoices();
    restartFreeClock(frameTime);
    for (int32_t v = 1; v <= voiceCount; ++v) noteVoices[v].toneHz = 0;
    hooks.stopCapture();
    hooks.focusQuit(false);
    if (hooks.releaseResources) hooks.releaseResources();
    r.lessonProgress = progressPreparation;
    currentScreen = scoreOverviewScreenId;
}

} // namespace

// ---- Public --------------------------------------------------------------

const char *lessonProgressName(int32_t value)
{
    if (value < 0 || value > 15) return nullptr;
    return progressNames[value];
}

int32_t answerPhaseForStep(int32_t step, double delayMs)
{
    const double s = step;
    if (s <= relaxFrameLimit) return answerRelax;
    if (s <= listenFrameLimit) return answerListen;
    if (s <= (delayMs + 2500) / exerciseFrameMs) return answerDelay;
    if (s <= (delayMs + 4500) / exerciseFrameMs) return answerSing;
    return answerEvaluate;
}

int32_t trainingRecordingEnd(double delayMs)
{
    return delayMs < 2000 ? roundToInt32(delayMs / exerciseFrameMs) : longTrainingEnd;
}

int32_t noiseStartFrame(double delayMs)
{
    return delayMs >= 7500 ? roundToInt32((delayMs - 5000) / exerciseFrameMs) : -1;
}

int32_t noiseStopFrame(double delayMs)
{
    return delayMs >= 7500 ? roundToInt32((delayMs - 4000) / exerciseFrameMs) : -1;
}

void setExerciseHooks(const ExerciseHooks &h) { hooks = h; }
const ExerciseHooks &exerciseHooks() { return hooks; }
void setExerciseLessonInputs(const ExerciseLessonInputs &in) { inputs = in; }
const ExerciseLessonInputs &exerciseLessonInputs() { return inputs; }

void setProgressStep(int32_t n)
{
    r.progressStep = n;
    r.progressStepHold = true;
}

void advanceProgressStep()
{
    if (r.progressStepHold) r.progressStepHold = false;
    else r.progressStep += 1;
}

void advanceExercisePhase()
{
    hooks.stopTeacherSource();
    hooks.stopClickSource();
    switch (r.exercisePhase) {
    case 2:
    case 3:
        hooks.stopTeacherSource();
        hooks.stopMusicSource(stopExerciseMusicStop);
        r.exercisePrepared = false;
        setProgressStep(0);
        r.lessonProgress = r.exercisePhase == 2 ? progressPrepareExercise : progressGetExerciseAnswer;
        break;
    case 1:
    case 4:
    case 5: break; // handlers the run never uses
    default: stopProgram(r.exercisePhase, stopExercisePhase);
    }
}

void resetExerciseRun()
{
    r.exercisePhase = 1;
    r.progressStepHold = false;
    r.progressStep = 0;
    r.lessonProgress = progressPreparation;
}

void analyseExerciseBlock()
{
    if (hooks.captureRunning()) {
        hooks.stopCapture();
        if (recordingBlockIndex > 0) analyseOneBlock();
        restartFreeClock(frameTime);
    } else {
        hooks.stopCapture();
    }
}

void quitExercise() { leaveForLessonMenu(); }

void runExerciseFrame()
{
    const char *name = lessonProgressName(r.lessonProgress);
    if (!name) {
        progressName = std::to_string(r.lessonProgress) + "unknown lessonprogress";
        stopProgram(0, stopExerciseUnknownProgress);
    }
    progressName = name;
    frameStartStep = r.progressStep;
    switch (r.lessonProgress) {
    case progressPreparation: preparationFrame(); break;
    case progressWaitInitialisation: waitInitialisationFrame(); break;
    case progressPrepareExercise: prepareExerciseFrame(); break;
    case progressGetExerciseAnswer: getExerciseAnswerFrame(); break;
    case progressExerciseFeedback: exerciseFeedbackFrame(); break;
    case progressStatistics: statisticsFrame(); break;
    default: stopProgram(0, stopExerciseNoBranch);
    }
}
