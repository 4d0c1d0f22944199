// The score view's melody: notes and rests with their ledger lines, target
// dots and hidden-note covers, the accidentals and loudness marks, and the
// bar lines. Passed notes stand where the replay reached them, the others
// where they are scheduled.
#include "replay/score_view.h"
#include "replay/score_view_parts.h"

#include "base/rounding.h"
#include "lessons/lesson_state.h"
#include "replay/replay_state.h"
#include "replay/replay_view.h"

int32_t scoreNotePicture(int32_t length, int32_t beamKind, int32_t state)
{
    if (length == 64 && state == 3) return 88;
    int32_t base;
    switch (length) {
    case 4: base = beamKind ? 73 : 61; break;
    case 6: base = beamKind ? 76 : 64; break;
    case 8: base = beamKind ? 73 : 67; break;
    case 12: base = beamKind ? 76 : 70; break;
    case 24: base = 76; break;
    case 32: base = 79; break;
    case 48: base = 82; break;
    case 64: base = 85; break;
    default: base = 73; break; // 16 and any other length
    }
    // The pack has no current and passed pictures of the unbeamed dotted
    // sixteenth (65, 66): those states show the sixteenth's (62, 63).
    if (base == 64 && state != 0) return 61 + state;
    return base + state;
}

RestPicture scoreRestPicture(int32_t length, int32_t shownStaff, int32_t state)
{
    const int32_t longShift = (shownStaff / 5) % 2 != 0 ? 10 : 0;
    switch (length) {
    case 4: return {89 + state, 12};
    case 6: return {92, 0};
    case 8: return {95 + state, 0};
    case 12: return {98 + state, 0};
    case 16: return {101 + state, 0};
    case 24: return {104 + state, 0};
    case 32: return {107 + state, longShift};
    case 48: return {110 + state, longShift};
    case 64: return {113 + state, longShift};
    default: return {95 + state, length >= 32 ? longShift : 0};
    }
}

int32_t scoreAccidentalPicture(char mark, int32_t state)
{
    switch (mark) {
    case '^': return 44 + state;
    case '_': return 47 + state;
    case '=': return 50 + state;
    default: return -1;
    }
}

int32_t scoreMarkPicture(char mark, int32_t state)
{
    switch (mark) {
    case '.':
    case 'H':
    case 'M': return 44 + state;
    case 'L': return 53 + state;
    case 'T': return 56 + state;
    default: return -1; // ' ' and the marks without a picture ('R', '~', 'u', 'v')
    }
}

namespace scoreview {

static double xReached(const TimedNote &n) { return xOfTime(n.reachedMs, n.barTotal); }
static double xScheduled(const TimedNote &n) { return xOfTime(scheduled(n), n.barTotal); }
static bool hidden(const TimedNote &n) { return n.intervalMark != 0; }

static void drawScoreLedgerLines(ImmediateDraw &d, int32_t count, double x, double y)
{
    if (count <= 0) return;
    d.colour(0, 0, 0, 0.4f);
    for (int32_t k = 0; k < count; ++k) d.lineDepths(x + 4, y + 20 * k, -11, x + 34, y + 20 * k, -12);
}

static void drawTargetPitchDot(ImmediateDraw &d, double x, double y)
{
    d.colour(1, 0.5f, 1, 0.4f);
    d.point(x + 18, y - 20, -9, 3);
}

static void drawHiddenNote(ImmediateDraw &d, double x) { picture7(d, 59, x - 2, 365, x + 48, 564, -9); }

static void drawNotePicture(ImmediateDraw &d, int32_t length, int32_t state, int32_t beamKind, double x, double y)
{
    picture7(d, scoreNotePicture(length, beamKind, state), x - 2, y - 34, x + 48, y + 33, -10);
}

static void drawRestPicture(ImmediateDraw &d, const TimedNote &n, double x, double y, int32_t state)
{
    const RestPicture r = scoreRestPicture(n.lengthUnits, n.shownStaff, state);
    picture7(d, r.picture, x - 2, y - 33 - r.shiftDown, x + 48, y + 34 - r.shiftDown, -9);
}

// Ledger lines, then the rest or the note with its target dot.
static void drawNoteAt(ImmediateDraw &d, const TimedNote &n, double x, int32_t state)
{
    drawScoreLedgerLines(d, n.ledgerCount, x, n.ledgerFirst + 300);
    const double y = n.shownStaff + 300;
    if (n.letter == 'r') {
        drawRestPicture(d, n, roundNearest(x), y, state);
    } else {
        drawNotePicture(d, n.lengthUnits, state, n.beamKind, x, y);
        drawTargetPitchDot(d, roundNearest(x), n.soundingStaff + 300);
    }
}

void drawScoreNotes(ImmediateDraw &d, int32_t)
{
    for (int32_t i = 0; i < currentNoteRow && i < lessonNoteCount; ++i) {
        const TimedNote &n = lessonNotes[i];
        if (n.reachedMs < viewStartMs) continue;
        drawNoteAt(d, n, xReached(n), passed);
    }
    const int32_t c = currentNoteRow < 0 ? 0 : currentNoteRow;
    if (c <= lessonNoteCount - 1) {
        const TimedNote &n = lessonNotes[c];
        const bool reached = n.reachedMs != -1;
        const double x = reached ? xReached(n) : xScheduled(n);
        if (hidden(n))
            drawHiddenNote(d, roundNearest(x));
        else
            drawNoteAt(d, n, x, reached ? current : upcoming);
    }
    for (int32_t i = c + 1; i <= lessonNoteCount - 1 && scheduled(lessonNotes[i]) < viewEndMs(); ++i) {
        const TimedNote &n = lessonNotes[i];
        const double x = xScheduled(n);
        if (hidden(n))
            drawHiddenNote(d, roundNearest(x));
        else
            drawNoteAt(d, n, x, upcoming);
    }
}

// The three passes of the signs beside or above the notes; `pick` gives the
// picture (-1 none), `place` draws it at the rounded x.
template <typename Pick, typename Place>
static void drawSignPasses(int32_t noteIdx, Pick pick, Place place)
{
    for (int32_t i = 0; i <= noteIdx - 2 && i < lessonNoteCount; ++i) {
        const TimedNote &n = lessonNotes[i];
        const int32_t p = pick(n, passed);
        if (p >= 0) place(p, n, xReached(n));
    }
    const int32_t c = currentOf(noteIdx);
    if (c <= lessonNoteCount - 1) {
        const TimedNote &n = lessonNotes[c];
        const bool reached = n.reachedMs != -1;
        const int32_t p = pick(n, reached ? current : upcoming);
        if (p >= 0 && !hidden(n)) place(p, n, reached ? xReached(n) : xScheduled(n));
    }
    for (int32_t i = c + 1; i <= lessonNoteCount - 1; ++i) {
        const TimedNote &n = lessonNotes[i];
        const int32_t p = pick(n, upcoming);
        if (p < 0 || hidden(n) || scheduled(n) >= viewEndMs()) continue;
        place(p, n, xScheduled(n));
    }
}

void drawAccidentals(ImmediateDraw &d, int32_t noteIdx)
{
    drawSignPasses(
        noteIdx, [](const TimedNote &n, int32_t s) { return scoreAccidentalPicture(n.accidental, s); },
        [&d](int32_t p, const TimedNote &n, double x) {
            x = roundNearest(x);
            const double y = n.shownStaff + 300;
            picture7(d, p, x - 7, y - 33, x + 13, y - 5, -10);
        });
}

void drawNoteMarks(ImmediateDraw &d, int32_t noteIdx)
{
    drawSignPasses(
        noteIdx, [](const TimedNote &n, int32_t s) { return scoreMarkPicture(n.loudness, s); },
        [&d](int32_t p, const TimedNote &n, double x) {
            x = roundNearest(x);
            const double y = n.shownStaff + 300;
            picture7(d, p, x + 17, y + 25, x + 37, y + 55, -10);
        });
}

static void drawBarLineAt(ImmediateDraw &d, int32_t kind, double x)
{
    if (kind == barNone) return;
    const double xs[2] = {x - 3, x - 7};
    for (int32_t k = 0; k < (kind == barDouble ? 2 : 1); ++k) {
        d.line(xs[k], 480, xs[k], 560, -12);
        d.line(xs[k], 360, xs[k], 440, -12);
    }
}

void drawBarLines(ImmediateDraw &d, int32_t noteIdx)
{
    d.colour(0.4f, 0.3f, 1, 0.4f);
    for (int32_t i = 0; i <= noteIdx - 2 && i < lessonNoteCount; ++i)
        drawBarLineAt(d, lessonNotes[i].barKind, roundNearest(xReached(lessonNotes[i])));
    const int32_t c = currentOf(noteIdx);
    d.colour(1, 0, 1, 0.4f);
    if (c <= lessonNoteCount) drawBarLineAt(d, lessonNotes[c].barKind, roundNearest(xReached(lessonNotes[c])));
    d.colour(0, 0, 0, 0.4f);
    for (int32_t i = c + 1; i <= lessonNoteCount && scheduled(lessonNotes[i]) < viewEndMs(); ++i)
        drawBarLineAt(d, lessonNotes[i].barKind, roundNearest(xScheduled(lessonNotes[i])));
}

} // namespace scoreview
