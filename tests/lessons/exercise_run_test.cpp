// The exercise run as an engine: phase boundaries, whole lessons sung by a
// synthetic singer through the real pitch detector and the real store, Quit,
// and a lesson that cannot run.
#include <gtest/gtest.h>

#include "exercise_fakes.h"
#include "base/screen_id.h"
#include "base/shared.h"
#include "lessons/exercise_judging.h"
#include "lessons/exercise_parts.h"
#include "lessons/exercise_screen.h"
#include "lessons/lesson_menu_alert.h"
#include "frame/message_panel.h"
#include "lessons/lesson_state.h"
#include "lessons/run_tallies.h"

using namespace exercise_fakes;

namespace {

int32_t fixedToday() { return 44000; }

struct PhaseRow {
    int32_t lesson;
    double delayMs;
    int32_t delayLast;  // last step of the delay phase
    int32_t singLast;   // last step of the sing phase (evaluate follows)
    int32_t trainingBlocks;
    int32_t noiseStart; // delay-phase frame; -1 none
    int32_t noiseStop;
};

// Lessons 3, 6, 12 and 15 have delays of 1500, 3000, 6000 and 7500 ms.
const PhaseRow phaseRows[] = {
    {3, 1500, 86, 129, 32, -1, -1},
    {6, 3000, 118, 161, 43, -1, -1},
    {12, 6000, 183, 226, 43, -1, -1},
    {15, 7500, 215, 258, 43, 54, 75},
};

TEST_F(ExerciseRunTest, PhaseBoundariesOfTheFirstExercise)
{
    setTodayFunction(fixedToday);
    chooseNotes();
    for (const PhaseRow &row : phaseRows) {
        SCOPED_TRACE(row.lesson);
        runLog = Log{};
        resetExerciseRun();
        runLesson(row.lesson);
        ASSERT_EQ(currentScreen, 576);
        // The first exercise: 7 frames of prepareExercise (step 0 twice).
        size_t i = 0;
        while (runLog.frames[i].kind != ExerciseFrameKind::prepareExercise) ++i;
        std::vector<int32_t> prepSteps;
        for (; runLog.frames[i].kind == ExerciseFrameKind::prepareExercise; ++i)
            prepSteps.push_back(runLog.frames[i].step);
        EXPECT_EQ(prepSteps, (std::vector<int32_t>{0, 0, 1, 2, 3, 4, 5}));
        // Its answer: one frame per step from 0, the phase by the step.
        int32_t step = 0;
        for (; runLog.frames[i].kind == ExerciseFrameKind::answer; ++i, ++step) {
            ASSERT_EQ(runLog.frames[i].step, step);
            const int32_t expected = step <= 10                ? answerRelax
                                     : step <= 53             ? answerListen
                                     : step <= row.delayLast  ? answerDelay
                                     : step <= row.singLast   ? answerSing
                                                              : answerEvaluate;
            ASSERT_EQ(runLog.phases[i], expected) << "step " << step;
        }
        EXPECT_EQ(step, row.singLast + 2); // the evaluate frame ends it
        // 103 feedback frames: steps 60..62 and 103..202.
        int32_t feedback = 0;
        for (; runLog.frames[i].kind == ExerciseFrameKind::feedback; ++i) ++feedback;
        EXPECT_EQ(feedback, 103);
        // The training recording of the last exercise.
        int32_t taken = 0;
        while (taken < exerciseArraySize && exerciseRun.trainingRatings[taken] != 0) ++taken;
        EXPECT_EQ(taken, row.trainingBlocks);
        // The white-noise cue, once per exercise.
        if (row.noiseStart < 0) {
            EXPECT_TRUE(runLog.noiseStartFrames.empty());
        } else {
            ASSERT_EQ(runLog.noiseStartFrames.size(), 8u);
            EXPECT_EQ(runLog.noiseStartFrames[0], row.noiseStart);
            EXPECT_EQ(runLog.teacherStopFrames[0], row.noiseStart);
            EXPECT_EQ(runLog.teacherStopFrames[1], row.noiseStop);
        }
    }
}

TEST_F(ExerciseRunTest, PhaseLimitsAndCues)
{
    EXPECT_EQ(answerPhaseForStep(10, 1500), answerRelax);
    EXPECT_EQ(answerPhaseForStep(11, 1500), answerListen);
    EXPECT_EQ(answerPhaseForStep(53, 1500), answerListen);
    EXPECT_EQ(answerPhaseForStep(54, 1500), answerDelay);
    EXPECT_EQ(answerPhaseForStep(130, 1500), answerEvaluate);
    EXPECT_EQ(trainingRecordingEnd(1500), 32);
    EXPECT_EQ(trainingRecordingEnd(1999), 43);
    EXPECT_EQ(noiseStartFrame(6000), -1);
    EXPECT_EQ(noiseStartFrame(1200000), 25732);
}

// The slot of lesson 3's block 1 that holds `note`.
const NoteSlot &slotOf(const LessonBlock &b, int32_t note)
{
    for (const NoteSlot &s : b.slots)
        if (s.note == note) return s;
    static NoteSlot none{};
    ADD_FAILURE() << "note " << note << " not in the block";
    return none;
}

TEST_F(ExerciseRunTest, WholeLessonThreeAllNotesTenCentsSharpPasses)
{
    setTodayFunction(fixedToday);
    chooseNotes();
    for (int32_t n : chosenNotes) singer.offsets[n] = 10.0;
    runLog.recordFrames = false;
    const int64_t users = storeFilesWritten("UsersFile"), line = storeFilesWritten("TimeLine");
    const int64_t frames = runLesson(3);
    // One store update: each file written once at the lesson end.
    EXPECT_EQ(storeFilesWritten("UsersFile") - users, 1);
    EXPECT_EQ(storeFilesWritten("TimeLine") - line, 1);
    ASSERT_EQ(currentScreen, 576);
    // 8 x (6 + 131 + 103) frames, one more prepareExercise frame in the first
    // exercise, 7 preparation, 1 wait, 41 lesson-end and 1 statistics frame.
    EXPECT_EQ(frames, 8 * (6 + 131 + 103) + 1 + 7 + 1 + 41 + 1);
    EXPECT_EQ(lessonPassed, 1);
    EXPECT_EQ(runLog.releases, 1) << "the screen frees its pictures and sounds when it hands over";
    LessonBlock stored;
    getUserLessonBlock(1, 1, stored);
    EXPECT_EQ(stored.done, 1);
    for (int32_t n : chosenNotes) {
        const NoteSlot &s = slotOf(stored, n);
        EXPECT_NEAR(s.mean, 10.0, 2.0) << n;
        EXPECT_LT(s.standardDeviation, 2.0) << n;
        EXPECT_EQ(s.passed, 1);
    }
    EXPECT_EQ(getUserCurrentLesson(1), 4);
    EXPECT_EQ(shownLesson, 4);
    const TimeLineDay &day = timeLineDay(0, 0);
    EXPECT_EQ(day.date, 44000.0);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(day.lessonBlocks[1].slots[k].note, stored.slots[k].note);
        EXPECT_EQ(day.lessonBlocks[1].slots[k].mean, stored.slots[k].mean);
    }
    EXPECT_EQ(day.lessonBlocks[1].done, 1);
}

TEST_F(ExerciseRunTest, OneFlatOrSilentNoteFailsTheLesson)
{
    setTodayFunction(fixedToday);
    chooseNotes();
    for (int32_t n : chosenNotes) singer.offsets[n] = 10.0;
    singer.offsets[32] = -60.0;
    singer.silentNotes = {36};
    runLog.recordFrames = false;
    runLesson(3);
    ASSERT_EQ(currentScreen, 576);
    EXPECT_EQ(lessonPassed, 0);
    LessonBlock stored;
    getUserLessonBlock(1, 1, stored);
    EXPECT_EQ(stored.done, 0);
    EXPECT_NEAR(slotOf(stored, 32).mean, -60.0, 2.0);
    EXPECT_EQ(slotOf(stored, 32).passed, 0);
    EXPECT_EQ(slotOf(stored, 36).mean, 100.0);
    EXPECT_EQ(slotOf(stored, 36).standardDeviation, 100.0);
    EXPECT_EQ(slotOf(stored, 36).passed, 0);
    EXPECT_NEAR(slotOf(stored, 27).mean, 10.0, 2.0);
    EXPECT_EQ(getUserCurrentLesson(1), 1); // unchanged
    EXPECT_EQ(timeLineDay(0, 0).date, 44000.0); // a failed lesson is a training day too
}

TEST_F(ExerciseRunTest, TheNextLessonAsksTheWorstNoteLastAndItsFailureFailsTheLesson)
{
    setTodayFunction(fixedToday);
    chooseNotes();
    for (int32_t n : chosenNotes) singer.offsets[n] = 5.0;
    singer.offsets[34] = 30.0; // the worst, still passing lesson 3 (max. Dev. 50)
    runLog.recordFrames = false;
    runLesson(3);
    ASSERT_EQ(lessonPassed, 1);
    resetExerciseRun();
    // Lesson 4 (max. Dev. 33, max. Tol. 63) trains slot 1 first; slot 8,
    // asked last, holds note 34, which alone is now sung 45 cents sharp.
    singer.offsets[34] = 45.0;
    runLesson(4);
    ASSERT_EQ(currentScreen, 576);
    EXPECT_EQ(exerciseRun.lessonResults.slots[7].note, 34);
    for (int32_t k = 0; k < 7; ++k) EXPECT_EQ(exerciseRun.lessonResults.slots[k].passed, 1) << k;
    EXPECT_NEAR(exerciseRun.lessonResults.slots[7].mean, 45.0, 2.0);
    EXPECT_EQ(lessonPassed, 0) << "the last trained slot counts";
    LessonBlock stored;
    getUserLessonBlock(1, 2, stored);
    EXPECT_EQ(stored.done, 0);
    EXPECT_EQ(getUserCurrentLesson(1), 4);
}

TEST_F(ExerciseRunTest, QuitInTheSingPhaseStoresNothing)
{
    chooseNotes();
    const std::vector<uint8_t> usersBefore = readFile("UsersFile");
    const int64_t usersWrites = storeFilesWritten("UsersFile");
    const int64_t timeLineWrites = storeFilesWritten("TimeLine");
    runLog.quitWhenStep = 100;
    runLog.quitInPhase = answerSing;
    runLesson(3);
    EXPECT_EQ(currentScreen, 6);
    // The frame that runs the Quit draws nothing more: the last frame drawn
    // is the one before it.
    EXPECT_EQ(runLog.releases, 1) << "Quit frees the screen's pictures and sounds";
    ASSERT_FALSE(runLog.frames.empty());
    EXPECT_EQ(runLog.frames.back().kind, ExerciseFrameKind::answer);
    EXPECT_EQ(runLog.frames.back().step, 99);
    EXPECT_EQ(exerciseRun.lessonProgress, progressPreparation);
    EXPECT_EQ(exerciseRun.progressStep, 0);
    EXPECT_FALSE(runLog.captureRunning);
    EXPECT_EQ(lessonPassed, 0);
    EXPECT_EQ(storeFilesWritten("UsersFile"), usersWrites);
    EXPECT_EQ(storeFilesWritten("TimeLine"), timeLineWrites);
    EXPECT_EQ(readFile("UsersFile"), usersBefore);
    EXPECT_EQ(getUserCurrentLesson(1), 1);
}

// The capture falls behind real time (the microphone stopped delivering
// sound) in a recording: the lesson ends in that frame for the lesson menu
// with the alert, and nothing of it is stored, also when earlier answers of
// the lesson were judged. In the first training recording, the first test
// recording, and the training recording of the fourth exercise.
TEST_F(ExerciseRunTest, AMicrophoneThatFallsBehindEndsTheLessonAndStoresNothing)
{
    chooseNotes();
    const std::vector<uint8_t> usersBefore = readFile("UsersFile");
    const std::vector<uint8_t> timeLineBefore = readFile("TimeLine");
    const int64_t usersWrites = storeFilesWritten("UsersFile");
    const int64_t timeLineWrites = storeFilesWritten("TimeLine");
    struct Case {
        int32_t read;
        int32_t exerciseCount;
        int32_t phase;
    };
    // Each answer reads 32 training blocks, one after the stop, 44 test blocks and one more.
    for (const Case &c : {Case{1, 0, answerDelay}, Case{40, 0, answerSing}, Case{3 * 78 + 5, 3, answerDelay}}) {
        SCOPED_TRACE(c.read);
        pendingMenuAlert = PendingMenuAlert{};
        runLog = Log{};
        runLog.fallsBehindAtRead = c.read;
        resetExerciseRun();
        runLesson(3);
        EXPECT_EQ(currentScreen, 6);
        EXPECT_EQ(exerciseRun.exerciseCount, c.exerciseCount);
        EXPECT_EQ(runLog.phases.back(), c.phase) << "the last frame drawn is of the recording";
        EXPECT_EQ(exerciseRun.lessonProgress, progressPreparation);
        EXPECT_FALSE(runLog.captureRunning);
        EXPECT_EQ(runLog.releases, 1);
        EXPECT_TRUE(pendingMenuAlert.pending);
        EXPECT_EQ(pendingMenuAlert.lines[0], "The microphone stopped delivering sound.");
        EXPECT_EQ(pendingMenuAlert.lines[1], "Nothing of this lesson was stored.");
        EXPECT_EQ(storeFilesWritten("UsersFile"), usersWrites);
        EXPECT_EQ(storeFilesWritten("TimeLine"), timeLineWrites);
        EXPECT_EQ(readFile("UsersFile"), usersBefore);
        EXPECT_EQ(readFile("TimeLine"), timeLineBefore);
        EXPECT_EQ(getUserCurrentLesson(1), 1);
    }
}

// The preparation makes the lesson's first part the current one, which the
// replay's count-off and the score view read, and forgets the sounds the
// replay left on the melody and chord sources.
TEST_F(ExerciseRunTest, PreparationMakesTheFirstPartCurrentAndForgetsTheReplaysSounds)
{
    chooseNotes();
    currentPartFirst = currentPartLast = 50;
    currentPartRefNote = currentPartStartNote = 60;
    melodySoundId = 22;
    chordTrackSoundId = 160;
    ExerciseLessonInputs in;
    in.lesson = 3;
    in.firstPart[0] = 2;
    in.firstPart[1] = 9;
    in.firstPart[2] = 27;
    in.firstPart[3] = 31;
    setExerciseLessonInputs(in);
    pitchHitCount = onBeatScore = noteOkCount = loudnessOkCount = 7; // a replay's tallies
    currentScreen = firstExerciseScreenId;
    runExerciseFrame(); // step 0
    EXPECT_EQ(melodySoundId, 0);
    EXPECT_EQ(chordTrackSoundId, 0);
    EXPECT_EQ(pitchHitCount + onBeatScore + noteOkCount + loudnessOkCount, 0) << "a new run starts unscored";
    for (int i = 0; i < 10 && exerciseRun.lessonProgress == progressPreparation; ++i) runExerciseFrame();
    ASSERT_EQ(exerciseRun.lessonProgress, progressWaitInitialisation);
    EXPECT_EQ(currentPartFirst, 2);
    EXPECT_EQ(currentPartLast, 9);
    EXPECT_EQ(currentPartRefNote, 27);
    EXPECT_EQ(currentPartStartNote, 31);
}

// waitInitialisation waits while the timer still catches up (a next delay
// below 20 ms), then takes the lesson's values in one frame.
TEST_F(ExerciseRunTest, TheLessonStartsOnceTheTimerHasSettled)
{
    static int32_t delay = 19;
    ExerciseHooks h = testHooks();
    h.timerDelay = [] { return delay; };
    setExerciseHooks(h);
    chooseNotes();
    ExerciseLessonInputs in;
    in.lesson = 3;
    setExerciseLessonInputs(in);
    currentScreen = firstExerciseScreenId;
    for (int i = 0; i < 10 && exerciseRun.lessonProgress == progressPreparation; ++i) runExerciseFrame();
    ASSERT_EQ(exerciseRun.lessonProgress, progressWaitInitialisation);
    for (int i = 0; i < 5; ++i) runExerciseFrame();
    EXPECT_EQ(exerciseRun.lessonProgress, progressWaitInitialisation) << "a 19 ms delay: still catching up";
    delay = 20;
    runExerciseFrame();
    EXPECT_EQ(exerciseRun.lessonProgress, progressPrepareExercise);
    EXPECT_EQ(exerciseRun.maxDeviationCents, 50);
    EXPECT_EQ(exerciseRun.meterRange, 100) << "lesson 3's meter spans 100 cents";
    EXPECT_EQ(exerciseRun.notesToTrain, 8);
    delay = 19;
}

TEST_F(ExerciseRunTest, QuitQueuedBeforeTheFirstFrameRunsAfterStepZero)
{
    chooseNotes();
    runLog.queued = 55;
    ExerciseLessonInputs in;
    in.lesson = 3;
    setExerciseLessonInputs(in);
    currentScreen = firstExerciseScreenId;
    runExerciseFrame();
    EXPECT_EQ(exerciseRun.progressStep, 1); // step 0 did its work and drew
    EXPECT_EQ(runLog.frames.size(), 1u);
    EXPECT_EQ(currentScreen, 18);
    runExerciseFrame();
    EXPECT_EQ(currentScreen, 6);
    EXPECT_EQ(exerciseRun.lessonProgress, progressPreparation);
}

TEST_F(ExerciseRunTest, LessonThatCannotRunReturnsToTheMenuWithTheAlert)
{
    pendingMenuAlert = PendingMenuAlert{};
    const int64_t usersWrites = storeFilesWritten("UsersFile");
    // No note choice yet.
    runLesson(3, 100);
    EXPECT_EQ(currentScreen, 6);
    EXPECT_TRUE(pendingMenuAlert.pending);
    EXPECT_EQ(pendingMenuAlert.lines[0], "Please choose your notes in Lesson 1 first.");
    EXPECT_EQ(storeFilesWritten("UsersFile"), usersWrites);

    // Chosen notes, but the earlier block holds fewer than lesson 3 trains.
    pendingMenuAlert = PendingMenuAlert{};
    int32_t sixNotes[8] = {27, 29, 31, 32, 34, 36, emptyNoteIndex, emptyNoteIndex};
    chooseNotes(sixNotes);
    const int64_t writesAfterChoice = storeFilesWritten("UsersFile");
    resetExerciseRun();
    runLesson(3, 100);
    EXPECT_EQ(currentScreen, 6);
    EXPECT_TRUE(pendingMenuAlert.pending);
    EXPECT_EQ(storeFilesWritten("UsersFile"), writesAfterChoice);
}

TEST_F(ExerciseRunTest, LessonFiveHundredFiftySixRunsWholeAndStaysCurrent)
{
    setTodayFunction(fixedToday);
    chooseNotes();
    for (int32_t n : chosenNotes) singer.offsets[n] = 5.0;
    runLog.recordFrames = false;
    const int64_t frames = runLesson(556);
    ASSERT_EQ(currentScreen, 576);
    EXPECT_GT(frames, 206000);
    EXPECT_EQ(lessonPassed, 1);
    EXPECT_EQ(getUserCurrentLesson(1), 556);
    LessonBlock stored;
    getUserLessonBlock(1, 554, stored);
    EXPECT_EQ(stored.done, 1);
}

TEST_F(ExerciseRunTest, UnknownStateNamesAndTheirStops)
{
    EXPECT_STREQ(lessonProgressName(0), "preparation");
    EXPECT_STREQ(lessonProgressName(4), "GetExerciseAnswer");
    EXPECT_STREQ(lessonProgressName(12), "statistics");
    EXPECT_EQ(lessonProgressName(13), nullptr);
    EXPECT_EQ(lessonProgressName(16), nullptr);
    exerciseRun.lessonProgress = 13;
    EXPECT_EXIT(runExerciseFrame(), ::testing::ExitedWithCode(18512 % 250), "18512");
    exerciseRun.lessonProgress = 7;
    EXPECT_EXIT(runExerciseFrame(), ::testing::ExitedWithCode(18520 % 250), "18520");
    exerciseRun.exercisePhase = 6;
    EXPECT_EXIT(advanceExercisePhase(), ::testing::ExitedWithCode(18505 % 250), "18505 errorHint=6");
}

} // namespace

namespace {

bool hundredthDayStore(int32_t, int32_t, const LessonBlock &, bool) { return true; }

TEST_F(ExerciseRunTest, HundredthDayAlertAfterTheResultsAndTheUnusedSlotsPassedFlags)
{
    chooseNotes();
    ExerciseHooks h = exerciseHooks();
    h.storeLessonEnd = hundredthDayStore;
    setExerciseHooks(h);
    for (int32_t n : chosenNotes) singer.offsets[n] = 10.0;
    runLog.recordFrames = false;
    runLesson(3);
    ASSERT_EQ(currentScreen, 576);
    EXPECT_EQ(alertLines[0],
              "Congratulations this is your 100th Training day! We would highly appreciate if you export");
    EXPECT_EQ(alertLines[1], "the Timeline Statistics and mail it to us as an attachment");
    EXPECT_EQ(alertLines[2], "for our study (see README.md, Statistics)");

    // A lesson of seven notes after it: slot 8 keeps its note, 100/100, and
    // is not marked passed, whatever the slot held before.
    exerciseRun.lessonResults.slots[7].passed = 1;
    resetExerciseRun();
    runLesson(33, 9);
    EXPECT_EQ(exerciseRun.lessonProgress, progressPrepareExercise);
    EXPECT_EQ(exerciseRun.notesToTrain, 7);
    EXPECT_EQ(exerciseRun.lessonResults.slots[7].passed, 0);
    EXPECT_EQ(exerciseRun.lessonResults.slots[7].mean, 100.0);
    EXPECT_NE(exerciseRun.lessonResults.slots[7].note, emptyNoteIndex);
}

} // namespace

// The frame that ends the lesson leaves the disk to the store's writer
// thread: with the writer held, the run reaches the score overview while the
// users file holds what it held before and no recording file exists; the
// wait brings both.
TEST_F(ExerciseRunTest, TheLessonEndLeavesTheDiskWorkToTheWriterThread)
{
    chooseNotes();
    ExerciseHooks h = testHooks();
    h.storeLessonEnd = realExerciseHooks().storeLessonEnd;
    h.handRecordingToReplay = realExerciseHooks().handRecordingToReplay;
    setExerciseHooks(h);
    runLog.recordFrames = false;
    const std::vector<uint8_t> usersBefore = readFile("UsersFile");
    holdStoreWriterUntilWaited();
    runLesson(3);
    ASSERT_EQ(currentScreen, 576);
    EXPECT_EQ(readFile("UsersFile"), usersBefore);
    EXPECT_FALSE(exists("soundout.raw"));

    waitForStoreWrites();
    EXPECT_NE(readFile("UsersFile"), usersBefore);
    EXPECT_EQ(getUserCurrentLesson(1), 4);
    EXPECT_EQ(fileSize("soundout.raw"), 2 * static_cast<int64_t>(exerciseRun.captureWritePos));
}

namespace {
int64_t framesRun = 0, storedAtFrame = -1;
std::vector<int64_t> handedAtFrames;
bool quitAfterStore = false;
} // namespace

// The lesson's end writes its results and the replay's recording on two
// frames in a row, never on one; a Quit in the frame after the results still
// hands the recording over, once.
TEST_F(ExerciseRunTest, TheLessonEndsTwoDiskWritesFallOnTwoFrames)
{
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "Quit right after the results" : "to the end");
        if (quit) { // a fresh store and run
            TearDown();
            SetUp();
        }
        chooseNotes();
        runLog.recordFrames = false;
        framesRun = 0;
        storedAtFrame = -1;
        handedAtFrames.clear();
        quitAfterStore = quit;
        ExerciseHooks h = testHooks();
        h.draw = [](const ExerciseFrame &) { ++framesRun; };
        h.storeLessonEnd = [](int32_t key, int32_t lesson, const LessonBlock &results, bool passed) {
            storedAtFrame = framesRun;
            if (quitAfterStore) runLog.queued = 55;
            return storeLessonResult(key, lesson, results, passed);
        };
        h.handRecordingToReplay = [] { handedAtFrames.push_back(framesRun); };
        setExerciseHooks(h);
        runLesson(3);
        EXPECT_EQ(currentScreen, quit ? 6 : 576);
        ASSERT_GE(storedAtFrame, 0);
        ASSERT_EQ(handedAtFrames.size(), 1u);
        // The results' frame is drawn after the store, so the hand-over comes
        // in the next frame, before anything of that one is drawn.
        EXPECT_EQ(handedAtFrames[0], storedAtFrame + 1);
    }
}
