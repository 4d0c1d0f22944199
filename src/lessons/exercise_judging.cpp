#include "lessons/exercise_judging.h"

#include <cmath>

namespace {

// Cents of a frequency in extended precision.
long double centsOf(double hz) { return 1200.0L * std::log(static_cast<long double>(hz)) / std::log(2.0L); }

long double bandFactor(double cents) { return std::pow(2.0L, static_cast<long double>(cents) / 1200.0L); }

} // namespace

double deviationToMeterY(double range, double half, double target, double f)
{
    const long double r = bandFactor(range);
    if (f > target * r) return 160.0 + half + 2.0;
    if (f < target / r) return 160.0 - half - 2.0;
    if (f == target) return 160.0;
    const long double c = 1200.0L * std::log(static_cast<long double>(f) / target) / std::log(2.0L);
    return static_cast<double>(160.0L + half * c / range);
}

int32_t blockDeviationRating(double f, double target, double maxDevCents)
{
    const long double r = bandFactor(maxDevCents);
    if (f > target * r) return 3;
    if (f < target / r) return 1;
    return 2;
}

bool answerSamplesWithinTolerance(const double *samples, int32_t n, double tol, double target)
{
    const long double r = bandFactor(tol);
    const long double low = target / r;
    const long double high = target * r;
    for (int32_t i = 1; i <= n; ++i)
        if (!(low <= samples[i] && samples[i] <= high)) return false;
    return true;
}

void meanPitchDeviation(const double *samples, int32_t n, double &meanHz, double &meanDev,
                        double target, double &std)
{
    // The running sums are doubles, rounded after every addition; each term
    // is formed in extended precision.
    double sum = 0.0;
    double sumSquares = 0.0;
    for (int32_t i = 1; i <= n; ++i) {
        const long double c = centsOf(samples[i]);
        sum = static_cast<double>(sum + c);
        sumSquares = static_cast<double>(sumSquares + c * c);
    }
    const double m = static_cast<double>(static_cast<long double>(sum) / n);
    long double variance = static_cast<long double>(sumSquares) / n - static_cast<long double>(m) * m;
    if (variance < 0) variance = 0; // rounding with equal samples
    std = static_cast<double>(std::sqrt(variance));
    meanHz = static_cast<double>(std::pow(2.0L, static_cast<long double>(m) / 1200.0L));
    meanDev = static_cast<double>(m - centsOf(target));
}

AnswerJudgement judgeAnswer(const double *samples, double maxTolCents, double maxDevCents,
                            double target)
{
    AnswerJudgement j;
    j.valid = answerSamplesWithinTolerance(samples, judgedBlockCount, maxTolCents, target);
    if (!j.valid) return j;
    meanPitchDeviation(samples, judgedBlockCount, j.sungFrequency, j.meanCents, target, j.stdCents);
    j.passed = answerDeviationCents(j.sungFrequency, target) <= maxDevCents;
    return j;
}

double answerDeviationCents(double sungHz, double target)
{
    return std::fabs(static_cast<double>(centsOf(sungHz) - centsOf(target)));
}

int32_t meterRangeFor(double maxDevCents) { return maxDevCents < 100 ? 100 : 1200; }

bool lessonPassedBy(const LessonBlock &results, int32_t notesToTrain, double maxDevCents)
{
    for (int32_t k = 0; k < notesToTrain; ++k)
        if (!(std::fabs(results.slots[k].mean) <= maxDevCents)) return false;
    return true;
}

NoteSlot judgedNoteSlot(int32_t note, const AnswerJudgement &j)
{
    if (!j.valid) return NoteSlot{note, invalidAnswerCents, invalidAnswerCents, 0};
    return NoteSlot{note, j.meanCents, j.stdCents, static_cast<uint8_t>(j.passed ? 1 : 0)};
}
