// The score view's graphs of the performance: the rated pitch track on the
// staff, the amplitude bars and the on-beat bars above it, and the teacher's
// cue figure walking with the play cursor; also the count-in picture.
#include "replay/score_view.h"
#include "replay/score_view_parts.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/rounding.h"
#include "frame/timer.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "lessons/timed_notes.h"
#include "replay/block_rating.h"
#include "replay/replay_state.h"
#include "replay/replay_view.h"

namespace scoreview {

static void ratingColour(ImmediateDraw &d, int32_t rating)
{
    switch (rating) {
    case ratingBelow: d.colour(1, 0, 1, 1); break;
    case ratingFits: d.colour(0, 0.549f, 0, 1); break;
    case ratingAbove: d.colour(0.8f, 0.8f, 0, 1); break;
    default: break; // the current colour stays
    }
}

namespace {

// One drawn stretch of the pitch track: the previous vertex and envelope.
struct Track {
    double px = 0;   // x offset of the previous vertex from scoreNotesStartX
    double ph = 0;   // its height, 0 = none (a gap)
    double pe = 0;   // its envelope
    bool withAmplitude = false;
    float pointSize = 3;
};

void bandStroke(ImmediateDraw &d, double x, double y, double reach, double z)
{
    d.line(x, y - reach, x, y + reach, z);
}

void bandQuad(ImmediateDraw &d, double xa, double ya, double ra, double xb, double yb, double rb, double z)
{
    const double q[8] = {xa, ya - ra, xb, yb - rb, xb, yb + rb, xa, ya + ra};
    d.polygon4(q, z);
}

void drawTrackBlock(ImmediateDraw &d, Track &t, bool first, double time, int32_t barOffset, double height,
                    int32_t rating, double envelope)
{
    const double x = double(scoreViewPxPerMs) * (time - viewOriginMs + barOffset);
    if (envelope == 0 || height == 0) {
        t.ph = 0;
        return;
    }
    const double sx = scoreNotesStartX;
    const double y = height + 300;
    if (first || t.ph == 0 || std::fabs(height - t.ph) >= 62) {
        ratingColour(d, rating);
        d.point(sx + x, y, -6, t.pointSize);
        if (t.withAmplitude) {
            if (envelope < 11) {
                d.colour(0.5f, 1, 1, 0.4f);
                bandStroke(d, sx + x, y, envelope, -8);
            } else {
                d.colour(1, 0, 1, 0.4f);
                bandStroke(d, sx + x, y, 11, -9);
                d.colour(0.5f, 1, 1, 0.4f);
                bandStroke(d, sx + x, y, 10, -8);
            }
        }
    } else {
        const double x0 = sx + t.px, y0 = t.ph + 300;
        ratingColour(d, rating);
        d.line(x0, y0, sx + x, y, -6);
        if (t.withAmplitude) {
            if (envelope < 11) {
                d.colour(0.5f, 1, 1, 0.4f);
                bandQuad(d, x0, y0, t.pe, sx + x, y, 10, -8);
            } else {
                d.colour(1, 0, 1, 0.4f);
                bandQuad(d, x0, y0, 11, sx + x, y, 11, -9);
                d.colour(0.5f, 1, 1, 0.4f);
                bandQuad(d, x0, y0, t.pe < 10 ? t.pe : 10, sx + x, y, 10, -8);
            }
        }
    }
    t.px = x;
    t.ph = height;
    t.pe = envelope;
}

} // namespace

void drawRatedPitchTrack(ImmediateDraw &d)
{
    if (!showPitchProgression) return;
    Track t;
    t.withAmplitude = showPitchWithAmplitude != 0;
    t.pointSize = t.withAmplitude ? 1 : 3;
    if (!t.withAmplitude) d.lineWidth(3);
    const int32_t last = recordingBlockIndex < blockTrackSize - 1 ? recordingBlockIndex : blockTrackSize - 2;
    for (int32_t b = 0; b <= last; ++b) {
        if (blockTimeMs[b] < viewStartMs || blockTimeMs[b] > analysisTimeMs) continue;
        const bool alternative = blockTraceInts[b] != 0 && blockTraceInts[b] != blockTimeMs[b];
        if (alternative) {
            drawTrackBlock(d, t, b == 0, blockTraceInts[b], blockBarOffset[b], blockStaffHeight[b],
                           recheckPitchRating[b], blockEnvelope[b]);
            drawTrackBlock(d, t, false, blockTimeMs[b], blockBarOffset[b + 1], blockTraceSingles[b],
                           recheckAltPitchRating[b], blockEnvelope[b]);
        } else {
            drawTrackBlock(d, t, b == 0, blockTimeMs[b], blockBarOffset[b], blockStaffHeight[b],
                           recheckPitchRating[b], blockEnvelope[b]);
        }
    }
    if (!t.withAmplitude) d.lineWidth(1);
}

void drawAmplitudeBars(ImmediateDraw &d)
{
    if (!showAmplitudeProgression) return;
    d.colour(1, 0.6f, 0, 0.4f);
    d.line(scoreNotesStartX + 1, 620, 1023, 620, -11);
    for (int32_t j = 0; j <= recordingBlockIndex && j < blockTrackSize; ++j) {
        if (blockTimeMs[j] < viewStartMs || blockTimeMs[j] > analysisTimeMs || blockLoudness[j] == 0) continue;
        switch (blockLoudnessRating[j]) {
        case ratingBelow: d.colour(0.6f, 0.411765f, 0.247059f, 0.9f); break;
        case ratingFits: d.colour(1, 0, 1, 0.4f); break;
        case ratingAbove: d.colour(1, 0.6f, 0, 0.4f); break;
        default: continue;
        }
        const double x =
            (double(blockTimeMs[j]) + blockBarOffset[j] - viewOriginMs) * double(scoreViewPxPerMs) + scoreNotesStartX + 1;
        d.line(x, 620, x, 620 + blockLoudness[j] / 1024, -11);
    }
}

// The bars of one judged note; firstCase: note 0 judged against its plain start.
static void drawOnBeatNote(ImmediateDraw &d, const TimedNote &n, double target, bool firstCase)
{
    const double A = 10.0 * beatAccuracy;
    auto x = [&n](double u, bool withBar = true) {
        return (u + (withBar ? n.barTotal : 0) - viewOriginMs) * double(scoreViewPxPerMs) + scoreNotesStartX + 1;
    };
    double t = n.onsetPeakPos / 44100.0 * 1000;
    const int32_t onsetTop = 620 + n.onsetPeakLevel / 1024;
    if (t < target - A || t > target + A) {
        if (t < target - A)
            d.colour(1, 1, 0, 0.4f);
        else
            d.colour(0, 0, 1, 0.4f);
        const double xt = x(t, !firstCase);
        d.line(xt, 600, xt, onsetTop, -9);
        return;
    }
    d.colour(0, 0.752941f, 0, 0.4f);
    const bool rest = n.letter == 'r';
    if (rest || n.tieRole == 2 || n.tieRole == 3) {
        if (n.onsetPeakLevel < loudLevel && n.bodyPeakLevel < loudLevel)
            t = n.startMs;
        else
            d.colour(1, 0.8f, 1, 0.4f);
    }
    if (n.bodyPeakLevel > loudLevel) d.colour(1, 0, 0, 0.4f);
    d.line(x(t), 600, x(t), onsetTop, -9);

    const bool loudOnset = firstCase ? n.onsetPeakLevel >= loudLevel : n.onsetPeakLevel > loudLevel;
    bool close;
    if (firstCase)
        close = t < target + A / 2;
    else
        close = t >= target ? t < target + A / 2 : t > target - A / 2;
    if (loudOnset && n.bodyPeakLevel < loudLevel && !rest && close) {
        d.colour(0, 1, 0.4f, 0.4f);
        d.line(x(t), onsetTop, x(t), 680, -9);
    }
    if (n.bodyPeakLevel > loudLevel) {
        const double xb = x(n.bodyPeakPos / 44100.0 * 1000);
        d.colour(0, 1, 1, 0.4f);
        d.line(xb, 600, xb, 620 + n.bodyPeakLevel / 1024, -9);
    }
}

void drawOnBeatBars(ImmediateDraw &d)
{
    if (!showOnBeatHints) return;
    auto visit = [&d](int32_t i, double target, bool firstCase) {
        if (i < 0 || i > lessonNoteCount) return;
        const TimedNote &n = lessonNotes[i];
        if (n.reachedMs >= viewStartMs) drawOnBeatNote(d, n, target, firstCase);
    };
    if (currentNoteRow > 0) {
        visit(0, lessonNotes[0].startMs, true);
        for (int32_t i = 1; i < currentNoteRow && i <= lessonNoteCount; ++i)
            visit(i, double(lessonNotes[i].startMs) + lessonNotes[i].shiftMs, false);
        if (currentNoteRow <= lessonNoteCount) visit(currentNoteRow, scheduled(lessonNotes[currentNoteRow]), false);
    } else {
        visit(0, scheduled(lessonNotes[0]), false);
    }
}

// ---- Teacher cue and count-in ------------------------------------------------------

constexpr double blockStepMs = 46.439909297052154;
constexpr double fourStepsMs = 185.75963718820861;
constexpr int32_t cueNoteBase = 0, cueKick1Base = 27, cueKick2Base = 54, cueRestBase = 81;

void drawCueAnimation(ImmediateDraw &d)
{
    if (!showTeacher) return;
    int32_t f = recordingBlockIndex % 27;
    if (f < 0) f = 0;
    const int32_t p = nextMelodyNote > 0 ? nextMelodyNote - 1 : 0;
    const int32_t n = nextMelodyNote < 0 ? 0 : nextMelodyNote > lessonNoteCount ? lessonNoteCount : nextMelodyNote;
    const TimedNote &next = lessonNotes[n];
    int32_t base = lessonNotes[p].letter == 'r' ? cueRestBase : cueNoteBase;
    const bool near = audioClockMs > std::trunc(next.startMs + waitShiftMs - fourStepsMs);
    if (near && next.letter != 'r' && (next.tieRole == 0 || next.tieRole == 1) && rhythmKick) {
        const int32_t r = int32_t(std::trunc((next.startMs + waitShiftMs - audioClockMs) / blockStepMs));
        int32_t k = 4 - (r + 1);
        if (k < 0) k = 0;
        base = k == 1 ? cueKick2Base : k == 3 ? cueNoteBase : cueKick1Base;
    }
    const double c =
        roundNearest((double(lessonNotes[p].barTotal) + audioClockMs - viewOriginMs) * double(scoreViewPxPerMs));
    const double x = scoreNotesStartX - 190 + 22 + c;
    picture6(d, base + f, x, 90, x + 190, 300, -6);
}

} // namespace scoreview

int32_t countInPicture(int32_t frame)
{
    if (frame < 0 || frame > 23) return -1;
    return frame <= 11 ? 162 + frame : 185 - frame;
}

void drawCountInImage(ImmediateDraw &d, int32_t frame)
{
    const int32_t p = countInPicture(frame);
    const double x = scoreNotesStartX - 190;
    if (p >= 0) scoreview::picture6(d, p, x, 90, x + 190, 300, -6);
    d.colour(0, 0, 0, 0.4f);
    d.text(DrawnText::large, scoreview::viewFont(), std::to_string(countInBeat), scoreNotesStartX - 95, 280);
}
