// The detector's stages on small hand-made inputs: event pass, merge,
// histogram, candidates, votes, event matching and the verification run.
#include "sound/pitch_detector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

PitchWorkspace ws; // large; one shared instance

// A window drawn through (index, value) points, linear in between, holding
// the last value to the end. A jump is two points on neighbouring samples.
std::vector<int16_t> drawn(std::vector<std::pair<int32_t, int32_t>> points)
{
    std::vector<int16_t> w(analysisWindowLength, int16_t(points.back().second));
    for (size_t k = 0; k + 1 < points.size(); ++k) {
        const auto [i0, v0] = points[k];
        const auto [i1, v1] = points[k + 1];
        for (int32_t i = i0; i <= i1; ++i)
            w[i] = int16_t(v0 + (v1 - v0) * double(i - i0) / double(i1 == i0 ? 1 : i1 - i0));
    }
    return w;
}

// amplitude 3000: T1 2000, H 1998, T3 666, T2 1000, V 3400
const PitchThresholds t3000 = pitchThresholds(3000);

void eventsOf(const std::vector<int16_t> &w)
{
    std::memset(eventTypeAtSample, 0, sizeof eventTypeAtSample);
    findPitchEvents(ws, w.data(), 0, t3000);
    mergePitchEvents(ws);
}

void clearLists()
{
    for (int32_t &n : ws.listCount) n = 0;
    std::memset(ws.x, 0, sizeof ws.x);
}

void addListed(int32_t list, int32_t index, int32_t value, int32_t grade, double position = 0.0)
{
    ws.lists[list][ws.listCount[list]++] = ListedEvent{index, value, grade, position};
}

} // namespace

TEST(PitchStages, ThresholdsTable)
{
    struct Case {
        int32_t a, t1, h, t3, t2, v;
    } cases[] = {{2500, 1666, 1664, 554, 833, 3233},
                 {10000, 6666, 6664, 2221, 3333, 5733},
                 {32767, 21844, 21842, 7280, 10922, 13322}};
    for (const Case &c : cases) {
        const PitchThresholds t = pitchThresholds(c.a);
        EXPECT_EQ(t.t1, c.t1) << c.a;
        EXPECT_EQ(t.h, c.h) << c.a;
        EXPECT_EQ(t.t3, c.t3) << c.a;
        EXPECT_EQ(t.t2, c.t2) << c.a;
        EXPECT_EQ(t.v, c.v) << c.a;
    }
}

TEST(PitchStages, FlatTopsSitInTheirMiddle)
{
    struct Case {
        int32_t topLength;
        double position;
        int32_t marked;
    } cases[] = {{1, 200.0, 200}, {5, 202.0, 202}, {4, 201.5, 202}, {2, 200.5, 200}};
    for (const Case &c : cases) {
        const int32_t end = 200 + c.topLength - 1;
        eventsOf(drawn({{0, 0}, {100, -1500}, {199, 2300}, {200, 2400}, {end, 2400},
                        {end + 95, -1500}}));
        ASSERT_EQ(ws.listCount[listPeaks], 1) << c.topLength;
        EXPECT_EQ(ws.lists[listPeaks][0].index, 200);
        EXPECT_EQ(ws.lists[listPeaks][0].grade, gradeConfirmedPeak);
        EXPECT_EQ(ws.lists[listPeaks][0].position, c.position) << c.topLength;
        EXPECT_EQ(eventTypeAtSample[c.marked], eventPeak) << c.topLength;
        ASSERT_EQ(ws.listCount[listUpMarks], 1);
        EXPECT_EQ(ws.lists[listUpMarks][0].grade, gradeStrongUpMark);
    }
}

TEST(PitchStages, CrossingPositionsAreInterpolated)
{
    struct Case {
        int32_t after;
        double position;
    } cases[] = {{100, 99.75}, {0, 100.0}, {300, 99.5}};
    for (const Case &c : cases) {
        eventsOf(drawn({{0, -1500}, {98, -1500}, {99, -300}, {100, c.after}, {150, 2400},
                        {250, -1500}}));
        ASSERT_EQ(ws.listCount[listUpMarks], 1) << c.after;
        EXPECT_EQ(ws.lists[listUpMarks][0].index, 100);
        EXPECT_EQ(ws.lists[listUpMarks][0].position, c.position) << c.after;
        EXPECT_EQ(ws.merged[0].kind, eventUpCrossing);
        EXPECT_EQ(ws.merged[0].position, c.position);
        EXPECT_EQ(eventTypeAtSample[100], eventUpCrossing);
    }
}

TEST(PitchStages, MarkGradesFollowTheSwings)
{
    // lo is the lowest value before the peak, from the window start.
    struct Case {
        int32_t low, peak, marks, grade;
    } cases[] = {{-1500, 2400, 1, gradeStrongUpMark}, {-900, 2400, 1, gradeUpMark},
                 {-1500, 1100, 1, gradeStrongUpMark}, {-660, 2400, 0, 0},
                 {-1500, 900, 1, gradeUpMark}};
    for (const Case &c : cases) {
        eventsOf(drawn({{0, 0}, {50, c.low}, {150, c.peak}, {250, c.peak - 2100}}));
        ASSERT_EQ(ws.listCount[listPeaks], 1) << c.low << " " << c.peak;
        EXPECT_EQ(ws.listCount[listUpMarks], c.marks) << c.low << " " << c.peak;
        if (c.marks == 1) {
            EXPECT_EQ(ws.lists[listUpMarks][0].grade, c.grade) << c.low << " " << c.peak;
        }
    }
}

TEST(PitchStages, ProvisionalPeaksAndValleys)
{
    // The signal drops to 401: below peak - H (402), not below peak - T1 (400).
    struct Case {
        const char *what;
        int32_t then; // where it goes after resting at 401
        int32_t grade;
    } cases[] = {{"undercut later", -1500, gradeConfirmedPeak},
                 {"rises again", 2500, gradeProvisionalPeak},
                 {"stays", 401, gradeProvisionalPeak}};
    for (const Case &c : cases) {
        eventsOf(drawn({{0, -1500}, {150, 2400}, {151, 401}, {170, 401}, {171, c.then}}));
        ASSERT_GE(ws.listCount[listPeaks], 1) << c.what;
        EXPECT_EQ(ws.lists[listPeaks][0].grade, c.grade) << c.what;
        EXPECT_EQ(ws.merged[1].kind, eventPeak) << c.what;
        EXPECT_EQ(ws.merged[1].grade, c.grade) << c.what;
        EXPECT_EQ(ws.listCount[listUpMarks], 1) << c.what; // decided once
    }

    // The mirror: a rise to -401 is above valley + H, not above valley + T1.
    struct Mirror {
        const char *what;
        int32_t then, grade;
    } mirrors[] = {{"overshot later", 1500, gradeConfirmedValley},
                   {"falls again", -2500, gradeProvisionalValley}};
    for (const Mirror &c : mirrors) {
        eventsOf(drawn({{0, 1500}, {150, -2400}, {151, -401}, {170, -401}, {171, c.then}}));
        ASSERT_GE(ws.listCount[listValleys], 1) << c.what;
        EXPECT_EQ(ws.lists[listValleys][0].grade, c.grade) << c.what;
        EXPECT_EQ(ws.listCount[listDownMarks], 1) << c.what;
    }
}

TEST(PitchStages, CrossingAtThePeakSampleBelongsToNoPeak)
{
    // A jump from -1500 to 700 crosses zero and starts the rise on one sample.
    // If the peak stays there, the crossing is not before it: no mark.
    eventsOf(drawn({{0, -1500}, {99, -1500}, {100, 700}, {120, 700}, {121, -1500}}));
    ASSERT_EQ(ws.listCount[listPeaks], 1);
    EXPECT_EQ(ws.lists[listPeaks][0].index, 100);
    EXPECT_EQ(ws.listCount[listUpMarks], 0);

    // If the peak moves on, the crossing where the rise started is used.
    eventsOf(drawn({{0, -1500}, {99, -1500}, {100, 700}, {150, 2400}, {250, -1500}}));
    ASSERT_EQ(ws.listCount[listPeaks], 1);
    EXPECT_EQ(ws.lists[listPeaks][0].index, 150);
    ASSERT_EQ(ws.listCount[listUpMarks], 1);
    EXPECT_EQ(ws.lists[listUpMarks][0].index, 100);
}

// Dense peaks (a short period) end the event pass at the first rest past
// 1920 samples once 36 peaks are listed; the valley machine stops there too.
// Sparse peaks are followed to the window's end.
TEST(PitchStages, DensePeaksEndTheEventPassEarly)
{
    struct Case {
        int32_t period;
        bool dense;
    } cases[] = {{40, true}, {50, true}, {120, false}, {200, false}};
    for (const Case &c : cases) {
        std::vector<int16_t> w(analysisWindowLength);
        for (int32_t i = 0; i < analysisWindowLength; ++i)
            w[i] = int16_t(std::lround(3000.0 * std::sin(2.0 * M_PI * i / c.period)));
        eventsOf(w);
        const int32_t lastPeak = ws.lists[listPeaks][ws.listCount[listPeaks] - 1].index;
        const int32_t lastValley = ws.lists[listValleys][ws.listCount[listValleys] - 1].index;
        if (c.dense) {
            EXPECT_GE(lastPeak, 1920 - c.period) << c.period;
            EXPECT_LT(lastPeak, 1920 + c.period) << c.period;
            EXPECT_LT(lastValley, 1920 + c.period) << c.period;
            EXPECT_GE(ws.listCount[listPeaks], 36) << c.period;
        } else {
            EXPECT_GE(lastPeak, analysisWindowLength - c.period) << c.period;
            EXPECT_GE(lastValley, analysisWindowLength - c.period) << c.period;
        }
    }
}

TEST(PitchStages, MergePutsCrossingsFirstOnEqualIndex)
{
    clearLists();
    ws.x[9] = 100;
    ws.x[10] = -100;
    ws.x[29] = -100;
    ws.x[30] = 100;
    addListed(listPeaks, 10, -100, gradeConfirmedPeak);
    addListed(listValleys, 30, 100, gradeConfirmedValley);
    addListed(listUpMarks, 30, 0, gradeUpMark);
    addListed(listDownMarks, 10, 0, gradeDownMark);
    mergePitchEvents(ws);
    ASSERT_EQ(ws.mergedCount, 4);
    const int32_t kinds[] = {eventDownCrossing, eventPeak, eventUpCrossing, eventValley};
    const double positions[] = {9.5, 10.0, 29.5, 30.0};
    for (int32_t k = 0; k < 4; ++k) {
        EXPECT_EQ(ws.merged[k].kind, kinds[k]) << k;
        EXPECT_EQ(ws.merged[k].position, positions[k]) << k;
    }
}

TEST(PitchStages, HistogramRoundsIntervalsHalfToEven)
{
    struct Case {
        double interval;
        int32_t bin; // -1: no contribution
    } cases[] = {{100.5, 100}, {101.5, 102}, {831.4, 831}, {831.6, -1}, {3.0, 3}};
    for (const Case &c : cases) {
        clearLists();
        addListed(listValleys, 0, 0, gradeConfirmedValley, 10.0);
        addListed(listValleys, 0, 0, gradeConfirmedValley, 10.0 + c.interval);
        addListed(listPeaks, 0, 0, gradeConfirmedPeak, 50.0); // one entry: nothing
        buildIntervalHistogram(ws);
        int32_t total = 0;
        for (int32_t k = histogramLow; k <= histogramHigh; ++k) total += histogramBin(ws, k);
        if (c.bin < 0) {
            EXPECT_EQ(total, 0) << c.interval;
            continue;
        }
        EXPECT_EQ(total, 25) << c.interval;
        EXPECT_EQ(histogramBin(ws, c.bin), 5) << c.interval;
        EXPECT_EQ(histogramBin(ws, c.bin - 4), 1) << c.interval;
        EXPECT_EQ(histogramBin(ws, c.bin + 4), 1) << c.interval;
    }

    // Pairs several periods apart add triangles at the multiples.
    clearLists();
    for (int32_t k = 0; k < 4; ++k) addListed(listUpMarks, 0, 0, gradeUpMark, 300.0 * k);
    buildIntervalHistogram(ws);
    EXPECT_EQ(histogramBin(ws, 300), 3 * 5);
    EXPECT_EQ(histogramBin(ws, 600), 2 * 5);
    int32_t total = 0; // the pair 900 apart is beyond the longest period
    for (int32_t k = histogramLow; k <= histogramHigh; ++k) total += histogramBin(ws, k);
    EXPECT_EQ(total, 5 * 25);

    // An event pairs with the next twelve of its list at most: a short
    // period's thirteenth multiple, within the longest interval, gets nothing.
    clearLists();
    for (int32_t k = 0; k < 20; ++k) addListed(listPeaks, 0, 0, gradeConfirmedPeak, 40.0 * k);
    buildIntervalHistogram(ws);
    EXPECT_EQ(histogramBin(ws, 12 * 40), (20 - 12) * 5);
    EXPECT_EQ(histogramBin(ws, 13 * 40), 0);

    // A list of 64 events or more pairs every second event only.
    clearLists();
    for (int32_t k = 0; k < 80; ++k) addListed(listPeaks, 0, 0, gradeConfirmedPeak, 40.0 * k);
    buildIntervalHistogram(ws);
    EXPECT_EQ(histogramBin(ws, 40), 40 * 5);
}

namespace {

void setHistogram(std::vector<std::pair<int32_t, int32_t>> bins)
{
    std::memset(ws.histogram, 0, sizeof ws.histogram);
    for (auto [k, count] : bins) histogramBin(ws, k) = count;
}

} // namespace

TEST(PitchStages, CandidatesRankByCountLaterBinFirst)
{
    setHistogram({{200, 40}, {201, 40}, {50, 90}, {831, 10}, {832, 99}});
    chooseCandidates(ws);
    EXPECT_EQ(ws.candidates[0].p, 50);
    EXPECT_EQ(ws.candidates[1].p, 201);
    EXPECT_EQ(ws.candidates[2].p, 200);
    EXPECT_EQ(ws.candidates[3].p, 831); // bins past 831 never enter
    EXPECT_EQ(ws.candidates[4].score, 0);

    // Thirteen bins: the weakest is dropped.
    std::vector<std::pair<int32_t, int32_t>> bins;
    for (int32_t k = 0; k < 13; ++k) bins.push_back({100 + 20 * k, 10 + k});
    setHistogram(bins);
    chooseCandidates(ws);
    EXPECT_EQ(ws.candidates[0].p, 340);
    EXPECT_EQ(ws.candidates[11].p, 120);

    // Nothing in bins 0..831: every candidate stays at p = 0.
    setHistogram({{-3, 7}, {835, 7}});
    chooseCandidates(ws);
    for (const PeriodCandidate &c : ws.candidates) EXPECT_EQ(c.p, 0);
    EXPECT_EQ(weighCandidates(ws, 0.0), 0);
}

TEST(PitchStages, PreviousPeriodBonus)
{
    struct Case {
        int32_t p;
        double previous;
        int32_t bonus;
    } cases[] = {{200, 200.5, 10}, {200, 202.4, 10}, {200, 202.6, 0}, {200, 197.5, 10},
                 {200, 197.4, 0},  {2, 0.0, 10},     {3, 0.0, 0}};
    for (const Case &c : cases) {
        setHistogram({{c.p, 160}});
        chooseCandidates(ws);
        weighCandidates(ws, c.previous);
        EXPECT_EQ(ws.candidates[0].support, 160 + c.bonus) << c.p << " after " << c.previous;
    }
}

TEST(PitchStages, VotesFromMultiplesUseTheirTolerance)
{
    struct Case {
        int32_t p, multipleBin;
        bool votes;
    } cases[] = {{166, 333, true},  {166, 334, false}, {167, 338, true}, {167, 339, false},
                 {400, 810, true},  {400, 811, false}, {200, 600, true}, {150, 602, false},
                 {150, 600, true},  {100, 401, true},  {100, 402, false}};
    for (const Case &c : cases) {
        setHistogram({{c.p, 100}, {c.multipleBin, 90}});
        chooseCandidates(ws);
        ASSERT_EQ(ws.candidates[0].p, c.p);
        weighCandidates(ws, 0.0);
        EXPECT_EQ(ws.candidates[0].support, c.votes ? 109 : 100) << c.p << " / " << c.multipleBin;
    }
}

// A multiple that straddles two neighbouring bins (a period of 75.08 samples
// puts its third multiple in 450 and 451) is one multiple: it votes once,
// with the stronger of the two.
TEST(PitchStages, EachMultipleVotesOnce)
{
    struct Case {
        const char *what;
        std::vector<std::pair<int32_t, int32_t>> bins;
        int32_t support; // of candidate 150 after the votes
    } cases[] = {
        // 450 and 451 each hold both bins in their support: 90 + 80.
        {"two neighbours at three periods", {{150, 100}, {450, 90}, {451, 80}}, 100 + 17},
        {"the stronger of two apart", {{150, 100}, {449, 90}, {451, 80}}, 100 + 17},
        {"one neighbour", {{150, 100}, {451, 80}}, 100 + 8},
    };
    for (const Case &c : cases) {
        setHistogram(c.bins);
        chooseCandidates(ws);
        ASSERT_EQ(ws.candidates[0].p, 150) << c.what;
        weighCandidates(ws, 0.0);
        EXPECT_EQ(ws.candidates[0].support, c.support) << c.what;
    }
}

// Four times a short period may land two bins from its candidate (bin 60
// stands for 59.6 samples, whose four periods fall in bin 238). The wider
// window opens only when the one-bin window is empty and the candidate is at
// least 9/10 as strong as the candidate at twice its period.
TEST(PitchStages, FourTimesAShortPeriodGetsASecondLook)
{
    struct Case {
        const char *what;
        std::vector<std::pair<int32_t, int32_t>> bins;
        int32_t support; // of candidate 60 after the votes
    } cases[] = {
        // 60: own 100, + 238 at four times (9), + 119 at twice after its own vote from 238 (114 / 10).
        {"two bins off, double 105", {{60, 100}, {119, 105}, {238, 90}}, 100 + 9 + 11},
        {"double 112 is too strong", {{60, 100}, {119, 112}, {238, 90}}, 100 + 12},
        {"no candidate at twice the period", {{60, 100}, {238, 90}}, 100},
        {"three bins off", {{60, 100}, {119, 105}, {237, 90}}, 100 + 11},
    };
    for (const Case &c : cases) {
        setHistogram(c.bins);
        chooseCandidates(ws);
        weighCandidates(ws, 0.0);
        const PeriodCandidate *sixty =
            std::find_if(ws.candidates, ws.candidates + candidateCount,
                         [](const PeriodCandidate &k) { return k.p == 60; });
        ASSERT_NE(sixty, ws.candidates + candidateCount) << c.what;
        EXPECT_EQ(sixty->support, c.support) << c.what;
    }
}

TEST(PitchStages, EqualSupportGoesToTheHigherRank)
{
    setHistogram({{300, 50}, {500, 50}});
    chooseCandidates(ws);
    EXPECT_EQ(weighCandidates(ws, 0.0), 500);
}

TEST(PitchStages, RunNeededAtTheBoundaries)
{
    const std::pair<int32_t, int32_t> cases[] = {{831, 3}, {501, 3}, {500, 4}, {338, 4},
                                                 {337, 6}, {251, 6}, {250, 7}, {174, 7},
                                                 {173, 10}, {0, 10}};
    for (auto [P, run] : cases) EXPECT_EQ(runNeeded(P), run) << P;
}

namespace {

void setMerged(std::vector<PitchEvent> events)
{
    ws.mergedCount = int32_t(events.size());
    for (size_t k = 0; k < events.size(); ++k) ws.merged[k] = events[k];
}

} // namespace

TEST(PitchStages, MatchingScansTheWindowOfItsOwnKind)
{
    struct Case {
        const char *what;
        std::vector<PitchEvent> events;
        bool found;
        double distance;
    } cases[] = {
        // Crossing u at 10, P 100: window (99, 121).
        {"other kind past the extreme window does not end the scan",
         {{10.0, 0, eventUpCrossing, 11}, {119.5, 2000, eventPeak, 4}, {120.0, 0, eventUpCrossing, 11}},
         true, 110.0},
        {"window edges are strict", {{10.0, 0, eventUpCrossing, 11}, {121.0, 0, eventUpCrossing, 11}},
         false, 0.0},
        {"anything at the far edge ends the scan",
         {{10.0, 0, eventUpCrossing, 11}, {121.0, 0, eventPeak, 4}, {115.0, 0, eventUpCrossing, 11}},
         false, 0.0},
        // Peak u at 10 valued 2000, P 100: window (101, 119), values (-1400, 5400).
        {"a peak outside the value window is passed over",
         {{10.0, 2000, eventPeak, 4}, {105.0, 6000, eventPeak, 4}, {108.0, 2100, eventPeak, 4}},
         true, 98.0},
        {"peaks use the narrower window",
         {{10.0, 2000, eventPeak, 4}, {119.5, 2000, eventPeak, 4}}, false, 0.0},
        // A voice ringing with its formant has several like peaks about one
        // period on; the one nearest the period is the repeat, not the first.
        {"the repeat nearest one period on, not the first in the window",
         {{10.0, 2000, eventPeak, 4}, {103.0, 2000, eventPeak, 4}, {111.0, 2100, eventPeak, 4},
          {117.0, 1900, eventPeak, 4}},
         true, 101.0},
        {"the same for crossings",
         {{10.0, 0, eventUpCrossing, 11}, {100.0, 0, eventUpCrossing, 11},
          {108.5, 0, eventUpCrossing, 11}, {118.0, 0, eventUpCrossing, 11}},
         true, 98.5},
    };
    for (const Case &c : cases) {
        setMerged(c.events);
        double distance = 0.0;
        EXPECT_EQ(matchNextEvent(ws, 0, 100.0, 3400, distance), c.found) << c.what;
        if (c.found) {
            EXPECT_EQ(distance, c.distance) << c.what;
        }
    }
}

TEST(PitchStages, OnlyWeakUnmatchedEventsBreakTheRun)
{
    struct Case {
        int32_t kind, grade, bestRun;
        double bestSum;
    } cases[] = {{eventPeak, gradeProvisionalPeak, 3, 300.0},
                 {eventPeak, gradeConfirmedPeak, 4, 400.0},
                 {eventDownCrossing, gradeDownMark, 3, 300.0},
                 {eventDownCrossing, gradeStrongDownMark, 4, 400.0}};
    for (const Case &c : cases) {
        setMerged({{0.0, 0, eventUpCrossing, 11},
                   {100.0, 0, eventUpCrossing, 11},
                   {200.0, 0, eventUpCrossing, 11},
                   {250.0, 900, c.kind, c.grade},
                   {300.0, 0, eventUpCrossing, 11},
                   {400.0, 0, eventUpCrossing, 11}});
        int32_t bestRun = 0;
        double bestSum = 0.0;
        verifyPeriod(ws, 100, 3400, bestRun, bestSum);
        EXPECT_EQ(bestRun, c.bestRun) << c.grade;
        EXPECT_EQ(bestSum, c.bestSum) << c.grade;
    }
    // A period of 0 matches nothing.
    int32_t bestRun = 0;
    double bestSum = 0.0;
    verifyPeriod(ws, 0, 3400, bestRun, bestSum);
    EXPECT_EQ(bestRun, 0);
}

namespace {

// One window of a low voice that rings: at every period a pulse, then its
// first formant (730 Hz, 60 samples a cycle) ringing down, over a fundamental
// of the same size. Within the match window around one period on there are
// three or four like peaks of the ringing.
std::vector<int16_t> ringingVoice(double hz)
{
    const double period = 44100.0 / hz;
    std::vector<int16_t> w(analysisWindowLength);
    for (int32_t n = 0; n < analysisWindowLength; ++n) {
        const double since = std::fmod(n + 37.0, period); // samples since the last pulse
        const double ring = std::exp(-since / 180.0) * std::sin(6.283185307179586 * 730.0 * since / 44100.0);
        const double fundamental = std::sin(6.283185307179586 * (n + 37.0) / period);
        w[n] = int16_t(std::nearbyint(9000.0 * ring + 6000.0 * fundamental));
    }
    return w;
}

} // namespace

// The period of a ringing low voice (65.41 Hz, C2: 674.2 samples) is
// measured from period to period: the verification run takes each event's
// repeat nearest one period on (the first in the window is a ringing peak
// about 60 samples early, which read such voices 20-40 cents sharp), and the
// lag of greatest self-similarity then gives the period to a small fraction
// of a sample.
TEST(PitchStages, RingingLowVoiceIsMeasuredPeriodToPeriod)
{
    const double truth = 44100.0 / 65.41;
    const std::vector<int16_t> w = ringingVoice(65.41);
    int32_t top = 0;
    for (int16_t v : w) top = std::max<int32_t>(top, std::abs(v));
    const PitchThresholds t = pitchThresholds(top);
    std::memset(eventTypeAtSample, 0, sizeof eventTypeAtSample);
    findPitchEvents(ws, w.data(), 0, t);
    mergePitchEvents(ws);
    buildIntervalHistogram(ws);
    chooseCandidates(ws);
    const int32_t P = weighCandidates(ws, 0.0);
    ASSERT_NEAR(P, truth, 3.0);
    int32_t bestRun = 0;
    double bestSum = 0.0;
    verifyPeriod(ws, P, t.v, bestRun, bestSum);
    ASSERT_GE(bestRun, runNeeded(P));
    EXPECT_NEAR(bestSum / bestRun, truth, 1.5); // the first like peak: 650.6, 62 cents sharp
    EXPECT_NEAR(refinePeriod(ws, bestSum / bestRun, t.t3), truth, 0.05);
}

// The refinement keeps the estimate when the window has no maximum of
// self-similarity inside the span around it, or no sound.
TEST(PitchStages, RefinementNeedsAMaximumInsideItsSpan)
{
    const std::vector<int16_t> w = ringingVoice(65.41);
    std::memset(eventTypeAtSample, 0, sizeof eventTypeAtSample);
    findPitchEvents(ws, w.data(), 0, pitchThresholds(12000));
    EXPECT_NEAR(refinePeriod(ws, 674.0, 2000), 44100.0 / 65.41, 0.05);
    // A straight rise correlates best at the shortest lag: the span's edge.
    for (int32_t i = 0; i < analysisWindowLength; ++i) ws.x[i] = 5000 + 4 * i;
    EXPECT_EQ(refinePeriod(ws, 674.0, 2000), 674.0);
    std::memset(ws.x, 0, sizeof ws.x);
    EXPECT_EQ(refinePeriod(ws, 674.0, 2000), 674.0);   // silence
    ws.x[100] = 5000;
    EXPECT_EQ(refinePeriod(ws, 674.0, 2000), 674.0);   // one sounding sample
    EXPECT_EQ(wholePeriod(ws, 674.0, 2000), 674.0);
}

// A voice whose fundamental is weak and whose formant rings strongly can pass
// the verification at the ringing's period (730 Hz, 60.4 samples), which the
// window repeats only loosely; at the whole period (674.2 samples) it repeats
// well, so that is the period. A period that repeats well stays.
TEST(PitchStages, ALooselyRepeatedPeriodGivesWayToAWellRepeatedMultiple)
{
    const double truth = 44100.0 / 65.41;
    std::vector<int16_t> w(analysisWindowLength);
    for (int32_t n = 0; n < analysisWindowLength; ++n) {
        const double since = std::fmod(n + 37.0, truth);
        w[n] = int16_t(std::nearbyint(12000.0 * std::exp(-since / 180.0) *
                                      std::sin(6.283185307179586 * 730.0 * since / 44100.0)));
    }
    std::memset(eventTypeAtSample, 0, sizeof eventTypeAtSample);
    findPitchEvents(ws, w.data(), 0, pitchThresholds(12000));
    EXPECT_NEAR(wholePeriod(ws, 60.4, 2000), truth, 0.05);
    EXPECT_NEAR(wholePeriod(ws, truth, 2000), truth, 0.05);

    const std::vector<int16_t> ringing = ringingVoice(65.41); // with its fundamental
    findPitchEvents(ws, ringing.data(), 0, pitchThresholds(12000));
    EXPECT_NEAR(wholePeriod(ws, truth, 2000), truth, 0.05);
}

// A window that repeats as well at half the period has the half as its
// period: a steady tone of 587.33 Hz (75.08 samples) offered at twice that.
TEST(PitchStages, AWindowRepeatingAtHalfThePeriodHasTheHalf)
{
    const double truth = 44100.0 / 587.33;
    std::vector<int16_t> w(analysisWindowLength);
    for (int32_t n = 0; n < analysisWindowLength; ++n)
        w[n] = int16_t(std::nearbyint(17000.0 * std::sin(6.283185307179586 * n / truth + 0.4)));
    std::memset(eventTypeAtSample, 0, sizeof eventTypeAtSample);
    findPitchEvents(ws, w.data(), 0, pitchThresholds(17000));
    EXPECT_NEAR(wholePeriod(ws, 2.0 * truth, 5000), truth, 0.01);
    EXPECT_NEAR(wholePeriod(ws, truth, 5000), truth, 0.01);
    // A voice at its true period does not repeat at the half.
    const std::vector<int16_t> ringing = ringingVoice(65.41);
    findPitchEvents(ws, ringing.data(), 0, pitchThresholds(12000));
    EXPECT_NEAR(wholePeriod(ws, 44100.0 / 65.41, 2000), 44100.0 / 65.41, 0.05);
}
