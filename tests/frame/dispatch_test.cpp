// Callback dispatch against a table of fake screens.
#include "frame/dispatch.h"
#include "base/shared.h"
#include "base/stops.h"

#include "common/temp_folder.h"
#include <gtest/gtest.h>

#include "app/screen_table.h"
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string calls;

void add(const char *what, int a = 0, int b = 0, int c = 0, int d = 0)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s(%d,%d,%d,%d) ", what, a, b, c, d);
    calls += buf;
}

void display() { add("display", currentScreen); }
void keyboard(unsigned char k, int x, int y) { add("key", k, x, y); }
void special(int k, int x, int y) { add("special", k, x, y); }
void mouse(int b, int s, int x, int y) { add("mouse", b, s, x, y); }
void motion(int x, int y) { add("motion", x, y); }
void passive(int x, int y) { add("passive", x, y); }

int nestedCalls;
void reentrantDisplay()
{
    ++nestedCalls;
    displayCurrentScreen(); // e.g. a redisplay while a modal dialog runs
}

const ScreenHandlers fullScreen = {.keyboard = keyboard, .specialKey = special, .mouse = mouse,
                                   .motion = motion, .passiveMotion = passive, .display = display};
const ScreenHandlers displayOnly = {.display = display};
const ScreenHandlers reentrant = {.display = reentrantDisplay};

const ScreenHandlers *fakeLookup(int32_t id)
{
    if (id == 0 || id == 3 || (id >= 18 && id <= 571)) return &fullScreen;
    if (id == 11) return &displayOnly;
    if (id == 42424) return &reentrant;
    return nullptr;
}

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        setScreenLookup(fakeLookup);
        calls.clear();
        displayBusy = 0;
    }
    void TearDown() override
    {
        setScreenLookup(nullptr);
        currentScreen = loadingScreenId;
    }
    static void everyCallback()
    {
        displayCurrentScreen();
        keyboardCurrentScreen('a', 1, 2);
        specialKeyCurrentScreen(101, 3, 4);
        mouseCurrentScreen(0, 1, 5, 6);
        motionCurrentScreen(7, 8);
        passiveMotionCurrentScreen(9, 10);
    }
};

TEST_F(Dispatch, ArgumentsReachTheActiveScreenUnchanged)
{
    const std::string all = "key(97,1,2,0) special(101,3,4,0) mouse(0,1,5,6) motion(7,8,0,0) passive(9,10,0,0) ";
    struct Case { int32_t id; std::string expected; };
    const Case cases[] = {
        {0, "display(0,0,0,0) " + all},
        {3, "display(3,0,0,0) " + all},
        {18, "display(18,0,0,0) " + all},
        {571, "display(571,0,0,0) " + all},
        {11, "display(11,0,0,0) "}, // lesson loading: display only, input ignored
        {13, ""}, {572, ""}, {-1, ""}, {580, ""}, {9, ""},
    };
    for (const Case &c : cases) {
        calls.clear();
        currentScreen = c.id;
        everyCallback();
        EXPECT_EQ(calls, c.expected) << "screen " << c.id;
        EXPECT_EQ(displayBusy, 0);
    }
}

TEST_F(Dispatch, WheelButtonsNeverReachTheScreen)
{
    currentScreen = userManagementScreenId;
    for (int button = 0; button <= 7; ++button) mouseCurrentScreen(button, 0, 10, 20);
    EXPECT_EQ(calls, "mouse(0,0,10,20) mouse(1,0,10,20) mouse(2,0,10,20) mouse(7,0,10,20) ");
}

TEST_F(Dispatch, DisplayRequestDuringAFrameIsSkipped)
{
    const int32_t servedByNoRow = 42424;
    currentScreen = servedByNoRow;
    nestedCalls = 0;
    displayCurrentScreen();
    EXPECT_EQ(nestedCalls, 1);
    EXPECT_EQ(displayBusy, 0);
}

TEST_F(Dispatch, QuitScreenClosesTheLogAndExitsWithZero)
{
    const std::string dir = testTempFolder("dispatch");
    std::string log = dir + "debug.txt";
    EXPECT_EXIT(
        {
            if (openDebugLog(log) != 0) _exit(99);
            currentScreen = quitScreenId;
            displayCurrentScreen();
            _exit(98); // not reached
        },
        ::testing::ExitedWithCode(0), "");
    std::ifstream in(log, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_TRUE(in.is_open());
    EXPECT_EQ(text.str(), "");
    std::remove(log.c_str());
}

// The real table: ranges are well formed, no id is served twice, and the
// ids that must stay empty (unknown ids, quit) are not taken.
TEST(ScreenTable, RangesAreDisjointAndLeaveReservedIdsFree)
{
    for (int i = 0; i < screenTableSize; ++i) {
        const ScreenTableEntry &a = screenTable[i];
        if (!a.handlers) continue;
        EXPECT_LE(a.firstId, a.lastId) << "entry " << i;
        for (int32_t id : {-1, 5, 7, 9, 10, 13, 572, 579, 580})
            EXPECT_FALSE(id >= a.firstId && id <= a.lastId) << "entry " << i << " serves " << id;
        for (int j = i + 1; j < screenTableSize; ++j) {
            const ScreenTableEntry &b = screenTable[j];
            if (b.handlers) {
                EXPECT_TRUE(a.lastId < b.firstId || b.lastId < a.firstId) << "entries " << i << ", " << j;
            }
        }
        EXPECT_EQ(screenHandlersFor(a.firstId), a.handlers);
        EXPECT_EQ(screenHandlersFor(a.lastId), a.handlers);
    }
}

} // namespace
