// The pitch detector: turns one prepared 4096-sample window (see
// sound/recording.h) into a frequency in Hz or a status code below 10.
//
// It times recurring waveform events instead of transforming the signal:
// peaks, valleys and zero-crossing marks are found in one pass, merged into a
// time-ordered list, intervals between events of the same kind vote in a
// smoothed histogram, twelve candidate periods are weighed (neighbourhood,
// nearness to the previous period, candidates at multiples), and the winner is
// verified by a run of events that repeat one period later. The verified
// period is then measured against the window itself: the lag nearest it at
// which the sounding part of the window is most like itself, to a fraction of
// a sample, checked against half and multiples of it (refinePeriod,
// wholePeriod).
//
// Pure function of the window, its measures and the previous period: no GL,
// no AL, no clock, no heap. Working storage is fixed and reused by every call.
#pragma once
#include "sound/recording.h"

#include <cstdint>

// Status codes returned in place of a frequency. Every consumer treats a
// frequency below 55 Hz as "no pitch".
constexpr double pitchTooQuiet = 6.0;        // amplitude below 2500
constexpr double pitchTooLittleEnergy = 3.0; // sum of |samples| at most 50000
constexpr double pitchTooFewEvents = 5.0;    // fewer than 2 peaks or 2 upward marks
constexpr double pitchNoStablePeriod = 1.0;  // verification run too short

// Analyses one block on a tracker: prepares the window at
// tracker.analysisPos into analysisWindow with its measures
// (preAnalyseWindow), then detects its pitch with the tracker's previous
// period. Writes frequency always, period as the result demands (unchanged
// after 6.0 and 5.0, 0 after 3.0 and 1.0, the measured period in samples
// otherwise), extraCount (the number of events in the merged list, 0 when the
// detector stops before merging) and eventTypeAtSample.
void analyseWindow(PitchTracker &tracker);

// ---------------------------------------------------------------------------
// The stages, exposed so each can be checked on small hand-made inputs.

enum PitchEventKind : int32_t {
    eventNone = 0,
    eventUpCrossing = 1,
    eventDownCrossing = 2,
    eventPeak = 3,
    eventValley = 4,
};

// How firmly an event was established; 4, 8, 12 and 16 are the strong grades.
enum PitchEventGrade : int32_t {
    gradeProvisionalPeak = 3,
    gradeConfirmedPeak = 4,
    gradeProvisionalValley = 7,
    gradeConfirmedValley = 8,
    gradeUpMark = 11,
    gradeStrongUpMark = 12,
    gradeDownMark = 15,
    gradeStrongDownMark = 16,
};

struct PitchThresholds {
    int32_t t1; // drop that confirms an extreme
    int32_t h;  // swing that starts and ends an extreme
    int32_t t3; // swing needed for a zero-crossing mark
    int32_t t2; // swing needed for a strong zero-crossing mark
    int32_t v;  // value window for matching extremes
};
PitchThresholds pitchThresholds(int32_t amplitude);

struct ListedEvent {
    int32_t index;   // window sample
    int32_t value;   // x at index (peaks and valleys)
    int32_t grade;
    double position; // samples from the window start, set by the merge
};

struct PitchEvent {
    double position;
    int32_t value; // the extreme's value; 0 for crossings
    int32_t kind;
    int32_t grade;
};

constexpr int32_t eventListCapacity = analysisWindowLength + 1; // 4097
constexpr int32_t mergedCapacity = 4 * analysisWindowLength + 1; // 16385
constexpr int32_t longestInterval = 831;
constexpr int32_t histogramLow = -5;
constexpr int32_t histogramHigh = 837;
constexpr int32_t candidateCount = 12;

enum PitchEventList : int32_t { listPeaks = 0, listValleys = 1, listUpMarks = 2, listDownMarks = 3 };

struct PeriodCandidate {
    int32_t p;
    int32_t score;
    int32_t support;
};

// All working storage of one detection.
struct PitchWorkspace {
    int32_t x[analysisWindowLength]; // offset-corrected window
    ListedEvent lists[4][eventListCapacity];
    int32_t listCount[4];
    PitchEvent merged[mergedCapacity];
    int32_t mergedCount;
    int32_t histogram[histogramHigh - histogramLow + 1]; // bin k at k - histogramLow
    PeriodCandidate candidates[candidateCount];          // rank order, best first
};

inline int32_t &histogramBin(PitchWorkspace &w, int32_t k) { return w.histogram[k - histogramLow]; }

// Event pass over window[0..4095] + dcOffset: fills x and the four lists.
void findPitchEvents(PitchWorkspace &w, const int16_t *window, int16_t dcOffset,
                     const PitchThresholds &t);

// Merges the four lists into w.merged in time order, sets each list entry's
// position and marks eventTypeAtSample.
void mergePitchEvents(PitchWorkspace &w);

// Interval histogram over same-list pairs less than 832 samples apart, each
// event paired with the next twelve of its list at most; in a list of 64
// events or more, only every second (128: third, ...) event is paired.
void buildIntervalHistogram(PitchWorkspace &w);

// The twelve strongest bins 0..831 (later bin ranks above an earlier equal one).
void chooseCandidates(PitchWorkspace &w);

// Support from neighbouring bins, the previous period and candidates at
// 4, 3 and 2 times each candidate's period; returns the winning period.
int32_t weighCandidates(PitchWorkspace &w, double previousPeriod);

// Whether merged event u repeats about P samples later, and at what distance.
bool matchNextEvent(const PitchWorkspace &w, int32_t u, double P, int32_t v, double &distance);

// Verification run over the merged list for period P.
void verifyPeriod(const PitchWorkspace &w, int32_t P, int32_t v, int32_t &bestRun,
                  double &bestSum);

// The lag of greatest normalised self-similarity of the window within
// refineSpan of estimate (the verified period), to a fraction of a sample.
// Only the sounding part of the window (from the first to the last sample
// beyond level) takes part, smoothed by a box of an eighth of estimate.
constexpr double refineSpan = 0.03;
// Its loudness is evened out first, over stretches of whole periods of at
// least loudnessStretch samples (a vibrato's swell through a formant would
// otherwise pull the lag toward the loud part's pitch).
// A window whose loudest stretch is less than unevenLoudness times its
// softest keeps its loudness.
constexpr int32_t loudnessStretch = 256;
constexpr double unevenLoudness = 1.1;
// Up to this period (345 Hz and above) the loudness of the window's slope
// is evened out where it varies, and not its own: it
// weighs each harmonic as the lag does (a harmonic rising through a formant
// while another falls away biased a vibrato's reading by 2-3 cents). Longer
// periods keep their own loudness (jittered voices at 220-340 Hz read a
// little less closely with the slope's).
constexpr double slopeLoudnessPeriod = loudnessStretch / 2;
double refinePeriod(const PitchWorkspace &w, double estimate, int32_t level);

// The period checked against its half and its multiples. A window that
// repeats at half the period within asWellRepeated of its similarity at the
// period has the half as its period. A period whose window repeats only
// loosely at it (similarity below wellRepeated) is checked at its multiples
// up to the longest period and at the longer candidates of the histogram: a
// voice whose first formant rings strongly, over a weak fundamental, can pass
// the verification at the ringing's period. The lag that repeats clearly
// better (by clearlyBetter) is the period (or its half, as above). Reads the
// candidates of w. These checks look at the window unsmoothed; a period
// they change is refined again (refinePeriod).
// A well-repeated period whose double repeats better by doubleBetter (both
// at their maxima) is doubled, for doubles up to longestDoubled samples.
constexpr double wellRepeated = 0.85;
constexpr double doubleBetter = 0.02;
constexpr int32_t longestDoubled = 280;
// Or whose double's shortfall from perfect repetition is below lessAperiodic
// of its own (a period that repeats nearly perfectly, below nearlyPerfect).
constexpr double lessAperiodic = 0.25;
constexpr double nearlyPerfect = 0.998;
// The highest pitch read is 1250 Hz, 220 cents above the top note key's
// 1046.5 Hz (and 1100 Hz): the measured period is at least shortestPeriod
// samples, a shorter one taken for its nearest multiple above.
constexpr double shortestPeriod = 44100.0 / 1250.0;
constexpr double asWellRepeated = 0.02;
constexpr double clearlyBetter = 0.15;
// A period whose window hardly repeats at it (below hardlyRepeated: the
// ringing of a formant under a jittered low voice) gives way to a lag that
// repeats only slightly better. A loosely repeated period that none beats
// gives way to a lag of four periods or more at which the window smoothed
// over an eighth of it repeats clearly better than the window at the period,
// and more than hardly (a jittered low voice with vibrato under its
// formant's ringing).
constexpr double hardlyRepeated = 0.6;
constexpr double slightlyBetter = 0.03;
double wholePeriod(const PitchWorkspace &w, double period, int32_t level);

// Candidates verified in turn after the winner of the weighing fails.
constexpr int32_t retriedCandidates = 3;

// Length of the verification run that period P needs.
int32_t runNeeded(int32_t P);
