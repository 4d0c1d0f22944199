#include "sound/recording.h"

#include "base/stops.h"

#include <algorithm>
#include <cstring>

int16_t recordingBuffer[recordingBufferLength];
int16_t analysisWindow[analysisWindowLength];
int32_t eventTypeAtSample[analysisWindowLength];

// Stop number for a window request outside the buffer (shared with the
// detector's bounds checks).
constexpr int32_t stopWindowOutOfRange = 3756;

void clearRecordingHead()
{
    std::memset(recordingBuffer, 0, sizeof(int16_t) * recordingHeadLength);
}

void clearEventMarks()
{
    std::memset(eventTypeAtSample, 0, sizeof(int32_t) * eventMarksCleared);
}

// Samples side by side, as the processor works on them.
typedef int32_t Lanes4 __attribute__((vector_size(16)));
typedef float Reals4 __attribute__((vector_size(16)));
typedef int16_t Samples8 __attribute__((vector_size(16)));
typedef uint16_t Magnitudes8 __attribute__((vector_size(16)));

// s / 11 truncated toward zero, as int32 division gives it: |s| is at most
// 11 * 32768, below 2^24, so it is a float exactly; a quotient that is not
// whole lies at least 1/11 from a whole number, far beyond the float's
// rounding error (at most 2^-9 below 32768), so truncating the rounded
// quotient gives the same whole number.
static inline Lanes4 quotientBy11(Lanes4 s)
{
    return __builtin_convertvector(__builtin_convertvector(s, Reals4) / 11.0f, Lanes4);
}

// Running sums of the window with the edge sample repeated five times
// before and after it: runningSum[k] is the sum of the first k of those.
static int32_t runningSum[analysisWindowLength + 11];

// The index of the first of b[0..4095] equal to value, which one is: eight
// at a time until eight hold it.
static int32_t firstAt(const int16_t *b, int16_t value)
{
    int32_t i = 0;
    for (; i + 8 < analysisWindowLength; i += 8) {
        Samples8 v;
        std::memcpy(&v, b + i, sizeof v);
        const Samples8 equal = v == value;
        uint64_t halves[2];
        std::memcpy(halves, &equal, sizeof halves);
        if ((halves[0] | halves[1]) != 0) break;
    }
    while (b[i] != value) ++i;
    return i;
}

void preAnalyseWindow(int32_t pos, int16_t *window, int32_t count, int32_t &amplitude,
                      int32_t &extremeIndex, int16_t &dcOffset, double &sumAbs)
{
    if (count != analysisWindowLength) stopProgram(count, stopWindowOutOfRange);
    if (pos < 0 || pos > lastWindowStart) stopProgram(pos, stopWindowOutOfRange);

    const int16_t *b = recordingBuffer + pos;
    constexpr int32_t n = analysisWindowLength;

    // 11-point moving average; samples beyond either edge count as the edge
    // sample. Each output is the difference of two running sums, eight at a
    // time. The running sums are taken four at a time: the samples widened
    // to 32 bits (each beside its sign), summed within the four (shifted by
    // one lane, then by two) and added to the last sum before them.
    int32_t sum = 0;
    runningSum[0] = 0;
    for (int32_t k = 0; k < 5; ++k) runningSum[k + 1] = sum += b[0];
    const Lanes4 zero = {0, 0, 0, 0};
    Lanes4 before = zero + sum;
    for (int32_t i = 0; i < n; i += 8) {
        Samples8 v;
        std::memcpy(&v, b + i, sizeof v);
        const Samples8 sign = v < 0;
        Lanes4 halves[2] = {Lanes4(__builtin_shufflevector(v, sign, 0, 8, 1, 9, 2, 10, 3, 11)),
                            Lanes4(__builtin_shufflevector(v, sign, 4, 12, 5, 13, 6, 14, 7, 15))};
        for (int32_t h = 0; h < 2; ++h) {
            Lanes4 s = halves[h];
            s += __builtin_shufflevector(zero, s, 0, 4, 5, 6);
            s += __builtin_shufflevector(zero, s, 0, 1, 4, 5);
            s += before;
            std::memcpy(runningSum + i + 6 + 4 * h, &s, sizeof s);
            before = __builtin_shufflevector(s, s, 3, 3, 3, 3);
        }
    }
    sum = runningSum[n + 5];
    for (int32_t k = 0; k < 5; ++k) runningSum[n + 6 + k] = sum += b[n - 1];
    for (int32_t i = 0; i < n; i += 8) {
        Lanes4 upTo0, before0, upTo1, before1;
        std::memcpy(&upTo0, runningSum + i + 11, sizeof upTo0);
        std::memcpy(&before0, runningSum + i, sizeof before0);
        std::memcpy(&upTo1, runningSum + i + 15, sizeof upTo1);
        std::memcpy(&before1, runningSum + i + 4, sizeof before1);
        // The quotients fit 16 bits: their low halves are the samples.
        const Samples8 q0 = Samples8(quotientBy11(upTo0 - before0));
        const Samples8 q1 = Samples8(quotientBy11(upTo1 - before1));
        const Samples8 q = __builtin_shufflevector(q0, q1, 0, 2, 4, 6, 8, 10, 12, 14);
        std::memcpy(window + i, &q, sizeof q);
    }

    // Measures of the raw samples, eight at a time. The extremes start from
    // the buffer's first element, which the capturing screens keep at 0, and
    // the first sample that reaches one is its index. The magnitudes (32768 at
    // most) are summed as unsigned 16-bit lanes widened to 32 bits; the sum
    // (at most 4096 * 32768) fits an int32.
    Samples8 hi = {}, lo = {};
    hi += recordingBuffer[0];
    lo += recordingBuffer[0];
    Lanes4 magnitudes = {};
    const Magnitudes8 none = {};
    for (int32_t i = 0; i < n; i += 8) {
        Samples8 v;
        std::memcpy(&v, b + i, sizeof v);
        hi = v > hi ? v : hi;
        lo = v < lo ? v : lo;
        const Magnitudes8 u = Magnitudes8(v), m = v < 0 ? -u : u;
        magnitudes += Lanes4(__builtin_shufflevector(m, none, 0, 8, 1, 9, 2, 10, 3, 11)) +
                      Lanes4(__builtin_shufflevector(m, none, 4, 12, 5, 13, 6, 14, 7, 15));
    }
    int32_t maxValue = hi[0], minValue = lo[0];
    for (int32_t k = 1; k < 8; ++k) {
        maxValue = std::max(maxValue, int32_t(hi[k]));
        minValue = std::min(minValue, int32_t(lo[k]));
    }
    const int32_t maxIndex = maxValue > recordingBuffer[0] ? firstAt(b, int16_t(maxValue)) : 0;
    const int32_t minIndex = minValue < recordingBuffer[0] ? firstAt(b, int16_t(minValue)) : 0;
    sumAbs = double(magnitudes[0] + magnitudes[1] + magnitudes[2] + magnitudes[3]);

    int32_t offset;
    if (maxValue == 32767 && minValue == -32768) {
        offset = 0;
    } else {
        offset = -(maxValue + minValue) / 2;
        if (offset >= 0 && maxValue + offset > 32767) offset = 32767 - maxValue;
        if (offset < 0 && minValue + offset < -32768) offset = -32768 - minValue;
    }
    dcOffset = int16_t(offset);

    const int32_t absMax = maxValue < 0 ? -maxValue : maxValue;
    const int32_t absMin = minValue < 0 ? -minValue : minValue;
    if (absMax > absMin) {
        amplitude = maxValue + offset;
        extremeIndex = maxIndex;
    } else {
        amplitude = -(minValue + offset);
        if (amplitude > 32767) amplitude = 32767;
        extremeIndex = minIndex;
    }
}

void preAnalyseWindow(int32_t pos, int32_t &amplitude, int16_t &dcOffset, double &sumAbs)
{
    int32_t extremeIndex = 0;
    preAnalyseWindow(pos, analysisWindow, analysisWindowLength, amplitude, extremeIndex,
                     dcOffset, sumAbs);
}

void preAnalyseWindow(PitchTracker &tracker)
{
    preAnalyseWindow(tracker.analysisPos, analysisWindow, analysisWindowLength,
                     tracker.amplitude, tracker.extremeIndex, tracker.dcOffset, tracker.sumAbs);
}
