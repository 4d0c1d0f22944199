// The whole lesson with the recording facade and a controlled clock: the
// loading schedule, the clip schedule, the topic transitions and the
// resources left when the lesson ends; navigation in every topic.
#include "intro_fakes.h"

#include "frame/controls.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "frame/timer.h"
#include "lessons/picture_sets.h"
#include "intro/intro_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

class IntroRun : public ::testing::Test {
protected:
    IntroWorld w;
    void SetUp() override { installIntroFakes(w); }
    void TearDown() override { removeIntroFakes(); }

    std::vector<SoundEvent> plays() const
    {
        std::vector<SoundEvent> out;
        for (const SoundEvent &e : w.sounds)
            if (e.what == "play") out.push_back(e);
        return out;
    }
    void loadAndWait()
    {
        ASSERT_TRUE(runIntroUntil([] { return introLesson.progress == 2; }, 200));
    }
    // Mouse press and release over a navigation button.
    void click(const ControlRecord &c)
    {
        const int x = (c.left + c.right) / 2, y = windowHeight - (c.bottom + c.top) / 2;
        introLessonScreenHandlers.mouse(0, 0, x, y);
        introLessonScreenHandlers.mouse(0, 1, x, y);
    }
};

TEST_F(IntroRun, LoadingTakes81FramesThenTheWaitEndsOnASettledTimer)
{
    nextTimerDelay = 5; // the timer is still catching up
    ASSERT_TRUE(runIntroUntil([] { return introLesson.progress == 1; }, 200));
    EXPECT_EQ(w.draw.frames, 81);
    EXPECT_EQ(w.clipsLoaded, 212);
    EXPECT_EQ(w.openPacks, 0);
    // Images1, Images14, Images0 but for its 16 pictures never drawn (1, 33..47),
    // which are passed over unread.
    EXPECT_EQ(w.liveTextures, 46 + 3 + 48 - 16);
    EXPECT_EQ(w.picturesSkipped, 16);
    EXPECT_EQ(freeClockStart, 0);
    EXPECT_EQ(keyboardFocus, &introLesson.nextPage);
    ASSERT_GE(w.sounds.size(), 2u);
    EXPECT_EQ(w.sounds.front().what, "music");
    EXPECT_EQ(w.sounds.front().step, 0);
    // The wait draws nothing and waits for a delay of 20 ms.
    introFrame();
    introFrame();
    EXPECT_EQ(introLesson.progress, 1);
    EXPECT_EQ(w.draw.frames, 81);
    nextTimerDelay = 20;
    introFrame();
    EXPECT_EQ(introLesson.progress, 2);
    EXPECT_EQ(introLesson.step, 0);
    // The first Welcome frame shows step 0 (the page frame only) and moves on to 1.
    introFrame();
    EXPECT_EQ(introLesson.step, 1);
    EXPECT_TRUE(w.draw.matching("picture").empty());
    EXPECT_EQ(w.draw.matching("text 20 702 Welcome").size(), 1u);
}

TEST_F(IntroRun, AllStepsRunWithTheClipScheduleTopicsAndResources)
{
    std::vector<int32_t> progressSeen;
    std::map<int32_t, int32_t> framesAtStep; // page frames by step
    for (int i = 0; i < 40000 && currentScreen == introLessonScreenId; ++i) {
        if (progressSeen.empty() || progressSeen.back() != introLesson.progress)
            progressSeen.push_back(introLesson.progress);
        const bool page = introLesson.progress >= 2;
        const int32_t step = introLesson.step;
        const int before = w.draw.frames;
        introFrame();
        if (page && w.draw.frames > before) ++framesAtStep[step];
    }
    ASSERT_EQ(currentScreen, lessonMenuScreenId);
    progressSeen.push_back(introLesson.progress);
    EXPECT_EQ(progressSeen, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}));
    EXPECT_EQ(introLesson.step, 0);
    EXPECT_EQ(introLesson.stepJustSet, 0);

    // Every page row's first step and the closing frame are shown once.
    for (const IntroPageRow &r : introPageRows) {
        if (r.topic == 5 && r.first > 8355 + 259) continue; // after the exercise's end
        EXPECT_EQ(framesAtStep[r.first], 1) << "row " << r.first;
    }
    EXPECT_EQ(framesAtStep[introLastStep], 1);
    EXPECT_EQ(framesAtStep[introLastStep + 1], 0);

    // The voice clips in order, each at its row's first step (the click and
    // the sung clips aside).
    std::vector<int32_t> voice;
    for (const SoundEvent &e : plays()) {
        if (e.value == 2) continue;
        voice.push_back(e.value);
        const IntroPageRow *r = introRowAt(e.progress - 1, e.step);
        ASSERT_NE(r, nullptr) << "clip " << e.value;
        EXPECT_EQ(r->first, e.step) << "clip " << e.value;
        EXPECT_EQ(r->clip, e.value);
    }
    std::vector<int32_t> expected;
    for (const IntroPageRow &r : introPageRows)
        if (r.clip > 2 && !r.clipOnEvent) expected.push_back(r.clip);
    EXPECT_EQ(voice, expected);
    EXPECT_EQ(voice.size(), 202u + 4u);
    // 23 clicks at their listed steps.
    std::vector<int32_t> clickSteps;
    for (const SoundEvent &e : plays())
        if (e.value == 2) clickSteps.push_back(e.step);
    EXPECT_EQ(clickSteps.size(), 23u);
    EXPECT_TRUE(std::is_sorted(clickSteps.begin(), clickSteps.end()));
    EXPECT_EQ(clickSteps.front(), 6584);
    EXPECT_EQ(clickSteps.back(), 8301);
    // The flute reference note of topic 7 from the sound bank.
    int banks = 0;
    for (const SoundEvent &e : w.sounds)
        if (e.what == "bank") {
            ++banks;
            EXPECT_EQ(e.step, 9477);
        }
    EXPECT_EQ(banks, 1);

    // Leaving frees every picture set, the shared ones too; no pack left
    // open, no clip buffer.
    EXPECT_EQ(w.liveTextures, 0);
    EXPECT_EQ(w.openPacks, 0);
    EXPECT_EQ(w.liveClipBuffers, 0);
    EXPECT_FALSE(images50Loaded || images25Loaded || images49Loaded || images1Loaded || images14Loaded);
    EXPECT_FALSE(images51Loaded || images44Loaded);
    EXPECT_EQ(images51PicturesLoaded + images44PicturesLoaded, 0);
    EXPECT_EQ(keyboardFocus, nullptr);
}

TEST_F(IntroRun, NextPageInEveryTopicShowsTheNextTopicsStartAndLeavesAfterTopicNine)
{
    loadAndWait();
    for (int32_t topic = 1; topic <= 9; ++topic) {
        for (int i = 0; i < 40; ++i) introFrame(); // into the page
        ASSERT_EQ(introLesson.progress, topic + 1);
        // Of Images44 only the verdict pictures are drawn, and only they are held.
        if (topic >= 6) {
            EXPECT_EQ(images44PicturesLoaded, 3);
        }
        click(introLesson.nextPage);
        introFrame(); // the action frame draws nothing and does not advance
        if (topic == 9) break;
        EXPECT_EQ(introLesson.progress, topic + 2);
        EXPECT_EQ(introLesson.step, introTopicStartSteps[topic + 1]);
        introFrame();
        EXPECT_EQ(introLesson.step, introTopicStartSteps[topic + 1]); // the jump holds for one frame
        introFrame();
        EXPECT_EQ(introLesson.step, introTopicStartSteps[topic + 1] + 1);
    }
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_EQ(introLesson.progress, 0);
    EXPECT_EQ(w.liveClipBuffers, 0);
    EXPECT_EQ(w.liveTextures, 0);
}

// Each topic moves on from the step its page names: topic 3 at 6180, after
// four frames of its last range (6177..6180), the others at their last
// range's first step; topic 5 through its exercise's end (event 8).
TEST_F(IntroRun, EachTopicMovesOnAtItsTerminatorStep)
{
    loadAndWait();
    const int32_t lastStepShown[10] = {0, 1327, 3848, 6180, 8342, 8614, 9168, 14068, 17578, 21389};
    for (int32_t topic = 1; topic <= 9; ++topic) {
        SCOPED_TRACE("topic " + std::to_string(topic));
        introLesson.topic = topic;
        goToIntroTopic(1);
        int32_t last = -1;
        for (int i = 0; i < 25000 && introLesson.progress == topic + 1 && currentScreen == introLessonScreenId; ++i) {
            last = introLesson.step;
            introFrame();
        }
        EXPECT_EQ(last, lastStepShown[topic]);
        if (topic < 9) {
            EXPECT_EQ(introLesson.progress, topic + 2);
        }
    }
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
}

TEST_F(IntroRun, PreviousPageGoesBackAndRestartsTheWelcomePage)
{
    loadAndWait();
    ASSERT_TRUE(runIntroUntil([] { return introLesson.step == 100; }));
    click(introLesson.previousPage);
    introFrame();
    EXPECT_EQ(introLesson.progress, 2);
    EXPECT_EQ(introLesson.step, 1);
    ASSERT_TRUE(runIntroUntil([] { return introLesson.step == 67; }, 100));
    EXPECT_EQ(plays().back().value, 4);
    EXPECT_EQ(plays().back().step, 66);
    // Every later topic goes back to the start of the one before.
    for (int i = 0; i < 8; ++i) {
        click(introLesson.nextPage);
        introFrame();
    }
    ASSERT_EQ(introLesson.progress, 10);
    for (int32_t topic = 9; topic >= 2; --topic) {
        for (int i = 0; i < 5; ++i) introFrame();
        click(introLesson.previousPage);
        introFrame();
        EXPECT_EQ(introLesson.progress, topic);
        EXPECT_EQ(introLesson.step, introTopicStartSteps[topic - 1]);
    }
}

TEST_F(IntroRun, TheTeacherGlidesWalksAndPicks)
{
    struct Case {
        int32_t topic, step, x, y;
    } cases[] = {
        {1, 154, 150, 390}, {1, 164, 150 + 319, 390 - 151}, {1, 173, 150 + 606, 390 - 287}, // round(19/20 x 638) = 606
        {1, 277, 758, 88},  {1, 280, 738, 159},
        {4, 6563, 800, 168}, {4, 6577, 856, 112},
        {4, 6748, 1080, 108}, {4, 6750, 940, 138},
        {4, 6941, 90, 338}, {4, 6960, 180, 338}, {4, 7010, 540, 338}, {4, 7011, 1020, 278},
        {4, 7275, 920, 108}, {4, 7290, 264, 108},
        {4, 8305, 1030, 108}, {4, 8320, 880, 138}, {4, 8321, 870, 140},
    };
    for (const Case &c : cases) {
        const IntroPageRow *row = introRowAt(c.topic, c.step);
        ASSERT_NE(row, nullptr) << c.step;
        ASSERT_TRUE(row->teacherMoves) << c.step;
        int32_t x = 0, y = 0;
        teacherPositionOfRow(*row, c.step, x, y);
        EXPECT_EQ(x, c.x) << c.step;
        EXPECT_EQ(y, c.y) << c.step;
    }
}

TEST_F(IntroRun, HoldingReturnRunsThroughAllTopicsAndLeaves)
{
    loadAndWait();
    std::vector<int32_t> topics;
    for (int i = 0; i < 200 && currentScreen == introLessonScreenId; ++i) {
        introLessonScreenHandlers.keyboard(13, 0, 0); // key repeat: one Return per frame
        introFrame();
        if (topics.empty() || topics.back() != introLesson.progress) topics.push_back(introLesson.progress);
    }
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_EQ(topics, (std::vector<int32_t>{3, 4, 5, 6, 7, 8, 9, 10, 0}));
    EXPECT_EQ(w.liveClipBuffers, 0);
    EXPECT_EQ(w.openPacks, 0);
    // No topic page was drawn, so none of the shared sets was loaded.
    EXPECT_EQ(w.liveTextures, 0);
    EXPECT_FALSE(images51Loaded || images44Loaded);
}

TEST_F(IntroRun, QuitDuringLoadingClosesThePackAndASecondVisitLoadsAgain)
{
    ASSERT_TRUE(runIntroUntil([] { return introLesson.step == 30; }, 100));
    ASSERT_EQ(w.openPacks, 1); // Images0 is being read
    EXPECT_FALSE(w.replayPicturesHeld);
    click(introLesson.quit);
    introFrame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_EQ(w.openPacks, 0);
    EXPECT_TRUE(w.replayPicturesHeld);
    EXPECT_EQ(w.liveTextures, 0);
    EXPECT_EQ(introLesson.progress, 0);
    EXPECT_EQ(introLesson.step, 0);
    // Return during loading does nothing; the next visit loads everything again.
    currentScreen = introLessonScreenId;
    ASSERT_TRUE(runIntroUntil([] { return introLesson.progress == 2; }, 200));
    EXPECT_EQ(w.liveTextures, 46 + 3 + 48 - 16);
    EXPECT_EQ(w.liveClipBuffers, 214);
}

TEST_F(IntroRun, QuitOnAPageFreesEverySetAndTheNextVisitLoadsThemAgain)
{
    loadAndWait();
    click(introLesson.nextPage);
    introFrame();
    ASSERT_TRUE(runIntroUntil([] { return introLesson.step == 1600; }));
    EXPECT_NE(diagramTextures[5], 0u) << "drawn from step 1586";
    EXPECT_EQ(images51PicturesLoaded, 1) << "the topic's other diagrams come later";
    EXPECT_FALSE(images25Loaded || images49Loaded) << "never drawn: the packs are only checked";
    EXPECT_FALSE(w.replayPicturesHeld) << "the replay's pictures are freed for the visit";
    click(introLesson.quit);
    introFrame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_TRUE(w.replayPicturesHeld) << "read again for the screens after";
    EXPECT_EQ(w.liveClipBuffers, 0);
    EXPECT_EQ(w.liveTextures, 0) << "the lesson menu holds no picture of the introduction";
    w.packsOpened.clear();
    currentScreen = introLessonScreenId;
    loadAndWait();
    click(introLesson.nextPage);
    introFrame();
    ASSERT_TRUE(runIntroUntil([] { return introLesson.step == 1600; }));
    // The entry checks Images25, Images51, Images50 and Images49; the first
    // diagram is read when the page comes near it.
    EXPECT_EQ(w.packsOpened, (std::vector<std::string>{"Images1", "Images14", "Images0", "Images25", "Images51",
                                                       "Images50", "Images49", "Images51"}));
    EXPECT_NE(diagramTextures[5], 0u);
}

TEST_F(IntroRun, AnActionQueuedBeforeTheFirstLoadingStepDoesNotStallLoading)
{
    introLesson.pendingAction = introNextPageAction;
    introFrame();
    EXPECT_EQ(introLesson.step, 1);
    EXPECT_EQ(introLesson.pendingAction, 0);
    // From step 1 on an action is handled in its own frame, which does not advance.
    click(introLesson.nextPage);
    introFrame();
    EXPECT_EQ(introLesson.step, 1);
    EXPECT_EQ(introLesson.progress, 0);
    introFrame();
    EXPECT_EQ(introLesson.step, 2);
}

TEST_F(IntroRun, ClicksWhileWaitingForTheTimerDoNothing)
{
    nextTimerDelay = 5;
    ASSERT_TRUE(runIntroUntil([] { return introLesson.progress == 1; }, 200));
    click(introLesson.nextPage);
    EXPECT_EQ(introLesson.pendingAction, 0);
    EXPECT_EQ(introLesson.deferredAction, 0);
}

TEST_F(IntroRun, FastPagingPastTopicTwosLoadingStillLoadsTheDiagrams)
{
    loadAndWait();
    click(introLesson.nextPage);
    introFrame(); // topic 2 at 1337, its check of Images51 at 1338 never shown
    click(introLesson.nextPage);
    introFrame();
    EXPECT_EQ(introLesson.progress, 4);
    w.packsOpened.clear();
    introFrame(); // topic 3's first step checks the pack
    EXPECT_EQ(w.packsOpened, std::vector<std::string>{"Images51"});
    ASSERT_TRUE(runIntroUntil([] { return introLesson.step == 4498; }));
    introFrame(); // the first frame that draws them
    EXPECT_NE(diagramTextures[31], 0u);
    EXPECT_NE(diagramTextures[32], 0u);
}

TEST(IntroRunDeathTest, AnUnknownStateEndsTheProgram)
{
    IntroWorld w;
    installIntroFakes(w);
    introLesson.progress = 12;
    EXPECT_EXIT(introFrame(), testing::ExitedWithCode(7042 % 250), "stopNumber=7042 ");
    introLesson.progress = -1;
    EXPECT_EXIT(introFrame(), testing::ExitedWithCode(7042 % 250), "stopNumber=7042 ");
    introLesson.topic = 11;
    EXPECT_EXIT(goToIntroTopic(1), testing::ExitedWithCode(7005 % 250), "stopNumber=7005 ");
    removeIntroFakes();
}

} // namespace
