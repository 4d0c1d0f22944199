// The lesson information screens 14, 15 and 16: the overview's text by
// lesson, where each screen's button leads, and the sample of screen 16.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/screen_table.h"

#include "common/generated_data.h"
#include "common/screen_driver.h"
#include "lessons/lesson_fixture.h"
#include "lessons/lesson_info_screens.h"
#include "lessons/lesson_info_texts.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "lessons/options_screen.h"
#include "sound/sound_layer.h"

namespace {

TEST(LessonInfoTexts, OverviewTextByLesson)
{
    struct Case { int32_t lesson; size_t lines; std::string first; int32_t lastY; std::string last; };
    const std::vector<Case> cases = {
        {1, 14, "This Lesson gives a short overview about the", 280, "cross over to the long term memory. "},
        {2, 8, "This is the starting lesson. It makes it very easy too get started", 400,
         "Practice and push the challanging point until you become a tuning expert."},
        {3, 1, "Pitch challenge: Perfect Fifth. Timing challenge: 1.5 seconds", 540, ""},
        {16, 1, "Pitch challenge:  7 cents. Timing challenge: 1.5 seconds", 540, ""},
        {17, 7, "Match the pitch lets you do pitch exercises to the cent.", 420,
         "wait 1.5 seconds until you can start the slider."},
        {18, 1, "Pitch challenge: Perfect Octave. Timing challenge: 15 seconds", 540, ""},
        {33, 1, "Pitch challenge: Match to the cent. Timing challenge: 15 seconds", 540, ""},
        {34, 1, "Pitch challenge: Perfect Octave. Timing challenge: 150 seconds", 540, ""},
        {50, 1, "Pitch challenge: Perfect Octave. Timing challenge: 1500 seconds", 540, ""},
        {65, 3, "Pitch challenge: Match to the cent. Timing challenge: 1500 seconds", 500, "Congratulations"},
        {557, 1, "Dummy Lesson. How did you come here?", 540, ""},
        {66, 2, "No Introdutory Informaion available yet", 400, "for this Lesson:" + infoLessonTitle(66)},
        {0, 2, "No Introdutory Informaion available yet", 400, "for this Lesson:NoLessonSelected"},
        {600, 2, "No Introdutory Informaion available yet", 400, "for this Lesson:"},
    };
    for (const Case &c : cases) {
        const std::vector<InfoLine> lines = lessonOverviewLines(c.lesson);
        ASSERT_EQ(lines.size(), c.lines) << c.lesson;
        EXPECT_EQ(lines.front().text, c.first) << c.lesson;
        EXPECT_EQ(lines.back().y, c.lastY) << c.lesson;
        if (!c.last.empty()) {
            EXPECT_EQ(lines.back().text, c.last) << c.lesson;
        }
    }
    EXPECT_EQ(exerciseInfoLines(2)[1].text, "Not possible");
    EXPECT_EQ(exerciseSampleLines(1)[0].text, "Not Possible");
    EXPECT_EQ(exerciseSampleLines(0)[0].text, "No Informaion available yet");
    EXPECT_NEAR(sampleRepeatFrames(1), 434, 1);
    EXPECT_NEAR(sampleRepeatFrames(2), 2584, 1);
    EXPECT_NEAR(sampleRepeatFrames(0), 496, 1);
}

std::vector<std::string> played;
int32_t sampleStops = 0;

struct InfoScreens : ::testing::Test {
    void SetUp() override
    {
        setUpTestUser(3);
        resetToolkitState();
        setNoteSelectionHooks({nullptr, nullptr, nullptr});
        setExerciseSampleHooks({[](const std::string &p) { played.push_back(p); }, [] { ++sampleStops; }});
        played.clear();
        sampleStops = 0;
        for (int32_t id : {lessonOverviewScreenId, exerciseInfoScreenId, exerciseSampleScreenId})
            screenHandlersFor(id)->create();
    }
    void TearDown() override
    {
        setNoteSelectionHooks(realNoteSelectionHooks());
        setExerciseSampleHooks(realExerciseSampleHooks());
    }

    // Enters the screen for the lesson, presses its button and runs the action.
    int32_t leave(int32_t screenId, int32_t lesson, bool change = false)
    {
        const ScreenDriver screen{*screenHandlersFor(screenId)};
        InfoScreenState &st = screenId == lessonOverviewScreenId ? lessonOverviewState
                              : screenId == exerciseInfoScreenId ? exerciseInfoState
                                                                 : exerciseSampleState;
        currentLesson = lesson;
        currentScreen = screenId;
        optionsScreen.state = 5;
        screen.frame(); // the entry frame
        EXPECT_EQ(keyboardFocus, &st.startButton);
        screen.frame();
        screen.click(change ? st.changeButton : st.startButton);
        screen.frame();
        EXPECT_EQ(st.phase, 0);
        return currentScreen;
    }
};

TEST_F(InfoScreens, WhereTheButtonsLead)
{
    struct Case { int32_t screen; int32_t lesson; bool change; int32_t to; bool optionsSetUp; };
    const Case cases[] = {
        {lessonOverviewScreenId, 1, false, introLessonScreenId, false},
        {lessonOverviewScreenId, 2, false, exerciseOptionsScreenId, true},
        {lessonOverviewScreenId, 556, false, exerciseOptionsScreenId, true},
        {lessonOverviewScreenId, 557, false, afterLastLessonScreenId, false},
        {lessonOverviewScreenId, 0, false, lessonMenuScreenId, false}, // no options for lesson 0
        {lessonOverviewScreenId, 1, true, lessonMenuScreenId, false},
        {lessonOverviewScreenId, 40, true, lessonMenuScreenId, true},
        {lessonOverviewScreenId, 0, true, lessonMenuScreenId, false},
        {exerciseInfoScreenId, 1, false, introLessonScreenId, false},
        {exerciseInfoScreenId, 2, false, 17, false},
        {exerciseInfoScreenId, 557, false, 572, false},
        {exerciseInfoScreenId, 900, false, lessonMenuScreenId, false},
        {exerciseSampleScreenId, 1, false, introLessonScreenId, false},
        {exerciseSampleScreenId, 2, false, lessonOneScreenId, false},
        {exerciseSampleScreenId, 30, false, exerciseOptionsScreenId, true},
        {exerciseSampleScreenId, -3, false, lessonMenuScreenId, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(leave(c.screen, c.lesson, c.change), c.to) << c.screen << " lesson " << c.lesson;
        EXPECT_EQ(optionsScreen.state, c.optionsSetUp ? 0 : 5) << c.screen << " lesson " << c.lesson;
    }
}

TEST_F(InfoScreens, TheSamplePlaysOnTheFirstRunningFrameAgainAfterItsPeriodAndStopsOnClose)
{
    const ScreenDriver screen{exerciseSampleScreenHandlers};
    currentLesson = 30;
    resourceDir = "/data/";
    currentScreen = exerciseSampleScreenId;
    screen.frame();
    EXPECT_TRUE(played.empty()) << "the entry frame plays nothing";
    screen.frame();
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0], "/data/" + infoLessonTitle(30) + "/SampleSound.ogg");
    screen.frame(2583);
    EXPECT_EQ(played.size(), 1u);
    screen.frame();
    EXPECT_EQ(played.size(), 2u);
    screen.click(exerciseSampleState.startButton);
    screen.frame();
    EXPECT_EQ(sampleStops, 1);
}

TEST(CheckClips, GeneratedClipsDecode)
{
    const std::string data = generatedData();
    std::vector<uint8_t> area(4000000);
    int32_t size = 0, rate = 0;
    ALenum format = 0;
    decodeOggFile((data + "sounds/" + checkClipFiles[clipTryAgain]).c_str(), area.data(),
                  static_cast<int32_t>(area.size()), size, rate, format);
    EXPECT_EQ(format, AL_FORMAT_MONO16);
    EXPECT_GT(size, 44100 / 4 * 2); // at least a quarter second
    for (int32_t clip : {clipGood, clipTarnova, clipPlease}) {
        FILE *f = std::fopen((data + "sounds/" + checkClipFiles[clip]).c_str(), "rb");
        ASSERT_NE(f, nullptr) << checkClipFiles[clip];
        const size_t n = std::fread(area.data(), 1, area.size(), f);
        std::fclose(f);
        WavLayout layout{};
        EXPECT_EQ(parseWavImage(area.data(), n, layout), 0) << checkClipFiles[clip];
    }
}

} // namespace
