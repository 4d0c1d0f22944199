// The lesson menu through its handlers on a real store (users at lessons 1,
// 3, 250, 556 and 557 in the file), and its panels read as a drawing trace.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/screen_driver.h"
#include "frame/capture.h"
#include "lessons/picture_sets.h"
#include "lessons/delay_dial.h"
#include "lessons/lesson_menu_alert.h"
#include "lessons/lesson_menu_panels.h"
#include "lessons/lesson_menu_screen.h"
#include "lessons/lesson_params.h"
#include "lessons/lesson_state.h"
#include "lessons/programme_chart.h"
#include "store/store_fixture.h"

namespace {

const ScreenDriver menu = {lessonMenuScreenHandlers};

int lessonStarts = 0;
void countLessonStart() { ++lessonStarts; }
void noPicture() {}

// Lesson 2's result: the chosen notes C4 D4 E4 F4 G4 A4 B4 C5 with errors
// that order them, |mean| + deviation: 8, 24, 2, 32, 4, 21, 1, 9.
LessonBlock chosenNotes(bool done)
{
    LessonBlock b = emptyLessonBlock();
    const int32_t notes[8] = {27, 29, 31, 32, 34, 36, 38, 39};
    const double errors[8][2] = {{5, 3}, {-20, 4}, {1, 1}, {30, 2}, {-2, 2}, {12, 9}, {0.5, 0.5}, {8, 1}};
    for (int k = 0; k < 8; ++k) b.slots[k] = {notes[k], errors[k][0], errors[k][1], uint8_t(done ? 1 : 0)};
    b.done = done ? 1 : 0;
    return b;
}

struct LessonMenuTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        resetToolkitState();
        createStore(); // the administrator, key 1, at lesson 1
        lessonMenuHooks.loadMenuPicture = noPicture;
        lessonMenuHooks.prepareLessonStart = countLessonStart;
        lessonStarts = 0;
        currentUserKey = 1;
        pendingMenuAlert = PendingMenuAlert{};
    }
    void TearDown() override
    {
        lessonMenuHooks = LessonMenuHooks{};
        StoreFolderTest::TearDown();
    }

    // User management's road in: the saved lesson, then the first frame (set-up).
    void enterAt(int32_t savedLesson, bool lessonTwoDone)
    {
        userRecords[0].currentLesson = savedLesson;
        userRecords[0].lessonBlocks[0] = chosenNotes(lessonTwoDone);
        enterLessonMenu();
        currentScreen = lessonMenuScreenId;
        menu.frame();
        ASSERT_EQ(lessonMenuState.phase, 2);
    }
    // The screen a click leads to (the menu itself when nothing happened),
    // and shownLesson after it; the menu is entered again afterwards.
    int32_t clickAndFrame(const ControlRecord &c)
    {
        menu.click(c);
        menu.frame();
        const int32_t screen = currentScreen;
        currentScreen = lessonMenuScreenId;
        menu.frame(); // a rebuild after Prev / Next, or the set-up on return
        return screen;
    }
};

int livePictures = 0;
uint32_t nextPicture = 0;

// The menu picture (Images51's first) through the packs' owner: loaded by
// every visit's set-up, freed by every way out, never twice at once.
TEST_F(LessonMenuTest, TheMenuPictureIsLoadedOnEntryAndFreedOnLeaving)
{
    lessonMenuHooks.loadMenuPicture = nullptr; // the real load, with fake packs
    setPictureSetHooks({[](const std::string &) {},
                        [](int32_t w, int32_t h) {
                            EXPECT_EQ(w, 1024);
                            EXPECT_EQ(h, 1024);
                            ++livePictures;
                            return ++nextPicture;
                        },
                        [] {}, [](uint32_t) { --livePictures; }});
    livePictures = 0;
    enterAt(3, true);
    EXPECT_EQ(livePictures, 1);
    EXPECT_NE(diagramTextures[1], 0u);
    for (const ControlRecord *c : {&lessonMenuState.nextButton, &lessonMenuState.prevButton}) {
        menu.click(*c);
        menu.frame();
        menu.frame();
        EXPECT_EQ(livePictures, 1) << "a rebuild of the menu keeps its picture";
    }
    for (const ControlRecord *c : {&lessonMenuState.statisticsButton, &lessonMenuState.startButton}) {
        menu.click(*c);
        menu.frame();
        EXPECT_NE(currentScreen, lessonMenuScreenId);
        EXPECT_EQ(livePictures, 0) << "leaving frees it";
        EXPECT_EQ(diagramTextures[1], 0u);
        currentScreen = lessonMenuScreenId;
        menu.frame();
        EXPECT_EQ(livePictures, 1) << "coming back loads it again";
    }
    freeImages51Textures();
    setPictureSetHooks(realPictureSetHooks());
}

TEST_F(LessonMenuTest, StateForUsersAtLessonsOneThreeTwoFiftyAndTheEnd)
{
    struct Case {
        int32_t saved;
        bool lessonTwoDone;
        int32_t shown, page, listStart, highestDoable;
        bool prevActs, nextActs, startActs;
    };
    const Case cases[] = {
        {1, false, 1, 1, 1, 1, false, true, true},
        {2, false, 2, 1, 1, 1, true, true, true},  // the gate: one past the highest passed lesson
        {3, false, 3, 1, 1, 1, true, true, false}, // lesson 2 not passed: only 1 and 2 start
        {3, true, 3, 1, 1, 556, true, true, true},
        {250, true, 250, 32, 249, 556, true, true, true},
        {556, true, 556, 70, 553, 556, true, false, true},
        {557, true, 556, 70, 553, 556, true, false, true}, // written after lesson 556: shows 556
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("saved lesson " + std::to_string(c.saved) + (c.lessonTwoDone ? ", lesson 2 done" : ""));
        enterAt(c.saved, c.lessonTwoDone);
        EXPECT_EQ(shownLesson, c.shown);
        EXPECT_EQ(lessonMenuState.listPage, c.page);
        EXPECT_EQ(lessonMenuState.listStart, c.listStart);
        EXPECT_EQ(lessonMenuState.highestDoableLesson, c.highestDoable);
        EXPECT_EQ(currentLesson, 0);
        EXPECT_EQ(keyboardFocus, &lessonMenuState.startButton);

        // Prev and Next step the shown lesson and rebuild the menu.
        EXPECT_EQ(clickAndFrame(lessonMenuState.prevButton), lessonMenuScreenId);
        EXPECT_EQ(shownLesson, c.prevActs ? c.shown - 1 : c.shown);
        shownLesson = c.shown;
        lessonMenuState.phase = 0;
        menu.frame();
        EXPECT_EQ(clickAndFrame(lessonMenuState.nextButton), lessonMenuScreenId);
        EXPECT_EQ(shownLesson, c.nextActs ? c.shown + 1 : c.shown);
        shownLesson = c.shown;
        lessonMenuState.phase = 0;
        menu.frame();

        // Start Lesson: into the loader with the lesson saved as the current one.
        const int32_t screen = clickAndFrame(lessonMenuState.startButton);
        EXPECT_EQ(screen, c.startActs ? lessonLoaderScreenId : lessonMenuScreenId);
        EXPECT_EQ(lessonStarts, c.startActs ? 1 : 0);
        if (c.startActs) {
            EXPECT_EQ(currentLesson, c.shown);
            EXPECT_EQ(getUserCurrentLesson(1), c.shown);
        }
        lessonStarts = 0;
        currentLesson = 0;
    }
}

TEST_F(LessonMenuTest, ButtonsLeadToTheirScreensAndTheMenuKeepsItsLessonOnReturn)
{
    enterAt(3, true);
    menu.click(lessonMenuState.nextButton);
    menu.frame(2);
    ASSERT_EQ(shownLesson, 4);
    const std::pair<const ControlRecord *, int32_t> buttons[] = {
        {&lessonMenuState.statisticsButton, noteStatisticsScreenId},
        {&lessonMenuState.graphButton, timeLineGraphScreenId},
        {&lessonMenuState.numbersButton, timeLineNumbersScreenId},
        {&lessonMenuState.changeUserButton, userManagementScreenId},
        {&lessonMenuState.exitButton, quitScreenId},
    };
    for (const auto &[button, target] : buttons) {
        EXPECT_EQ(clickAndFrame(*button), target);
        EXPECT_EQ(lessonMenuState.phase, 2);
        EXPECT_EQ(shownLesson, 4); // a return assigns currentScreen only
    }
    EXPECT_EQ(getUserCurrentLesson(1), 3); // nothing started, nothing saved
}

TEST_F(LessonMenuTest, HoverHintsOnlyOverWhatActs)
{
    enterAt(3, false); // Start Lesson drawn but not clickable
    auto hover = [](const ControlRecord &c) {
        lessonMenuScreenHandlers.passiveMotion(ScreenDriver::gx(c), ScreenDriver::gy(c));
        return hintLine;
    };
    EXPECT_EQ(hover(lessonMenuState.startButton), "");
    EXPECT_EQ(hover(lessonMenuState.exitButton), "Click to ext program");
    EXPECT_EQ(hover(lessonMenuState.listRows[2]), "Click to select lesson");
    EXPECT_EQ(hover(lessonMenuState.listRows[1]), ""); // only row 3 has a hint
    lessonMenuScreenHandlers.motion(ScreenDriver::gx(lessonMenuState.prevButton), ScreenDriver::gy(lessonMenuState.prevButton));
    EXPECT_EQ(hintLine, "Release Button to select previous lessons");
    // The undrawn page buttons do not take clicks.
    EXPECT_EQ(clickAndFrame(lessonMenuState.nextPageButton), lessonMenuScreenId);
    EXPECT_EQ(lessonMenuState.listPage, 1);
}

TEST_F(LessonMenuTest, ReturnOnStartLessonBeyondTheGateStartsTheFirstLessonNotPassed)
{
    enterAt(3, false);
    menu.type("\r");
    menu.frame();
    EXPECT_EQ(currentScreen, lessonLoaderScreenId);
    EXPECT_EQ(shownLesson, 2);
    EXPECT_EQ(currentLesson, 2);
    EXPECT_EQ(getUserCurrentLesson(1), 2);
}

TEST_F(LessonMenuTest, HiddenListWalkedWithArrowsAndStartedWithReturn)
{
    enterAt(10, false); // page 2: lessons 9..16
    ASSERT_EQ(lessonMenuState.listStart, 9);
    menu.special(keyDown); // from Start Lesson to row 1
    EXPECT_EQ(keyboardFocus, &lessonMenuState.listRows[0]);
    menu.special(keyUp); // row 1 on page 2: the previous-page button
    EXPECT_EQ(keyboardFocus, &lessonMenuState.previousPageButton);
    menu.special(keyUp);
    EXPECT_EQ(keyboardFocus, &lessonMenuState.listRows[7]);
    menu.special(keyDown);
    EXPECT_EQ(keyboardFocus, &lessonMenuState.nextPageButton);
    menu.type("\r");
    menu.frame(2); // the page action, then the rebuild
    EXPECT_EQ(lessonMenuState.listPage, 3);
    EXPECT_EQ(lessonMenuState.listStart, 17);

    // Once lesson 2 is passed a row starts its own lesson.
    userRecords[0].lessonBlocks[0] = chosenNotes(true);
    lessonMenuState.phase = 0;
    menu.frame(); // the set-up reads what the user has passed
    menu.special(keyDown);
    menu.special(keyDown);
    menu.special(keyDown);
    ASSERT_EQ(keyboardFocus, &lessonMenuState.listRows[2]);
    menu.type("\r");
    menu.frame();
    EXPECT_EQ(currentScreen, lessonLoaderScreenId);
    EXPECT_EQ(currentLesson, 19);
    EXPECT_EQ(getUserCurrentLesson(1), 19);
    EXPECT_EQ(lessonStarts, 1);
}

TEST_F(LessonMenuTest, ARowBeyondTheGateStartsTheFirstLessonNotPassedAsStartLessonDoes)
{
    // A new user: Down three times and Return on the hidden list's row 3.
    enterAt(1, false);
    for (int i = 0; i < 3; ++i) menu.special(keyDown);
    ASSERT_EQ(keyboardFocus, &lessonMenuState.listRows[2]);
    menu.type("\r");
    menu.frame();
    EXPECT_EQ(currentScreen, lessonLoaderScreenId);
    EXPECT_EQ(currentLesson, 2) << "lesson 3 needs lesson 2 passed";
    EXPECT_EQ(getUserCurrentLesson(1), 2);
    // Rows within the gate start their own lesson: row 1 is lesson 1.
    currentScreen = lessonMenuScreenId;
    enterAt(1, false);
    menu.special(keyDown);
    menu.type("\r");
    menu.frame();
    EXPECT_EQ(currentLesson, 1);
}

TEST_F(LessonMenuTest, UpFromTheFirstRowOnPageOneGoesToNextPage)
{
    enterAt(1, false);
    menu.special(keyDown);
    menu.special(keyUp);
    EXPECT_EQ(keyboardFocus, &lessonMenuState.nextPageButton);
}

TEST_F(LessonMenuTest, PagesStopAtSeventyAndTheLastRowsRepeatLesson556)
{
    enterAt(556, true);
    ASSERT_EQ(lessonMenuState.listPage, 70);
    for (int32_t r = 0; r < lessonMenuListRows; ++r)
        EXPECT_EQ(lessonMenuRowLesson(r), std::min(553 + r, 556)) << r;
    // Down from row 8 on the last page: the previous-page button.
    for (int i = 0; i < 8; ++i) menu.special(keyDown);
    menu.special(keyDown);
    EXPECT_EQ(keyboardFocus, &lessonMenuState.previousPageButton);
}

TEST_F(LessonMenuTest, KeysOtherThanReturnShowTheHelpAlertAndReturnDismissesIt)
{
    enterAt(3, true);
    menu.type("x");
    EXPECT_EQ(alertLines[0], "Click a lesson or hit <Return>");
    EXPECT_EQ(alertLines[2], "or \"Quit\" to return");
    menu.type("\r");
    EXPECT_EQ(alertLines[0], "");
    EXPECT_EQ(keyboardFocus, nullptr);
    menu.frame();
    EXPECT_EQ(currentScreen, lessonMenuScreenId); // dismissing starts nothing
    menu.type("\r"); // no focus now
    EXPECT_EQ(alertLines[0], "Click a leeson");
    menu.type("\x1b");
    EXPECT_EQ(alertLines[0], "");
}

TEST_F(LessonMenuTest, SetUpStopsTheCaptureAndThenShowsTheHandedAlert)
{
    handAlertToLessonMenu(chooseNotesFirstAlert, "", "");
    captureDevice = nullptr;
    captureRunning = 1;
    enterAt(3, false);
    EXPECT_EQ(captureRunning, 0);
    EXPECT_EQ(alertLines[0], "Please choose your notes in Lesson 1 first.");
    EXPECT_FALSE(pendingMenuAlert.pending);
    // A click dismisses it and starts nothing.
    menu.click(lessonMenuState.exitButton);
    menu.frame();
    EXPECT_EQ(alertLines[0], "");
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
}

// ---- panels ---------------------------------------------------------------------

struct TraceDraw final : ImmediateDraw {
    std::vector<std::string> ops;
    void add(const char *format, double a = 0, double b = 0, double c = 0, double d = 0)
    {
        char s[160];
        std::snprintf(s, sizeof s, format, a, b, c, d);
        ops.push_back(s);
    }
    void beginFrame() override {}
    void endFrame() override {}
    void colour(float r, float g, float b, float a) override { add("colour %.2f %.2f %.2f %.2f", r, g, b, a); }
    void lineWidth(float w) override { add("width %g", w); }
    void quad(double x0, double y0, double x1, double y1, double) override { add("quad %g %g %g %g", x0, y0, x1, y1); }
    void triangle(double, double, double, double, double, double, double) override { add("triangle"); }
    void line(double x0, double y0, double x1, double y1, double) override { add("line %g %g %g %g", x0, y0, x1, y1); }
    void lineStrip(const double *, int, double) override { add("strip"); }
    void lineLoop(const double *, int, double) override { add("loop"); }
    void text(DrawnText, int32_t, std::string_view s, double x, double y) override
    {
        ops.push_back("text " + std::string(s) + " @" + std::to_string(int(x)) + "," + std::to_string(int(y)));
    }
    void picture(uint32_t t, double, double, double, double, double) override { add("picture %g", t); }
    void pushTranslate(double, double) override {}
    void pop() override {}
    void frameAnimation(int32_t) override {}
    void controls() override {}
    void popupList() override {}
    void lessonMessagePanel(int32_t, std::string_view) override {}
    int count(const std::string &prefix) const
    {
        int n = 0;
        for (const std::string &o : ops) n += o.rfind(prefix, 0) == 0;
        return n;
    }
    bool has(const std::string &op) const
    {
        for (const std::string &o : ops)
            if (o == op) return true;
        return false;
    }
};

TEST(LessonDial, StepsShowTheDelayAsAClock)
{
    // Twice the seconds per step, modulo the turn, up to lesson 482; the short hand the minutes.
    for (int32_t L = 3; L <= 482; ++L) EXPECT_EQ(lessonDialSteps(L).seconds * 500, lessonParamsTable[L].delayMs) << L;
    for (int32_t L = 3; L <= 556; ++L) {
        const double delay = lessonParamsTable[L].delayMs;
        EXPECT_EQ(lessonDialSteps(L).minutes, 2 * int32_t(delay / 60000)) << L;
    }
    EXPECT_EQ(lessonDialSteps(2).seconds, 0);
    EXPECT_EQ(lessonDialSteps(483).seconds, 480);
    EXPECT_EQ(lessonDialSteps(556).minutes, 40);
}

TEST(LessonDial, PieAndHands)
{
    struct Case {
        int32_t lesson;
        int triangles;
        std::string secondsHand, minutesHand;
    };
    // Hand ends: radius 31 and 19 from (532, 238), clockwise from 12 o'clock, rounded.
    const Case cases[] = {
        {1, 0, "line 532 238 532 269", "line 532 238 532 257"},
        {3, 3, "line 532 238 537 269", "line 532 238 532 257"},   // 9 degrees
        {120, 120, "line 532 238 532 269", "line 532 238 534 257"}, // one turn; short hand at 6 degrees
        {556, 120, "line 532 238 532 269", "line 532 238 548 228"}, // 120 degrees, y 228.5 to even
    };
    for (const Case &c : cases) {
        TraceDraw d;
        drawLessonDial(d, c.lesson);
        EXPECT_EQ(d.count("triangle"), c.triangles) << c.lesson;
        EXPECT_TRUE(d.has(c.secondsHand)) << c.lesson;
        EXPECT_TRUE(d.has(c.minutesHand)) << c.lesson;
    }
}

TEST(ProgrammeChart, MarkerAndBars)
{
    const std::pair<int32_t, int32_t> markers[] = {{1, 140}, {2, 210}, {3, 260}, {240, 498}, {241, 500},
                                                   {480, 709}, {481, 710}, {491, 818}, {503, 947},
                                                   {504, 958}, {556, 1112}, {557, 0}};
    for (const auto &[lesson, x] : markers) EXPECT_EQ(lessonMarkerX(lesson), x) << lesson;
    TraceDraw d;
    drawProgrammeChart(d, 241, {"a", "b", "c", "d", "e", "f", "g", "h"}, {0, 0, 0, 0.4f}, {0, 0, 0, 0.4f});
    EXPECT_TRUE(d.has("quad 260 477 320 498")); // slot 7 on top
    EXPECT_TRUE(d.has("quad 260 377 500 398")); // slot 1: the longest blue bar, then cyan
    EXPECT_TRUE(d.has("quad 500 377 710 398"));
    EXPECT_TRUE(d.has("quad 890 477 950 498"));
    EXPECT_EQ(d.count("quad 950"), 8);
    EXPECT_TRUE(d.has("line 500 160 500 530"));
    // The right column at 1120 ends at the window's edge (1124): "a" (11 pixels
    // in Times Roman 24) at 1113, "h" (13) at 1111.
    EXPECT_TRUE(d.has("text a @220,477") && d.has("text a @1113,477") && d.has("text h @1111,302"));
}

TEST(LessonMenuPanels, ParametersOfLessonThree)
{
    TraceDraw d;
    LessonMenuPanelInput in;
    in.lesson = 3;
    in.userName = "Ada";
    in.tessitura = 3;
    drawLessonMenuPanels(d, in);
    for (const char *t : {"text Lesson2 @940,227", "text Delay 1.5 sec @940,202", "text Delay 1.5 sec @50,637",
                          "text 8 Notes @50,662", "text max. Tol. 75 cents @910,662", "text max. Dev. 50 cents @910,637",
                          "text Ada @90,735", "text high @400,735"})
        EXPECT_TRUE(d.has(t)) << t;
    // The scales: 0.6 pixels per cent around y 659.
    EXPECT_TRUE(d.has("line 895 659 895 704") && d.has("line 895 659 895 614"));
    EXPECT_TRUE(d.has("line 890 689 825 689") && d.has("line 890 629 825 629"));
    EXPECT_EQ(d.count("picture"), 0); // no picture loaded

    TraceDraw two;
    in.lesson = 2;
    drawLessonMenuPanels(two, in);
    EXPECT_TRUE(two.has("text Select Notes @940,202"));
    EXPECT_EQ(two.count("text max."), 0);
    EXPECT_EQ(two.count("triangle"), 0);
}

// Blocks of a user in memory, read as the users file's getUserLessonBlock does.
LessonBlock blocks[lessonBlockCount];
int32_t readBlock(int32_t, int32_t index, LessonBlock &b)
{
    b = blocks[index];
    return lessonBlockNotesInUse(b);
}

TEST(LessonMenuPanels, NoteColumn)
{
    using Column = std::array<std::string, chartRows>;
    const Column scale = {"Do", "Ti", "La", "So", "Fa", "Mi", "Re", "Do"};
    for (LessonBlock &b : blocks) b = emptyLessonBlock();
    blocks[0] = chosenNotes(true);

    EXPECT_EQ(lessonNoteColumn(40, 1, readBlock, 1), scale); // lesson 2 not passed: the fixed column
    EXPECT_EQ(lessonNoteColumn(1, 556, readBlock, 1), scale);
    // Lesson 2: the chosen notes in slot order.
    EXPECT_EQ(lessonNoteColumn(2, 2, readBlock, 1), (Column{"Do", "Re", "Mi", "Fa", "So", "La", "Ti", "Do"}));
    // Lesson 3: ordered by error, the worst last (slot 8 at the bottom, slot 7 on top).
    const Column ordered = {"Re", "Do", "So", "Mi", "Ti", "Do", "La", "Fa"};
    EXPECT_EQ(lessonNoteColumn(3, 2, readBlock, 1), ordered);
    // Lesson 6 with results of lesson 4 only: lesson 5 has none, lesson 4's are used.
    blocks[2] = chosenNotes(true);
    EXPECT_EQ(lessonNoteColumn(6, 4, readBlock, 1), ordered);
    // A lesson of one note orders slot 1 only; the others keep the block's notes.
    int32_t oneNote = 3;
    while (lessonParamsTable[oneNote].noteCount != 1) ++oneNote;
    blocks[oneNote - 3] = chosenNotes(true);
    EXPECT_EQ(lessonNoteColumn(oneNote, oneNote - 1, readBlock, 1),
              (Column{"Ti", "So", "Mi", "Re", "Do", "Fa", "La", "Do"}));
}

} // namespace
