// The sample-exercise pages run by the lesson's engine with the recording
// facade: topic 5 plays the exercise with the reference note and the
// teacher's clips at the exercise's events, topic 6 judges the stored answer
// and shows the pass, topic 7 freezes chosen moments; paging past topic 5
// still shows the pass the teacher explains.
#include "intro_fakes.h"

#include "intro/sample_exercise.h"
#include "intro/sample_pages.h"
#include "music/staff_geometry.h"
#include "base/rounding.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string n(double v)
{
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

double frequencyToStaffHeightOfF4() { return frequencyToStaffHeight(349.228); }

void logSound(const char *what, int32_t value)
{
    world->sounds.push_back({what, value, introLesson.step, introLesson.progress});
}

SampleDrawHooks recordingSampleHooks()
{
    SampleDrawHooks h{};
    h.staffWithNote = [](int32_t note) { world->draw.add("staff note " + n(note)); };
    h.arrow = [](int32_t s, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w) {
        world->draw.add("arrow " + n(s) + " " + n(x1) + " " + n(y1) + " " + n(x2) + " " + n(y2) + " " + n(w));
    };
    h.point = [](double x, double y, double z) { world->draw.add("point " + n(x) + " " + n(y) + " " + n(z)); };
    h.verdictIcon = [](double x, double y, int32_t p) {
        world->draw.add("verdict " + n(x) + " " + n(y) + " " + n(p));
    };
    h.smallPicture = [](int32_t x, int32_t y) { world->draw.add("small " + n(x) + " " + n(y)); };
    h.diagramPair = [](int32_t k, int32_t x) { world->draw.add("pair " + n(k) + " " + n(x)); };
    h.setUpVoices = [] { logSound("voices", 0); };
    h.referenceNote = [] { logSound("note", 0); };
    h.timedSequence = [](int32_t t1) { logSound("timed", t1); };
    h.countShownVoices = [] {};
    return h;
}

class SamplePages : public ::testing::Test {
protected:
    IntroWorld w;
    void SetUp() override
    {
        installIntroFakes(w);
        IntroLessonHooks h = introFakeHooks(); // with the sample's pages in place
        h.drawRowExtras = drawSampleRowExtrasOfRow;
        h.entryStep = sampleEntryStep;
        h.sampleExercise = sampleExerciseAtTick;
        setIntroLessonHooks(h);
        setSampleDrawHooks(recordingSampleHooks());
        ASSERT_TRUE(runIntroUntil([] { return introLesson.progress == 2; }, 200));
    }
    void TearDown() override
    {
        setSampleDrawHooks(realSampleDrawHooks());
        removeIntroFakes();
    }
    void goToTopic(int32_t topic)
    {
        introLesson.topic = topic;
        goToIntroTopic(1);
    }
    // Runs until the frame that draws step s has been drawn.
    void runThrough(int32_t s)
    {
        ASSERT_TRUE(runIntroUntil([s] { return introLesson.step == s; }, 30000)) << s;
        introFrame();
    }
    bool has(const std::string &op) const
    {
        return std::find(w.draw.ops.begin(), w.draw.ops.end(), op) != w.draw.ops.end();
    }
    std::vector<int32_t> stepsOf(const std::string &what, int32_t value) const
    {
        std::vector<int32_t> out;
        for (const SoundEvent &e : w.sounds)
            if (e.what == what && e.value == value) out.push_back(e.step);
        return out;
    }
};

std::vector<std::string> loopsOf(const std::vector<std::string> &ops, int points)
{
    std::vector<std::string> out;
    for (const std::string &op : ops)
        if (op.rfind("loop", 0) == 0 && std::count(op.begin(), op.end(), ',') == points) out.push_back(op);
    return out;
}

TEST_F(SamplePages, TopicFiveSoundsTheNoteAndTheTeacherAtTheExercisesEvents)
{
    goToTopic(5);
    runThrough(8420); // tick 65: the training replay at its 11th sample
    EXPECT_TRUE(has("staff note 32"));
    EXPECT_TRUE(has("large 220 295 Fa"));
    EXPECT_TRUE(has("large 50 637 Delay 7.5 sec"));
    EXPECT_TRUE(has("large 910 662 max. Tol. 75 cents"));
    EXPECT_TRUE(has("large 50 662 8 Notes"));
    EXPECT_FALSE(w.draw.matching("triangle 241 ").empty());
    EXPECT_FALSE(w.draw.matching("line 372.86").empty()) << "the magenta cursor at sample 10";
    EXPECT_TRUE(has("arrow 1 241 " + n(300 + roundToInt32(frequencyToStaffHeightOfF4())) + " 320 460 3"));
    ASSERT_TRUE(runIntroUntil([] { return introLesson.progress == 7; }, 2000));
    EXPECT_EQ(stepsOf("voices", 0), std::vector<int32_t>{8347});
    EXPECT_EQ(stepsOf("note", 0), std::vector<int32_t>{8355 + 11});
    EXPECT_EQ(stepsOf("play", 88), std::vector<int32_t>{8355 + 54});
    EXPECT_EQ(stepsOf("play", 3), std::vector<int32_t>{8355 + 108});
    EXPECT_EQ(stepsOf("play", 89), std::vector<int32_t>{8355 + 176});
    const std::vector<int32_t> stops = stepsOf("stop", 1);
    for (int32_t s : {8355, 8355 + 97, 8355 + 129, 8355 + 259})
        EXPECT_NE(std::find(stops.begin(), stops.end(), s), stops.end()) << s;
}

TEST_F(SamplePages, TopicFivesFallbackRangeShowsTheExercisesStateAndMovesOn)
{
    goToTopic(5);
    runThrough(8400);
    setIntroStep(8863); // only reached when the exercise has not finished by 8862
    introFrame();
    bool phaseShown = false, eventShown = false;
    for (const std::string &op : w.draw.ops) {
        phaseShown |= op.find("Never should come here !!!!!!!!!!!  7") != std::string::npos;
        eventShown |= op.find("ActionToTake= 8") != std::string::npos;
    }
    EXPECT_TRUE(phaseShown);
    EXPECT_TRUE(eventShown);
    EXPECT_EQ(introLesson.progress, 7);
}

TEST_F(SamplePages, TopicSixJudgesTheStoredAnswerAndShowsThePass)
{
    goToTopic(6);
    sample.answerValid = sample.answerPassed = false; // judged again at 8913
    runThrough(8905);
    EXPECT_TRUE(w.draw.matching("verdict").empty()); // stage 0 shows no verdict
    runThrough(9000);
    EXPECT_TRUE(has("large 780 455 Mean Deviation in cents=44"));
    EXPECT_TRUE(has("large 780 430 STD=8"));
    EXPECT_TRUE(has("verdict 880 482 3"));
    EXPECT_TRUE(has("large 760 600 Feedback"));
    // The ding-dong at the page's first step (shown twice after a jump from outside a frame).
    const std::vector<int32_t> dings = stepsOf("play", 1);
    ASSERT_FALSE(dings.empty());
    EXPECT_TRUE(std::all_of(dings.begin(), dings.end(), [](int32_t s) { return s == 8903; }));
    EXPECT_EQ(stepsOf("note", 0), std::vector<int32_t>{8953});
}

TEST_F(SamplePages, AnUnjudgedAnswerShowsOutOfRequiredPrecisionWithTheToleranceBand)
{
    sample.answerValid = sample.answerPassed = false; // as before any judging
    w.draw.beginFrame();
    drawSampleFeedback(w.draw, 2, 258);
    EXPECT_TRUE(has("large 760 455 Out of required precision"));
    // In the cross's opaque red, which reads on the light grey.
    const auto at = std::find(w.draw.ops.begin(), w.draw.ops.end(), "large 760 455 Out of required precision");
    ASSERT_NE(at, w.draw.ops.begin());
    EXPECT_EQ(*(at - 1), "colour 0.85 0.1 0.1 1");
    EXPECT_TRUE(has("verdict 880 482 2"));
    EXPECT_TRUE(has("quad 615 340 675 580 -12")) << "the band of 75 cents round the note";
    EXPECT_TRUE(w.draw.matching("large 780 455").empty());
    // Stage 4 shows the band of max. Dev. (50 cents) as well.
    w.draw.beginFrame();
    drawSampleFeedback(w.draw, 4, 258);
    EXPECT_TRUE(has("quad 615 380 675 540 -12"));
}

TEST_F(SamplePages, PagingPastTopicFiveStillShowsThePassTheTeacherExplains)
{
    goToTopic(7); // neither topic 5 nor 6 ran: only the lesson's entry set the sample up
    runThrough(12900);
    EXPECT_TRUE(has("large 780 455 Mean Deviation in cents=44"));
    EXPECT_TRUE(has("verdict 880 482 3"));
    EXPECT_FALSE(has("large 760 455 Out of required precision"));
}

TEST_F(SamplePages, TopicSevenFreezesItsMomentsAndPointsAtThem)
{
    goToTopic(7);
    runThrough(9200);
    EXPECT_EQ(loopsOf(w.draw.ops, 100).size(), 1u) << "the ellipse round the time line";
    runThrough(9700);
    EXPECT_EQ(stepsOf("timed", 248), std::vector<int32_t>{9676});
    runThrough(10230);
    const std::vector<std::string> still = w.draw.matching("line 465 240 465 620");
    EXPECT_EQ(still.size(), 1u) << "the training window complete, with its end line";
    const std::vector<std::string> atStart = w.draw.matching("point");
    runThrough(10330);
    EXPECT_EQ(w.draw.matching("point"), atStart);
    runThrough(11400);
    EXPECT_TRUE(has("arrow 1 580 275 540 275 1"));
    EXPECT_TRUE(has("text 510 250 Prepare"));
    runThrough(13900);
    EXPECT_TRUE(has("pair 7 0"));
}

TEST_F(SamplePages, TopicFourHandsOverToTheExercisesFirstFrame)
{
    goToTopic(4);
    runThrough(8301);
    EXPECT_FALSE(has("staff note 32"));
    runThrough(8320);
    EXPECT_TRUE(has("staff note 32"));
    EXPECT_TRUE(has("large 440 130 Delay=7.5 sec"));
    EXPECT_TRUE(w.draw.matching("triangle").empty());
}

} // namespace

namespace {

std::vector<std::string> plotPoints;

// Lines (depth -6) and points of the plot whose samples lie at x0..x0 + 120
// (345 training, 615 test).
std::vector<std::string> plotOps(const std::vector<std::string> &ops, double x0)
{
    std::vector<std::string> out;
    for (const std::string &op : ops) {
        double x = 0;
        if (op.rfind("line ", 0) == 0 && op.size() > 3 && op.compare(op.size() - 3, 3, " -6") == 0 &&
            std::sscanf(op.c_str(), "line %lf", &x) == 1 && x >= x0 && x <= x0 + 120)
            out.push_back(op);
    }
    for (const std::string &p : plotPoints) {
        double x = 0;
        if (std::sscanf(p.c_str(), "point %lf", &x) == 1 && x >= x0 && x <= x0 + 120) out.push_back(p);
    }
    return out;
}

} // namespace

// The training plot breaks at a step of 62 pixels (about 39 cents), the test
// plot only at 320: the same steps draw points in one and lines in the other.
TEST(SamplePlots, TheTrainingPlotBreaksAtAStepOf62Pixels)
{
    SampleDrawHooks h = recordingSampleHooks();
    h.staffWithNote = [](int32_t) {};
    h.arrow = [](int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {};
    h.verdictIcon = [](double, double, int32_t) {};
    h.point = [](double x, double y, double) { plotPoints.push_back("point " + n(x) + " " + n(y)); };
    setSampleDrawHooks(h);
    sample = SampleExercise{};
    prepareSampleExercise(true);
    sample.phase = samplePhaseFeedback;
    sample.trainingLast = sample.testLast = 4; // samples 0..3 drawn
    const double values[4] = {100, 161.5, 223.5, 285}; // steps 61.5, 62, 61.5
    for (int i = 0; i < 4; ++i) {
        sample.trainingPlotY[i] = sample.testPlotY[i] = sample.testStaffY[i] = values[i];
        sample.trainingRating[i] = sample.testRating[i] = 2;
    }
    RecordingDraw draw;
    plotPoints.clear();
    drawSampleFeedback(draw, 0, 1);
    setSampleDrawHooks(realSampleDrawHooks());
    const std::string x1 = n(345 + 1 / samplePlotFrames * 120), x2 = n(345 + 2 / samplePlotFrames * 120),
                      x3 = n(345 + 3 / samplePlotFrames * 120);
    EXPECT_EQ(plotOps(draw.ops, 345),
              (std::vector<std::string>{"line 345 400 " + x1 + " 461.5 -6", "line " + x2 + " 523.5 " + x3 + " 585 -6",
                                        "point 345 400", "point " + x2 + " 523.5"}));
    int testLines = 0;
    for (const std::string &op : plotOps(draw.ops, 615)) testLines += op.rfind("line", 0) == 0;
    EXPECT_EQ(testLines, 3) << "the test plot joins all four";
}
