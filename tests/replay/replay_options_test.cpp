// The replay options screen driven through its handlers: set-up from the
// lesson's defaults, the two fields' checks, pop-ups and toggles, the road in
// from the score overview and back from the replay, and the export with a
// scripted save dialog.
#include <fstream>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "frame/message_panel.h"
#include "replay/replay_fakes.h"

#include "frame/screens.h"
#include "frame/timer.h"
#include "lessons/lesson_state.h"
#include "progress/score_overview_screen.h"
#include "common/screen_driver.h"
#include "store/store_fixture.h"
#include "lessons/lesson_options.h"
#include "lessons/options_screen.h"
#include "store/recording_file.h"
#include "replay/replay_options_screen.h"
#include "replay/replay_screen.h"
#include "replay/replay_state.h"
#include "sound/recording.h"

namespace {

std::string chooserAnswer;
int chooserCalls = 0;
std::string scriptedChooser(const std::string &)
{
    ++chooserCalls;
    return chooserAnswer;
}

const ScreenDriver options{replayOptionsScreenHandlers};

ControlRecord &ro(ReplayOptionsControl c) { return replayOptions.controls[c]; }

struct ReplayOptionsTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        resetToolkitState();
        chooserAnswer.clear();
        chooserCalls = 0;
        setReplayOptionsHooks({scriptedChooser});
        currentLesson = 5;
        lessonNoteCount = 0;
        waitTilHit = 0;
        setAlwaysShowOptions(false);
        noteLabelMode = 0;
        replayOptions.phase = 0;
        replayOptions.pendingAction = replayOptions.deferredAction = 0;
        for (int32_t i = 0; i < 6144; ++i) recordingBuffer[i] = static_cast<int16_t>(i % 300 - 150);
        std::string error;
        ASSERT_TRUE(saveReplayRecording(6144, RecordingKind::sungTune, error)) << error;
        setUpReplayOptions();
    }
    void TearDown() override
    {
        setReplayOptionsHooks(realReplayOptionsHooks());
        StoreFolderTest::TearDown();
    }

    // Enters the screen as the replay does on its return: shown, focus on ChangeLesson.
    void enterShown()
    {
        replayOptions.firstShow = 0;
        currentScreen = replayOptionsScreenId;
        options.frame();
        ASSERT_EQ(replayOptions.phase, 1);
    }
};

// The replay with fake devices, from its entry to its return to the options.
void playReplayToItsEnd()
{
    replay_fakes::reset();
    for (int i = 0; i < 50 && currentScreen == replayScreenId; ++i) replay_fakes::frame();
    ASSERT_EQ(currentScreen, replayOptionsScreenId);
}

} // namespace

TEST_F(ReplayOptionsTest, SetUpTakesTheLessonDefaultsAndTurnsTheSoundsOff)
{
    countOffMode = 3;
    songPartVoice = 2;
    clickMode = 4;
    playAccompaniment = 1;
    playGuitarChords = 1;
    setUpReplayOptions();
    EXPECT_EQ(countOffMode, 0);
    EXPECT_EQ(songPartVoice, 0);
    EXPECT_EQ(clickMode, 0);
    EXPECT_EQ(playAccompaniment, 0);
    EXPECT_EQ(playGuitarChords, 0);
    EXPECT_EQ(rhythmKick, 1);
    EXPECT_EQ(showPitchWithAmplitude, 0);
    EXPECT_EQ(showTeacher, 1);
    EXPECT_EQ(ro(roRhythmKick).value, 0) << "a toggle shows 0 while its option is on";
    EXPECT_EQ(ro(roPitchWithAmplitude).value, 1);
    EXPECT_EQ(ro(roPitchSensitivity).caption, "50");
    EXPECT_EQ(ro(roBeatAccuracy).caption, "12");
    EXPECT_EQ(ro(roCountOff).caption, "NoCountOff");
    EXPECT_EQ(ro(roSongPartVoice).caption, "mute");
    EXPECT_EQ(ro(roBeatClicks).caption, "noClicks");
    EXPECT_EQ(ro(roTextDisplay).caption, "Lyrics");
}

TEST_F(ReplayOptionsTest, LessonsOutsideOneTo556Stop)
{
    for (int32_t lesson : {0, 557}) {
        currentLesson = lesson;
        EXPECT_EXIT(setUpReplayOptions(), ::testing::ExitedWithCode(9001 % 250), "stopNumber=9001") << lesson;
    }
}

TEST(ReplayOptionFields, ChecksOfBothFields)
{
    struct Case {
        bool pitch;
        const char *typed;
        const char *text;
        int32_t value;
        const char *message;
    };
    const char *pitchReset = "-- !!! Pitch Sensitivity reset to default !!!! --";
    const char *beatReset = "-- !!! BeatAccuracy reset to default !!!! --";
    const Case cases[] = {
        {true, "", "10", 10, "pitch sensitivity changed to 10"},
        {true, "0", "50", 50, pitchReset},
        {true, "1", "1", 1, "pitch sensitivity changed to 1"},
        {true, "500", "500", 500, "pitch sensitivity changed to 500"},
        {true, "501", "50", 50, pitchReset},
        {true, "+35", "+35", 35, "pitch sensitivity changed to 35"},
        {true, "+", "50", 50, pitchReset},
        {true, "99999999999999", "50", 50, pitchReset},
        {false, "", "12", 12, "BeatAccuracy changed to 12"},
        {false, "0", "0", 0, "BeatAccuracy changed to 0"},
        {false, "20", "20", 20, "BeatAccuracy changed to 20"},
        {false, "21", "12", 12, beatReset},
        {false, "+20", "+20", 20, "BeatAccuracy changed to 20"},
    };
    for (const Case &c : cases) {
        const FieldCheck r = c.pitch ? checkPitchSensitivity(c.typed) : checkBeatAccuracy(c.typed);
        EXPECT_EQ(r.text, c.text) << c.typed;
        EXPECT_EQ(r.value, c.value) << c.typed;
        EXPECT_EQ(r.message, c.message) << c.typed;
    }
}

TEST_F(ReplayOptionsTest, TypingIntoTheFields)
{
    enterShown();
    // Pitch sensitivity: "-" cannot be typed; Return stores the value and moves the focus to Replay.
    options.click(ro(roPitchSensitivity));
    options.frame(2);
    ASSERT_TRUE(textEditActive);
    EXPECT_EQ(promptLine, "Enter the new pitch sensitivity");
    options.type(std::string(4, char(8)) + "-4x2\r");
    options.frame(2);
    EXPECT_FALSE(textEditActive);
    EXPECT_EQ(ro(roPitchSensitivity).caption, "42");
    EXPECT_EQ(pitchSensitivity, 42);
    EXPECT_EQ(pitchBandCents, 42.0);
    EXPECT_EQ(alertLines[1], "pitch sensitivity changed to 42");
    EXPECT_EQ(keyboardFocus, &ro(roReplay));

    // Beat accuracy emptied becomes 12.
    options.click(ro(roBeatAccuracy));
    options.frame(2);
    options.type(std::string(4, char(8)) + "\r");
    options.frame(2);
    EXPECT_EQ(ro(roBeatAccuracy).caption, "12");
    EXPECT_EQ(beatAccuracy, 12);
    EXPECT_EQ(alertLines[1], "BeatAccuracy changed to 12");

    // While the replay holds notes until they are hit, the sensitivity stays.
    waitTilHit = 1;
    options.click(ro(roPitchSensitivity));
    options.frame(2);
    options.type("9\r");
    options.frame(2);
    EXPECT_EQ(ro(roPitchSensitivity).caption, "42");
    EXPECT_EQ(pitchSensitivity, 42);
    EXPECT_EQ(alertLines[1], "Wait til Hit disables pitch sensitivity changes in replay");
}

TEST_F(ReplayOptionsTest, PopupsAndToggles)
{
    enterShown();
    options.press(ro(roCountOff));
    options.frame();
    ASSERT_TRUE(popupOpen);
    EXPECT_EQ(popupItemCount, 5);
    EXPECT_EQ(promptLine, "Choose the Count-Off type");
    options.click(popupEntries[2]);
    options.frame();
    EXPECT_FALSE(popupOpen);
    EXPECT_EQ(countOffMode, 2);
    EXPECT_EQ(ro(roCountOff).caption, "withFirstNote");
    EXPECT_EQ(promptLine, "");

    options.press(ro(roSongPartVoice));
    options.release(ro(roSongPartVoice));
    options.frame();
    ASSERT_TRUE(popupOpen);
    EXPECT_EQ(popupItemCount, 4) << "\"female\" is not offered";
    options.click(popupEntries[3]);
    options.frame();
    EXPECT_EQ(songPartVoice, 3);
    EXPECT_EQ(ro(roSongPartVoice).caption, "sinus");

    options.click(ro(roTeacher));
    options.frame();
    EXPECT_EQ(showTeacher, 0);
    EXPECT_EQ(ro(roTeacher).value, 1);
    options.click(ro(roGuitarChords));
    options.frame();
    EXPECT_EQ(playGuitarChords, 1);
    options.click(ro(roPitchWithAmplitude));
    options.frame();
    EXPECT_EQ(showPitchWithAmplitude, 1);
    EXPECT_EQ(showPitchProgression, 1) << "only the clicked flag changes";
}

TEST_F(ReplayOptionsTest, RoadFromTheScoreOverviewThroughTheReplayAndBack)
{
    // A lesson sung as a melody, its tune recorded (SetUp): Replay is offered.
    createStore();
    currentUserKey = 1;
    currentUserSlot = 0;
    exerciseType = 4;
    scoreOverviewScreenHandlers.create();
    currentScreen = scoreOverviewScreenId;
    const ScreenDriver overview{scoreOverviewScreenHandlers};
    overview.frame(); // the first display
    ASSERT_TRUE(scoreOverviewState.replayShown);
    overview.click(scoreOverviewState.replayButton);
    scoreOverviewScreenHandlers.handleAction();
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
    EXPECT_EQ(scoreOverviewState.phase, 0);
    EXPECT_EQ(replayOptions.firstShow, 1);

    recordingBuffer[3000] = 0;
    options.frame(); // first show: the recording is read, straight on to the replay
    EXPECT_EQ(currentScreen, replayScreenId);
    EXPECT_EQ(recordingBuffer[3000], 3000 % 300 - 150);
    EXPECT_EQ(replayBlockCount, 2);
    playReplayToItsEnd();
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
    options.frame();
    EXPECT_EQ(replayOptions.phase, 1);
    EXPECT_EQ(keyboardFocus, &ro(roChangeLesson));

    // The Replay button goes to the replay again, Return on ChangeLesson to the lesson menu.
    options.click(ro(roReplay));
    options.frame();
    EXPECT_EQ(currentScreen, replayScreenId);
    playReplayToItsEnd();
    options.frame();
    options.type("\r");
    options.frame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_EQ(currentLesson, 0);

    // Return on the overview's focused Replay button takes the same road.
    currentLesson = 5;
    scoreOverviewState.phase = 1;
    setKeyboardFocus(&scoreOverviewState.replayButton);
    scoreOverviewScreenHandlers.keyboard(13, 0, 0);
    scoreOverviewScreenHandlers.handleAction();
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
}

TEST_F(ReplayOptionsTest, FirstShowStaysWithAlwaysShowOptionsOrWithoutARecording)
{
    setAlwaysShowOptions(true);
    replayOptions.firstShow = 1;
    currentScreen = replayOptionsScreenId;
    options.frame();
    EXPECT_EQ(currentScreen, replayOptionsScreenId);
    EXPECT_EQ(replayOptions.phase, 1);
    EXPECT_EQ(keyboardFocus, &ro(roReplay));

    setAlwaysShowOptions(false);
    replayOptions.phase = 0;
    replayOptions.firstShow = 1;
    ASSERT_EQ(::unlink(path("soundout.raw").c_str()), 0);
    options.frame();
    EXPECT_EQ(currentScreen, replayOptionsScreenId) << "no replay without its recording";
    EXPECT_EQ(replayOptions.phase, 1);
    EXPECT_EQ(alertLines[0], "The recording of the exercise cannot be read:");
}

TEST_F(ReplayOptionsTest, ExportThroughTheSaveDialog)
{
    enterShown();
    const std::string file = dir + "/take.wav";
    auto exportNow = [&] {
        options.click(ro(roExport));
        options.frame();
    };

    chooserAnswer = ""; // cancelled
    exportNow();
    EXPECT_EQ(chooserCalls, 1);
    EXPECT_EQ(alertLines[0], "");
    struct stat st;
    EXPECT_NE(::stat(file.c_str(), &st), 0);

    chooserAnswer = file;
    exportNow();
    EXPECT_EQ(alertLines[0], "File exported successfully to " + file);
    EXPECT_EQ(messagePanelLayout(11, "").icon, informationIcon); // a success, not a warning
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 44 + 2 * 6144);

    // An existing file: any other key keeps it, "y" overwrites it.
    { std::ofstream(file) << "keep me"; }
    options.type("\r"); // dismiss the success alert
    exportNow();
    EXPECT_EQ(alertLines[0], "The file " + file + " exists already.");
    options.type("n");
    options.frame();
    EXPECT_EQ(alertLines[0], "");
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 7);
    exportNow();
    options.type("y");
    options.frame();
    EXPECT_EQ(alertLines[0], "File exported successfully to " + file);
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 44 + 2 * 6144);

    // A folder that cannot be written: an alert, and the program goes on.
    options.type("\r");
    chooserAnswer = dir + "/no-such-folder/take.wav";
    exportNow();
    EXPECT_EQ(alertLines[0], "The recording could not be exported to " + chooserAnswer);

    // Nothing recorded: no dialog, the alert says so.
    options.type("\r");
    recordedSampleCount = 0;
    const int calls = chooserCalls;
    exportNow();
    EXPECT_EQ(chooserCalls, calls);
    EXPECT_EQ(alertLines[0], "There is no recording to export");
}

TEST_F(ReplayOptionsTest, RepeatLessonGoesToTheLessonLoader)
{
    enterShown();
    options.click(ro(roRepeatLesson));
    options.frame();
    EXPECT_EQ(currentScreen, lessonLoaderScreenId);
    EXPECT_EQ(replayOptions.phase, 0);
    EXPECT_EQ(currentLesson, 5);
}
