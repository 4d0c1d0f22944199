// Block-by-block rating of a recording, live and as a re-analysis.
#include "replay/block_rating.h"

#include <algorithm>
#include <cstdlib>

#include "base/rounding.h"
#include "music/staff_geometry.h"

int32_t replayBlockTimeMs(int32_t block) { return roundToInt32(1000.0 * 2048.0 * block / 44100.0); }

int32_t pitchRatingFor(double f, const TimedNote &note)
{
    if (f > note.upperHz) return ratingAbove;
    if (f < note.lowerHz) return ratingBelow;
    return ratingFits;
}

int32_t loudnessRatingFor(char mark, int32_t level)
{
    switch (mark) {
    case 'L': return level >= 24000 ? ratingFits : ratingBelow;
    case 'T': return level <= 16000 ? ratingFits : ratingAbove;
    default:
        if (level <= 16000) return ratingBelow;
        return level < 24000 ? ratingFits : ratingAbove;
    }
}

int32_t onBeatPointsFor(const TimedNote &note, int32_t beatAccuracy)
{
    if (note.letter == 'r') return note.onsetPeakLevel < loudLevel && note.bodyPeakLevel < loudLevel ? 1 : 0;
    const double w = 10.0 * beatAccuracy;
    if (w <= 0) return 0; // no window: no attack is on the beat
    const double o = 1000.0 * note.onsetPeakPos / 44100.0;
    const double t = note.startMs + note.shiftMs;
    if (o < t - w || o > t + w || note.bodyPeakLevel >= loudLevel || note.onsetPeakLevel < loudLevel) return 0;
    const int32_t d = std::abs(roundToInt32(10.0 * (o - t) / w));
    return d <= 9 ? 10 - d : 0;
}

void resetBlockRating(ReplayRater &r)
{
    r.currentNoteRow = r.currentChordRow = 0;
    r.hitStreak = r.waitCount = r.waitShiftMs = r.hitsAtLastClose = 0;
    r.nextMelodyNote = 0;
    r.tallies = ReplayTallies{};
}

bool melodyEnded(const ReplayRater &r) { return r.currentNoteRow >= r.noteCount; }

bool closeNoteIfDue(ReplayRater &r, int32_t t)
{
    if (melodyEnded(r) || r.notes[r.currentNoteRow + 1].startMs + r.waitShiftMs > t) return false;
    TimedNote &note = r.notes[r.currentNoteRow];
    note.shiftMs = r.waitShiftMs;
    if (r.tallies.pitchHitCount > r.hitsAtLastClose + 5) ++r.tallies.noteOkCount;
    r.tallies.onBeatScore += onBeatPointsFor(note, r.beatAccuracy);
    r.hitStreak = 0;
    r.hitsAtLastClose = r.tallies.pitchHitCount;
    ++r.currentNoteRow;
    return true;
}

void advanceChordIfDue(ReplayRater &r, int32_t t)
{
    if (r.currentChordRow >= r.chordCount || r.chords[r.currentChordRow + 1].startMs + r.waitShiftMs > t) return;
    r.chords[r.currentChordRow].shiftMs = r.waitShiftMs;
    ++r.currentChordRow;
}

void measureNoteLevels(ReplayRater &r, int32_t t, int32_t base, int32_t level, int32_t peakOffset)
{
    if (melodyEnded(r)) return;
    TimedNote &note = r.notes[r.currentNoteRow];
    TimedNote &next = r.notes[r.currentNoteRow + 1];
    const int32_t position = base + peakOffset;
    const double quarter = note.durationMs / 4.0;
    if (t >= r.waitShiftMs + next.startMs - quarter) {
        if (next.onsetPeakLevel == 0 || next.onsetPeakLevel <= level) {
            next.onsetPeakLevel = std::max(level, 1);
            next.onsetPeakPos = position;
        }
    } else if (t <= r.waitShiftMs + note.startMs + quarter) {
        if (note.onsetPeakLevel < level) {
            note.onsetPeakLevel = level;
            note.onsetPeakPos = position;
        }
    } else if (note.bodyPeakLevel == 0 || note.bodyPeakLevel < level) {
        note.bodyPeakLevel = std::max(level, 1);
        note.bodyPeakPos = position;
    }
}

// The alternative estimate of the block before: its pitch against the next note's band.
static int32_t alternativeRating(const ReplayRater &r, int32_t b)
{
    if (b <= 0 || r.track.traceInts == nullptr || r.track.traceInts[b - 1] == 0) return ratingNone;
    return pitchRatingFor(r.track.traceReals[b - 1], r.notes[r.currentNoteRow + 1]);
}

// Wait-till-hit: a miss while fewer than five hits in a row holds every
// scheduled time back, 200 ms at a time. Returns true while the hold applies.
static bool holdOnMiss(ReplayRater &r, int32_t t, bool live)
{
    if (!r.waitTilHit || r.hitStreak >= 5) return false;
    r.hitStreak = 0;
    TimedNote &note = r.notes[r.currentNoteRow];
    if (note.reachedMs != -1 && note.reachedMs + 200 < t) {
        ++r.waitCount;
        r.waitShiftMs = roundToInt32(1000.0 * r.waitCount * 2048 / 44100);
        note.reachedMs = t - 200;
        if (live && r.playAccompaniment) {
            if (r.pauseAccompaniment) r.pauseAccompaniment();
            r.accompanimentHeld = true;
        }
    }
    return true;
}

void rateLiveBlock(ReplayRater &r, int32_t b, int32_t t)
{
    if (melodyEnded(r)) return;
    const TimedNote &note = r.notes[r.currentNoteRow];
    const BlockRatingTrack &k = r.track;
    if (note.letter == 'r') {
        if (k.envelope[b] > loudLevel - 1) {
            k.loudnessRating[b] = ratingAbove;
        } else {
            ++r.tallies.pitchHitCount;
            ++r.tallies.loudnessOkCount;
            k.loudnessRating[b] = ratingFits;
        }
        return;
    }
    if (alternativeRating(r, b) == ratingFits) {
        ++r.hitStreak;
        ++r.tallies.pitchHitCount;
    }
    const int32_t rating = pitchRatingFor(k.pitch[b], note);
    k.pitchRating[b] = rating;
    bool held = false;
    if (rating == ratingFits) {
        ++r.hitStreak;
        ++r.tallies.pitchHitCount;
    } else {
        held = holdOnMiss(r, t, true);
    }
    if (!held && r.accompanimentHeld) {
        r.accompanimentHeld = false;
        if (r.restartAccompaniment) r.restartAccompaniment((b - r.waitCount + 5) * 2048);
    }
    const int32_t loud = loudnessRatingFor(note.loudness, k.loudness[b]);
    k.loudnessRating[b] = loud;
    if (loud == ratingFits) ++r.tallies.loudnessOkCount;
}

void rateRecheckBlock(ReplayRater &r, int32_t a, int32_t t)
{
    if (melodyEnded(r)) return;
    const TimedNote &note = r.notes[r.currentNoteRow];
    const BlockRatingTrack &k = r.track;
    if (note.letter == 'r') {
        if (k.envelope[a] <= loudLevel - 1) {
            ++r.tallies.pitchHitCount;
            ++r.tallies.loudnessOkCount;
        }
        return;
    }
    const int32_t alternative = alternativeRating(r, a);
    if (alternative != ratingNone) {
        k.recheckAltPitchRating[a - 1] = alternative;
        if (alternative == ratingFits) ++r.tallies.pitchHitCount;
    }
    if (k.pitchRating[a] == ratingFits)
        ++r.hitStreak;
    else
        holdOnMiss(r, t, false);
    const int32_t rating = pitchRatingFor(k.pitch[a], note);
    k.recheckPitchRating[a] = rating;
    if (rating == ratingFits) ++r.tallies.pitchHitCount;
    if (loudnessRatingFor(note.loudness, k.loudness[a]) == ratingFits) ++r.tallies.loudnessOkCount;
}

void reanalyseUpToBlock(ReplayRater &r, int32_t lastBlock, void (*eachBlock)(int32_t block, int32_t t))
{
    for (int32_t i = 0; i <= r.noteCount; ++i) r.notes[i].reachedMs = -1;
    for (int32_t i = 0; r.chords != nullptr && i <= r.chordCount; ++i) r.chords[i].reachedMs = -1;
    resetBlockRating(r);
    for (int32_t a = 0; a <= lastBlock; ++a) {
        const int32_t t = replayBlockTimeMs(a);
        if (r.nextMelodyNote <= r.noteCount) {
            TimedNote &due = r.notes[r.nextMelodyNote];
            if (due.reachedMs == -1 && due.startMs + r.waitShiftMs <= t) {
                due.reachedMs = due.startMs + r.waitShiftMs;
                ++r.nextMelodyNote;
            }
        }
        if (r.track.skipMarks != nullptr && r.track.skipMarks[a]) r.hitStreak = 6;
        closeNoteIfDue(r, t);
        if (r.track.staffHeight != nullptr) r.track.staffHeight[a] = frequencyToStaffHeight(r.track.pitch[a]);
        rateRecheckBlock(r, a, t);
        if (eachBlock != nullptr) eachBlock(a, t);
    }
}
