// The score view's text rows that move with the notes (counting syllables,
// lyrics, note labels, chord symbols and accents) and the part band that
// shades what lies outside the exercise part being run.
#include "replay/score_view_parts.h"

#include <cctype>
#include <string>

#include "base/rounding.h"
#include "frame/timer.h"
#include "lessons/exercise_parts.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "lessons/timed_notes.h"
#include "music/tune_state.h"
#include "replay/replay_state.h"
#include "replay/replay_view.h"

namespace scoreview {

void drawCountingHints(ImmediateDraw &d, int32_t)
{
    if (!showCountingHints) return;
    auto shown = [](const BeatRecord &r) { return r.kind == 1 || r.noteStarts; };
    auto sungStart = [](const BeatRecord &r) { return r.noteStarts && lessonNotes[r.note].letter != 'r'; };
    auto draw = [&d](const BeatRecord &r, double x) {
        const char s[2] = {r.countChar, 0};
        d.text(DrawnText::score, viewFont(), s, x + 10, 279);
    };
    int32_t i = 0;
    for (; i < beatRecordCount && beatRecords[i].reachedMark != -1 && beatRecords[i].reachedMark < audioClockMs; ++i) {
        const BeatRecord &r = beatRecords[i];
        if (r.reachedMark < viewStartMs || !shown(r)) continue;
        if (sungStart(r))
            d.colour(0.1f, 0.1f, 1, 0.4f);
        else
            d.colour(0.8f, 0.8f, 1, 0.4f);
        draw(r, xOfTime(r.reachedMark, r.barTotal));
    }
    const int32_t end = lessonNotes[lessonNoteCount].firstBeat;
    for (; i < end && i < beatRecordCount && beatRecords[i].msTime + waitShiftMs < viewEndMs(); ++i) {
        const BeatRecord &r = beatRecords[i];
        if (r.msTime + waitShiftMs < viewStartMs || !shown(r)) continue;
        if (sungStart(r))
            d.colour(0.1f, 0.1f, 0.1f, 0.4f);
        else
            d.colour(0.8f, 0.8f, 0.4f, 0.4f);
        draw(r, xOfTime(r.msTime + waitShiftMs, r.barTotal));
    }
}

// The three passes of a text row over items 0..count - 1 with k the view's
// index; `skip` tells whether the passed and upcoming passes leave an item out.
template <typename Draw>
static void textPasses(ImmediateDraw &d, const TimedNote *items, int32_t count, int32_t k, bool skip, Draw draw)
{
    d.colour(0, 0, 1, 0.4f);
    for (int32_t i = 0; i <= k - 2 && i < count; ++i) {
        const TimedNote &n = items[i];
        if (skip && n.reachedMs < viewStartMs) continue;
        draw(n, xOfTime(n.reachedMs, n.barTotal));
    }
    const int32_t c = currentOf(k);
    d.colour(0, 0.533333f, 0, 0.4f);
    if (c <= count - 1) draw(items[c], xOfTime(items[c].reachedMs, items[c].barTotal));
    d.colour(0, 0, 0, 0.4f);
    for (int32_t i = c + 1; i <= count - 1; ++i) {
        const TimedNote &n = items[i];
        if (skip && scheduled(n) >= viewEndMs()) continue;
        draw(n, xOfTime(scheduled(n), n.barTotal));
    }
}

void drawLyricsRow(ImmediateDraw &d, int32_t noteIdx)
{
    textPasses(d, lessonNotes, lessonNoteCount, noteIdx, true, [&d](const TimedNote &n, double x) {
        if (n.lyric.empty()) return;
        d.text(DrawnText::score, viewFont(), n.lyric, x + 10, 294.5);
        if (n.stepDown) d.text(DrawnText::normal, viewFont(), std::string(n.lyric.size(), '_'), x + 10, 294.5);
    });
}

void drawNoteLabelsRow(ImmediateDraw &d, int32_t noteIdx)
{
    textPasses(d, lessonNotes, lessonNoteCount, noteIdx, true, [&d](const TimedNote &n, double x) {
        if (n.label.empty()) return;
        if (n.label[0] != '^') {
            d.text(DrawnText::score, viewFont(), n.label, x + 10, 265);
            return;
        }
        const std::string rest = n.label.substr(1);
        d.text(DrawnText::score, viewFont(), rest, x + 10, 265);
        const bool digit = !rest.empty() && std::isdigit(static_cast<unsigned char>(rest[0]));
        d.text(DrawnText::score, viewFont(), "^", digit ? x + 10 : x + 10 + 9, 271);
    });
}

void drawChordSymbols(ImmediateDraw &d, int32_t chordIdx)
{
    textPasses(d, lessonChords, lessonChordCount, chordIdx, true, [&d](const TimedNote &c, double x) {
        if (!c.chordText.empty()) d.text(DrawnText::normal, viewFont(), c.chordText, x + 10, 580);
    });
}

void drawChordAccents(ImmediateDraw &d, int32_t chordIdx)
{
    textPasses(d, lessonChords, lessonChordCount, chordIdx, false, [&d](const TimedNote &c, double x) {
        if (c.loudness != ' ') d.text(DrawnText::normal, viewFont(), ">", x + 10, 590);
    });
}

// Each shade is drawn only where it has width on the view: the stretch
// before the part when the part begins right of the notes' start, the
// stretch after it when the part ends left of the view's right edge.
void drawPartBand(ImmediateDraw &d)
{
    if (currentPartFirst < 0 || currentPartFirst > lessonNoteCount || currentPartLast > lessonNoteCount) return;
    auto timeOf = [](const TimedNote &n) { return n.reachedMs != -1 ? n.reachedMs : scheduled(n); };
    const TimedNote &a = lessonNotes[currentPartFirst];
    const TimedNote &b = lessonNotes[currentPartLast < 0 ? 0 : currentPartLast];
    const double px = scoreViewPxPerMs;
    const double xa = roundNearest((double(timeOf(a)) + a.barTotal - viewOriginMs) * px);
    const double xb = roundNearest((double(timeOf(b)) + b.barTotal + b.durationMs - viewOriginMs) * px);
    if (xa > -25) {
        d.colour(1, 0.5f, 0.3f, 0.9f);
        d.quad(scoreNotesStartX - 25, 255, scoreNotesStartX + xa, 280, -9);
    }
    if (scoreNotesStartX + xb < 1193) {
        d.colour(0.6f, 0.5f, 0.3f, 0.9f);
        d.quad(scoreNotesStartX + xb, 255, 1193, 280, -9);
    }
}

} // namespace scoreview
