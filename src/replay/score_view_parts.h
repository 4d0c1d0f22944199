// Shared pieces of the score view's source files (score_view*.cpp): the time
// axis, the drawing states and the pieces drawScoreView calls in order.
#pragma once
#include <cstdint>
#include <string_view>

#include "frame/immediate_draw.h"
#include "music/music_types.h"

namespace scoreview {

enum DrawState : int32_t { upcoming = 0, current = 1, passed = 2 };

// x of time t with bar total b.
double xOfTime(double t, int32_t barTotal);
// Scheduled time of a note (its start plus the wait shift).
int32_t scheduled(const TimedNote &n);
// The view's right edge in ms.
int32_t viewEndMs();
// The note index argument's current item: index - 1, at least 0.
inline int32_t currentOf(int32_t index) { return index - 1 > 0 ? index - 1 : 0; }

// Pictures, drawn white at alpha 0.4 (the usual picture setting).
void picture7(ImmediateDraw &d, int32_t picture, double x0, double y0, double x1, double y1, double z);
void picture6(ImmediateDraw &d, int32_t picture, double x0, double y0, double x1, double y1, double z);
uint32_t texture7(int32_t picture);
void signalTrace();
int32_t viewFont();

// The pieces, in the order the views call them.
void drawScrollIndicator(ImmediateDraw &d);
void drawScoreStaffLines(ImmediateDraw &d);
void drawScoreClefs(ImmediateDraw &d);
void drawScoreKeySignature(ImmediateDraw &d);
void drawScoreTimeSignature(ImmediateDraw &d);
void drawTuneHeader(ImmediateDraw &d);
void drawTempoText(ImmediateDraw &d);
void drawGuideAndCursor(ImmediateDraw &d, int32_t timeMs, int32_t noteIdx);
void drawBatonCurve(ImmediateDraw &d);
void drawCountingHints(ImmediateDraw &d, int32_t noteIdx);
void drawScoreNotes(ImmediateDraw &d, int32_t noteIdx);
void drawBeamsAndStems(ImmediateDraw &d, int32_t noteIdx);
void drawAccidentals(ImmediateDraw &d, int32_t noteIdx);
void drawNoteMarks(ImmediateDraw &d, int32_t noteIdx);
void drawSlurs(ImmediateDraw &d, int32_t noteIdx);
void drawBarLines(ImmediateDraw &d, int32_t noteIdx);
void drawLyricsRow(ImmediateDraw &d, int32_t noteIdx);
void drawNoteLabelsRow(ImmediateDraw &d, int32_t noteIdx);
void drawChordSymbols(ImmediateDraw &d, int32_t chordIdx);
void drawChordAccents(ImmediateDraw &d, int32_t chordIdx);
void drawAmplitudeBars(ImmediateDraw &d);
void drawOnBeatBars(ImmediateDraw &d);
void drawCueAnimation(ImmediateDraw &d);
void drawPartBand(ImmediateDraw &d);
void drawRatedPitchTrack(ImmediateDraw &d);
void drawReplayScores(ImmediateDraw &d);

} // namespace scoreview
