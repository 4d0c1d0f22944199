// The score view's order of drawing, its time axis and its fixed furniture:
// staff, clefs, signatures, tune header, tempo, guide line, play cursor,
// scroll indicator, baton curve and the scores box.
#include "replay/score_view.h"
#include "replay/score_view_parts.h"

#include <iterator>
#include <string>
#include <vector>

#include "base/rounding.h"
#include "frame/picture_catalogue.h"
#include "lessons/exercise_drawing.h"
#include "lessons/lesson_loader.h"
#include "lessons/exercise_drawing.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "lessons/timed_notes.h"
#include "music/tune_state.h"
#include "replay/replay_state.h"
#include "replay/replay_view.h"

namespace {

uint32_t realImages6(int32_t p)
{
    if (p < 0 || p >= images6Count) return 0;
    // Still being read again after a visit to the introduction: finish now.
    if (images6Textures[p] == 0) reloadImages6Pictures();
    return images6Textures[p];
}
uint32_t realImages7(int32_t p) { return p >= 0 && p < images7Count ? images7Textures[p] : 0; }

const ScoreViewHooks realHooks = {
    .images6 = realImages6,
    .images7 = realImages7,
    .signalTrace = drawSignalTrace, // the exercise's scope of the last analysed window
};
ScoreViewHooks hooks = realHooks;

} // namespace

const ScoreViewHooks &realScoreViewHooks() { return realHooks; }
void setScoreViewHooks(const ScoreViewHooks &h) { hooks = h; }

namespace scoreview {

double xOfTime(double t, int32_t barTotal)
{
    return (t + barTotal - viewOriginMs) * double(scoreViewPxPerMs) + scoreNotesStartX;
}
int32_t scheduled(const TimedNote &n) { return n.startMs + waitShiftMs; }
int32_t viewEndMs() { return viewStartMs + viewWindowMs; }
int32_t viewFont() { return lessonScreenFont; }
uint32_t texture7(int32_t picture) { return hooks.images7(picture); }
void signalTrace()
{
    if (hooks.signalTrace) hooks.signalTrace();
}

void picture7(ImmediateDraw &d, int32_t picture, double x0, double y0, double x1, double y1, double z)
{
    d.colour(1, 1, 1, 0.4f);
    d.picture(hooks.images7(picture), x0, y0, x1, y1, z);
}
void picture6(ImmediateDraw &d, int32_t picture, double x0, double y0, double x1, double y1, double z)
{
    d.colour(1, 1, 1, 0.4f);
    d.picture(hooks.images6(picture), x0, y0, x1, y1, z);
}

// ---- Furniture ----------------------------------------------------------------

void drawScrollIndicator(ImmediateDraw &d)
{
    if (!scrollActive) return;
    const double x0 = scoreNotesStartX, x1 = scoreNotesStartX + double(scoreViewPxPerMs) * scrollOffsetMs;
    d.colour(1, 1, 0, 0.4f);
    d.line(x0, 150, x1, 150, -11);
    d.quad(x0, 98, x1, 140, -9);
}

void drawScoreStaffLines(ImmediateDraw &d)
{
    d.colour(0, 0, 0, 0.4f);
    for (int32_t i = 0; i < 5; ++i) d.lineDepths(1, 480 + 20 * i, -11, 1193, 480 + 20 * i, -12);
    for (int32_t i = 0; i < 5; ++i) d.lineDepths(1, 360 + 20 * i, -11, 1193, 360 + 20 * i, -12);
}

void drawScoreClefs(ImmediateDraw &d)
{
    picture7(d, 0, 20, 445, 20 + 90, 445 + 150.698, -11);
    picture7(d, 1, 29, 377.5, 29 + 70, 377.5 + 70, -11);
}

void drawScoreKeySignature(ImmediateDraw &d)
{
    const KeySignaturePicture k = scoreKeySignature(tuneKeyIndex);
    if (k.picture < 0) return;
    picture7(d, k.picture, 100, k.y, 195, k.y + 115, -11);
    picture7(d, k.picture, 100, k.y - 140, 195, k.y - 140 + 115, -11);
}

void drawScoreTimeSignature(ImmediateDraw &d)
{
    const int32_t p = scoreTimeSignaturePicture(meterNumerator, meterDenominator);
    picture7(d, p, timeSignatureX, 450, timeSignatureX + 60, 590, -11);
    picture7(d, p, timeSignatureX, 330, timeSignatureX + 60, 470, -11);
}

static std::string cut255(std::string s)
{
    if (s.size() > 255) s.resize(255);
    return s;
}

void drawTuneHeader(ImmediateDraw &d)
{
    d.colour(0, 0, 0, 0.4f);
    d.text(DrawnText::normal, viewFont(), cut255("Title:   " + tuneTitle), scoreNotesStartX + 50, 750);
    d.text(DrawnText::normal, viewFont(), cut255("Music: " + tuneComposer), scoreNotesStartX + 450, 750);
    d.text(DrawnText::normal, viewFont(), cut255("Text : " + tuneSource), scoreNotesStartX + 450, 730);
    d.colour(0.5f, 0.5f, 0.1f, 0.4f);
    d.line(scoreNotesStartX - 5, 725, 980, 725, -6);
}

void drawTempoText(ImmediateDraw &d)
{
    d.colour(0, 0, 0, 0.4f);
    d.text(DrawnText::normal, viewFont(), "Tempo = " + std::to_string(lessonTempo), 10, 610);
}

void drawGuideAndCursor(ImmediateDraw &d, int32_t timeMs, int32_t noteIdx)
{
    d.colour(0.9f, 0.5f, 0.9f, 0.4f);
    d.line(1, 120, 1023, 120, -11);
    const int32_t n = noteIdx > 0 ? noteIdx - 1 : 0;
    const double x = xOfTime(timeMs, lessonNotes[n].barTotal);
    d.colour(0.4f, 0, 1, 0.4f);
    d.line(x, 90, x, 650, -9);
}

// The baton curve: one strip per segment; at a beat point (height 30) a
// stroke down to y 600 breaks the strip, which goes on from the same point.
void drawBatonCurve(ImmediateDraw &d)
{
    if (batonPointCount < 2) return;
    std::vector<double> strip;
    auto flush = [&] {
        if (strip.size() >= 4) {
            d.colour(0.4f, 0, 1, 0.4f);
            d.lineStrip(strip.data(), int(strip.size() / 2), -11);
        }
        strip.clear();
    };
    for (int32_t i = 0; i < batonPointCount; ++i) {
        const double x = scoreNotesStartX + 3 + double(scoreViewPxPerMs) * (batonX[i] - viewOriginMs);
        const double y = 650 + batonHeight[i];
        if (batonSegmentStart[i]) flush();
        strip.push_back(x);
        strip.push_back(y);
        const bool nextStarts = i + 1 < batonPointCount && batonSegmentStart[i + 1];
        if (batonHeight[i] == 30 && (batonSegmentStart[i] || !nextStarts)) {
            flush();
            d.colour(1, 0.95f, 1, 0.4f);
            d.line(x, y, x, 600, -11);
            strip.push_back(x);
            strip.push_back(y);
        }
    }
    flush();
}

void drawReplayScores(ImmediateDraw &d)
{
    d.colour(0.1f, 0.5f, 0.1f, 0.4f);
    d.text(DrawnText::normal, viewFont(), "Scores:", 10, 750);
    frameRect(d, 5, 667, scoreNotesStartX - 10, 745, -6);
    d.colour(0, 0, 0, 0.4f);
    d.text(DrawnText::normal, viewFont(), "On Beat  = " + std::to_string(onBeatScore), 10, 730);
    d.text(DrawnText::normal, viewFont(), "Note ok  = " + std::to_string(noteOkCount), 10, 710);
    d.text(DrawnText::normal, viewFont(), "Loudness = " + std::to_string(loudnessOkCount), 10, 690);
    d.text(DrawnText::normal, viewFont(), "PitchHit = " + std::to_string(pitchHitCount), 10, 670);
}

} // namespace scoreview

// ---- Picture tables -------------------------------------------------------------

KeySignaturePicture scoreKeySignature(int32_t keyIndex)
{
    static constexpr KeySignaturePicture table[15] = {
        {-1, 0},   {3, 487},  {4, 467},  {5, 490},  {6, 470},  {7, 470},  {8, 490}, {9, 470},
        {10, 490}, {11, 470}, {12, 490}, {13, 470}, {14, 490}, {16, 470}, {15, 490}};
    return keyIndex >= 1 && keyIndex <= 14 ? table[keyIndex] : KeySignaturePicture{-1, 0};
}

int32_t scoreTimeSignaturePicture(int32_t numerator, int32_t denominator)
{
    // Meters the pack has no picture for take the general one (35).
    struct Entry {
        int32_t numerator, picture;
    };
    static constexpr Entry halves[] = {{2, 17}, {3, 18}, {4, 19}, {5, 19}, {6, 20}, {7, 19}, {8, 19}, {9, 21}, {12, 22}};
    static constexpr Entry quarters[] = {{2, 23}, {3, 24}, {4, 25}, {5, 36}, {6, 26}, {8, 37}, {9, 27}, {12, 28}};
    static constexpr Entry eighths[] = {{2, 29}, {3, 30}, {4, 31}, {5, 31}, {6, 32}, {9, 33}, {12, 34}};
    auto find = [numerator](const Entry *b, const Entry *e) {
        for (; b != e; ++b)
            if (b->numerator == numerator) return b->picture;
        return 35;
    };
    switch (denominator) {
    case 2: return find(std::begin(halves), std::end(halves));
    case 4: return find(std::begin(quarters), std::end(quarters));
    case 8: return find(std::begin(eighths), std::end(eighths));
    default: return 35;
    }
}

// ---- The views ------------------------------------------------------------------

using namespace scoreview;

static void drawSheet(ImmediateDraw &d, int32_t timeMs, int32_t noteIdx, int32_t chordIdx, bool full)
{
    d.beginFrame();
    drawScrollIndicator(d);
    drawScoreStaffLines(d);
    drawScoreClefs(d);
    drawScoreKeySignature(d);
    drawScoreTimeSignature(d);
    drawTuneHeader(d);
    drawTempoText(d);
    drawGuideAndCursor(d, timeMs, noteIdx);
    if (full) drawBatonCurve(d);
    drawCountingHints(d, noteIdx);
    if (!blindExercise) {
        drawScoreNotes(d, noteIdx);
        drawBeamsAndStems(d, noteIdx);
        drawAccidentals(d, noteIdx);
        drawNoteMarks(d, noteIdx);
        drawSlurs(d, noteIdx);
    }
    drawBarLines(d, noteIdx);
    drawLyricsRow(d, noteIdx);
    if (noteLabelMode != 0) drawNoteLabelsRow(d, noteIdx);
    drawChordSymbols(d, chordIdx);
    drawChordAccents(d, chordIdx);
    if (full) {
        drawAmplitudeBars(d);
        drawOnBeatBars(d);
        drawCueAnimation(d);
    }
    if (noteLabelMode == 0) drawPartBand(d);
    if (full) {
        signalTrace();
        drawRatedPitchTrack(d);
    }
    drawReplayScores(d);
}

void drawReplayView(ImmediateDraw &draw, int32_t timeMs, int32_t noteIdx, int32_t chordIdx)
{
    drawSheet(draw, timeMs, noteIdx, chordIdx, true);
}

void drawReplaySheetView(ImmediateDraw &draw, int32_t timeMs, int32_t noteIdx, int32_t chordIdx)
{
    drawSheet(draw, timeMs, noteIdx, chordIdx, false);
}

void drawScoreView(ImmediateDraw &draw)
{
    if (scoreViewSheetOnly) {
        drawReplaySheetView(draw, scoreViewTimeMs, scoreViewNoteIdx, scoreViewChordIdx);
        if (scoreViewCountInFrame >= 0) drawCountInImage(draw, scoreViewCountInFrame);
    } else {
        drawReplayView(draw, scoreViewTimeMs, scoreViewNoteIdx, scoreViewChordIdx);
    }
}
