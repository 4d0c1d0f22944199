// The note choice on the options screen (screen 12): the check rule, the
// sung-note check with a synthetic singer on the screen's hooks, removing
// notes, Go and the store, input during the check, and leaving the screen.
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/screen_driver.h"
#include "frame/message_panel.h"
#include "frame/text.h"
#include "lessons/lesson_one_screen.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "lessons/note_check.h"
#include "lessons/options_screen.h"
#include "music/note_voices.h"
#include "music/notes.h"
#include "store/user_actions.h"
#include "store/store_fixture.h"
#include "store/store_io.h"

namespace {

// ---- The rules ------------------------------------------------------------------

double centsOff(double hz, double c) { return hz * std::pow(2.0, c / 1200.0); }

TEST(NoteCheckRules, SungPitchClasses)
{
    const double a4 = 440.0;
    const double upper = a4 * std::pow(2.0, 50 / 1200.0), lower = a4 / std::pow(2.0, 50 / 1200.0);
    struct Case { double hz; int32_t cls; };
    const Case cases[] = {
        {a4, 2},           {centsOff(a4, 49.9), 2}, {upper, 3},  {centsOff(a4, 300), 3},
        {lower, 1},        {centsOff(a4, -49.9), 2}, {100.0, 1}, {55.01, 1},
        {55.0, 0},         {6.0, 0},                 {0.0, 0},
    };
    for (const Case &c : cases) EXPECT_EQ(classifySungPitch(50, c.hz, a4), c.cls) << c.hz;
    // The live rating of a block keeps its bounds inside the band.
    EXPECT_EQ(checkBlockRatingOf(upper, a4), 2);
    EXPECT_EQ(checkBlockRatingOf(lower, a4), 2);
    EXPECT_EQ(checkBlockRatingOf(centsOff(a4, 51), a4), 3);
    EXPECT_EQ(checkBlockRatingOf(centsOff(a4, -51), a4), 1);
}

TEST(NoteCheckRules, LastTwentySamplesDecide)
{
    const double t = noteFrequencies[27]; // C4
    const double bandTop = t * std::pow(2.0, 90 / 1200.0);
    struct Case {
        const char *what;
        std::map<int32_t, double> samples; // block -> Hz; other blocks sing t
        double all;                        // cents of every other block
        bool passes;
    };
    const std::vector<Case> cases = {
        {"exact", {}, 0, true},
        {"49.9 cents sharp", {}, 49.9, true},
        {"49.9 cents flat", {}, -49.9, true},
        {"50.1 cents sharp", {}, 50.1, false},
        {"50.1 cents flat", {}, -50.1, false},
        {"60 cents sharp: inside the band, mean outside", {}, 60, false},
        {"one sample beyond 90 cents", {{50, centsOff(t, 91)}}, 0, false},
        {"one sample without pitch", {{58, 6.0}}, 0, false},
        {"first judged sample off", {{39, centsOff(t, -91)}}, 0, false},
        {"samples before the last 20 do not count", {{38, 5.0}, {0, 1.0}, {20, centsOff(t, 500)}}, 0, true},
        {"a sample exactly on the band's edge", {{45, bandTop}}, 0, true},
    };
    for (const Case &c : cases) {
        double samples[59];
        for (int32_t i = 0; i < 59; ++i) samples[i] = c.samples.count(i) ? c.samples.at(i) : centsOff(t, c.all);
        EXPECT_EQ(lastSamplesWithinTolerance(samples, 20, 50, 90, t), c.passes) << c.what;
    }
}

TEST(NoteCheckRules, TitlesAndCountLine)
{
    EXPECT_EQ(optionsTitle(2), "Select Options: PitchSensitivity 480 %, 2 notes ");
    EXPECT_EQ(optionsTitle(21), "Select Options: PitchSensitivity  75 %, 3 notes ");
    EXPECT_EQ(optionsTitle(26), "Select Options: PitchSensitivity  50 %, 2 notes ");
    EXPECT_EQ(optionsTitle(65), "Select Options: PitchSensitivity   7 %, 8 notes ");
    EXPECT_EQ(optionsTitle(66), "");
    EXPECT_EQ(optionsTitle(1), "");
    EXPECT_EQ(noteCountLine(7), "Select notes you can sing easily: 7");
    EXPECT_EQ(noteCountLine(8), "Click Go or deselect a note: 8");
    // During the check the count stays in sight, and the failed check's
    // lines end left of the list of chosen notes (x 950).
    EXPECT_EQ(dialogCountLine(1, 7), "Select notes you can sing easily: 7");
    EXPECT_EQ(dialogCountLine(3, 7), "Select the notes to include in the test by clicking on the desired notes: 7");
    for (const PlacedText &line : failedCheckLines) {
        const TextBox b = textBox(fontTimesRoman24, line.text, line.x, line.y);
        EXPECT_LT(b.right, 950) << line.text;
        EXPECT_GT(b.left, 615) << line.text; // right of the keys
    }
    EXPECT_EQ(slidingNoteX(40), 780);
    EXPECT_EQ(slidingNoteX(54), 705); // 780 - 74.67
    EXPECT_EQ(keyNoteName(3), "C2");
    EXPECT_EQ(keyNoteName(28), "C#4");
    EXPECT_EQ(keyNoteName(51), "C6");
}

// ---- The screen with a synthetic singer --------------------------------------------

struct Rig {
    std::map<int32_t, double> offsets; // cents off per note
    int32_t silentBlocks = 0;          // blocks of silence before the voice starts
    int32_t blocksRead = 0;
    int32_t fallsBehindAtRead = 0;     // the capture falls behind at this read (0: never)
    double phase = 0;
    bool capturing = false;
    int32_t captureStarts = 0, captureStops = 0, teacherStops = 0;
    int32_t clipsLoaded = 0; // the check's clips held (load and release)
    std::vector<int32_t> clips;
};
Rig rig;

void sing(int16_t *block)
{
    const int32_t note = optionsScreen.checkNote;
    const double hz = centsOff(noteFrequencies[note], rig.offsets.count(note) ? rig.offsets[note] : 0.0);
    const bool silent = rig.blocksRead++ < rig.silentBlocks;
    for (int i = 0; i < 2048; ++i) {
        rig.phase += 2 * M_PI * hz / 44100.0;
        const double v = 9000 * std::sin(rig.phase) + 4000 * std::sin(2 * rig.phase) + 2000 * std::sin(3 * rig.phase);
        block[i] = silent ? 0 : static_cast<int16_t>(std::lround(v));
    }
}

void noVoice(int32_t) {}
void noAttachSample(int32_t, int32_t, int32_t, int32_t, int32_t, float *) {}
void noAttachTone(int32_t, int32_t, double, int32_t, int32_t, int32_t, float *) {}

int32_t exercisesStarted = 0;

OptionsScreenHooks testHooks()
{
    OptionsScreenHooks h{};
    h.startExercise = [] {
        ++exercisesStarted;
        currentScreen = currentLesson + lessonScreenOffset;
    };
    h.restartClock = [] {};
    h.focusGoButton = [] { setKeyboardFocus(&optionsScreen.goButton); };
    h.loadCheckClips = [] { rig.clipsLoaded = 1; };
    h.releaseCheckClips = [] { rig.clipsLoaded = 0; };
    h.playClip = [](int32_t c) { rig.clips.push_back(c); };
    h.stopTeacherSource = [] { ++rig.teacherStops; };
    h.startCapture = [] {
        rig.capturing = true;
        ++rig.captureStarts;
    };
    h.stopCapture = [] {
        if (rig.capturing) ++rig.captureStops;
        rig.capturing = false;
    };
    h.captureRunning = [] { return rig.capturing; };
    h.readBlock = sing;
    h.captureFellBehind = [] { return rig.fallsBehindAtRead > 0 && rig.blocksRead >= rig.fallsBehindAtRead; };
    h.draw = nullptr;
    return h;
}

const ScreenDriver screen{exerciseOptionsScreenHandlers};

struct OptionsDialog : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        createStore();
        resetToolkitState();
        voiceAudio = VoiceAudioOps{noVoice, noAttachSample, noAttachTone, noVoice};
        setOptionsScreenHooks(testHooks());
        rig = Rig{};
        exercisesStarted = 0;
        currentUserKey = 1;
    }
    void TearDown() override
    {
        setOptionsScreenHooks(realOptionsScreenHooks());
        voiceAudio = soundLayerVoiceAudio;
        StoreFolderTest::TearDown();
    }

    void open(int32_t lesson)
    {
        currentLesson = lesson;
        setUpExerciseOptions();
        currentScreen = exerciseOptionsScreenId;
        screen.frame(); // the entry decision
    }

    static const ControlRecord &keyOf(int32_t note)
    {
        for (int32_t k = 0; k < noteKeyControls; ++k)
            if (noteKeyShown(k) && noteOfKey(k) == note) return optionsScreen.noteKeys[k];
        throw std::runtime_error("no key");
    }

    // Clicks the note's key and runs frames until the dialog is back in
    // state 1 (a check runs about 170 frames).
    int32_t choose(int32_t note)
    {
        screen.click(keyOf(note));
        int32_t frames = 0;
        do {
            screen.frame();
            ++frames;
        } while (optionsScreen.state != 1 && frames < 400);
        return frames;
    }

    std::vector<int32_t> chosen() const
    {
        return {optionsScreen.chosenNotes + 1, optionsScreen.chosenNotes + 1 + optionsScreen.chosenNoteCount};
    }

    static std::vector<int32_t> storedNotes(int32_t block)
    {
        LessonBlock b{};
        getUserLessonBlock(1, block, b);
        std::vector<int32_t> notes;
        for (const NoteSlot &s : b.slots)
            if (s.note != emptyNoteIndex) notes.push_back(s.note);
        return notes;
    }
    static bool storedDone(int32_t block)
    {
        LessonBlock b{};
        getUserLessonBlock(1, block, b);
        return b.done != 0;
    }
};

TEST_F(OptionsDialog, CheckAcceptsANoteSungWithin50CentsAndRefusesOneSung80CentsOff)
{
    open(2);
    ASSERT_EQ(optionsScreen.state, 1);
    EXPECT_EQ(keyboardFocus, &optionsScreen.goButton);
    rig.offsets = {{27, 30.0}, {29, 80.0}};

    const int32_t frames = choose(27);
    EXPECT_GE(frames, 1 + 70 + 62 + 42); // the action's frame, listen, sing, verdict
    EXPECT_EQ(chosen(), std::vector<int32_t>{27});
    EXPECT_TRUE(optionsScreen.checkPassed);
    EXPECT_EQ(keyOf(27).value, 0);
    EXPECT_EQ(rig.clips, (std::vector<int32_t>{clipTarnova, clipPlease, clipGood}));
    EXPECT_FALSE(rig.capturing);
    EXPECT_EQ(rig.captureStarts, 2); // the reopening before the answer, and the answer
    EXPECT_EQ(storedNotes(0), std::vector<int32_t>{27});
    for (int32_t b = 40; b <= 58; ++b)
        EXPECT_NEAR(1200 * std::log2(pitchSamples[b] / noteFrequencies[27]), 30.0, 3.0) << b;

    rig.clips.clear();
    choose(29);
    EXPECT_FALSE(optionsScreen.checkPassed);
    EXPECT_EQ(chosen(), std::vector<int32_t>{27}) << "the failed note leaves the list as it was";
    EXPECT_EQ(keyOf(29).value, 1);
    EXPECT_EQ(rig.clips.back(), clipTryAgain);
    EXPECT_EQ(storedNotes(0), std::vector<int32_t>{27});
    EXPECT_FALSE(storedDone(0));
}

// The verdict the screen gives on the answer it holds: the last 20 of the 59
// blocks (38 does not count, 39 does), each within 90 cents of the note,
// their mean within 50. The answer is written over the sung one just before
// the verdict frame.
TEST_F(OptionsDialog, TheVerdictJudgesTheLastTwentyBlocksWithinNinetyCents)
{
    struct Case {
        const char *what;
        std::map<int32_t, double> cents; // block -> cents off; the rest on the note
        bool passed;
    };
    std::map<int32_t, double> alternating89, alternating91, sharp51, sharp49;
    for (int32_t b = 39; b <= 58; ++b) {
        alternating89[b] = b % 2 ? 89.0 : -89.0;
        alternating91[b] = b % 2 ? 91.0 : -91.0;
        sharp51[b] = 51.0;
        sharp49[b] = 49.0;
    }
    const Case cases[] = {
        {"no pitch in block 38", {{38, -10000}}, true},
        {"no pitch in block 39", {{39, -10000}}, false},
        {"89 cents either way, mean on the note", alternating89, true},
        {"91 cents either way", alternating91, false},
        {"all 51 cents sharp", sharp51, false},
        {"all 49 cents sharp", sharp49, true},
    };
    open(2);
    for (const Case &c : cases) {
        screen.click(keyOf(27));
        int32_t frames = 0;
        while (!(optionsScreen.state == 4 && optionsScreen.frameCount == 0) && frames++ < 400) screen.frame();
        ASSERT_EQ(optionsScreen.state, 4) << c.what;
        for (int32_t b = 0; b <= 58; ++b) {
            const auto off = c.cents.find(b);
            const double cents = off == c.cents.end() ? 0.0 : off->second;
            pitchSamples[b] = cents < -1000 ? 6.0 : centsOff(noteFrequencies[27], cents);
        }
        screen.frame(); // the verdict
        EXPECT_EQ(optionsScreen.checkPassed, c.passed) << c.what;
        while (optionsScreen.state != 1 && frames++ < 400) screen.frame();
        if (c.passed) screen.click(keyOf(27)), screen.frame(); // removed again for the next case
        ASSERT_FALSE(optionsScreen.noteKeyChosen[27]) << c.what;
    }
}

// The capture falls behind real time during the answer (the microphone
// stopped delivering sound): the check ends at once without a verdict, the
// note leaves the choice as if never added, nothing is stored, and the dialog
// says why. Whatever the block: the first, a judged one, the last.
TEST_F(OptionsDialog, AMicrophoneThatFallsBehindEndsTheCheckUnjudgedAndStoresNothing)
{
    open(2);
    rig.offsets = {{27, 10.0}, {29, 10.0}};
    choose(27);
    ASSERT_EQ(storedNotes(0), std::vector<int32_t>{27});
    const std::vector<uint8_t> usersBefore = readFile("UsersFile");
    const int64_t writes = storeFilesWritten("UsersFile");
    for (const int32_t block : {1, 45, 59}) {
        SCOPED_TRACE(block);
        showAlert("", "", "");
        rig.clips.clear();
        rig.blocksRead = 0;
        rig.fallsBehindAtRead = block;
        const int32_t frames = choose(29);
        EXPECT_EQ(rig.blocksRead, block) << "no block is read after the one that came too late";
        EXPECT_EQ(frames, 1 + 70 + 1 + block) << "the dialog is back in the frame of that block";
        EXPECT_EQ(chosen(), std::vector<int32_t>{27});
        EXPECT_FALSE(optionsScreen.noteKeyChosen[29]);
        EXPECT_EQ(keyOf(29).value, 1);
        EXPECT_FALSE(rig.capturing);
        EXPECT_EQ(rig.clips, (std::vector<int32_t>{clipTarnova, clipPlease})) << "no verdict is spoken";
        EXPECT_EQ(alertLines[0], "The microphone stopped delivering sound.");
        EXPECT_EQ(storeFilesWritten("UsersFile"), writes);
        EXPECT_EQ(readFile("UsersFile"), usersBefore);
    }
    // The next check runs as ever (the alert's dismissal is the first click).
    rig.fallsBehindAtRead = 0;
    screen.click(keyOf(29));
    EXPECT_EQ(alertLines[0], "");
    EXPECT_EQ(optionsScreen.state, 1);
    choose(29);
    EXPECT_EQ(storedNotes(0), (std::vector<int32_t>{27, 29}));
}

TEST_F(OptionsDialog, ALateStartWithinTheUnjudgedBlocksStillPasses)
{
    open(2);
    rig.silentBlocks = 34; // about 1.6 s of silence
    choose(39);
    EXPECT_TRUE(optionsScreen.checkPassed);
    EXPECT_EQ(chosen(), std::vector<int32_t>{39});
    EXPECT_LT(pitchSamples[10], 55.0);
}

TEST_F(OptionsDialog, RemovingANoteRewritesTheStoredChoiceAndGoNeedsEight)
{
    open(2);
    const int32_t notes[8] = {27, 29, 31, 32, 34, 36, 38, 39};
    for (int32_t i = 0; i < 7; ++i) choose(notes[i]);
    EXPECT_EQ(storedNotes(0).size(), 7u);

    // Go with seven notes: the alert, the screen stays.
    screen.click(optionsScreen.goButton);
    screen.frame();
    EXPECT_EQ(alertLines[0], "You must select 8 notes");
    EXPECT_EQ(alertLines[1], "Please select 8 notes");
    EXPECT_EQ(currentScreen, exerciseOptionsScreenId);
    EXPECT_FALSE(storedDone(0));
    screen.release(optionsScreen.goButton); // dismisses the alert

    choose(notes[7]);
    // A checked note removed again is not stored.
    screen.click(keyOf(31));
    screen.frame();
    EXPECT_EQ(optionsScreen.state, 1) << "removing runs no check";
    EXPECT_EQ(chosen(), (std::vector<int32_t>{27, 29, 32, 34, 36, 38, 39}));
    EXPECT_EQ(storedNotes(0), chosen());
    choose(41);

    screen.click(optionsScreen.goButton);
    screen.frame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_EQ(optionsScreen.state, 0);
    EXPECT_EQ(currentLesson, 0);
    EXPECT_EQ(shownLesson, 3);
    EXPECT_EQ(getUserCurrentLesson(1), 3);
    const std::vector<int32_t> expected = {27, 29, 32, 34, 36, 38, 39, 41};
    EXPECT_EQ(storedNotes(0), expected);
    EXPECT_TRUE(storedDone(0));
    EXPECT_EQ(storedNotes(1), expected) << "lesson 3 is seeded with the choice";
    EXPECT_FALSE(storedDone(1));
    LessonBlock seeded{};
    getUserLessonBlock(1, 1, seeded);
    EXPECT_EQ(seeded.slots[0].mean, 100.0);
}

TEST_F(OptionsDialog, GoFromAnotherLessonStoresLessonTwosChoiceOnly)
{
    // Lesson 50 opens the dialog while lesson 2 is not done; its own block
    // is never written.
    LessonBlock own = emptyLessonBlock();
    own.slots[0].note = 20;
    own.slots[0].mean = 7.5;
    setUserLessonBlock(1, 48, own);
    LessonBlock two = emptyLessonBlock();
    const int32_t notes[8] = {27, 29, 31, 32, 34, 36, 38, 39};
    for (int32_t k = 0; k < 8; ++k) two.slots[k].note = notes[k];
    setUserLessonBlock(1, 0, two); // eight notes, but Go was never pressed
    open(50);
    ASSERT_EQ(optionsScreen.state, 1) << "eight notes without Go: the dialog opens";
    EXPECT_EQ(exercisesStarted, 0);
    EXPECT_EQ(chosen().size(), 8u) << "the preselection is lesson 2's";
    screen.type("\r"); // the focus is on Go
    screen.frame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_TRUE(storedDone(0));
    EXPECT_EQ(storedNotes(1).size(), 8u);
    LessonBlock after{};
    getUserLessonBlock(1, 48, after);
    EXPECT_EQ(after.slots[0].note, 20);
    EXPECT_EQ(after.slots[0].mean, 7.5);
    EXPECT_EQ(after.done, 0);
    EXPECT_EQ(getUserCurrentLesson(1), 3);

    // Now lesson 50 goes straight to its exercise.
    open(50);
    EXPECT_EQ(exercisesStarted, 1);
}

TEST_F(OptionsDialog, TheNineteenthNoteIsRefused)
{
    open(2);
    for (int32_t n = 10; n < 28; ++n) preselectNote(n);
    ASSERT_EQ(optionsScreen.chosenNoteCount, 18);
    screen.click(keyOf(40));
    screen.frame();
    EXPECT_EQ(alertLines[0], "Too many notes selecteded");
    EXPECT_EQ(optionsScreen.chosenNoteCount, 18);
    EXPECT_EQ(optionsScreen.state, 1);
}

TEST_F(OptionsDialog, DuringTheCheckOnlyGoExitAndChangeLessonAnswerAndLeavingStopsTheCheck)
{
    open(2);
    screen.click(keyOf(27));
    for (int32_t i = 0; i < 80; ++i) screen.frame(); // into the sing state
    ASSERT_EQ(optionsScreen.state, 3);
    ASSERT_TRUE(rig.capturing);
    screen.click(keyOf(30));
    screen.frame();
    EXPECT_FALSE(optionsScreen.noteKeyChosen[30]) << "keys are not tested during the check";

    const int32_t teacherStops = rig.teacherStops;
    screen.click(optionsScreen.changeLessonButton);
    screen.frame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_EQ(optionsScreen.state, 0);
    EXPECT_FALSE(rig.capturing) << "leaving stops the capture";
    EXPECT_EQ(rig.clipsLoaded, 0) << "leaving releases the check's clips";
    EXPECT_GT(rig.teacherStops, teacherStops);
    EXPECT_EQ(storedNotes(0), std::vector<int32_t>{}) << "the unchecked note is not stored";
}

TEST_F(OptionsDialog, GoInAnyFrameOfACheckLeavesTheUnjudgedNoteOut)
{
    // Go clicked while the eighth note is listened to, sung, or in the first
    // frame of the verdict state (whose verdict runs after the frame's
    // pending action): the note, sung 80 cents off, is never stored.
    struct Moment {
        int32_t state;
        int32_t frame; // optionsScreen.frameCount when Go is clicked
    };
    for (const Moment m : {Moment{2, 10}, Moment{3, 30}, Moment{4, 0}}) {
        SCOPED_TRACE("state " + std::to_string(m.state) + " frame " + std::to_string(m.frame));
        LessonBlock seven = emptyLessonBlock();
        for (int32_t k = 0; k < 7; ++k) seven.slots[k].note = 27 + k;
        setUserLessonBlock(1, 0, seven);
        setUserLessonBlock(1, 1, emptyLessonBlock());
        setUserCurrentLesson(1, 2);
        rig = Rig{};
        rig.offsets = {{40, 80.0}};
        open(2);
        ASSERT_EQ(optionsScreen.chosenNoteCount, 7);
        screen.click(keyOf(40));
        int32_t frames = 0;
        while (!(optionsScreen.state == m.state && optionsScreen.frameCount == m.frame) && frames++ < 400) screen.frame();
        ASSERT_EQ(optionsScreen.state, m.state);
        screen.click(optionsScreen.goButton);
        screen.frame();
        EXPECT_EQ(alertLines[0], "You must select 8 notes") << "the eighth note is not judged yet";
        EXPECT_EQ(storedNotes(0).size(), 7u);
        EXPECT_FALSE(storedDone(0));
        EXPECT_EQ(storedNotes(1).size(), 0u) << "lesson 3 is not seeded";
        EXPECT_EQ(getUserCurrentLesson(1), 2);
        EXPECT_EQ(currentScreen, exerciseOptionsScreenId) << "the check goes on";
        screen.release(optionsScreen.goButton); // dismisses the alert
        frames = 0;
        while (optionsScreen.state != 1 && frames++ < 400) screen.frame();
        EXPECT_FALSE(optionsScreen.checkPassed);
        EXPECT_EQ(storedNotes(0).size(), 7u) << "the failed note is dropped";
    }

    // A note that passes is stored by its verdict, and Go then finds eight.
    rig = Rig{};
    choose(40);
    EXPECT_EQ(storedNotes(0).size(), 8u);
    screen.click(optionsScreen.goButton);
    screen.frame();
    EXPECT_TRUE(storedDone(0));
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
}

TEST_F(OptionsDialog, KeysHintsAndTheReturnKey)
{
    open(2);
    // Return with the focus on Go is Go; with fewer than eight its alert.
    screen.type("\r");
    screen.frame();
    EXPECT_EQ(alertLines[0], "You must select 8 notes");
    screen.type("\r"); // dismisses it, and the focus is gone
    EXPECT_FALSE(alertShown());
    screen.type("\r");
    EXPECT_EQ(alertLines[0], "Click \"Go\"");
    EXPECT_EQ(alertLines[2], "or \"Quit\" to return");
    screen.type("\x1b");
    screen.type("x");
    EXPECT_EQ(alertLines[0], "Click \"Go\" or hit <Return>");
    screen.type("\x1b");

    exerciseOptionsScreenHandlers.passiveMotion(ScreenDriver::gx(keyOf(15)), ScreenDriver::gy(keyOf(15)));
    EXPECT_EQ(hintLine, "Click to include/exclude the note C3");
    exerciseOptionsScreenHandlers.motion(ScreenDriver::gx(keyOf(16)), ScreenDriver::gy(keyOf(16)));
    EXPECT_EQ(hintLine, "Release Button to include/exclude the note C#3");
    // C3 has one key: the place at the end of row 0 reaches nothing.
    const ControlRecord &secondC3 = optionsScreen.noteKeys[12];
    exerciseOptionsScreenHandlers.passiveMotion(ScreenDriver::gx(secondC3), ScreenDriver::gy(secondC3));
    EXPECT_EQ(hintLine, "");
    screen.click(secondC3);
    screen.frame();
    EXPECT_EQ(optionsScreen.state, 1);
    screen.click(keyOf(15));
    screen.frame();
    EXPECT_EQ(optionsScreen.state, 2);
    EXPECT_EQ(optionsScreen.checkNote, 15);
    EXPECT_EQ(keyOf(15).value, 0);
}

// Every note C2..C6 has one key, the keys do not overlap, and each key's
// picture is the note's (its label the full name, drawn inside the key).
TEST_F(OptionsDialog, OneKeyPerNoteAndNoKeyOverAnother)
{
    open(2);
    std::vector<int32_t> keysOfNote(52, 0);
    std::vector<const ControlRecord *> shown;
    for (int32_t k = 0; k < noteKeyControls; ++k) {
        if (!noteKeyShown(k)) continue;
        const ControlRecord &key = optionsScreen.noteKeys[k];
        const int32_t note = noteOfKey(k);
        ++keysOfNote[note];
        EXPECT_EQ(key.pictureOn, noteKeyPictures[note - firstKeyNote]) << k;
        EXPECT_EQ(key.right - key.left, noteKeyWidth) << k;
        EXPECT_EQ(key.top - key.bottom, noteKeyHeight) << k;
        shown.push_back(&key);
    }
    for (int32_t note = 3; note <= 51; ++note) EXPECT_EQ(keysOfNote[note], 1) << note;
    for (size_t a = 0; a < shown.size(); ++a)
        for (size_t b = a + 1; b < shown.size(); ++b)
            EXPECT_FALSE(shown[a]->left < shown[b]->right && shown[b]->left < shown[a]->right &&
                         shown[a]->bottom < shown[b]->top && shown[b]->bottom < shown[a]->top)
                << shown[a]->left << "," << shown[a]->bottom << " and " << shown[b]->left << "," << shown[b]->bottom;
    // The keys' top row ends under the count line (y 665, its lowest pixels at 662).
    for (const ControlRecord *key : shown) EXPECT_LT(key->top, 662);
}

TEST_F(OptionsDialog, KeyLayoutAndCodes)
{
    open(2);
    struct Case { int32_t key; int32_t note; int32_t left, bottom; };
    const Case cases[] = {{0, 3, 30, 300}, {11, 14, 525, 300}, {12, 15, 570, 300}, {13, 15, 30, 390},
                          {38, 39, 570, 480}, {39, 39, 30, 570}, {50, 50, 525, 570}, {51, 51, 570, 570}};
    for (const Case &c : cases) {
        EXPECT_EQ(noteOfKey(c.key), c.note) << c.key;
        EXPECT_EQ(optionsScreen.noteKeys[c.key].left, c.left) << c.key;
        EXPECT_EQ(optionsScreen.noteKeys[c.key].right, c.left + 36) << c.key;
        EXPECT_EQ(optionsScreen.noteKeys[c.key].bottom, c.bottom) << c.key;
        EXPECT_EQ(optionsScreen.noteKeys[c.key].top, c.bottom + 80) << c.key;
    }
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(setNoteKeyChosen(52), testing::ExitedWithCode(7753 % 250), "stopNumber=7753 ");
    EXPECT_EXIT(clearNoteKeyChosen(2), testing::ExitedWithCode(7753 % 250), "stopNumber=7753 ");
}

} // namespace
