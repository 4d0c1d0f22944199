// Judging a sung answer in cents: where a frequency lies on the deviation
// meter, how a block is rated against the lesson's max. Dev., whether every
// judged sample lies inside max. Tol., and the mean and spread of the answer.
// Pure arithmetic on arrays of block frequencies (Hz, or a pitch status code
// below 10); no GL, no AL.
#pragma once
#include <cstdint>

#include "store/store_records.h"

// Blocks 1..22 of the test recording are judged (the first 1.07 s); block 0
// still holds the cleared head of the recording buffer.
constexpr int32_t judgedBlockCount = 22;

// Mean and standard deviation stored for an answer that could not be judged.
constexpr double invalidAnswerCents = 100.0;

// Meter value of frequency f for a meter spanning +-range cents over +-half
// units around 160: 160 at the target, 160 + half at +range, clamped to
// 160 +- (half + 2) beyond the span.
double deviationToMeterY(double range, double half, double target, double f);

// BlockRating of one block against the max. Dev. band: 1 below, 2 within
// (edges included), 3 above.
int32_t blockDeviationRating(double f, double target, double maxDevCents);

// True when samples[1..n] all lie within target / 2^(tol/1200) ..
// target x 2^(tol/1200), edges included. A status code is always outside.
bool answerSamplesWithinTolerance(const double *samples, int32_t n, double tol, double target);

// Over samples[1..n] in cents: meanHz = 2^(m/1200) with m the mean cents,
// meanDev = m - cents(target), std = sqrt(mean of squares - m^2) with the
// variance clamped at 0 (equal samples give 0).
void meanPitchDeviation(const double *samples, int32_t n, double &meanHz, double &meanDev,
                        double target, double &std);

// The judgement of one answer.
struct AnswerJudgement {
    bool valid = false;
    bool passed = false;
    double sungFrequency = 0.0; // geometric mean of the judged blocks (valid answers)
    double meanCents = invalidAnswerCents;
    double stdCents = invalidAnswerCents;
};

// |cents(sungHz) - cents(target)|: the deviation an answer is judged by.
double answerDeviationCents(double sungHz, double target);

// Judges blocks 1..22 of a test recording: invalid when one lies outside
// max. Tol. (stored as 100/100, failed); otherwise passed when
// answerDeviationCents(sung, target) <= max. Dev. (equality passes).
AnswerJudgement judgeAnswer(const double *samples, double maxTolCents, double maxDevCents,
                            double target);

// The slot an answer leaves in the lesson's result block.
NoteSlot judgedNoteSlot(int32_t note, const AnswerJudgement &j);

// Cents over the deviation meter's full height for a lesson's max. Dev.:
// 100 below 100 cents, else 1200.
int32_t meterRangeFor(double maxDevCents);

// The lesson's verdict: every trained slot 1..notesToTrain (the last one
// holds the worst earlier note) has |mean| <= max. Dev. (equality passes);
// slots above notesToTrain do not count.
bool lessonPassedBy(const LessonBlock &results, int32_t notesToTrain, double maxDevCents);
