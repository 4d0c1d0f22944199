// The loading screen's schedule with recording fakes: what each step calls,
// the order of the last step, the Exit button, and the screen after loading.
#include "app/loading_screen.h"

#include "frame/message_panel.h"
#include "base/shared.h"
#include "base/stops.h"
#include "frame/timer.h"
#include "store/users_file.h"

#include "common/temp_folder.h"
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;
bool firstUse = true;

void record(const std::string &what) { calls.push_back(what); }
void fakeFrames() { record("Images8"); }
void fakeIcons(int32_t s) { record("Images9:" + std::to_string(s)); }
bool fakeNeedsFirstUse()
{
    record("firstUse?");
    return firstUse;
}
void fakeLoadUsers() { record("loadUsers"); }
void fakeLoadScores() { record("loadScores"); }
void fakeStartTune() { record("startTune"); }
void fakeStopTune() { record("stopTune"); }
void fake6A(int32_t s) { record("6A:" + std::to_string(s)); }
void fake6B(int32_t s) { record("6B:" + std::to_string(s)); }
void fake7(int32_t s) { record("7:" + std::to_string(s)); }
void fakeSounds(int32_t s) { record("sounds:" + std::to_string(s)); }
void fakeClearHead() { record("clearHead"); }
void fakeCreate(int32_t id) { record("create:" + std::to_string(id)); }

class LoadingScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        firstUse = true;
        currentScreen = loadingScreenId;
        windowHeight = 765;
        resetMessageState();
        setLoadingHooks({false, fakeFrames, fakeIcons, fakeNeedsFirstUse, fakeLoadUsers,
                         fakeLoadScores, fakeStartTune, fakeStopTune, fake6A, fake6B, fake7,
                         fakeSounds, fakeClearHead, fakeCreate});
        loadingScreenHandlers.create();
    }
    void TearDown() override { setLoadingHooks(realLoadingHooks()); }

    // Runs frames until the step of the next frame is `step`.
    void runUntilStep(int32_t step)
    {
        for (int guard = 0; guard < 400 && !(loadingState.phase == 1 && loadingState.step == step); ++guard)
            loadingScreenHandlers.display();
    }
    // Calls recorded from the frame of one step.
    std::vector<std::string> callsOfStep(int32_t step)
    {
        runUntilStep(step);
        calls.clear();
        loadingScreenHandlers.display();
        return calls;
    }
};

TEST_F(LoadingScreen, FirstFrameLoadsLogoAndIconsAndDecidesTheNextScreen)
{
    loadingScreenHandlers.display();
    std::vector<std::string> expected = {"Images8"};
    for (int s = 304; s <= 319; ++s) expected.push_back("Images9:" + std::to_string(s));
    expected.push_back("firstUse?");
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(loadingState.phase, 1);
    EXPECT_EQ(loadingState.step, 0);
    EXPECT_EQ(loadingState.nextScreen, 2);

    // A users file in use: its records and the scores are read, then user management.
    SetUp();
    firstUse = false;
    loadingScreenHandlers.display();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"firstUse?", "loadUsers", "loadScores"}));
    EXPECT_EQ(loadingState.nextScreen, 3);
}

TEST_F(LoadingScreen, EachStepCallsItsWork)
{
    using V = std::vector<std::string>;
    struct Case {
        int32_t step;
        V calls;
    };
    const Case cases[] = {
        {0, {}},
        {1, {"startTune"}},
        {2, {"create:2"}},
        {3, {}},
        {4, {"6A:4"}},
        {85, {"6A:85"}},
        {86, {}},
        {87, {"6B:87"}},
        {185, {"6B:185"}},
        {186, {}},
        {187, {"7:187"}},
        {302, {"7:302"}},
        {303, {}},
        {319, {}},
        {320, {"sounds:320"}},
        {357, {"sounds:357"}},
        {358, {}},
        {359, {"stopTune", "clearHead", "create:3", "create:4", "create:14", "create:15",
               "create:16", "create:8", "create:17", "create:18", "create:576", "create:578",
               "create:573", "create:575", "create:574"}},
    };
    for (const Case &c : cases) EXPECT_EQ(callsOfStep(c.step), c.calls) << "step " << c.step;

    // After the last step: phase 2, and the next frame switches the screen.
    EXPECT_EQ(loadingState.phase, 2);
    EXPECT_EQ(currentScreen, loadingScreenId);
    loadingScreenHandlers.display();
    EXPECT_EQ(currentScreen, setupScreenId);
}

// The hand-over through the timer with a fake clock: the loading's ticks come
// at once, and so does the tick that draws the next screen's first frame (the
// free grid still counting the loading's 360 ticks used to hold it back by two
// ticks clamped to 464 ms each).
int32_t handOverNow;
int32_t handOverClock() { return handOverNow; }
int32_t noCapturedSamples() { return 0; }
bool nextScreenDrawn;
void drawLoadingOrNext()
{
    handOverNow += 3; // every frame takes a little time
    if (currentScreen == loadingScreenId)
        loadingScreenHandlers.display();
    else
        nextScreenDrawn = true;
}
bool windowThere() { return true; }

TEST_F(LoadingScreen, NextScreensFirstFrameComesAtOnce)
{
    const TimerHooks timerHooks = {handOverClock, noCapturedSamples, drawLoadingOrNext, windowThere};
    handOverNow = 1200; // the program has run for a while before loading
    freeClockStart = freeTickCount = 0;
    lastTickEnd = handOverNow;
    nextScreenDrawn = false;
    int32_t waited = 0; // ms of timer delays from the first loading tick on
    int32_t delayAfterFirstFrame = -1;
    for (int guard = 0; guard < 400 && !nextScreenDrawn; ++guard) {
        const int32_t delay = runTimerTick(timerHooks);
        ASSERT_GE(delay, 0);
        if (nextScreenDrawn) {
            delayAfterFirstFrame = delay;
        } else {
            EXPECT_EQ(delay, 0) << "step " << loadingState.step << " phase " << loadingState.phase;
            waited += delay;
            handOverNow += delay;
        }
    }
    EXPECT_TRUE(nextScreenDrawn);
    EXPECT_EQ(currentScreen, setupScreenId);
    EXPECT_EQ(waited, 0);
    // The grid counts from the hand-over: the next screen's second frame
    // follows one grid step later.
    EXPECT_GT(delayAfterFirstFrame, 0);
    EXPECT_LE(delayAfterFirstFrame, 47);
}

TEST_F(LoadingScreen, EveryPictureAndSoundStepRunsExactlyOnce)
{
    runUntilStep(0);
    calls.clear();
    for (int i = 0; i < loadingStepCount; ++i) loadingScreenHandlers.display();
    int images6 = 0, images7 = 0, sounds = 0;
    for (const std::string &c : calls) {
        images6 += c.rfind("6A:", 0) == 0 || c.rfind("6B:", 0) == 0;
        images7 += c.rfind("7:", 0) == 0;
        sounds += c.rfind("sounds:", 0) == 0;
    }
    EXPECT_EQ(images6, (85 - 4 + 1) + (185 - 87 + 1));
    EXPECT_EQ(images7, 302 - 187 + 1);
    EXPECT_EQ(sounds, 357 - 320 + 1);
}

TEST_F(LoadingScreen, LinesAndProgressBar)
{
    const int32_t lines[][2] = {{0, 0},   {1, 1},   {85, 1},  {86, 2},  {185, 2}, {186, 3},
                                {302, 3}, {303, 4}, {318, 4}, {319, 5}, {357, 5}, {358, 6},
                                {359, 6}};
    for (const auto &l : lines) EXPECT_EQ(loadingLinesShown(l[0]), l[1]) << "step " << l[0];
    EXPECT_DOUBLE_EQ(progressBarRight(0), 345.0);
    EXPECT_NEAR(progressBarRight(359) - 345.0, 249.3, 0.01);
}

TEST_F(LoadingScreen, ExitAtStep200EndsWithoutLoadingSounds)
{
    runUntilStep(200);
    // The Exit button: 580..643 x 158..176 (y up); GLUT gives y from the top.
    const int x = 600, y = windowHeight - 167;
    loadingScreenHandlers.passiveMotion(x, y);
    EXPECT_EQ(hintLine, "Click to exit program");
    loadingScreenHandlers.mouse(0, 0, x, y);
    loadingScreenHandlers.motion(x, y);
    EXPECT_EQ(hintLine, "Release Button to exit program");
    loadingScreenHandlers.mouse(0, 1, x, y);
    calls.clear();
    loadingScreenHandlers.display(); // runs the action instead of a step
    EXPECT_EQ(currentScreen, quitScreenId);
    EXPECT_EQ(loadingState.step, 200);
    EXPECT_TRUE(calls.empty());
}

TEST_F(LoadingScreen, AnyKeyClearsThePleaseWaitLine)
{
    runUntilStep(2); // step 1 has shown the line
    EXPECT_EQ(alertLines[1], "Please wait while I load pictures and sounds");
    EXPECT_FALSE(alertShown());
    loadingScreenHandlers.keyboard('a', 0, 0);
    EXPECT_EQ(alertLines[1], "");
    loadingScreenHandlers.display();
    EXPECT_EQ(loadingState.step, 3); // loading goes on
}

// The real decision, on users files in a temporary data folder.
TEST(LoadingNextScreen, UsersFileDecidesBetweenSetupAndUserManagement)
{
    namespace fs = std::filesystem;
    const fs::path dir = testTempFolder("load");
    fs::create_directories(dir / "ResourceFiles");
    const std::string saved = userDataDir;
    userDataDir = dir.string() + "/";
    const fs::path users = dir / "ResourceFiles" / "UsersFile";

    fs::remove(users);
    EXPECT_TRUE(usersFileNeedsFirstUse()) << "missing";
    std::ofstream(users).close();
    EXPECT_TRUE(usersFileNeedsFirstUse()) << "empty";
    fs::resize_file(users, 3014560);
    EXPECT_FALSE(usersFileNeedsFirstUse()) << "full size";
    fs::resize_file(users, 10);
    EXPECT_FALSE(usersFileNeedsFirstUse()) << "any non-zero size";
    // Unreadable (here: a folder in its place): a stop, never first use.
    fs::remove(users);
    fs::create_directory(users);
    EXPECT_EXIT(usersFileNeedsFirstUse(), ::testing::ExitedWithCode(stopExitCode(stopUsersFileUnreadable)), "");

    userDataDir = saved;
    fs::remove_all(dir);
}

} // namespace
