// Scroll and baton curve of the replay view.
#include "replay/replay_view.h"

#include <algorithm>
#include <cstring>

#include "base/rounding.h"
#include "lessons/lesson_state.h"
#include "music/tune_state.h"

int32_t viewStartMs = 0;
int32_t viewOriginMs = 0;
int32_t firstVisibleNote = 0;
int32_t scrollTravelMs = 0;
int32_t scrollDurationMs = 0;
bool scrollActive = false;
bool scrollGrowing = false;
int32_t scrollStartMs = 0;
int32_t scrollOffsetMs = 0;


int32_t batonPointCount = 0;
double batonX[batonCapacity];
double batonHeight[batonCapacity];
uint8_t batonSegmentStart[batonCapacity];

void setScrollSpan(double viewPxPerMs)
{
    scrollTravelMs = viewPxPerMs > 0 ? roundToInt32(700.0 / viewPxPerMs) : 0;
    scrollDurationMs = roundToInt32(scrollTravelMs / 5.0);
}

void resetReplayView()
{
    viewStartMs = viewOriginMs = firstVisibleNote = 0;
    scrollActive = scrollGrowing = false;
    scrollStartMs = scrollOffsetMs = 0;
    batonPointCount = 0;
}

void startScrollIfDueAt(int32_t t)
{
    if (scrollActive || t - viewStartMs < scrollTravelMs) return;
    scrollActive = true;
    scrollGrowing = true;
    scrollStartMs = t;
}

void advanceScrollAt(int32_t t)
{
    if (!scrollActive || scrollDurationMs <= 0) {
        scrollActive = scrollActive && scrollDurationMs > 0;
        return;
    }
    if (scrollGrowing) {
        scrollOffsetMs = roundToInt32(double(scrollTravelMs) * (t - scrollStartMs) / scrollDurationMs);
        if (scrollOffsetMs > scrollTravelMs) scrollGrowing = false;
        return;
    }
    scrollOffsetMs =
        scrollTravelMs - roundToInt32(double(scrollTravelMs) * (t - (scrollStartMs + scrollDurationMs)) / scrollDurationMs);
    if (scrollOffsetMs < 1) {
        scrollActive = false;
        return;
    }
    viewStartMs = scrollStartMs - scrollOffsetMs;
    while (firstVisibleNote < lessonNoteCount && lessonNotes[firstVisibleNote].reachedMs != -1 &&
           lessonNotes[firstVisibleNote].reachedMs < viewStartMs)
        ++firstVisibleNote;
    viewOriginMs = viewStartMs + lessonNotes[firstVisibleNote].barTotal;
}

// ---- Baton curve -------------------------------------------------------

double batonStartHeight(int32_t kind, int32_t previous)
{
    switch (kind) {
    case 1: return 30;
    case 2: return 0;
    case 3:
    case 4: return 15;
    case 5: {
        static const double after[] = {-1, 25, 5, 10, 20};
        return previous >= 1 && previous <= 4 ? after[previous] : -1;
    }
    case 6: {
        static const double after[] = {-1, 20, 10, 5, 25};
        return previous >= 1 && previous <= 4 ? after[previous] : -1;
    }
    default: return -1;
    }
}

// Height at fraction f of a record of kind k followed by one of kind n; -1
// where the grid has no rule.
static double heightInside(int32_t k, int32_t n, double f)
{
    switch (n) {
    case 1:
        if (k == 4) return 15 + 15 * f;
        if (k == 5) return 20 + 10 * f;
        if (k == 6) return 25 + 5 * f;
        break;
    case 2:
        if (k == 3) return 15 - 15 * f;
        if (k == 5) return 10 - 10 * f;
        if (k == 6) return 5 - 5 * f;
        break;
    case 3:
        if (k == 1) return 30 - 15 * f;
        if (k == 5) return 25 - 10 * f;
        if (k == 6) return 20 - 5 * f;
        break;
    case 4:
        if (k == 2) return 15 * f;
        if (k == 5) return 5 + 10 * f;
        if (k == 6) return 10 + 5 * f;
        break;
    case 5:
        if (k == 1) return 30 - 5 * f;
        if (k == 2) return 5 * f;
        if (k == 3) return 15 - 5 * f;
        if (k == 4) return 15 + 5 * f;
        break;
    case 6:
        if (k == 1) return 30 - 10 * f;
        if (k == 2) return 10 * f;
        if (k == 3) return 15 - 10 * f;
        if (k == 4) return 15 + 10 * f;
        break;
    default: break;
    }
    return -1;
}

// The last reached record's height: where it ended (`ended`), else moving by d.
static double lastStretchHeight(int32_t k, int32_t p, bool ended, double d)
{
    const bool afterBeatOrE = p == 1 || p == 3;
    switch (k) {
    case 1: return ended ? 30 : 30 - d;
    case 2: return ended ? 0 : d;
    case 3: return ended ? 15 : 15 - d;
    case 4: return ended ? 30 : 15 + d;
    case 5: return ended ? (afterBeatOrE ? 0 : 30) : (afterBeatOrE ? 10 - d : 20 + d);
    case 6: return ended ? 15 : (afterBeatOrE ? 20 - d : 10 + d);
    default: return 0;
    }
}

static void addPoint(double x, double height, bool segmentStart)
{
    if (batonPointCount == batonCapacity) { // keep the newest points
        std::memmove(batonX, batonX + 1, sizeof(double) * (batonCapacity - 1));
        std::memmove(batonHeight, batonHeight + 1, sizeof(double) * (batonCapacity - 1));
        std::memmove(batonSegmentStart, batonSegmentStart + 1, batonCapacity - 1);
        --batonPointCount;
    }
    batonX[batonPointCount] = x;
    batonHeight[batonPointCount] = std::clamp(height, 0.0, 30.0);
    batonSegmentStart[batonPointCount] = segmentStart ? 1 : 0;
    ++batonPointCount;
}

static int32_t kindOf(int32_t c) { return c >= 0 && c < beatRecordCount ? beatRecords[c].kind : 0; }

// Height where record c begins; without a rule the curve stays level at `level`.
static double startHeightOf(int32_t c, double level)
{
    const double h = batonStartHeight(kindOf(c), kindOf(c - 1));
    return h < 0 ? level : h;
}

void buildBatonCurve(int32_t clockMs, double heightPerMs)
{
    batonPointCount = 0;
    if (beatRecordCount <= 0) return;
    int32_t i = 0;
    while (i < lessonNoteCount && lessonNotes[i].reachedMs != -1 && lessonNotes[i].reachedMs < viewStartMs) ++i;
    int32_t c = i == 0 ? 0 : lessonNotes[i - 1].firstBeat;
    if (c > 0) {
        while (c < beatRecordCount && beatRecords[c].reachedMark != -1 && beatRecords[c].reachedMark <= viewStartMs)
            ++c;
        --c;
    }
    c = std::clamp(c, 0, beatRecordCount - 1);

    // The first point, at the view's left edge.
    const BeatRecord &first = beatRecords[c];
    double height;
    if (first.msToNext > 0 && first.reachedMark != -1 && viewStartMs >= first.reachedMark &&
        viewStartMs < first.reachedMark + first.msToNext) {
        const double f = double(viewStartMs - first.reachedMark) / first.msToNext;
        height = heightInside(first.kind, kindOf(c + 1), f);
        if (height < 0) { // no rule: the straight move from this record's height to the next one's
            const double from = startHeightOf(c, 0), to = startHeightOf(c + 1, from);
            height = from + (to - from) * f;
        }
    } else {
        height = startHeightOf(c + 1, 0);
    }
    addPoint(std::max<double>(first.barTotal, viewOriginMs), height, false);
    if (first.barLine) {
        addPoint(batonX[0], height, false);
        batonX[0] -= first.barOffset;
        batonSegmentStart[0] = 1;
    }

    // One point where each reached record begins.
    while (c + 1 < beatRecordCount && beatRecords[c + 1].reachedMark != -1) {
        const BeatRecord &r = beatRecords[c];
        const BeatRecord &next = beatRecords[c + 1];
        const double h = startHeightOf(c + 1, batonHeight[batonPointCount - 1]);
        const double x = double(r.reachedMark) + r.barTotal + r.msToNext;
        addPoint(x, h, false);
        if (next.barLine) addPoint(x + next.barOffset, h, true);
        if (r.reachedMark + r.msToNext != next.reachedMark) // the click track was held back
            addPoint(double(next.reachedMark) + next.barTotal, h, false);
        ++c;
    }

    // The last stretch up to the play time.
    const BeatRecord &last = beatRecords[c];
    if (last.reachedMark == -1 || last.reachedMark >= clockMs) return;
    const int32_t k = last.kind, p = kindOf(c - 1);
    if (last.reachedMark + last.msToNext + 200 < clockMs) {
        const double h = lastStretchHeight(k, p, true, 0);
        addPoint(double(last.reachedMark) + last.barTotal + last.msToNext, h, false);
        addPoint(double(last.barTotal) + clockMs, h, false);
    } else {
        const double d = heightPerMs * (clockMs - last.reachedMark);
        addPoint(double(last.barTotal) + clockMs, lastStretchHeight(k, p, false, d), false);
    }
}
