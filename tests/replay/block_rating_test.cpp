// Block rating at its exact edges, the points of a note's close, and the
// live rating against the re-analysis of the same recording.
#include <vector>

#include <gtest/gtest.h>

#include "replay/block_rating.h"

namespace {

TimedNote note(char letter, int32_t startMs, int32_t durationMs, double lower = 0, double upper = 0, char mark = ' ')
{
    TimedNote n;
    n.letter = letter;
    n.startMs = startMs;
    n.durationMs = durationMs;
    n.lowerHz = lower;
    n.upperHz = upper;
    n.loudness = mark;
    return n;
}

// A lesson and a recording of `blocks` blocks with their arrays.
struct Recording {
    std::vector<TimedNote> notes;
    std::vector<double> pitch;
    std::vector<int32_t> envelope, loudness, peakOffset, traceInts;
    std::vector<double> traceReals;
    std::vector<int32_t> pitchRating, loudnessRating, recheck, recheckAlt;
    std::vector<float> staff;

    explicit Recording(int32_t blocks)
        : pitch(blocks), envelope(blocks), loudness(blocks), peakOffset(blocks), traceInts(blocks),
          traceReals(blocks), pitchRating(blocks), loudnessRating(blocks), recheck(blocks), recheckAlt(blocks),
          staff(blocks)
    {
    }
    ReplayRater rater(int32_t beatAccuracy = 12)
    {
        ReplayRater r;
        r.notes = notes.data();
        r.noteCount = static_cast<int32_t>(notes.size()) - 1;
        r.track = {pitch.data(), envelope.data(), loudness.data(), traceInts.data(), traceReals.data(), nullptr,
                   pitchRating.data(), loudnessRating.data(), recheck.data(), recheckAlt.data(), staff.data()};
        r.beatAccuracy = beatAccuracy;
        return r;
    }
    // The live replay: per block the note close, the rating, the note levels.
    ReplayTallies live(ReplayRater &r, int32_t lastBlock)
    {
        resetBlockRating(r);
        for (int32_t b = 0; b <= lastBlock; ++b) {
            const int32_t t = replayBlockTimeMs(b);
            closeNoteIfDue(r, t);
            rateLiveBlock(r, b, t);
            measureNoteLevels(r, t, 2048 * b, loudness[b], peakOffset[b]);
        }
        return r.tallies;
    }
};

} // namespace

TEST(BlockRating, PitchAndLoudnessAtTheirEdges)
{
    const TimedNote n = note('c', 0, 1000, 430.0, 450.0);
    struct PitchCase { double f; int32_t rating; };
    const PitchCase pitches[] = {{430.0, 2}, {450.0, 2}, {429.999, 1}, {450.001, 3}, {0.0, 1}, {6.0, 1}};
    for (const PitchCase &c : pitches) EXPECT_EQ(pitchRatingFor(c.f, n), c.rating) << c.f;

    struct LoudCase { char mark; int32_t level, rating; };
    const LoudCase levels[] = {
        {'L', 23999, 1}, {'L', 24000, 2}, {'L', 32767, 2},
        {'T', 16000, 2}, {'T', 16001, 3}, {'T', 0, 2},
        {' ', 16000, 1}, {' ', 16001, 2}, {' ', 23999, 2}, {' ', 24000, 3},
    };
    for (const LoudCase &c : levels) EXPECT_EQ(loudnessRatingFor(c.mark, c.level), c.rating) << c.mark << c.level;
}

TEST(BlockRating, OnBeatPointsOfAClosingNote)
{
    // Target 1000 ms = sample 44100; the onset is given in samples from there.
    // With beat accuracy 12 (120 ms) one tenth of the window is 529.2 samples,
    // with 20 (200 ms) it is 882.
    struct Case { char letter; int32_t onsetFromTarget, onset, body, accuracy, points; };
    const Case cases[] = {
        {'c', 0, 8000, 0, 12, 10},         // on the beat
        {'c', 4763, 8000, 0, 12, 1},       // nine tenths late
        {'c', -4763, 8000, 0, 12, 1},      // nine tenths early
        {'c', 5292, 8000, 0, 12, 0},       // at the edge (120 ms)
        {'c', 5293, 8000, 0, 12, 0},       // outside
        {'c', 441, 8000, 0, 20, 10},       // half a tenth rounds to 0 (halves to even)
        {'c', 1323, 8000, 0, 20, 8},       // 1.5 tenths round to 2
        {'c', 2205, 8000, 0, 20, 8},       // 2.5 tenths round to 2
        {'c', 0, 7999, 0, 12, 0},          // attack too weak
        {'c', 0, 8000, 8000, 12, 0},       // the body as loud as an attack
        {'c', 0, 8000, 0, 0, 0},           // tolerance 0: nothing, and no division by it
        {'c', 0, 8000, 0, -5, 0},
        {'r', 0, 7999, 7999, 0, 1},        // a quiet rest earns 1 at any accuracy
        {'r', 0, 8000, 0, 12, 0},
    };
    for (const Case &c : cases) {
        TimedNote n = note(c.letter, 1000, 500);
        n.onsetPeakLevel = c.onset;
        n.bodyPeakLevel = c.body;
        n.onsetPeakPos = 44100 + c.onsetFromTarget;
        EXPECT_EQ(onBeatPointsFor(n, c.accuracy), c.points)
            << c.letter << " " << c.onsetFromTarget << " " << c.accuracy;
    }
}

TEST(BlockRating, RestsAndHeldNotes)
{
    // A rest, then a note of 16 blocks, then the end.
    Recording rec(40);
    rec.notes = {note('r', 0, 743), note('c', 743, 743, 430, 450), note('r', 1486, 0)};
    rec.envelope[0] = 7999; // quiet enough
    rec.envelope[1] = 8000; // too loud
    ReplayRater r = rec.rater();
    rateLiveBlock(r, 0, 0);
    rateLiveBlock(r, 1, replayBlockTimeMs(1));
    EXPECT_EQ(r.tallies.pitchHitCount, 1);
    EXPECT_EQ(r.tallies.loudnessOkCount, 1);
    EXPECT_EQ(rec.loudnessRating[0], 2);
    EXPECT_EQ(rec.loudnessRating[1], 3);

    // Five hits since the last close do not hold the note, six do.
    for (int hits : {5, 6}) {
        ReplayRater s = rec.rater();
        s.currentNoteRow = 1;
        for (int32_t b = 0; b < 16; ++b) rec.pitch[b] = b < hits ? 440.0 : 500.0;
        for (int32_t b = 0; b < 16; ++b) rateLiveBlock(s, b, replayBlockTimeMs(16 + b));
        EXPECT_TRUE(closeNoteIfDue(s, 1486));
        EXPECT_EQ(s.tallies.noteOkCount, hits == 6 ? 1 : 0) << hits;
        EXPECT_EQ(s.hitsAtLastClose, hits);
    }
}

TEST(BlockRating, ARecordingThatOutlastsTheMelodyStopsRatingAtItsEnd)
{
    Recording rec(100);
    rec.notes = {note('c', 0, 500, 430, 450), note('r', 500, 0)};
    for (double &f : rec.pitch) f = 440.0;
    ReplayRater r = rec.rater();
    const ReplayTallies t = rec.live(r, 99);
    EXPECT_TRUE(melodyEnded(r));
    EXPECT_EQ(r.currentNoteRow, 1);
    EXPECT_EQ(t.pitchHitCount, 11) << "blocks 0..10 lie before 500 ms";
    EXPECT_EQ(rec.pitchRating[50], 0);
    reanalyseUpToBlock(r, 99);
    EXPECT_EQ(r.tallies, t);
}

TEST(BlockRating, LiveRatingAndReanalysisGiveTheSameTallies)
{
    // Four notes and a rest at 60 beats per minute, sung with drifts, attacks
    // and an alternative estimate here and there.
    Recording rec(120);
    rec.notes = {note('c', 0, 1000, 250, 270), note('r', 1000, 1000), note('e', 2000, 1000, 320, 340, 'L'),
                 note('g', 3000, 1000, 380, 410, 'T'), note('c', 4000, 1000, 510, 540), note('r', 5000, 0)};
    for (int32_t b = 0; b < 120; ++b) {
        rec.pitch[b] = 250 + 3.1 * (b % 50);
        rec.envelope[b] = (b * 2311) % 12000;
        // Attacks in the first 100 ms of every second, quieter bodies between.
        rec.loudness[b] = replayBlockTimeMs(b) % 1000 < 100 ? 20000 + (b * 7919) % 8000 : 5000 + (b * 7919) % 3000;
        rec.peakOffset[b] = (b * 37) % 2048;
        if (b % 9 == 4) {
            rec.traceInts[b] = 1;
            rec.traceReals[b] = 330;
        }
    }
    for (int32_t last : {0, 20, 43, 64, 107, 119}) {
        Recording copy = rec;
        ReplayRater live = copy.rater(20);
        const ReplayTallies tallies = copy.live(live, last);
        reanalyseUpToBlock(live, last);
        EXPECT_EQ(live.tallies, tallies) << "up to block " << last;
        EXPECT_EQ(live.currentNoteRow, std::min<int32_t>(5, replayBlockTimeMs(last) / 1000)) << last;
        if (last == 119) {
            EXPECT_GT(tallies.pitchHitCount, 0);
            EXPECT_GT(tallies.loudnessOkCount, 0);
            EXPECT_GT(tallies.onBeatScore, 0);
            EXPECT_EQ(copy.recheck, copy.pitchRating) << "no wait shift: the same band per block";
        }
    }
}
