// The introduction's illustrations drawn into the recording facade: the
// stopwatch, icon transfer and chart arithmetic, the panels' reveal stages,
// the overview mock for a table of lessons, and whole frames of the running
// lesson at chosen steps compared with stored traces (tests/intro/traces;
// TARNOVA_UPDATE_TRACES=1 rewrites them after a deliberate change).
#include "intro_fakes.h"

#include "base/shared.h"
#include "frame/text.h"
#include "intro/definition_panels.h"
#include "intro/intro_pages.h"
#include "intro/intro_tables.h"
#include "lessons/picture_sets.h"
#include "intro/intro_slides.h"
#include "intro/overview_mock.h"
#include "intro/teacher_animation.h"
#include "lessons/delay_dial.h"
#include "lessons/lesson_menu_panels.h"
#include "lessons/programme_chart.h"
#include "frame/picture_catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

int count(const std::vector<std::string> &ops, const std::string &prefix)
{
    int n = 0;
    for (const std::string &op : ops) n += op.rfind(prefix, 0) == 0;
    return n;
}

bool has(const std::vector<std::string> &ops, const std::string &op)
{
    return std::find(ops.begin(), ops.end(), op) != ops.end();
}

// Number of points of a recorded fan.
int fanPoints(const std::string &op)
{
    return int(std::count(op.begin(), op.end(), ','));
}

// Texture names left by earlier tests' picture sets would show in the ops.
class IntroSlides : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::fill(std::begin(diagramTextures), std::end(diagramTextures), 0u);
        std::fill(std::begin(slideTextures), std::end(slideTextures), 0u);
        std::fill(std::begin(introPictureTextures), std::end(introPictureTextures), 0u);
    }
};

TEST_F(IntroSlides, StopwatchShowsTheHandUprightUntilTick3ThenAGrowingSector)
{
    RecordingDraw d;
    drawTickingStopwatch(d, 2);
    EXPECT_EQ(d.ops, (std::vector<std::string>{"arrow 0 472 218 472 249 width 2"}));
    d.ops.clear();
    drawTickingStopwatch(d, 3);
    ASSERT_EQ(count(d.ops, "fan"), 1);
    EXPECT_EQ(fanPoints(d.matching("fan")[0]), 12); // the centre and u = 10..0
    // u = 10 is 30 degrees: (472 + 15.5, 218 + 26.85), rounded to even.
    EXPECT_TRUE(has(d.ops, "arrow 0 472 218 488 245 width 2"));
    d.ops.clear();
    drawTickingStopwatch(d, 113); // u = 120..0: the whole disc, the hand up again
    EXPECT_EQ(fanPoints(d.matching("fan")[0]), 122);
    EXPECT_TRUE(has(d.ops, "arrow 0 472 218 472 249 width 2"));
    const DialPoint p = dialPointAt(472, 218, 30, 43);
    EXPECT_NEAR(p.x, 515, 1e-9);
    EXPECT_NEAR(p.y, 218, 1e-9);
}

TEST_F(IntroSlides, IconTransferMovesANinthPerStepAndStopsAfterNine)
{
    diagramTextures[41] = 77;
    RecordingDraw d;
    drawIconTransfer(d, 30, 480, 960, 600, 0, 1);
    drawIconTransfer(d, 30, 480, 960, 600, 10, 1);
    EXPECT_TRUE(d.ops.empty());
    drawIconTransfer(d, 30, 480, 960, 600, 1, 1);
    EXPECT_EQ(d.ops, (std::vector<std::string>{"colour 0.6 0.8 0.3 0.4", "picture 77 30 480 158 608 -8"}));
    d.ops.clear();
    drawIconTransfer(d, 30, 480, 960, 600, 2, 1); // a ninth of the way, no longer highlighted
    EXPECT_EQ(d.ops, (std::vector<std::string>{"colour 1 1 1 0.4", "picture 77 133 493 261 621 -8"}));
    // At t = 9 eight ninths of the way: 30 + 826.67 and 480 + 106.67.
    EXPECT_EQ(iconTransferCoordinate(30, 960, 9), 857);
    EXPECT_EQ(iconTransferCoordinate(480, 600, 9), 587);
    // A half-way point rounds to the even neighbour: 9 / 9 x 0.5 steps.
    EXPECT_EQ(iconTransferCoordinate(0, 9, 1), 0);
    diagramTextures[41] = 0;
}

TEST_F(IntroSlides, AccuracyGraphDrawsTheBigArrowOnlyAtTick0AndPicturesAtTheirSizes)
{
    RecordingDraw d;
    drawAccuracyGraph(d, 0, 500);
    EXPECT_TRUE(has(d.ops, "bigarrow 4 380 407 705 407 width 3"));
    EXPECT_TRUE(has(d.ops, "arrow 0 472 218 472 249 width 2"));
    EXPECT_TRUE(has(d.ops, "picture 0 90 156 1614 1180 -6")); // 1524 wide, beyond the window
    EXPECT_TRUE(has(d.ops, "large 400 655 Pitch Deviation Detection Accuracy"));
    d.ops.clear();
    drawAccuracyGraph(d, 1, 500);
    EXPECT_EQ(count(d.ops, "bigarrow"), 0);
    EXPECT_EQ(count(d.ops, "fan"), 0);
    d.ops.clear();
    drawSmallPicture(d, 190, 320);
    drawDiagramPair(d, 6, 0);
    drawDiagramIcon(d, 4, 340, -400);
    EXPECT_EQ(d.ops[1], "picture 0 190 320 268 395 -7"); // 85 x 82 drawn 78 x 75
    EXPECT_EQ(d.ops[3], "picture 0 0 155 1024 1179 -11");
    EXPECT_EQ(d.ops[5], "picture 0 700 155 1724 1179 -11");
    EXPECT_EQ(d.ops[7], "picture 0 520 210 776 466 -8");
}

// The panel's texts with the colour each is drawn in.
std::vector<std::string> panelTexts(const std::vector<std::string> &ops)
{
    std::vector<std::string> out;
    std::string colour;
    for (const std::string &op : ops) {
        if (op.rfind("colour", 0) == 0) colour = op.substr(7);
        if (op.rfind("text", 0) == 0 || op.rfind("ctext", 0) == 0) out.push_back(colour + " | " + op);
    }
    return out;
}

TEST(DefinitionPanels, ItemsAppearRedWhileReadAndTurnBlue)
{
    const std::string blue = "0 0 1 0.5 | ", red = "1 0 0 0.5 | ";
    RecordingDraw d;
    drawPitchPointDefinition(d, 1);
    EXPECT_EQ(panelTexts(d.ops), (std::vector<std::string>{blue + "text 5 245 Brimble's Pitch Point"}));
    EXPECT_EQ(d.ops.front(), "translate 830 370");
    EXPECT_TRUE(has(d.ops, "quad 0 0 485 265 -10")); // reaches x 1315, past the window
    d.ops.clear();
    drawPitchPointDefinition(d, 6);
    std::vector<std::string> t = panelTexts(d.ops);
    ASSERT_EQ(t.size(), 13u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(t[i].substr(0, blue.size()), blue) << t[i];
    EXPECT_EQ(t[10], red + "text 5 45 - If you hit all 4 notes with a precision of ");
    EXPECT_EQ(t[12], red + "text 5 5   > Brimble's Pitch Point <");
    d.ops.clear();
    drawAbsolutePitchDefinition(d, 7);
    t = panelTexts(d.ops);
    ASSERT_EQ(t.size(), 11u);
    for (const std::string &s : t) EXPECT_EQ(s.substr(0, blue.size() + 5), blue + "ctext") << s;
    d.ops.clear();
    drawAbsolutePitchDefinition(d, 3);
    t = panelTexts(d.ops);
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[1], blue + "ctext 5 185 - Identify by name individual pitches");
    EXPECT_EQ(t[3], red + "ctext 5 145 - Name the key of a given piece of tonal music");
}

TEST(DefinitionPanels, DayChartFillsOneUnitPerTick)
{
    struct Case {
        int tick, bars;
        const char *lastQuad;
    };
    const Case cases[] = {
        {0, 0, ""},
        {1, 1, "quad 580 563 610 573 -6"},
        {5, 1, "quad 580 563 730 573 -6"}, // bar 1 full: 150 pixels
        {6, 2, "quad 540 546 566.5 556 -6"},
        {47, 8, "quad 760 529 956 539 -6"},
        {48, 9, "quad 250 435 278 445 -6"}, // bar 9 jumps to its one unit
        {104, 18, "quad 310 385 506 395 -6"},
        {123, 18, "quad 310 385 506 395 -6"},
    };
    for (const Case &c : cases) {
        RecordingDraw d;
        drawGrowingBarChart(d, c.tick);
        EXPECT_EQ(count(d.ops, "quad"), c.bars) << c.tick;
        if (c.bars > 0) {
            EXPECT_EQ(d.ops.back(), c.lastQuad) << c.tick;
        }
    }
    int total = 0;
    for (int b = 0; b < dayChartBarCount; ++b) total += dayChartBarUnits(b, 104);
    EXPECT_EQ(total, 104);
    for (int t = 0; t < 104; ++t) {
        int sum = 0;
        for (int b = 0; b < dayChartBarCount; ++b) sum += dayChartBarUnits(b, t);
        EXPECT_EQ(sum, t) << t;
    }
}

class Mock : public ::testing::Test {
protected:
    IntroWorld w;
    void SetUp() override { installIntroFakes(w); }
    void TearDown() override { removeIntroFakes(); }
    std::vector<std::string> draw(bool showTitle, int lesson)
    {
        RecordingDraw d;
        drawTrainingOverviewMock(d, showTitle, lesson);
        return d.ops;
    }
};

TEST_F(Mock, TextsMarkerDialAndButtonsForATableOfLessons)
{
    struct Case {
        int lesson;
        bool showTitle;
        std::vector<std::string> present, absent;
    };
    const Case cases[] = {
        {1,
         true,
         {"large 940 227 Introduction", "large 940 202 Explanations", "line 140 160 140 215 -6", "control Next",
          "control StartLesson", "line 532 238 532 269 -6", "line 532 238 532 257 -6"},
         {"control Prev", "triangle"}},
        {1, false, {"line 140 160 140 215 -6"}, {"large 940 202 Explanations", "control"}},
        {2, false, {"large 940 202 Select Notes", "line 210 160 210 430 -6"}, {"large 50 637", "triangle"}},
        {3,
         true,
         {"large 940 227 Lesson2", "large 940 202 Delay 1.5 sec", "large 50 637 Delay 1.5 sec",
          "large 50 662 8 Notes", "large 910 662 max. Tol. 75 cents", "large 910 637 max. Dev. 50 cents",
          "line 895 659 895 704 -6", "line 895 659 895 614 -6", "line 900 704 825 704 -6",
          "line 885 659 885 689 -6", "line 890 629 825 629 -6", "line 260 160 260 530 -6", "control Prev",
          "line 532 238 532 257 -6"},
         {}},
        {240, false, {"line 498 160 498 530 -6"}, {}},
        {241, false, {"line 500 160 500 530 -6"}, {}},
        {491, true, {"line 818 160 818 530 -6", "line 817 180 817 640 -6"}, {}},
        {556,
         true,
         {"large 940 202 Delay 1200.0 sec", "large 910 662 max. Tol. 25 cents", "large 910 637 max. Dev. 25 cents",
          "line 1112 160 1112 530 -6", "line 532 238 548 228 -6", "control Prev"},
         {"control Next"}},
    };
    for (const Case &c : cases) {
        const std::vector<std::string> ops = draw(c.showTitle, c.lesson);
        for (const std::string &s : c.present) EXPECT_TRUE(has(ops, s)) << c.lesson << ": " << s;
        for (const std::string &s : c.absent) EXPECT_EQ(count(ops, s), 0) << c.lesson << ": " << s;
        EXPECT_EQ(count(ops, "quad"), 8 + 1 + 8 + 8) << c.lesson; // blue, cyan, green, yellow bars
        EXPECT_EQ(count(ops, "large 220 "), 8);
        // The right column (x 1120) ends at the window's edge: "Do" at 1095.
        EXPECT_EQ(count(ops, "large 109") + count(ops, "large 110") + count(ops, "large 111"), 8);
        EXPECT_EQ(count(ops, "picture"), 1); // the backdrop first
        EXPECT_EQ(ops[1].rfind("picture", 0), 0u);
    }
    // Lesson 5 (1500 ms): a 9 degree sector, minute hand up; lesson 556 a full disc.
    const std::vector<std::string> five = draw(true, 5);
    EXPECT_EQ(count(five, "triangle"), 3);
    EXPECT_TRUE(has(five, "line 532 238 532 257 -6"));
    EXPECT_EQ(count(draw(true, 556), "triangle"), 120);
}

TEST(MockDial, SectorAndMinuteHandShowTheDelay)
{
    struct Case {
        int lesson, sector, minute;
    };
    const Case cases[] = {{3, 3, 0},     {5, 3, 0},     {6, 6, 0},     {119, 117, 0}, {120, 120, 2},
                          {240, 240, 4}, {479, 477, 6}, {480, 480, 8}, {482, 480, 8}, {483, 480, 8},
                          {508, 480, 8}, {509, 480, 10}, {512, 480, 12}, {556, 480, 40}};
    for (const Case &c : cases) {
        const DialSteps u = lessonDialSteps(c.lesson);
        EXPECT_EQ(u.seconds, c.sector) << c.lesson;
        EXPECT_EQ(u.minutes, c.minute) << c.lesson;
    }
    EXPECT_EQ(lessonMarkerX(0), 0);
    EXPECT_EQ(lessonMarkerX(557), 0);
    EXPECT_EQ(lessonDelayText(5), "Delay 1.5 sec");
}

TEST(Topic4, MockWalksThroughTheLessonsOneFrameAfterEachPress)
{
    EXPECT_EQ(topic4MockLesson(6584), 1);
    EXPECT_EQ(topic4MockLesson(6585), 2);
    EXPECT_EQ(topic4MockLesson(8191), 7);
    EXPECT_EQ(topic4MockLesson(8192), 8);
    EXPECT_EQ(topic4MockLesson(8261), 14);
    EXPECT_EQ(topic4MockLesson(8262), 15);
    EXPECT_EQ(topic4MockLesson(8301), 15);
    EXPECT_EQ(topic4MockLesson(8302), 0);
}

// ---- Whole frames of the running lesson -------------------------------------------

// One of each scene kind and bubble shape; 200, 3990 and 6300 are the
// rig's screenshots.
constexpr int32_t tracedSteps[] = {
    200,   // W+: the graph at the marked time, bubble down
    350,   // P: the running stopwatch and the growing arrow
    2110,  // staves crossed out, icons, bubble up
    2520,  // the red line and "Perfect"
    2860,  // the absolute-pitch definition at stage 3
    3990,  // the comparison panels (screenshot in tests/e2e/test_intro_pages.py)
    5120,  // Brimble's definition at stage 6 with the portrait, bubble right
    6300,  // the mock of lesson 1 and a bubble (screenshot too)
    6584,  // the mock with Next pressed
    6945,  // a note travelling to the list
    6820,  // the staff marker note
    7300,  // the mock of lesson 3 with the ellipse
    16500, // word cards
    20400, // the growing day chart
    21389, // the closing title
};

std::filesystem::path traceFile(int32_t step)
{
    return std::filesystem::path(__FILE__).parent_path() / "traces" / ("step_" + std::to_string(step) + ".txt");
}

class IntroTraces : public ::testing::Test {
protected:
    IntroWorld w;
    void SetUp() override
    {
        installIntroFakes(w);
        w.drawPages = true;
    }
    void TearDown() override { removeIntroFakes(); }
};

TEST_F(IntroTraces, FramesAtChosenStepsMatchTheStoredTraces)
{
    std::map<int32_t, std::string> frames;
    const std::set<int32_t> wanted(std::begin(tracedSteps), std::end(tracedSteps));
    for (int i = 0; i < 30000; ++i) {
        const int32_t step = introLesson.step;
        const int32_t progress = introLesson.progress;
        introFrame();
        if (progress >= 2 && wanted.count(step) != 0 && frames.count(step) == 0) {
            std::string s;
            for (const std::string &op : w.draw.ops) s += op + "\n";
            frames[step] = s;
        }
        if (frames.size() == wanted.size()) break;
    }
    const bool update = std::getenv("TARNOVA_UPDATE_TRACES") != nullptr;
    for (int32_t step : tracedSteps) {
        ASSERT_TRUE(frames.count(step)) << "step " << step << " was not drawn";
        if (update) {
            std::ofstream(traceFile(step)) << frames[step];
            continue;
        }
        std::ifstream in(traceFile(step));
        ASSERT_TRUE(in) << traceFile(step);
        std::stringstream stored;
        stored << in.rdbuf();
        EXPECT_EQ(frames[step], stored.str()) << "step " << step;
    }
}

// The lesson holds only the diagrams, slides and clips its topic uses soon: every
// picture a frame draws is loaded (a name made and not deleted), and at most
// seven of the 1024-square ones are held at once (all 55 were held before),
// whether the topics run to their ends or NextPage leaves each one early;
// every clip started is held; the walk-in pictures go once the walk-in ends.
TEST(IntroPictures, EveryDrawnPictureIsLoadedAndFewLargeOnesAreHeld)
{
    // The staff marker note's picture belongs to the program's loading.
    const std::vector<uint32_t> keptNotes(std::begin(images7Textures), std::end(images7Textures));
    constexpr uint32_t notePicture = 1000000;
    std::fill(std::begin(images7Textures), std::end(images7Textures), notePicture);
    for (const int32_t pageAfter : {0, 300}) { // 0: every topic to its end
        SCOPED_TRACE(pageAfter);
        IntroWorld w;
        installIntroFakes(w);
        w.drawPages = true;
        w.liveNames.insert(notePicture);
        std::set<std::string> missing;
        int32_t mostLarge = 0, mostClips = 0, framesInTopic = 0, lastProgress = -1, pages = 0, walkInHeldLate = 0;
        for (int i = 0; i < 40000 && currentScreen == introLessonScreenId; ++i) {
            const int32_t step = introLesson.step;
            const int32_t progress = introLesson.progress;
            introFrame();
            framesInTopic = progress == lastProgress ? framesInTopic + 1 : 0;
            lastProgress = progress;
            // (The frame that leaves the lesson frees all after drawing.)
            if (progress < 2 || currentScreen != introLessonScreenId) continue;
            ++pages;
            for (const std::string &op : w.draw.ops) {
                std::istringstream in(op);
                std::string kind;
                uint32_t name = 0;
                in >> kind >> name;
                if ((kind == "picture" || kind == "picture4") && w.liveNames.count(name) == 0)
                    missing.insert("step " + std::to_string(step) + ": " + op);
            }
            int32_t large = 0;
            for (int32_t p = 1; p <= images51PictureCount; ++p)
                large += diagramTextures[p] != 0 && images51Sides[p - 1] == 1024;
            for (int32_t p = 1; p <= 14; ++p) large += slideTextures[p] != 0;
            mostLarge = std::max(mostLarge, large);
            if (images1Loaded && (progress != introFirstTopicPage || step > welcomeWalkInLastStep)) ++walkInHeldLate;
            int32_t clips = 0;
            for (int32_t k = 1; k <= introClipCount; ++k) clips += introClipHeld(k);
            mostClips = std::max(mostClips, clips);
            if (pageAfter != 0 && framesInTopic == pageAfter) {
                introLesson.pendingAction = introNextPageAction;
                framesInTopic = 0;
            }
        }
        EXPECT_EQ(currentScreen, lessonMenuScreenId);
        EXPECT_TRUE(w.replayPicturesHeld) << "read again when the lesson ends";
        EXPECT_GT(pages, pageAfter == 0 ? 20000 : 2000);
        EXPECT_LE(mostLarge, 7);
        EXPECT_EQ(walkInHeldLate, 0) << "frames holding the walk-in pictures after the walk-in";
        // Every clip started was held, and the held ones are a topic's share of the 212.
        EXPECT_TRUE(std::none_of(w.sounds.begin(), w.sounds.end(), [](const SoundEvent &e) { return e.what == "notHeld"; }));
        EXPECT_LE(mostClips, 60) << "of " << introClipCount;
        EXPECT_GE(mostLarge, 2);
        EXPECT_EQ(w.openPacks, 0);
        for (const std::string &m : missing) ADD_FAILURE() << "drawn but not loaded, " << m;
        removeIntroFakes();
    }
    std::copy(keptNotes.begin(), keptNotes.end(), std::begin(images7Textures));
}

} // namespace

namespace {

// Every text line of every frame of the lesson lies inside the window (its
// box by textBox: "large" lines in Times Roman 24, the others in the 9 x 15
// font), translations applied.
TEST_F(IntroTraces, EveryTextOfTheLessonLiesInsideTheWindow)
{
    std::set<std::string> outside;
    int32_t frames = 0;
    for (int i = 0; i < 30000 && introLesson.progress < 3; ++i) {
        const int32_t progress = introLesson.progress;
        introFrame();
        if (progress < 2) continue;
        ++frames;
        std::vector<std::pair<double, double>> origin = {{0, 0}};
        for (const std::string &op : w.draw.ops) {
            std::istringstream in(op);
            std::string kind;
            in >> kind;
            if (kind == "translate") {
                double x, y;
                in >> x >> y;
                origin.push_back({origin.back().first + x, origin.back().second + y});
            } else if (kind == "pop" && origin.size() > 1) {
                origin.pop_back();
            } else if (kind == "text" || kind == "large" || kind == "ctext" || kind == "stext") {
                double x, y;
                in >> x >> y;
                std::string text;
                std::getline(in, text);
                if (text.size() <= 1) continue;
                const TextBox b = textBox(kind == "large" ? fontTimesRoman24 : font9By15, text.substr(1),
                                          origin.back().first + x, origin.back().second + y);
                if (b.left < 0 || b.bottom < 0 || b.right > mainWindowWidth || b.top > mainWindowHeight)
                    outside.insert("step " + std::to_string(introLesson.step) + ": " + op);
            }
        }
    }
    EXPECT_GT(frames, 1000);
    for (const std::string &s : outside) ADD_FAILURE() << s;
}

} // namespace
