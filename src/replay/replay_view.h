// The replay view's window on the lesson and the baton curve above it.
//
// The view shows a window of the lesson; when the play time has travelled
// 700 pixels from the window's left edge, the window slides right in two
// phases: first only the scroll indicator grows (scrollOffsetMs rises to
// scrollTravelMs), then the view slides by scrollTravelMs while the indicator
// shrinks back. The baton curve rises and falls with the counting grid (the
// kinds of the beat records) over the part of the tune already played.
//
// Positions are times plus bar offsets in ms, as the score view places them.
#pragma once
#include <cstdint>

// The view (the exercise run and the introduction reset them when they start).
extern int32_t viewStartMs;      // time at the view's left edge
extern int32_t viewOriginMs;     // viewStartMs + barTotal of the first visible note
extern int32_t firstVisibleNote; // first note reached at or after viewStartMs, or not reached

// The scroll.
extern int32_t scrollTravelMs;   // round(700 / pixels per ms)
extern int32_t scrollDurationMs; // round(scrollTravelMs / 5)
extern bool scrollActive;
extern bool scrollGrowing;
extern int32_t scrollStartMs;
extern int32_t scrollOffsetMs;

// Sets the scroll's travel and duration from the view's scale.
void setScrollSpan(double viewPxPerMs);
// Resets view and scroll to the start of the lesson.
void resetReplayView();

// At play time t: starts a scroll when none is active and t - viewStartMs
// reaches scrollTravelMs; advances an active one.
void startScrollIfDueAt(int32_t t);
void advanceScrollAt(int32_t t);

// The baton curve: point i at batonX[i] (time plus bar offset, ms) and
// batonHeight[i] pixels (0..30) above the line; a segment start begins a new
// stroke (after a bar line's gap).
constexpr int32_t batonCapacity = 502;
extern int32_t batonPointCount;
extern double batonX[batonCapacity];
extern double batonHeight[batonCapacity];
extern uint8_t batonSegmentStart[batonCapacity];

// Builds the curve from the view's left edge up to the play time clockMs,
// from the reached marks of the beat records; heightPerMs is how fast the
// last stretch's height moves (the score's pixels per ms). A curve longer
// than the arrays keeps its newest points.
void buildBatonCurve(int32_t clockMs, double heightPerMs);

// The height where a record of kind `kind` begins after one of kind
// `previous` (1 beat, 2 half beat, 3 'e', 4 'a', 5 't', 6 'l'); -1 where the
// grid has no rule.
double batonStartHeight(int32_t kind, int32_t previous);

