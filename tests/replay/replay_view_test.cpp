// The replay view's two-phase scroll and the points of the baton curve.
#include <gtest/gtest.h>

#include "lessons/lesson_state.h"
#include "music/tune_state.h"
#include "replay/replay_view.h"

TEST(ReplayScroll, StartsAtTheTravelAndSlidesOnlyInItsSecondPhase)
{
    resetReplayView();
    lessonNoteCount = 4;
    for (int32_t i = 0; i <= 4; ++i) {
        lessonNotes[i] = TimedNote{};
        lessonNotes[i].reachedMs = i < 3 ? 2500 * i : -1; // notes 0..2 reached at 0, 2500, 5000
        lessonNotes[i].barTotal = 10 * i;
    }
    setScrollSpan(0.1); // 700 px = 7000 ms
    ASSERT_EQ(scrollTravelMs, 7000);
    ASSERT_EQ(scrollDurationMs, 1400);

    startScrollIfDueAt(6999);
    EXPECT_FALSE(scrollActive);
    startScrollIfDueAt(7000);
    ASSERT_TRUE(scrollActive);
    EXPECT_EQ(scrollStartMs, 7000);

    // Growing: only the indicator moves.
    for (int32_t t : {7000, 7700, 8400}) {
        advanceScrollAt(t);
        EXPECT_TRUE(scrollGrowing) << t;
        EXPECT_EQ(viewStartMs, 0) << t;
    }
    EXPECT_EQ(scrollOffsetMs, 7000);
    advanceScrollAt(8401);
    EXPECT_FALSE(scrollGrowing);
    EXPECT_EQ(viewStartMs, 0);

    // Sliding: the view follows the shrinking indicator, then stays.
    advanceScrollAt(8500);
    EXPECT_EQ(viewStartMs, 500);
    EXPECT_EQ(firstVisibleNote, 1);
    EXPECT_EQ(viewOriginMs, 510);
    advanceScrollAt(9799);
    EXPECT_EQ(viewStartMs, 6995);
    EXPECT_EQ(firstVisibleNote, 3) << "note 3 is not reached yet";
    advanceScrollAt(9800);
    EXPECT_FALSE(scrollActive);
    EXPECT_EQ(viewStartMs, 6995);
}

namespace {

// A counting grid of records every 500 ms, kinds as given; `reached` records
// are reached on time.
void grid(const std::vector<int32_t> &kinds, int32_t reached)
{
    resetReplayView();
    lessonNoteCount = 1;
    lessonNotes[0] = TimedNote{};
    lessonNotes[1] = TimedNote{};
    beatRecordCount = static_cast<int32_t>(kinds.size());
    for (int32_t c = 0; c < beatRecordCount; ++c) {
        beatRecords[c] = BeatRecord{};
        beatRecords[c].kind = kinds[c];
        beatRecords[c].msTime = 500 * c;
        beatRecords[c].msToNext = 500;
        beatRecords[c].reachedMark = c < reached ? 500 * c : -1;
    }
}

std::vector<std::tuple<double, double, int>> points()
{
    std::vector<std::tuple<double, double, int>> p;
    for (int32_t i = 0; i < batonPointCount; ++i) p.emplace_back(batonX[i], batonHeight[i], batonSegmentStart[i]);
    return p;
}

using Points = std::vector<std::tuple<double, double, int>>;

} // namespace

TEST(BatonCurve, NothingReachedGivesOneOrTwoPoints)
{
    grid({1, 2, 1, 2}, 0);
    buildBatonCurve(300, 0.05);
    EXPECT_EQ(batonPointCount, 1);
    beatRecords[0].barLine = 1;
    beatRecords[0].barOffset = 40;
    buildBatonCurve(300, 0.05);
    EXPECT_EQ(points(), (Points{{-40, 0, 1}, {0, 0, 0}}));
}

TEST(BatonCurve, BeatsAndHalfBeatsUpToThePlayTime)
{
    grid({1, 2, 1, 2, 1}, 4);
    buildBatonCurve(1800, 0.05); // 300 ms into the half beat at 1500: 15 px up
    EXPECT_EQ(points(), (Points{{0, 30, 0}, {500, 0, 0}, {1000, 30, 0}, {1500, 0, 0}, {1800, 15, 0}}));
    buildBatonCurve(2300, 0.05); // the half beat ended more than 200 ms ago
    EXPECT_EQ(points(), (Points{{0, 30, 0}, {500, 0, 0}, {1000, 30, 0}, {1500, 0, 0}, {2000, 0, 0}, {2300, 0, 0}}));
}

TEST(BatonCurve, ABarLineSplitsTheCurveAndAHeldTrackIsLevel)
{
    grid({1, 2, 1, 2, 1}, 4);
    for (int32_t c = 2; c < 5; ++c) beatRecords[c].barTotal = 40;
    beatRecords[2].barLine = 1;
    beatRecords[2].barOffset = 40;
    beatRecords[3].reachedMark = 1600; // the click track held back by 100 ms
    buildBatonCurve(1700, 0.05);
    EXPECT_EQ(points(), (Points{{0, 30, 0},
                                {500, 0, 0},
                                {1000, 30, 0},
                                {1040, 30, 1}, // the stroke jumps over the bar line
                                {1540, 0, 0},
                                {1640, 0, 0}, // level while the track waited
                                {1740, 5, 0}}));
}

TEST(BatonCurve, StartHeightsOfTheCountingGrid)
{
    struct Case { int32_t kind, previous; double height; };
    const Case cases[] = {{1, 2, 30}, {2, 1, 0}, {3, 1, 15}, {4, 3, 15}, {5, 1, 25}, {5, 2, 5}, {5, 3, 10},
                          {5, 4, 20}, {6, 1, 20}, {6, 2, 10}, {6, 3, 5}, {6, 4, 25}, {5, 6, -1}, {6, 5, -1}};
    for (const Case &c : cases) EXPECT_EQ(batonStartHeight(c.kind, c.previous), c.height) << c.kind << c.previous;
}
