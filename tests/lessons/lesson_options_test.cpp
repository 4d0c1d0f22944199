#include <map>
#include <vector>

#include "app/screen_table.h"
#include "frame/message_panel.h"
#include "lessons/lesson_fixture.h"
#include "lessons/lesson_options.h"
#include "lessons/options_screen.h"

namespace {

std::vector<int32_t> preselected;
int32_t resets = 0;
int32_t controlsCreated = 0;
int32_t exercisesStarted = 0;

void recordReset() { ++resets; preselected.clear(); }
void recordPreselect(int32_t note) { preselected.push_back(note); }
void recordControls() { ++controlsCreated; }
void recordExerciseStart() { ++exercisesStarted; currentScreen = currentLesson + lessonScreenOffset; }
void noClock() {}
void noFocus() {}

struct OptionDefaults : ::testing::Test {
    void SetUp() override
    {
        setUpTestUser(3);
        setNoteSelectionHooks({recordReset, recordPreselect, recordControls});
        setOptionsScreenHooks({.startExercise = recordExerciseStart, .restartClock = noClock, .focusGoButton = noFocus});
        preselected.clear();
        resets = controlsCreated = exercisesStarted = 0;
        setAlwaysShowOptions(false);
    }
    void TearDown() override
    {
        setNoteSelectionHooks(realNoteSelectionHooks());
        setOptionsScreenHooks(realOptionsScreenHooks());
        setAlwaysShowOptions(false);
    }
};

} // namespace

TEST(LessonOptionsTable, RowsAndTheirDistribution)
{
    std::map<int32_t, int32_t> tempi, sensitivities, voices, countOffs;
    for (int32_t L = 1; L <= 557; ++L) {
        const LessonOptions &r = lessonOptionsTable[L];
        ++tempi[r.tempo];
        ++sensitivities[r.pitchSensitivity];
        ++voices[r.assistanceVoice];
        ++countOffs[r.countOffMode];
        EXPECT_EQ(r.beatAccuracy, 12);
        EXPECT_EQ(r.showPitchWithAmplitude, 0);
        EXPECT_EQ(r.playAccompaniment, 0);
    }
    EXPECT_EQ(tempi, (std::map<int32_t, int32_t>{{35, 42}, {40, 7}, {50, 49}, {60, 396}, {70, 14}, {80, 7}, {90, 7}, {100, 35}}));
    EXPECT_EQ(sensitivities, (std::map<int32_t, int32_t>{{50, 550}, {70, 7}}));
    EXPECT_EQ(voices[0], 35);
    EXPECT_EQ(voices[4], 1);
    EXPECT_EQ(lessonOptionsTable[1].assistanceVoice, 4);
    EXPECT_EQ(lessonOptionsTable[1].referenceMode, 1);
    EXPECT_EQ(countOffs[0], 35);
    EXPECT_EQ(countOffs[2], 7);
    // The block of lessons 2..27 repeats unchanged.
    for (int32_t start : {103, 202, 303, 402, 452, 502})
        for (int32_t k = 0; k < 26; ++k) {
            EXPECT_EQ(lessonOptionsTable[start + k].tempo, lessonOptionsTable[2 + k].tempo) << start + k;
            EXPECT_EQ(lessonOptionsTable[start + k].referenceMode, lessonOptionsTable[2 + k].referenceMode);
            EXPECT_EQ(lessonOptionsTable[start + k].countOffMode, lessonOptionsTable[2 + k].countOffMode);
        }
    EXPECT_EQ(lessonOptionsTable[23].countOffMode, 2);
    EXPECT_STREQ(referenceModeNames[lessonOptionsTable[2].referenceMode], "FirstNoteOnly");
    EXPECT_STREQ(clickModeNames[5], "RhythmClickVoice");
}

TEST_F(OptionDefaults, WhatTheSetUpCopies)
{
    currentLesson = 2; // its row holds 70 cents, the exercise gets 50
    playAccompaniment = 1;
    lessonTempo = 77;
    showAmplitudeProgression = 0;
    setUpExerciseOptions();
    EXPECT_EQ(pitchSensitivity, 50);
    EXPECT_EQ(countOffMode, 0);
    EXPECT_EQ(assistanceVoice, 2);
    EXPECT_EQ(playAccompaniment, 0);
    EXPECT_EQ(lessonTempo, 77); // numbered lessons take the melody's tempo
    EXPECT_EQ(showAmplitudeProgression, 1);
    EXPECT_EQ(optionsScreen.state, 0);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(controlsCreated, 1);

    currentLesson = 1;
    playAccompaniment = 1;
    referenceMode = 5;
    setUpExerciseOptions();
    EXPECT_EQ(lessonTempo, 60);
    EXPECT_EQ(playAccompaniment, 1);
    EXPECT_EQ(assistanceVoice, 4);
    EXPECT_EQ(referenceMode, 5); // only the replay options copy it

    currentLesson = 557; // "dummy": the default row, no block
    setUpExerciseOptions();
    EXPECT_EQ(assistanceVoice, 2);
    EXPECT_TRUE(preselected.empty());
}

TEST_F(OptionDefaults, PreselectionFromTheStoredBlock)
{
    // The dialog is lesson 2's note choice whatever lesson opens it: every
    // lesson 2..556 offers lesson 2's stored notes; its own block is ignored.
    struct Case { int32_t lesson; std::vector<int32_t> stored, chosen; };
    const std::vector<Case> cases = {
        {2, {3, 51, 2, 52, 74, 27}, {3, 51, 27}},   // only C2..C6
        {50, {30, 30, 31}, {30, 30, 31}},           // a note stored twice counts twice
        {556, {40}, {40}},
        {1, {40}, {}},
        {557, {40}, {}},
    };
    for (const Case &c : cases) {
        LessonBlock &b = userRecords[0].lessonBlocks[0];
        b = emptyLessonBlock();
        for (size_t k = 0; k < c.stored.size(); ++k) b.slots[k].note = c.stored[k];
        if (c.lesson >= 3 && c.lesson <= 556) userRecords[0].lessonBlocks[c.lesson - 2].slots[0].note = 12;
        currentLesson = c.lesson;
        setUpExerciseOptions();
        EXPECT_EQ(preselected, c.chosen) << c.lesson;
    }
}

TEST_F(OptionDefaults, LessonOutsideTheTableStops)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    for (int32_t L : {0, 558}) {
        currentLesson = L;
        EXPECT_EXIT(setUpExerciseOptions(), testing::ExitedWithCode(7751 % 250), "stopNumber=7751 ");
    }
}

TEST_F(OptionDefaults, EntryDecisionOfTheOptionsScreen)
{
    const ScreenHandlers *options = screenHandlersFor(exerciseOptionsScreenId);
    ASSERT_NE(options, nullptr);
    // Lessons 3..256 open the dialog until lesson 2's block is done (Go
    // stored its eight notes), not by the number of notes stored.
    struct Case { int32_t lesson; int32_t lessonTwoNotes; bool done; bool always; bool exercise; };
    const Case cases[] = {
        {2, 8, true, false, false},   {3, 8, true, false, true},    {3, 8, false, false, false},
        {3, 7, false, false, false},  {50, 8, true, false, true},   {50, 0, false, false, false},
        {256, 8, false, false, false}, {256, 8, true, false, true}, {257, 0, false, false, true},
        {300, 0, false, false, true}, {556, 3, false, false, true}, {300, 8, true, true, false},
        {50, 8, true, true, false},
    };
    for (const Case &c : cases) {
        std::vector<int32_t> notes;
        for (int32_t k = 0; k < c.lessonTwoNotes; ++k) notes.push_back(10 + k);
        LessonBlock &b = userRecords[0].lessonBlocks[0];
        b = emptyLessonBlock();
        for (size_t k = 0; k < notes.size(); ++k) b.slots[k].note = notes[k];
        b.done = c.done ? 1 : 0;
        setAlwaysShowOptions(c.always);
        currentLesson = c.lesson;
        exercisesStarted = 0;
        setUpExerciseOptions();
        currentScreen = exerciseOptionsScreenId;
        hintLine = "stale";
        options->display();
        EXPECT_EQ(exercisesStarted, c.exercise ? 1 : 0) << c.lesson;
        EXPECT_EQ(currentScreen, c.exercise ? c.lesson + lessonScreenOffset : int32_t{exerciseOptionsScreenId}) << c.lesson;
        EXPECT_EQ(optionsScreen.state, c.exercise ? 0 : 1) << c.lesson;
        EXPECT_TRUE(hintLine.empty());
    }
}
