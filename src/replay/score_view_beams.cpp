// The score view's beams, stem extensions, tuplet digits and slurs. Beamed
// eighths and sixteenths are drawn as quarter notes; each note adds its own
// piece of the group's beam line, which is anchored at the group's highest
// note and runs parallel to the line from its first note to its last.
#include "replay/score_view.h"
#include "replay/score_view_parts.h"

#include <algorithm>

#include "base/rounding.h"
#include "lessons/lesson_state.h"
#include "replay/replay_state.h"
#include "replay/replay_view.h"

namespace scoreview {

// x of note j: where it was reached when it lies before the current note,
// else where it is scheduled; exact, and taken to the nearest integer by P.
static double exactP(int32_t j, int32_t noteIdx)
{
    const TimedNote &n = lessonNotes[j];
    return xOfTime(j < noteIdx - 1 ? n.reachedMs : scheduled(n), n.barTotal);
}
static double P(int32_t j, int32_t noteIdx) { return roundNearest(exactP(j, noteIdx)); }

static bool visited(const TimedNote &n)
{
    return scheduled(n) < viewEndMs() && (n.reachedMs >= viewStartMs || n.reachedMs == -1);
}

void drawBeamsAndStems(ImmediateDraw &d, int32_t noteIdx)
{
    for (int32_t i = 0; i < lessonNoteCount; ++i) {
        const TimedNote &n = lessonNotes[i];
        if (!visited(n)) continue;
        const double xt = P(i, noteIdx);
        if (n.beamKind == beamRoleNone) {
            if (n.tupletRole == 2) {
                d.colour(0, 0, 0, 0.4f);
                d.text(DrawnText::normal, viewFont(), "3", xt + 20, n.shownStaff + 300 + 40);
            }
            continue;
        }
        const int32_t f = n.beamFirst, l = n.beamLast, h = n.beamTop;
        const double xf = P(f, noteIdx), xh = P(h, noteIdx);
        double xl = P(l, noteIdx);
        if (xl - xf <= 0) xl += 1;
        // A group whose first note stands right of its last keeps a divisor
        // of at least 1.
        const double s = (lessonNotes[l].shownStaff - lessonNotes[f].shownStaff) / std::max(xl - xf, 1.0);
        auto y = [&](double x) { return lessonNotes[h].shownStaff + 300 + (x - xh) * s; };
        const double xn = P(i + 1, noteIdx);
        const double toNext = lessonNotes[i + 1].lengthUnits <= 4 ? xn - 8 : xn - 16;
        double x1, x2;
        switch (n.beamKind) {
        case beamRoleFirst: x1 = xt; x2 = toNext; break;
        case beamRoleFirstSixteenth: x1 = xt; x2 = xn - 8; break;
        case beamRoleInside: x1 = xt - 16; x2 = toNext; break;
        case beamRoleInsideSixteenthToHere:
        case beamRoleInsideSixteenth:
        case beamRoleInsideSixteenthFromHere: x1 = xt - 8; x2 = toNext; break;
        case beamRoleLast: x1 = xt - 16; x2 = xt; break;
        case beamRoleLastSixteenth: x1 = xt - 8; x2 = xt; break;
        default: continue; // the tune reader writes no other role
        }
        const double y1 = y(x1), y2 = y(x2);

        if (i < currentNoteRow)
            d.colour(0, 0.678431f, 0.937255f, 0.4f);
        else if (i == currentNoteRow && n.reachedMs != -1)
            d.colour(0.54902f, 0.776471f, 0.247059f, 0.4f);
        else
            d.colour(0.352941f, 0.352941f, 0.352941f, 0.4f);

        const double primary[8] = {x1 + 25, y1 + 24, x2 + 25, y2 + 24, x2 + 25, y2 + 29, x1 + 25, y1 + 29};
        d.polygon4(primary, -11);
        const int32_t role = n.beamKind;
        const bool sixteenth = role == beamRoleFirstSixteenth || role == beamRoleInsideSixteenthToHere ||
                               role == beamRoleInsideSixteenth || role == beamRoleInsideSixteenthFromHere ||
                               role == beamRoleLastSixteenth;
        if (sixteenth) {
            double x3 = x1, y3 = y1, x4 = x2, y4 = y2;
            if (role == beamRoleInsideSixteenthToHere) x4 = xt, y4 = y(xt);
            if (role == beamRoleInsideSixteenthFromHere) x3 = xt, y3 = y(xt);
            const double secondary[8] = {x3 + 25, y3 + 15, x4 + 25, y4 + 15, x4 + 25, y4 + 20, x3 + 25, y3 + 20};
            d.polygon4(secondary, -11);
        }
        if (n.tupletRole == 2) d.text(DrawnText::normal, viewFont(), "3", xt + 20, (y1 + y2) / 2 + 40);

        const bool pair = (i == f && i + 1 == l) || (i == l && i - 1 == f);
        if (pair || i == h) continue;
        // The stem meets the beam at the group's start, middle or end.
        const double top = role <= beamRoleFirstSixteenth            ? y1
                           : role <= beamRoleInsideSixteenthFromHere ? (y1 + y2) / 2
                                                                     : y2;
        const int32_t picture = i < noteIdx - 1 ? 40 : i == noteIdx - 1 ? 39 : 38;
        const double x = exactP(i, noteIdx);
        picture7(d, picture, x - 2, top - 32, x + 48, top + 35, -9);
    }
}

void drawSlurs(ImmediateDraw &d, int32_t noteIdx)
{
    for (int32_t i = 0; i < lessonNoteCount; ++i) {
        const TimedNote &n = lessonNotes[i];
        if (!visited(n) || n.slurRole != slurStart) continue;
        const double xa = P(n.slurFirst, noteIdx), xb = P(n.slurLast, noteIdx);
        const double ya = lessonNotes[n.slurFirst].shownStaff, yb = lessonNotes[n.slurLast].shownStaff;
        const int32_t picture = n.slurFirst > currentNoteRow ? 41 : noteIdx - 1 <= n.slurLast ? 42 : 43;
        const double corners[8] = {xa + 15, ya + 258, xb + 15, yb + 258, xb + 15, yb + 278, xa + 15, ya + 278};
        d.colour(1, 1, 1, 0.4f);
        d.picture4(texture7(picture), corners, -11);
    }
}

} // namespace scoreview
