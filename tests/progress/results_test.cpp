// The result screens' logic: tallies, scores and ratings of a finished
// lesson, the note statistics level, time-line counts, graph cells, table
// cells and the export form.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "frame/message_panel.h"
#include "base/shared.h"
#include "lessons/lesson_state.h"
#include "music/notes.h"
#include "progress/results_logic.h"
#include "progress/score_overview_screen.h"
#include "replay/replay_state.h"
#include "common/screen_driver.h"
#include "store/user_actions.h"
#include "store/store_fixture.h"

namespace {

void resetRun()
{
    pitchHitCount = onBeatScore = noteOkCount = loudnessOkCount = 0;
    lessonPassed = 0;
    recordingBlockIndex = -1;
    nextMelodyNote = 0;
    lessonNoteCount = 0;
    for (int i = 0; i < 12; ++i) lessonNotes[i] = TimedNote{};
    for (int b = 0; b < 8; ++b) {
        blockTimeMs[b] = 0;
        blockPitchRating[b] = 0;
        pitchSamples[b] = 0;
    }
}

NoteSlot slot(int32_t note, double mean, uint8_t passed = 0) { return NoteSlot{note, mean, 5.0, passed}; }

} // namespace

TEST(ResultsScore, ScoreTitleAndTallyByExerciseType)
{
    resetRun();
    pitchHitCount = 7;
    onBeatScore = 11;
    loudnessOkCount = 13;
    noteOkCount = 3;
    lessonPassed = 1;
    struct Case { int32_t type, score, tally; const char *title; };
    const Case cases[] = {
        {0, 7, 1, "Exercise Type: Pitch"},   {1, 11, 2, "Exercise Type: Rhythm"},
        {2, 13, 0, "Exercise Type: Loudness"}, {3, 30, 1, "Exercise Type: NoteOk"},
        {5, 7, 1, "Exercise Type: Pitch"},   {9, 0, 0, "Exercise Type: Interval"},
        {14, 0, 1, "Exercise Type: SingleChordNote"}, {17, 0, 0, "Exercise Type: Seventh"},
        {18, 0, 0, "Exercise Type: Move Notes"}, {22, 1, 0, "Exercise Type: Tarnova"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(exerciseScore(c.type), c.score) << c.type;
        EXPECT_EQ(exerciseTallyKind(c.type), c.tally) << c.type;
        EXPECT_EQ(exerciseTypeTitle(c.type), c.title) << c.type;
    }
}

TEST(ResultsTally, PitchBlocksFollowTheReachedNotes)
{
    resetRun();
    static UserRecord record{};
    lessonNoteCount = 2;
    lessonNotes[0].letter = 'C';
    lessonNotes[0].soundingStaff = staffValueOfNote(27);
    lessonNotes[0].reachedMs = 0;
    lessonNotes[1].letter = 'D';
    lessonNotes[1].soundingStaff = staffValueOfNote(29);
    lessonNotes[1].reachedMs = 100;
    const int32_t times[4] = {10, 30, 50, 130};
    const int32_t ratings[4] = {2, 2, 1, 2};
    const double pitches[4] = {261.0, noteFrequencies[27], 1000.0, 3.0};
    for (int b = 0; b < 4; ++b) {
        blockTimeMs[b] = times[b];
        blockPitchRating[b] = ratings[b];
        pitchSamples[b] = pitches[b];
    }
    recordingBlockIndex = 4;
    addPitchTally(record);
    const NoteTally &c4 = record.noteTallies[27];
    EXPECT_EQ(c4.presented, 1);
    EXPECT_EQ(c4.blocksMeasured, 2); // block 0 comes before the first note is reached
    EXPECT_EQ(c4.blocksInBand, 1);
    EXPECT_EQ(c4.blocksNear, 1);
    EXPECT_DOUBLE_EQ(c4.sumHz, noteFrequencies[27]);
    EXPECT_DOUBLE_EQ(c4.sumLnHzSquared, std::log(noteFrequencies[27]) * std::log(noteFrequencies[27]));
    const NoteTally &d4 = record.noteTallies[29];
    EXPECT_EQ(d4.presented, 1);
    EXPECT_EQ(d4.blocksMeasured, 1);
    EXPECT_EQ(d4.blocksNear, 0); // a pitch status is no pitch

    // Block times of 0 never reach a note.
    static UserRecord untouched{};
    for (int b = 0; b < 4; ++b) blockTimeMs[b] = 0;
    lessonNotes[0].reachedMs = -1;
    addPitchTally(untouched);
    EXPECT_EQ(untouched.noteTallies[27].presented + untouched.noteTallies[27].blocksMeasured, 0);
}

TEST(ResultsTally, RhythmOnsetsByLengthClassAndPredecessor)
{
    resetRun();
    beatAccuracy = 12;
    struct N { char letter; double units; int32_t ms, onsetPos, onsetLevel; };
    const N notes[] = {
        {'C', 0, 0, 0, 0},
        {'D', 16, 500, 27342, 0},   // 16 after a note: 120 ms late, on the bound of both tests
        {'r', 32, 1000, 0, 0},
        {'E', 40, 1250, 65709, 0},  // 8 after a rest: 240 ms late
        {'F', 46, 1300, 0, 9000},   // 6 sixty-fourths: no class
        {'G', 50, 1400, 0, 0},      // 4 after a loud note: 1400 ms early
    };
    for (int i = 0; i < 6; ++i) {
        lessonNotes[i].letter = notes[i].letter;
        lessonNotes[i].startUnits = notes[i].units;
        lessonNotes[i].startMs = notes[i].ms;
        lessonNotes[i].onsetPeakPos = notes[i].onsetPos;
        lessonNotes[i].onsetPeakLevel = notes[i].onsetLevel;
    }
    lessonNoteCount = 6;
    static UserRecord record{};
    nextMelodyNote = 1;
    addRhythmTally(record);
    for (const RhythmTally &t : record.rhythmTallies) ASSERT_EQ(t.notes[0] + t.notes[1], 0);

    nextMelodyNote = 6;
    addRhythmTally(record);
    const RhythmTally &quarter = record.rhythmTallies[3];
    EXPECT_EQ(quarter.notes[0], 1);
    EXPECT_EQ(quarter.onsetsWithinAccuracy[0], 1);
    EXPECT_EQ(quarter.onsetsWithin240[0], 1);
    EXPECT_DOUBLE_EQ(quarter.sumDeviation[0], 120.0);
    EXPECT_DOUBLE_EQ(quarter.sumSquaredDeviation[0], 14400.0);
    const RhythmTally &eighth = record.rhythmTallies[1];
    EXPECT_EQ(eighth.notes[1], 1);
    EXPECT_EQ(eighth.onsetsWithinAccuracy[1], 0);
    EXPECT_EQ(eighth.onsetsWithin240[1], 1);
    const RhythmTally &sixteenth = record.rhythmTallies[0];
    EXPECT_EQ(sixteenth.notes[0], 1);
    EXPECT_EQ(sixteenth.onsetsWithin240[0] + sixteenth.onsetsNotMeasured[0], 0);
    int total = 0;
    for (const RhythmTally &t : record.rhythmTallies) total += t.notes[0] + t.notes[1];
    EXPECT_EQ(total, 3);
}

TEST(ResultsNoteStatistics, LevelShownForTheMenuLesson)
{
    static UserRecord r{};
    for (LessonBlock &b : r.lessonBlocks) b = emptyLessonBlock();
    bool current = false;
    EXPECT_EQ(noteStatisticsBlock(r, 1, current), -1);
    EXPECT_EQ(noteStatisticsBlock(r, 2, current), -1); // no notes chosen yet
    r.lessonBlocks[0].slots[0] = slot(27, 0);
    EXPECT_EQ(noteStatisticsBlock(r, 2, current), 0); // nothing done, nothing passed in B(1)
    EXPECT_TRUE(current);
    r.lessonBlocks[8].done = 1;
    EXPECT_EQ(noteStatisticsBlock(r, 2, current), 8);
    r.lessonBlocks[9].slots[3] = slot(30, 10, 1);
    EXPECT_EQ(noteStatisticsBlock(r, 2, current), 9);
    r.lessonBlocks[554].done = 1;
    EXPECT_EQ(highestLevelBlock(r), 554);
    EXPECT_EQ(noteStatisticsBlock(r, 11, current), -1); // its first slot is empty
    r.lessonBlocks[9].slots[0] = slot(30, 10, 1);
    EXPECT_EQ(noteStatisticsBlock(r, 11, current), 9);
    EXPECT_FALSE(current);
}

TEST(ResultsTimeLine, CountsCellsAndTexts)
{
    // Block 1 is lesson 3 (max. Dev. 50): a note 80 cents flat is a miss.
    LessonBlock b = emptyLessonBlock();
    b.slots[0] = slot(27, -80);
    b.slots[1] = slot(28, -50);
    b.slots[2] = slot(29, 49.9);
    b.slots[3] = slot(30, 50.1);
    int32_t s, m;
    blockCounts(b, 1, s, m);
    EXPECT_EQ(s, 2);
    EXPECT_EQ(m, 2);
    static TimeLineDay day{};
    day.date = 43000;
    for (LessonBlock &x : day.lessonBlocks) x = emptyLessonBlock();
    day.lessonBlocks[1] = b;
    day.lessonBlocks[500] = b;
    dayCounts(day, s, m);
    EXPECT_EQ(s, 2); // block 500 is lesson 502: max. Dev. 33, all four miss
    EXPECT_EQ(m, 6);

    EXPECT_EQ(graphCellX(1, 91), 717);
    EXPECT_EQ(graphCellX(4, 481), 409);
    EXPECT_EQ(graphCellX(1, 151), -1);
    EXPECT_EQ(graphCellRedHeight(3, 1), 1);
    EXPECT_EQ(graphCellRedHeight(1, 1), 2);
    EXPECT_EQ(graphPageLastBlock(493), 554);
    EXPECT_EQ(graphPageLastBlock(2), -1);
    EXPECT_EQ(graphCountText(7), "    7");
    EXPECT_EQ(graphCountText(12345), " 12345");

    struct Cell { double v; const char *mean; const char *variance; };
    const Cell cells[] = {{5.2, "  5", " 5"}, {-5.2, " -5", ""}, {12.4, " 12", "12"}, {-12.4, "-12", ""},
                          {99.6, "xxx", "xx"}, {150, "xxx", "xx"}, {0.4, "  0", " 0"}, {9.6, " 10", "10"},
                          {-0.4, "  0", ""}, {-0.5, "  0", ""}};
    for (const Cell &c : cells) {
        EXPECT_EQ(formatMeanCell(c.v), c.mean) << c.v;
        if (c.v >= 0) {
            EXPECT_EQ(formatVarianceCell(c.v), c.variance) << c.v;
        }
    }
    EXPECT_EQ(formatVarianceCell(100), "xx");
    // Values an imported or damaged file may hold still give a cell.
    EXPECT_EQ(formatVarianceCell(-0.3), " 0");
    EXPECT_EQ(formatVarianceCell(-1e20), "-100000000000000000000");
    EXPECT_EQ(formatMeanCell(std::nan("")), "xxx");
    // The note rows of the score overview and the note statistics.
    EXPECT_EQ(oneDecimal(-0.04), "0.0");
    EXPECT_EQ(oneDecimal(-0.05), "-0.1");
    EXPECT_EQ(oneDecimal(12.25), "12.2");
    EXPECT_EQ(formatVarianceCell(std::nan("")), "xx");

    EXPECT_EQ(numbersNotesLine(lessonParamsTable[3]), "8 Notes; Time delay 1.5");
    EXPECT_EQ(numbersNotesLine(lessonParamsTable[482]), "1 Note; Time delay 240.0");
    EXPECT_EQ(requirementLine(lessonParamsTable[3]),
              "Score: 8 Notes; time delay: 1.5 sec; Allowed Tolerance: 75 cents; Mean within: 50 cents;");
}

TEST(ResultsExportForm, ChecksInTheirOrder)
{
    struct Case { ExportForm form; const char *problem; };
    const Case cases[] = {
        {{false, false, "30", 1, 0}, "Please set your gender"},
        {{true, false, "", 1, 0}, "Please set your age"},
        {{true, false, "0", 1, 0}, "Please set your age"},
        {{false, true, "99999999999", 1, 0}, "Please set your age"},
        {{false, true, "250", 0, 0}, "Please choose a report type"},
        {{true, false, "250", 4, 0}, "Please choose a reason for giving up"},
        {{true, false, "250", 4, 2}, ""},
        {{true, false, "30", 2, 0}, ""},
    };
    for (const Case &c : cases) EXPECT_EQ(exportFormProblem(c.form), c.problem) << c.form.ageText;
    EXPECT_TRUE(ageAccepted("200"));
    EXPECT_FALSE(ageAccepted("0"));
    EXPECT_FALSE(ageAccepted("4294967297")); // would wrap to 1 in 32 bits
    EXPECT_TRUE(yearsAccepted("0"));
    EXPECT_FALSE(yearsAccepted("201"));
    EXPECT_FALSE(yearsAccepted(""));
}

using ScoreOverview = StoreFolderTest;

TEST_F(ScoreOverview, RatedLastLessonStaysCurrent)
{
    createStore();
    resetRun();
    currentUserKey = 1;
    currentUserSlot = 0;
    currentUserTessitura = 2;
    exerciseType = 0;
    lessonPassed = 1;
    currentLesson = 556;
    setUserCurrentLesson(1, 556);
    pitchHitCount = 100000; // far above any reference score
    EXPECT_GE(recordFinishedLesson(), 2);
    EXPECT_EQ(getUserCurrentLesson(1), 556);
}

TEST_F(ScoreOverview, FinishedLessonIsRecordedRatedAndLeftByItsButtons)
{
    createStore();
    resetRun();
    currentUserKey = 1;
    currentUserSlot = 0;
    currentUserTessitura = 2;
    currentLesson = 3;
    setUserCurrentLesson(1, 3);

    // A passed lesson of type 22 scores 1: rated 0, the current lesson stays.
    exerciseType = 22;
    lessonPassed = 1;
    EXPECT_EQ(recordFinishedLesson(), 0);
    EXPECT_EQ(getUserCurrentLesson(1), 3);
    int32_t tessitura, rating;
    EXPECT_EQ(getUserScoreRating(3, 1, tessitura, rating), 1);
    EXPECT_EQ(tessitura, 2);

    // A pitch score of exactly round(0.9 x 680) rates 4 and moves the lesson on,
    // with one write of each file for the whole first display.
    exerciseType = 0;
    pitchHitCount = 612;
    const int64_t users = storeFilesWritten("UsersFile"), line = storeFilesWritten("TimeLine"),
                  scores = storeFilesWritten("ScoreFile");
    EXPECT_EQ(recordFinishedLesson(), 4);
    EXPECT_EQ(storeFilesWritten("UsersFile") - users, 1);
    EXPECT_EQ(storeFilesWritten("TimeLine") - line, 0);
    EXPECT_EQ(storeFilesWritten("ScoreFile") - scores, 1);
    loadUsersFiles();
    loadScoreFile();
    EXPECT_EQ(getUserCurrentLesson(1), 4);
    int32_t holder, holderTessitura;
    std::string name;
    EXPECT_EQ(getLessonBest(3, holder, holderTessitura, rating, name), 612);
    EXPECT_EQ(holder, 1);
    EXPECT_EQ(name, "Admin");

    // The three buttons.
    scoreOverviewScreenHandlers.create();
    struct Case { int32_t code, screen; };
    const Case cases[] = {{27, 6}, {28, 11}, {26, 579}};
    for (const Case &c : cases) {
        scoreOverviewState.phase = 1;
        currentScreen = scoreOverviewScreenId;
        scoreOverviewState.pendingAction = c.code;
        scoreOverviewScreenHandlers.handleAction();
        EXPECT_EQ(currentScreen, c.screen) << c.code;
        EXPECT_EQ(scoreOverviewState.phase, 0) << c.code;
        EXPECT_EQ(scoreOverviewState.pendingAction, 0) << c.code;
    }
    // Return after the first display posts ChangeLesson; any other key shows help.
    scoreOverviewState.phase = 1;
    showAlert("", "", "");
    setKeyboardFocus(&scoreOverviewState.changeButton);
    scoreOverviewScreenHandlers.keyboard(13, 0, 0);
    EXPECT_EQ(scoreOverviewState.pendingAction, 27);
    scoreOverviewState.pendingAction = 0;
    scoreOverviewScreenHandlers.keyboard('x', 0, 0);
    EXPECT_EQ(alertLines[0], "Click \"Quit\" or hit <Return>");
    EXPECT_EQ(scoreOverviewState.pendingAction, 0);
}

// The replay plays the recording against the lesson's notes: the overview
// offers it only for a lesson sung as a melody whose recording is that tune,
// never for the exercise run's one answer (every lesson of the curriculum).
TEST_F(ScoreOverview, ReplayIsOfferedOnlyForATuneSungToTheLessonsNotes)
{
    createStore();
    currentUserKey = 1;
    currentUserSlot = 0;
    currentLesson = 3;
    const ScreenDriver overview{scoreOverviewScreenHandlers};
    struct Case { int32_t type; RecordingKind recording; bool offered; };
    const Case cases[] = {{22, RecordingKind::oneAnswer, false}, {0, RecordingKind::oneAnswer, false},
                          {22, RecordingKind::sungTune, false},  {9, RecordingKind::sungTune, false},
                          {4, RecordingKind::none, false},       {0, RecordingKind::sungTune, true},
                          {4, RecordingKind::sungTune, true},    {14, RecordingKind::sungTune, true}};
    for (const Case &c : cases) {
        resetRun();
        exerciseType = c.type;
        lastRecordingKind = c.recording;
        scoreOverviewState.pendingAction = scoreOverviewState.deferredAction = 0;
        scoreOverviewScreenHandlers.create();
        currentScreen = scoreOverviewScreenId;
        overview.frame(); // the first display decides
        EXPECT_EQ(scoreOverviewState.replayShown, c.offered) << c.type;
        overview.click(scoreOverviewState.replayButton);
        overview.frame();
        EXPECT_EQ(currentScreen, c.offered ? replayOptionsScreenId : scoreOverviewScreenId) << c.type;
        // Action 25 itself leads nowhere while Replay is not offered.
        if (!c.offered) {
            scoreOverviewState.pendingAction = 25;
            scoreOverviewScreenHandlers.handleAction();
            EXPECT_EQ(currentScreen, scoreOverviewScreenId) << c.type;
        }
    }
    lastRecordingKind = RecordingKind::none;
}
