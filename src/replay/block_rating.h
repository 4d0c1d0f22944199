// Rating a recording block by block against the lesson's notes: the pitch
// against the due note's band, the loudness against its loudness mark, the
// note changes, the attack of each note, and at each note's close its timing
// ("On Beat") and whether it was held ("Note ok"). The same rules run live
// (one block per tick while the replay plays) and as a re-analysis from the
// first block up to a given one; both use one block time,
// round(1000 x 2048 x b / 44100) ms for block b, so they agree block by block.
//
// The engine works on the arrays it is handed (BlockRatingTrack) and on the
// lesson's notes; the replay screen hands it the shared block track.
#pragma once
#include <cstdint>

#include "music/music_types.h"

// ReplayRater values.
constexpr int32_t ratingNone = 0;
constexpr int32_t ratingBelow = 1; // below the band, or too soft
constexpr int32_t ratingFits = 2;
constexpr int32_t ratingAbove = 3; // above the band, or too loud

// Level from which a rest is too loud and a note's attack counts as one.
constexpr int32_t loudLevel = 8000;

// The time of block b on the replay's clock.
int32_t replayBlockTimeMs(int32_t block);

// Pitch f against a note's band: above upperHz 3, below lowerHz 1 (a pitch
// status code or 0 therefore rates 1), on or between the limits 2.
int32_t pitchRatingFor(double f, const TimedNote &note);
// Block level against a loudness mark ('L' loud, 'T' soft, else normal).
int32_t loudnessRatingFor(char mark, int32_t level);
// Timing points a note earns when it closes: a rest 1 while both its levels
// stay below 8000; a sung note 10 - |d| for an attack (onset level 8000 or
// more, body below 8000) within beatAccuracy x 10 ms of its start, d being
// the distance in tenths of that tolerance, halves to even. A tolerance of 0
// or below gives a sung note nothing.
int32_t onBeatPointsFor(const TimedNote &note, int32_t beatAccuracy);

struct ReplayTallies {
    int32_t pitchHitCount = 0;   // blocks within the band, rests quiet enough
    int32_t loudnessOkCount = 0; // blocks whose loudness fits
    int32_t noteOkCount = 0;     // notes held (six hits or more)
    int32_t onBeatScore = 0;     // timing points
    bool operator==(const ReplayTallies &) const = default;
};

// The per-block arrays the rating reads and writes (entries 0..last block).
struct BlockRatingTrack {
    const double *pitch = nullptr;        // Hz per block, or a pitch status below 10
    const int32_t *envelope = nullptr;    // amplitude envelope
    const int32_t *loudness = nullptr;    // amplitude 0..32767
    const int32_t *traceInts = nullptr;   // alternative estimate's time, 0 none
    const double *traceReals = nullptr;   // alternative estimate's pitch
    const uint8_t *skipMarks = nullptr;   // a skip mark ends a wait-till-hit hold (may be null)
    int32_t *pitchRating = nullptr;       // live
    int32_t *loudnessRating = nullptr;    // live
    int32_t *recheckPitchRating = nullptr;
    int32_t *recheckAltPitchRating = nullptr;
    float *staffHeight = nullptr;         // written by the re-analysis (may be null)
};

struct ReplayRater {
    // The lesson: notes 0..noteCount (the last an end record), chords likewise.
    TimedNote *notes = nullptr;
    int32_t noteCount = 0;
    TimedNote *chords = nullptr;
    int32_t chordCount = 0;
    BlockRatingTrack track;
    int32_t beatAccuracy = 12;
    bool waitTilHit = false;
    bool playAccompaniment = false;
    // The accompaniment is paused during a wait-till-hit hold and restarted
    // at a sample offset after it (may be null).
    void (*pauseAccompaniment)() = nullptr;
    void (*restartAccompaniment)(int32_t sampleOffset) = nullptr;

    // State.
    int32_t currentNoteRow = 0;
    int32_t currentChordRow = 0;
    int32_t hitStreak = 0;
    int32_t waitCount = 0;
    int32_t waitShiftMs = 0;
    int32_t hitsAtLastClose = 0;
    int32_t nextMelodyNote = 0; // re-analysis: next note to mark as reached
    bool accompanimentHeld = false;
    ReplayTallies tallies;
};

// Rows, streak, shift and tallies back to 0 (start of a replay or re-analysis).
void resetBlockRating(ReplayRater &r);

// The melody has ended: the current row is the end record; nothing more is rated.
bool melodyEnded(const ReplayRater &r);

// Note close at time t: when note row + 1 (plus the wait shift) has started,
// the row's note is scored and the next one becomes current. At most one per
// call; never past the end record. Returns true when a note closed.
bool closeNoteIfDue(ReplayRater &r, int32_t t);
// Chord change at time t (live only).
void advanceChordIfDue(ReplayRater &r, int32_t t);

// The live steps of one block b at time t: fold the block's level into the
// current note's onset or body window, then rate it.
void measureNoteLevels(ReplayRater &r, int32_t t, int32_t base, int32_t level, int32_t peakOffset);
void rateLiveBlock(ReplayRater &r, int32_t b, int32_t t);

// One block of the re-analysis: the live pitch rating drives the streak, the
// recheck ratings are written, note levels are kept as measured live.
void rateRecheckBlock(ReplayRater &r, int32_t a, int32_t t);

// The whole re-analysis from block 0 to lastBlock (inclusive): every note's
// and chord's reached time is cleared, then per block the due note is marked
// reached, a skip mark raises the streak, the due note closes, the staff
// height is stored and the block re-rated. `eachBlock` (may be null) runs
// after each block with its time (the screen's scroll and part change).
void reanalyseUpToBlock(ReplayRater &r, int32_t lastBlock, void (*eachBlock)(int32_t block, int32_t t) = nullptr);
