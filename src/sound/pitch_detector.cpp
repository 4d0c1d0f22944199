#include "sound/pitch_detector.h"

#include "base/rounding.h"
#include "base/stops.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// Stops of the detector's own block.
constexpr int32_t stopDetectorReentered = 3754;
constexpr int32_t stopMergeIncomplete = 3755;
constexpr int32_t stopOutOfWindow = 3756;  // a window index or length out of range
constexpr int32_t stopListOverflow = 3757; // an event list or histogram bin out of range

constexpr int32_t quietLimit = 2500;
constexpr double energyLimit = 50000.0;
constexpr int32_t spread[9] = {1, 2, 3, 4, 5, 4, 3, 2, 1};

static int32_t pitchDetectorBusy = 0;
static PitchWorkspace workspace;

PitchThresholds pitchThresholds(int32_t amplitude)
{
    PitchThresholds t;
    t.t1 = (2 * amplitude) / 3;
    t.h = t.t1 - 2;
    t.t3 = t.h / 3;
    t.t2 = t.t1 / 2;
    t.v = amplitude / 3 + 2400;
    return t;
}

static void appendEvent(PitchWorkspace &w, int32_t list, int32_t index, int32_t value,
                        int32_t grade)
{
    int32_t &n = w.listCount[list];
    if (n >= eventListCapacity) stopProgram(list, stopListOverflow);
    w.lists[list][n] = ListedEvent{index, value, grade, 0.0};
    ++n;
}

// The running extremes and the latest crossings a listed extreme reads are
// taken when it is listed: listed extremes of one kind come in rising index
// order, so each stretch of the window is looked at once.
struct CrossingLookup {
    int32_t extremeUpTo = 0; // samples folded into extreme so far
    int32_t extreme = 0;     // lowest (peaks) or highest (valleys) of x[0 .. extremeUpTo)
};

// Lists a peak and right after it the upward-crossing mark leading to it: the
// latest upward crossing after the previous peak's index and before this one,
// when the swing from the lowest value before the peak is large enough.
static void listPeak(PitchWorkspace &w, const PitchThresholds &t, CrossingLookup &look,
                     int32_t index, int32_t value, int32_t grade, int32_t &lastIndex)
{
    appendEvent(w, listPeaks, index, value, grade);
    if (index >= 1) {
        const int32_t *x = w.x;
        // Once below -t2 the lowest value decides no more: it only falls.
        int32_t lo = look.extreme;
        if (lo >= -t.t2)
            for (int32_t i = look.extremeUpTo; i < index; ++i) lo = x[i] < lo ? x[i] : lo;
        look.extreme = lo;
        look.extremeUpTo = index;
        int32_t c = index - 1;
        const int32_t earliest = lastIndex + 1 > 1 ? lastIndex + 1 : 1;
        while (c >= earliest && !(x[c - 1] < 0 && x[c] >= 0)) --c;
        if (c >= earliest && lo < -t.t3 && value > t.t3) {
            const bool strong = lo < -t.t2 && value > t.t2;
            appendEvent(w, listUpMarks, c, 0, strong ? gradeStrongUpMark : gradeUpMark);
        }
    }
    lastIndex = index;
}

// The mirror for a valley and its downward-crossing mark.
static void listValley(PitchWorkspace &w, const PitchThresholds &t, CrossingLookup &look,
                       int32_t index, int32_t value, int32_t grade, int32_t &lastIndex)
{
    appendEvent(w, listValleys, index, value, grade);
    if (index >= 1) {
        const int32_t *x = w.x;
        int32_t hi = look.extreme;
        if (hi <= t.t2)
            for (int32_t i = look.extremeUpTo; i < index; ++i) hi = x[i] > hi ? x[i] : hi;
        look.extreme = hi;
        look.extremeUpTo = index;
        int32_t c = index - 1;
        const int32_t earliest = lastIndex + 1 > 1 ? lastIndex + 1 : 1;
        while (c >= earliest && !(x[c - 1] > 0 && x[c] <= 0)) --c;
        if (c >= earliest && hi > t.t3 && value < -t.t3) {
            const bool strong = hi > t.t2 && value < -t.t2;
            appendEvent(w, listDownMarks, c, 0, strong ? gradeStrongDownMark : gradeDownMark);
        }
    }
    lastIndex = index;
}

// The machines spend most samples following a running extreme while the
// signal stays within h of it. The lowest and highest of the eight window
// samples from each index on (taken beforehand, for both machines) tell
// whether any of them can end that (the swing within the eight and from the
// extreme so far is at most h); only eight that can are followed sample by
// sample.
constexpr int32_t stride = 8;
typedef int32_t Lanes4 __attribute__((vector_size(16)));
typedef double DoublePair __attribute__((vector_size(16)));
typedef int16_t Samples8 __attribute__((vector_size(16)));

struct StrideExtremes {
    int16_t low[analysisWindowLength + 2 * stride];  // of window[i .. i + 7], i <= 4088
    int16_t high[analysisWindowLength + 2 * stride];
    int16_t padded[analysisWindowLength + 2 * stride]; // the window, zeros after it
    int32_t dcOffset;
};
static StrideExtremes strides;

#if defined(__x86_64__)
// The same extremes sixteen indexes at a time, where the processor has
// 32-byte integer lanes (the same integers).
typedef int16_t Samples16 __attribute__((vector_size(32)));

__attribute__((target("avx2"))) static void strideExtremesBy16()
{
    constexpr int32_t n = analysisWindowLength;
    const int16_t *lowFrom = strides.padded, *highFrom = strides.padded;
    for (int32_t reach = 1; reach < stride; reach *= 2) {
        for (int32_t i = 0; i < n; i += 16) {
            Samples16 a, b, c, d;
            std::memcpy(&a, lowFrom + i, sizeof a);
            std::memcpy(&b, lowFrom + i + reach, sizeof b);
            std::memcpy(&c, highFrom + i, sizeof c);
            std::memcpy(&d, highFrom + i + reach, sizeof d);
            const Samples16 lo = a < b ? a : b, hi = c > d ? c : d;
            std::memcpy(strides.low + i, &lo, sizeof lo);
            std::memcpy(strides.high + i, &hi, sizeof hi);
        }
        lowFrom = strides.low;
        highFrom = strides.high;
    }
}

static const bool wideStridesAvailable = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

// Extremes of one, two, four and then eight neighbours, eight indexes at a
// time (the entries past 4088 are never read).
static void findStrideExtremes(const int16_t *window, int16_t dcOffset)
{
    constexpr int32_t n = analysisWindowLength;
    std::memcpy(strides.padded, window, sizeof(int16_t) * n);
    strides.dcOffset = dcOffset;
#if defined(__x86_64__)
    if (wideStridesAvailable) {
        strideExtremesBy16();
        return;
    }
#endif
    auto load = [](const int16_t *p) {
        Samples8 v;
        std::memcpy(&v, p, sizeof v);
        return v;
    };
    const int16_t *lowFrom = strides.padded, *highFrom = strides.padded;
    for (int32_t reach = 1; reach < stride; reach *= 2) {
        for (int32_t i = 0; i < n; i += 8) {
            const Samples8 a = load(lowFrom + i), b = load(lowFrom + i + reach);
            const Samples8 c = load(highFrom + i), d = load(highFrom + i + reach);
            const Samples8 lo = a < b ? a : b, hi = c > d ? c : d;
            std::memcpy(strides.low + i, &lo, sizeof lo);
            std::memcpy(strides.high + i, &hi, sizeof hi);
        }
        lowFrom = strides.low;
        highFrom = strides.high;
    }
}

static inline void strideExtremes(int32_t i, int32_t &lo, int32_t &hi)
{
    lo = strides.low[i] + strides.dcOffset;
    hi = strides.high[i] + strides.dcOffset;
}

// At rest, the eight samples from i (i + 8 <= 4096) followed at once: the
// number of them before the first that rises more than h above the lowest
// value so far (8 when none does), with lowRef lowered to the lowest before
// it. The window plus its offset fits 16 bits (the offset keeps the raw
// extremes within them, and the smoothed window lies between those); a rise
// beyond 16 bits saturates at 32767, still above h.
#if defined(__x86_64__)
static inline int32_t restWithinStride(int32_t i, int32_t &lowRef, int32_t h)
{
    const __m128i v = _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(strides.padded + i)),
                                    _mm_set1_epi16(int16_t(strides.dcOffset)));
    const __m128i top1 = _mm_setr_epi16(32767, 0, 0, 0, 0, 0, 0, 0);
    const __m128i top2 = _mm_setr_epi16(32767, 32767, 0, 0, 0, 0, 0, 0);
    const __m128i top4 = _mm_setr_epi16(32767, 32767, 32767, 32767, 0, 0, 0, 0);
    __m128i m = _mm_min_epi16(v, _mm_or_si128(_mm_slli_si128(v, 2), top1)); // lowest up to each
    m = _mm_min_epi16(m, _mm_or_si128(_mm_slli_si128(m, 4), top2));
    m = _mm_min_epi16(m, _mm_or_si128(_mm_slli_si128(m, 8), top4));
    const __m128i before = _mm_min_epi16(_mm_or_si128(_mm_slli_si128(m, 2), top1),
                                         _mm_set1_epi16(int16_t(lowRef))); // lowest before each
    const int mask = _mm_movemask_epi8(_mm_cmpgt_epi16(_mm_subs_epi16(v, before), _mm_set1_epi16(int16_t(h))));
    int16_t lowest[8];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(lowest), before);
    if (mask == 0) {
        lowRef = std::min(lowRef, int32_t(_mm_extract_epi16(m, 7) << 16 >> 16));
        return stride;
    }
    const int32_t k = __builtin_ctz(unsigned(mask)) / 2;
    lowRef = lowest[k];
    return k;
}

// The mirror for the valley machine at rest: a fall of more than h below the
// highest value so far.
static inline int32_t valleyRestWithinStride(int32_t i, int32_t &highRef, int32_t h)
{
    const __m128i v = _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(strides.padded + i)),
                                    _mm_set1_epi16(int16_t(strides.dcOffset)));
    const __m128i bottom1 = _mm_setr_epi16(-32768, 0, 0, 0, 0, 0, 0, 0);
    const __m128i bottom2 = _mm_setr_epi16(-32768, -32768, 0, 0, 0, 0, 0, 0);
    const __m128i bottom4 = _mm_setr_epi16(-32768, -32768, -32768, -32768, 0, 0, 0, 0);
    __m128i m = _mm_max_epi16(v, _mm_or_si128(_mm_slli_si128(v, 2), bottom1));
    m = _mm_max_epi16(m, _mm_or_si128(_mm_slli_si128(m, 4), bottom2));
    m = _mm_max_epi16(m, _mm_or_si128(_mm_slli_si128(m, 8), bottom4));
    const __m128i before = _mm_max_epi16(_mm_or_si128(_mm_slli_si128(m, 2), bottom1),
                                         _mm_set1_epi16(int16_t(highRef)));
    const int mask = _mm_movemask_epi8(_mm_cmpgt_epi16(_mm_subs_epi16(before, v), _mm_set1_epi16(int16_t(h))));
    int16_t highest[8];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(highest), before);
    if (mask == 0) {
        highRef = std::max(highRef, int32_t(_mm_extract_epi16(m, 7) << 16 >> 16));
        return stride;
    }
    const int32_t k = __builtin_ctz(unsigned(mask)) / 2;
    highRef = highest[k];
    return k;
}

// Rising, the eight samples from i followed at once: the number of them
// before the first that falls more than h below the highest value so far (8
// when none does), with the peak and its (first) index taken from those
// before it.
static inline int32_t riseWithinStride(int32_t i, int32_t &peak, int32_t &peakIndex, int32_t h)
{
    const __m128i v = _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(strides.padded + i)),
                                    _mm_set1_epi16(int16_t(strides.dcOffset)));
    const __m128i bottom1 = _mm_setr_epi16(-32768, 0, 0, 0, 0, 0, 0, 0);
    const __m128i bottom2 = _mm_setr_epi16(-32768, -32768, 0, 0, 0, 0, 0, 0);
    const __m128i bottom4 = _mm_setr_epi16(-32768, -32768, -32768, -32768, 0, 0, 0, 0);
    __m128i m = _mm_max_epi16(v, _mm_or_si128(_mm_slli_si128(v, 2), bottom1));
    m = _mm_max_epi16(m, _mm_or_si128(_mm_slli_si128(m, 4), bottom2));
    m = _mm_max_epi16(m, _mm_or_si128(_mm_slli_si128(m, 8), bottom4));
    const __m128i within = _mm_or_si128(_mm_slli_si128(m, 2), bottom1); // highest of those before each
    const __m128i before = _mm_max_epi16(within, _mm_set1_epi16(int16_t(peak)));
    const int mask = _mm_movemask_epi8(_mm_cmpgt_epi16(_mm_subs_epi16(before, v), _mm_set1_epi16(int16_t(h))));
    const int32_t k = mask == 0 ? stride : __builtin_ctz(unsigned(mask)) / 2;
    int16_t highest[8];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(highest), m);
    if (k > 0 && highest[k - 1] > peak) {
        const int32_t top = highest[k - 1];
        const int equal = _mm_movemask_epi8(_mm_cmpeq_epi16(v, _mm_set1_epi16(int16_t(top))));
        peakIndex = i + __builtin_ctz(unsigned(equal)) / 2;
        peak = top;
    }
    return k;
}

// The mirror: falling, a rise of more than h above the lowest value so far.
static inline int32_t fallWithinStride(int32_t i, int32_t &valley, int32_t &valleyIndex, int32_t h)
{
    const __m128i v = _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(strides.padded + i)),
                                    _mm_set1_epi16(int16_t(strides.dcOffset)));
    const __m128i top1 = _mm_setr_epi16(32767, 0, 0, 0, 0, 0, 0, 0);
    const __m128i top2 = _mm_setr_epi16(32767, 32767, 0, 0, 0, 0, 0, 0);
    const __m128i top4 = _mm_setr_epi16(32767, 32767, 32767, 32767, 0, 0, 0, 0);
    __m128i m = _mm_min_epi16(v, _mm_or_si128(_mm_slli_si128(v, 2), top1));
    m = _mm_min_epi16(m, _mm_or_si128(_mm_slli_si128(m, 4), top2));
    m = _mm_min_epi16(m, _mm_or_si128(_mm_slli_si128(m, 8), top4));
    const __m128i within = _mm_or_si128(_mm_slli_si128(m, 2), top1);
    const __m128i before = _mm_min_epi16(within, _mm_set1_epi16(int16_t(valley)));
    const int mask = _mm_movemask_epi8(_mm_cmpgt_epi16(_mm_subs_epi16(v, before), _mm_set1_epi16(int16_t(h))));
    const int32_t k = mask == 0 ? stride : __builtin_ctz(unsigned(mask)) / 2;
    int16_t lowest[8];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(lowest), m);
    if (k > 0 && lowest[k - 1] < valley) {
        const int32_t bottom = lowest[k - 1];
        const int equal = _mm_movemask_epi8(_mm_cmpeq_epi16(v, _mm_set1_epi16(int16_t(bottom))));
        valleyIndex = i + __builtin_ctz(unsigned(equal)) / 2;
        valley = bottom;
    }
    return k;
}
#endif

// A short period gives many events in the window, and every later stage
// costs per event. Once the peaks listed reach densePeaks and the stretch
// covered holds at least denseSpan samples (more than twice the longest
// interval), the machines stop there: dozens of periods remain to count
// intervals and verify a run in, and the refinement still looks at the
// whole window.
constexpr int32_t densePeaks = 36;
constexpr int32_t denseSpan = 1920;

// The peak machine over the whole window. At rest it follows the lowest
// value until the signal rises more than h above it; rising, it follows the
// highest value until the signal falls more than h below it, and the peak is
// listed, confirmed when the fall also exceeds t1; a provisional peak waits
// until the signal rises h above the dip (rest again) or falls t1 below the
// peak (confirmed). Returns where it stopped: the window's end, or earlier
// when the peaks are dense (see denseSpan).
static int32_t findPeaks(PitchWorkspace &w, const PitchThresholds &t)
{
    constexpr int32_t n = analysisWindowLength;
    const int32_t *x = w.x;
    CrossingLookup look;
    look.extreme = x[0];
    int32_t lowRef = x[0], lastIndex = -1, i = 0;
    while (i < n) {
        if (i >= denseSpan && w.listCount[listPeaks] >= densePeaks) return i;
        for (;;) { // at rest
            int32_t lo, hi;
            while (i + stride <= n) {
                strideExtremes(i, lo, hi);
                const int32_t lowest = std::min(lowRef, lo);
                if (hi - lowest > t.h) break;
                lowRef = lowest;
                i += stride;
            }
            const int32_t end = std::min(i + stride, n);
#if defined(__x86_64__)
            if (i + stride <= n) i += restWithinStride(i, lowRef, t.h);
#endif
            while (i < end && x[i] - lowRef <= t.h) {
                lowRef = x[i] < lowRef ? x[i] : lowRef;
                ++i;
            }
            if (i < end || i >= n) break;
        }
        if (i >= n) break;
        int32_t peak = x[i], peakIndex = i;
        ++i;
        for (;;) { // rising
            int32_t lo, hi;
            while (i + stride <= n) {
                strideExtremes(i, lo, hi);
                const int32_t highest = std::max(peak, hi);
                if (lo < highest - t.h) break;
                if (hi > peak) {
                    peakIndex = i + int32_t(std::find(x + i, x + i + stride, hi) - (x + i));
                    peak = hi;
                }
                i += stride;
            }
            const int32_t end = std::min(i + stride, n);
#if defined(__x86_64__)
            if (i + stride <= n) i += riseWithinStride(i, peak, peakIndex, t.h);
#endif
            for (; i < end && x[i] >= peak - t.h; ++i) {
                if (x[i] > peak) {
                    peak = x[i];
                    peakIndex = i;
                }
            }
            if (i < end || i >= n) break;
        }
        if (i >= n) break;
        if (x[i] < peak - t.t1) {
            listPeak(w, t, look, peakIndex, peak, gradeConfirmedPeak, lastIndex);
            lowRef = x[i++];
            continue;
        }
        listPeak(w, t, look, peakIndex, peak, gradeProvisionalPeak, lastIndex);
        const int32_t dip = x[i++];
        for (; i < n; ++i) {
            if (x[i] >= dip + t.h) {
                lowRef = dip;
                ++i;
                break;
            }
            if (x[i] < peak - t.t1) {
                w.lists[listPeaks][w.listCount[listPeaks] - 1].grade = gradeConfirmedPeak;
                lowRef = x[i++];
                break;
            }
        }
    }
    return n;
}

// The mirror: the valley machine, over the first n samples.
static void findValleys(PitchWorkspace &w, const PitchThresholds &t, int32_t n)
{
    const int32_t *x = w.x;
    CrossingLookup look;
    look.extreme = x[0];
    int32_t highRef = x[0], lastIndex = -1, i = 0;
    while (i < n) {
        for (;;) { // at rest
            int32_t lo, hi;
            while (i + stride <= n) {
                strideExtremes(i, lo, hi);
                const int32_t highest = std::max(highRef, hi);
                if (lo - highest < -t.h) break;
                highRef = highest;
                i += stride;
            }
            const int32_t end = std::min(i + stride, n);
#if defined(__x86_64__)
            if (i + stride <= n) i += valleyRestWithinStride(i, highRef, t.h);
#endif
            while (i < end && x[i] - highRef >= -t.h) {
                highRef = x[i] > highRef ? x[i] : highRef;
                ++i;
            }
            if (i < end || i >= n) break;
        }
        if (i >= n) break;
        int32_t valley = x[i], valleyIndex = i;
        ++i;
        for (;;) { // falling
            int32_t lo, hi;
            while (i + stride <= n) {
                strideExtremes(i, lo, hi);
                const int32_t lowest = std::min(valley, lo);
                if (hi > lowest + t.h) break;
                if (lo < valley) {
                    valleyIndex = i + int32_t(std::find(x + i, x + i + stride, lo) - (x + i));
                    valley = lo;
                }
                i += stride;
            }
            const int32_t end = std::min(i + stride, n);
#if defined(__x86_64__)
            if (i + stride <= n) i += fallWithinStride(i, valley, valleyIndex, t.h);
#endif
            for (; i < end && x[i] <= valley + t.h; ++i) {
                if (x[i] < valley) {
                    valley = x[i];
                    valleyIndex = i;
                }
            }
            if (i < end || i >= n) break;
        }
        if (i >= n) break;
        if (x[i] > valley + t.t1) {
            listValley(w, t, look, valleyIndex, valley, gradeConfirmedValley, lastIndex);
            highRef = x[i++];
            continue;
        }
        listValley(w, t, look, valleyIndex, valley, gradeProvisionalValley, lastIndex);
        const int32_t bump = x[i++];
        for (; i < n; ++i) {
            if (x[i] <= bump - t.h) {
                highRef = bump;
                ++i;
                break;
            }
            if (x[i] > valley + t.t1) {
                w.lists[listValleys][w.listCount[listValleys] - 1].grade = gradeConfirmedValley;
                highRef = x[i++];
                break;
            }
        }
    }
}

void findPitchEvents(PitchWorkspace &w, const int16_t *window, int16_t dcOffset,
                     const PitchThresholds &t)
{
    for (int32_t l = 0; l < 4; ++l) w.listCount[l] = 0;
    for (int32_t i = 0; i < analysisWindowLength; ++i) w.x[i] = int32_t(window[i]) + int32_t(dcOffset);
    findStrideExtremes(window, dcOffset);
    // The two machines list into lists of their own, so each runs alone; the
    // valley machine covers the stretch the peak machine covered.
    findValleys(w, t, findPeaks(w, t));
}

// The nearest whole number to x (ties to even, as roundNearest) for |x|
// below 2^31: adding 1.5 * 2^52 leaves no fraction bits, so the sum is
// rounded to a whole number, which its low 32 bits hold.
constexpr double wholeShift = 6755399441055744.0;
static inline int32_t nearestSmallWhole(double x)
{
    const double shifted = x + wholeShift;
    uint64_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    return int32_t(uint32_t(bits));
}

// Event positions lie within the window (0 .. 4095.5), so the bit trick
// rounds them as roundToInt32 does, without a library call per event.
static void markEvent(double position, int32_t kind)
{
    const int32_t at = position >= 0.0 && position < double(analysisWindowLength)
                           ? nearestSmallWhole(position)
                           : roundToInt32(position);
    if (at < 0 || at >= analysisWindowLength) stopProgram(at, stopOutOfWindow);
    eventTypeAtSample[at] = kind;
}

static void addMerged(PitchWorkspace &w, double position, int32_t value, int32_t kind,
                      int32_t grade)
{
    if (w.mergedCount >= mergedCapacity) stopProgram(w.mergedCount, stopListOverflow);
    w.merged[w.mergedCount] = PitchEvent{position, value, kind, grade};
    ++w.mergedCount;
    markEvent(position, kind);
}

// A peak or valley sits in the middle of its flat top or bottom.
static void takeExtremeEvent(PitchWorkspace &w, ListedEvent &e, int32_t kind)
{
    int32_t count = 0;
    for (int32_t j = e.index + 1; j < analysisWindowLength && w.x[j] == e.value; ++j) ++count;
    e.position = e.index + count / 2.0;
    addMerged(w, e.position, e.value, kind, e.grade);
}

static void takePeakEvent(PitchWorkspace &w, ListedEvent &e) { takeExtremeEvent(w, e, eventPeak); }
static void takeValleyEvent(PitchWorkspace &w, ListedEvent &e) { takeExtremeEvent(w, e, eventValley); }

// A crossing sits where the line between its two samples passes 0.
static void takeCrossingEvent(PitchWorkspace &w, ListedEvent &e, int32_t kind)
{
    const int32_t i = e.index;
    if (i < 1 || i >= analysisWindowLength) stopProgram(i, stopOutOfWindow);
    const int32_t before = w.x[i - 1];
    const int32_t at = w.x[i];
    e.position = double(i - 1) + double(before) / double(before - at);
    addMerged(w, e.position, 0, kind, e.grade);
}

static void takeUpCrossingEvent(PitchWorkspace &w, ListedEvent &e) { takeCrossingEvent(w, e, eventUpCrossing); }
static void takeDownCrossingEvent(PitchWorkspace &w, ListedEvent &e) { takeCrossingEvent(w, e, eventDownCrossing); }

void mergePitchEvents(PitchWorkspace &w)
{
    w.mergedCount = 0;
    int32_t head[4] = {0, 0, 0, 0};
    const int32_t total = w.listCount[0] + w.listCount[1] + w.listCount[2] + w.listCount[3];
    // The index of each list's next event; past its end, beyond every index.
    auto next = [&](int32_t list) {
        return head[list] < w.listCount[list] ? w.lists[list][head[list]].index : INT32_MAX;
    };
    for (int32_t step = 0; step < total; ++step) {
        // On equal sample index a crossing mark goes first: lists are tried
        // in this order and only a strictly smaller index displaces the choice.
        int32_t chosen = listUpMarks, at = next(listUpMarks);
        const int32_t down = next(listDownMarks), peak = next(listPeaks), valley = next(listValleys);
        if (down < at) { chosen = listDownMarks; at = down; }
        if (peak < at) { chosen = listPeaks; at = peak; }
        if (valley < at) { chosen = listValleys; at = valley; }
        ListedEvent &e = w.lists[chosen][head[chosen]++];
        switch (chosen) {
        case listPeaks: takePeakEvent(w, e); break;
        case listValleys: takeValleyEvent(w, e); break;
        case listUpMarks: takeUpCrossingEvent(w, e); break;
        default: takeDownCrossingEvent(w, e); break;
        }
    }
    for (int32_t list = 0; list < 4; ++list)
        if (head[list] != w.listCount[list]) stopProgram(0, stopMergeIncomplete);
}

// Histograms of fewer intervals are spread interval by interval.
constexpr int32_t densePairs = 512;

// Each event is paired with the next partnersCounted events of its list at
// most. Twelve reach four periods (the furthest multiple the weighing asks
// of a period) in a list of up to three events per period; only short
// periods have more partners within the longest interval (18 at 1000 Hz),
// and the intervals beyond repeat what the nearer multiples tell.
constexpr int32_t partnersCounted = 12;

// A list of many events (a short period, 64 or more in the window) pairs
// only every second, third, ... event with its partners: some fifty to
// sixty first events give the bins the same shape, at half the pairs or less.
static inline int32_t startStep(int32_t n) { return 1 + n / 64; }

void buildIntervalHistogram(PitchWorkspace &w)
{
    // Intervals are counted per whole sample first and spread over the nine
    // neighbouring bins once at the end (integer sums: the same histogram).
    static int32_t intervals[longestInterval + 1];
    static double position[eventListCapacity];
    std::memset(intervals, 0, sizeof intervals);
    int32_t pairs = 0; // counted where the events are in time order
    for (int32_t list = 0; list < 4; ++list) {
        const int32_t n = w.listCount[list];
        bool rising = true;
        for (int32_t u = 0; u < n; ++u) position[u] = w.lists[list][u].position;
        for (int32_t u = 0; u + 1 < n; ++u) rising = rising && position[u] <= position[u + 1];
        if (rising) {
            // Positions in time order: the partners of each event within the
            // longest interval end no earlier than those of the one before.
            int32_t end = 1;
            for (int32_t u = 0; u + 1 < n; u += startStep(n)) {
                const double from = position[u];
                end = std::max(end, u + 1);
                while (end < n && nearestSmallWhole(position[end] - from) < 832) ++end;
                const int32_t last = std::min(end, u + 1 + partnersCounted);
                pairs += last - (u + 1);
                // Four at a time: the low 32 bits of each hold its interval.
                const DoublePair start = {from, from}, shift = {wholeShift, wholeShift};
                int32_t j = u + 1;
                for (; j + 4 <= last; j += 4) {
                    DoublePair later0, later1;
                    std::memcpy(&later0, position + j, sizeof later0);
                    std::memcpy(&later1, position + j + 2, sizeof later1);
                    const DoublePair shifted0 = (later0 - start) + shift;
                    const DoublePair shifted1 = (later1 - start) + shift;
                    Lanes4 bits0, bits1;
                    std::memcpy(&bits0, &shifted0, sizeof bits0);
                    std::memcpy(&bits1, &shifted1, sizeof bits1);
                    const Lanes4 d = __builtin_shufflevector(bits0, bits1, 0, 2, 4, 6);
                    ++intervals[d[0]];
                    ++intervals[d[1]];
                    ++intervals[d[2]];
                    ++intervals[d[3]];
                }
                for (; j < last; ++j) ++intervals[nearestSmallWhole(position[j] - from)];
            }
            continue;
        }
        for (int32_t u = 0; u + 1 < n; u += startStep(n)) {
            const double from = position[u];
            for (int32_t j = u + 1; j < n && j <= u + partnersCounted; ++j) {
                const int32_t d = nearestSmallWhole(position[j] - from);
                if (d >= 832) break;
                if (d < 0) stopProgram(d, stopListOverflow); // no count below interval 0
                ++intervals[d];
            }
        }
    }
    std::memset(w.histogram, 0, sizeof w.histogram);
    if (pairs < densePairs) {
        for (int32_t d = 0; d <= longestInterval; ++d) {
            const int32_t count = intervals[d];
            if (count == 0) continue;
            for (int32_t k = 0; k < 9; ++k) histogramBin(w, d - 4 + k) += spread[k] * count;
        }
        return;
    }
    // Many intervals: bin b collects spread[k] times the count at b + 4 - k,
    // four bins at a time, from the counts with zeros on either side.
    constexpr int32_t pad = 16, bins = histogramHigh - histogramLow + 1;
    static int32_t padded[pad + longestInterval + 1 + pad];
    static int32_t spreadBins[bins + 3];
    std::memcpy(padded + pad, intervals, sizeof intervals);
    auto counts = [&](int32_t b, int32_t k) {
        Lanes4 count;
        std::memcpy(&count, padded + pad + histogramLow + b + 4 - k, sizeof count);
        return count;
    };
    static_assert(spread[0] == 1 && spread[1] == 2 && spread[2] == 3 && spread[3] == 4 &&
                  spread[4] == 5 && spread[5] == 4 && spread[6] == 3 && spread[7] == 2 &&
                  spread[8] == 1);
    for (int32_t b = 0; b < bins; b += 4) {
        const Lanes4 ones = counts(b, 0) + counts(b, 8), twos = counts(b, 1) + counts(b, 7);
        const Lanes4 threes = counts(b, 2) + counts(b, 6), fours = counts(b, 3) + counts(b, 5);
        const Lanes4 five = counts(b, 4);
        const Lanes4 sum = ones + (twos + twos) + (threes + threes + threes) +
                           ((fours + fours) + (fours + fours)) + ((five + five) + (five + five) + five);
        std::memcpy(spreadBins + b, &sum, sizeof sum);
    }
    std::memcpy(w.histogram, spreadBins, sizeof w.histogram);
}

void chooseCandidates(PitchWorkspace &w)
{
    PeriodCandidate *c = w.candidates;
    for (int32_t r = 0; r < candidateCount; ++r) c[r] = PeriodCandidate{0, 0, 0};
    for (int32_t k = 0; k <= longestInterval; ++k) {
        // Eight bins at a time while none beats the weakest candidate.
        while (k + 8 <= longestInterval + 1) {
            Lanes4 a, b;
            std::memcpy(&a, &histogramBin(w, k), sizeof a);
            std::memcpy(&b, &histogramBin(w, k + 4), sizeof b);
            const Lanes4 weakest = Lanes4{} + c[candidateCount - 1].score;
            const Lanes4 beats = (a > weakest) | (b > weakest);
            if (beats[0] | beats[1] | beats[2] | beats[3]) break;
            k += 8;
        }
        if (k > longestInterval) break;
        const int32_t count = histogramBin(w, k);
        if (count <= c[candidateCount - 1].score) continue;
        int32_t r = 0;
        while (c[r].score > count) ++r;
        for (int32_t s = candidateCount - 1; s > r; --s) c[s] = c[s - 1];
        c[r] = PeriodCandidate{k, count, 0};
    }
}

// Whether a candidate lies within one bin of twice candidate r's period and
// candidate r's own support is at least 9/10 of the strongest such one.
static bool nearlyAsStrongAsDouble(const PeriodCandidate *c, const int32_t *ownSupport,
                                   int32_t r)
{
    const int32_t twice = 2 * c[r].p;
    int32_t strongest = 0;
    bool found = false;
    for (int32_t d = 0; d < candidateCount; ++d) {
        if (d == r || c[d].p - 1 > twice || twice > c[d].p + 1) continue;
        found = true;
        strongest = ownSupport[d] > strongest ? ownSupport[d] : strongest;
    }
    return found && int64_t(ownSupport[r]) * 10 >= int64_t(strongest) * 9;
}

int32_t weighCandidates(PitchWorkspace &w, double previousPeriod)
{
    PeriodCandidate *c = w.candidates;
    const double q = roundNearest(previousPeriod);
    for (int32_t r = 0; r < candidateCount; ++r) {
        int32_t support = 0;
        for (int32_t k = c[r].p - 3; k <= c[r].p + 3; ++k) support += histogramBin(w, k);
        const double gap = double(c[r].p) - q;
        if (gap >= -2.0 && gap <= 2.0) support += c[r].score / 16;
        c[r].support = support;
    }

    // Supports before any vote, for the second look at four times a period below.
    int32_t ownSupport[candidateCount];
    for (int32_t r = 0; r < candidateCount; ++r) ownSupport[r] = c[r].support;

    // Candidates at two, three or four times a period vote for it; supports
    // grow in place, so later candidates and passes see the raised values.
    for (int32_t m = 4; m >= 2; --m) {
        for (int32_t r = 0; r < candidateCount; ++r) {
            const int32_t p = c[r].p;
            const int32_t t = p <= 166 ? 1 : roundToInt32(p / 166.0 * 4.0);
            const int32_t multiple = m * p;
            // One vote per multiple: the strongest candidate within the
            // tolerance. A histogram peak that straddles two bins (a period
            // of 75.08 samples fills 450 and 451 at three periods) is one
            // multiple, and voting twice let the double period win a steady
            // 587 Hz tone an octave low.
            int32_t voter = -1;
            for (int32_t d = 0; d < candidateCount; ++d) {
                if (d == r) continue;
                if (c[d].p - t <= multiple && multiple <= c[d].p + t &&
                    (voter < 0 || c[d].support > c[voter].support))
                    voter = d;
            }
            const bool voted = voter >= 0;
            if (voted) c[r].support += c[voter].support / 10;
            // A candidate is a whole bin, so four times it can lie two bins
            // from the bin where four periods land: a tone of 739.99 Hz (59.6
            // samples) has its one-period bin at 60 but its four-period bin
            // at 238, not within one bin of 240. The candidate at twice the
            // period (119) still collects all three of its multiples and wins
            // an octave low; steady tones between about 510 and 875 Hz failed
            // so. So when the one-bin window finds nothing at four times a
            // short period, candidates within two bins vote instead, but only
            // for a candidate at least 9/10 as strong as the candidate at twice
            // its period, as a true period is. A half period (a voice with a
            // strong second harmonic) is clearly weaker than the true period
            // at its double, and widening its window would let it win an
            // octave high.
            if (!voted && m == 4 && p <= 166 && nearlyAsStrongAsDouble(c, ownSupport, r)) {
                for (int32_t d = 0; d < candidateCount; ++d) {
                    if (d == r) continue;
                    if (c[d].p - 2 <= multiple && multiple <= c[d].p + 2 &&
                        (voter < 0 || c[d].support > c[voter].support))
                        voter = d;
                }
                if (voter >= 0) c[r].support += c[voter].support / 10;
            }
        }
    }

    int32_t best = 0;
    for (int32_t r = 1; r < candidateCount; ++r)
        if (c[r].support > c[best].support) best = r;
    return c[best].p;
}

bool matchNextEvent(const PitchWorkspace &w, int32_t u, double P, int32_t v, double &distance)
{
    const PitchEvent &e = w.merged[u];
    const bool crossing = e.kind == eventUpCrossing || e.kind == eventDownCrossing;
    const double target = e.position + P;
    const double half = (crossing ? 0.11 : 0.09) * P;
    const double from = target - half;
    const double to = target + half;
    bool found = false;
    double nearest = 0.0;
    for (int32_t j = u + 1; j < w.mergedCount; ++j) {
        const PitchEvent &f = w.merged[j];
        if (f.position >= to) break;
        if (f.kind == e.kind && from < f.position &&
            (crossing || (e.value - v < f.value && f.value < e.value + v))) {
            const double gap = std::fabs(f.position - target);
            if (!found || gap < nearest) {
                found = true;
                nearest = gap;
                distance = f.position - e.position;
            }
        }
    }
    return found;
}

static bool isStrongGrade(int32_t grade)
{
    return grade == gradeConfirmedPeak || grade == gradeConfirmedValley ||
           grade == gradeStrongUpMark || grade == gradeStrongDownMark;
}

void verifyPeriod(const PitchWorkspace &w, int32_t P, int32_t v, int32_t &bestRun,
                  double &bestSum)
{
    double sum = 0.0;
    int32_t run = 0;
    bestRun = 0;
    bestSum = 0.0;
    for (int32_t u = 0; u < w.mergedCount; ++u) {
        double distance = 0.0;
        if (matchNextEvent(w, u, double(P), v, distance)) {
            sum += distance;
            ++run;
            if (run >= bestRun) {
                bestRun = run;
                bestSum = sum;
            }
        } else if (!isStrongGrade(w.merged[u].grade)) {
            run = 0;
            sum = 0.0;
        }
    }
}

// Normalised self-similarity of x[0..span) at lag tau: the sum of
// x[i] x[i + tau] over the pairs, divided by the root of the energies of the
// two parts paired. Energies come from the sums of squares of the first and
// the last samples, summed as far as the lags asked for need. Each lag's
// similarity is kept until the scan is prepared again: the searches look at
// many lags more than once.
constexpr int32_t scanLags = analysisWindowLength / 2 + 2;
//
// A scan of the window as it is (no box, no evening out) holds whole numbers
// of at most 65535 in size, so every product and every partial sum of its dot
// products is a whole number below 2^44, which a double holds exactly: the
// sum is the same in any order. Where they also fit 16 bits (no -32768), it
// is summed from 16-bit copies, sixteen products at a time, in whole numbers.
struct SimilarityScan {
    double x[analysisWindowLength]; // the sounding part of the window
    int16_t samples[analysisWindowLength]; // x in 16 bits, where wholeSamples
    bool wholeSamples;
    int32_t chunk;                  // 16-bit sums added up before widening
    int32_t span;
    double total;                   // energy of all span samples
    int32_t summed;                 // headUpTo and tailFrom hold k = 0 .. summed
    double headUpTo[scanLags];      // energy of x[0..k)
    double tailFrom[scanLags];      // energy of x[span-k..span)
    uint32_t preparation;           // counts the preparations of this scan
    uint32_t keptAt[scanLags];      // the preparation that kept kept[tau]
    double kept[scanLags];
};

// Eight partial sums, in four pairs the processor adds side by side, keep its
// adders busy; they are added in a fixed order, so the same window always
// gives the same bits.
static double dotProductPairs(const double *a, const double *b, int32_t count)
{
    DoublePair s0 = {0.0, 0.0}, s1 = s0, s2 = s0, s3 = s0;
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        DoublePair a0, a1, a2, a3, b0, b1, b2, b3;
        std::memcpy(&a0, a + i, 16);
        std::memcpy(&a1, a + i + 2, 16);
        std::memcpy(&a2, a + i + 4, 16);
        std::memcpy(&a3, a + i + 6, 16);
        std::memcpy(&b0, b + i, 16);
        std::memcpy(&b1, b + i + 2, 16);
        std::memcpy(&b2, b + i + 4, 16);
        std::memcpy(&b3, b + i + 6, 16);
        s0 += a0 * b0;
        s1 += a1 * b1;
        s2 += a2 * b2;
        s3 += a3 * b3;
    }
    double rest = 0.0;
    for (; i < count; ++i) rest += a[i] * b[i];
    const DoublePair pairs = (s0 + s1) + (s2 + s3);
    return (pairs[0] + pairs[1]) + rest;
}

#if defined(__x86_64__)
// The same eight sums on a processor that adds four side by side: one
// quadruple holds the first two pairs, the other the last two, each lane
// summing the same products in the same order, so the bits are the same.
typedef double DoubleQuad __attribute__((vector_size(32)));

__attribute__((target("avx"))) static double dotProductQuads(const double *a, const double *b,
                                                             int32_t count)
{
    DoubleQuad first = {0.0, 0.0, 0.0, 0.0}, second = first;
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        DoubleQuad a0, a1, b0, b1;
        std::memcpy(&a0, a + i, 32);
        std::memcpy(&a1, a + i + 4, 32);
        std::memcpy(&b0, b + i, 32);
        std::memcpy(&b1, b + i + 4, 32);
        first += a0 * b0;
        second += a1 * b1;
    }
    double rest = 0.0;
    for (; i < count; ++i) rest += a[i] * b[i];
    const DoublePair s0 = {first[0], first[1]}, s1 = {first[2], first[3]};
    const DoublePair s2 = {second[0], second[1]}, s3 = {second[2], second[3]};
    const DoublePair pairs = (s0 + s1) + (s2 + s3);
    return (pairs[0] + pairs[1]) + rest;
}

static const bool quadsAvailable = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
}();
#endif

static double dotProduct(const double *a, const double *b, int32_t count)
{
#if defined(__x86_64__)
    if (quadsAvailable) return dotProductQuads(a, b, count);
#endif
    return dotProductPairs(a, b, count);
}

// The dot product of 16-bit whole numbers above -32768, exactly. Each
// multiply-add pair is below 2^31 in size, and chunk of them (fewer the
// louder the window) are summed in 32 bits before widening to 64.
static int64_t wholeDotProductScalar(const int16_t *a, const int16_t *b, int32_t count)
{
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i) sum += int32_t(a[i]) * int32_t(b[i]);
    return sum;
}

#if defined(__x86_64__)
static int64_t wholeDotProductSse2(const int16_t *a, const int16_t *b, int32_t count, int32_t chunk)
{
    __m128i total = _mm_setzero_si128(); // two 64-bit sums
    const __m128i zero = _mm_setzero_si128();
    int32_t i = 0;
    while (i + 8 <= count) {
        __m128i acc = _mm_setzero_si128();
        for (int32_t k = 0; k < chunk && i + 8 <= count; ++k, i += 8) {
            const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i *>(a + i));
            const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(va, vb));
        }
        const __m128i sign = _mm_cmpgt_epi32(zero, acc);
        total = _mm_add_epi64(total, _mm_unpacklo_epi32(acc, sign));
        total = _mm_add_epi64(total, _mm_unpackhi_epi32(acc, sign));
    }
    int64_t lanes[2];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(lanes), total);
    return lanes[0] + lanes[1] + wholeDotProductScalar(a + i, b + i, count - i);
}

__attribute__((target("avx2"))) static int64_t wholeDotProductAvx2(const int16_t *a,
                                                                   const int16_t *b,
                                                                   int32_t count, int32_t chunk)
{
    __m256i total = _mm256_setzero_si256(); // four 64-bit sums
    int32_t i = 0;
    while (i + 16 <= count) {
        // Two 32-bit sums, each of at most chunk steps.
        __m256i acc = _mm256_setzero_si256(), acc2 = acc;
        const int32_t steps = std::min(chunk, (count - i) / 16);
        int32_t k = 0;
        for (; k + 2 <= steps; k += 2, i += 32) {
            const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(a + i));
            const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(b + i));
            const __m256i vc = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(a + i + 16));
            const __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(b + i + 16));
            acc = _mm256_add_epi32(acc, _mm256_madd_epi16(va, vb));
            acc2 = _mm256_add_epi32(acc2, _mm256_madd_epi16(vc, vd));
        }
        if (k < steps) {
            const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(a + i));
            const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(b + i));
            acc = _mm256_add_epi32(acc, _mm256_madd_epi16(va, vb));
            i += 16;
        }
        total = _mm256_add_epi64(total, _mm256_cvtepi32_epi64(_mm256_castsi256_si128(acc2)));
        total = _mm256_add_epi64(total, _mm256_cvtepi32_epi64(_mm256_extracti128_si256(acc2, 1)));
        total = _mm256_add_epi64(total, _mm256_cvtepi32_epi64(_mm256_castsi256_si128(acc)));
        total = _mm256_add_epi64(total, _mm256_cvtepi32_epi64(_mm256_extracti128_si256(acc, 1)));
    }
    int64_t lanes[4];
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(lanes), total);
    return (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]) +
           wholeDotProductScalar(a + i, b + i, count - i);
}

static const bool wideWholeAvailable = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

static double wholeDotProduct(const int16_t *a, const int16_t *b, int32_t count, int32_t chunk)
{
#if defined(__x86_64__)
    if (wideWholeAvailable) return double(wholeDotProductAvx2(a, b, count, chunk));
    return double(wholeDotProductSse2(a, b, count, chunk));
#else
    (void)chunk;
    return double(wholeDotProductScalar(a, b, count));
#endif
}

static double similarity(SimilarityScan &s, int32_t tau)
{
    if (tau < 0 || tau >= s.span || tau >= scanLags) return -1.0; // no pairs
    if (s.keptAt[tau] == s.preparation) return s.kept[tau];
    for (int32_t k = s.summed; k < tau; ++k) {
        const double h = s.wholeSamples ? double(s.samples[k]) : s.x[k];
        const double t = s.wholeSamples ? double(s.samples[s.span - 1 - k]) : s.x[s.span - 1 - k];
        s.headUpTo[k + 1] = s.headUpTo[k] + h * h;
        s.tailFrom[k + 1] = s.tailFrom[k] + t * t;
    }
    s.summed = std::max(s.summed, tau);
    const double sum = s.wholeSamples ? wholeDotProduct(s.samples, s.samples + tau, s.span - tau, s.chunk)
                                      : dotProduct(s.x, s.x + tau, s.span - tau);
    const double head = s.total - s.tailFrom[tau]; // x[0 .. span - tau)
    const double tail = s.total - s.headUpTo[tau]; // x[tau .. span)
    const double result = head > 0.0 && tail > 0.0 ? sum / std::sqrt(head * tail) : -1.0;
    s.keptAt[tau] = s.preparation;
    s.kept[tau] = result;
    return result;
}

// Only the part of the window that holds the sound takes part, so a window
// that starts or ends in silence (the first block of a recording) compares
// sound with sound at every lag. Returns the largest lag the scan can take.
// Evens out the loudness of x[0..span) over stretches of whole periods of at
// least loudnessStretch samples: each stretch's root mean square is taken at
// its centre, and every sample is divided by the value interpolated there. A
// vibrato through a formant swells as the pitch nears the formant, and
// unevened the loud part of the window decides the lag, not the window's
// mean pitch. Fewer than two stretches, or loudness that varies less than
// unevenLoudness times from the softest stretch to the loudest, leave x as
// it is.
// A harmonic sways the lag by its loudness times its number squared, so
// where the formant raises one harmonic and lowers another the vibrato can
// pull the lag with loudness that holds still. The loudness of the slope
// (x[i + 1] - x[i]), which weighs each harmonic so, is evened out instead
// where it varies by unevenLoudness, for periods of at most
// slopeLoudnessPeriod.
static void evenLoudness(double *x, int32_t span, double period)
{
    constexpr int32_t maxStretches = analysisWindowLength / loudnessStretch + 1;
    const double stretch = std::ceil(loudnessStretch / period) * period;
    const int32_t count = std::min(maxStretches, int32_t(span / stretch));
    if (count < 2) return;
    const bool slopes = period <= slopeLoudnessPeriod;
    double centre[maxStretches], gain[maxStretches], slopeLoudness[maxStretches];
    for (int32_t k = 0; k < count; ++k) {
        const int32_t from = roundToInt32(k * stretch), to = roundToInt32((k + 1) * stretch);
        const double energy = dotProduct(x + from, x + from, to - from);
        if (energy <= 0.0) return;
        centre[k] = 0.5 * (from + to);
        gain[k] = 1.0 / std::sqrt(energy / (to - from));
        if (slopes) {
            // The squares of x[i + 1] - x[i] for i in [from, last), from the
            // stretch's energy and one product of neighbours.
            const int32_t last = std::min(to, span - 1);
            const double before = last < to ? energy - x[to - 1] * x[to - 1] : energy;
            const double after = before - x[from] * x[from] + x[last] * x[last];
            const double slopeEnergy =
                before + after - 2.0 * dotProduct(x + from, x + from + 1, last - from);
            slopeLoudness[k] = slopeEnergy / (last - from); // a mean square: roots only if used
        }
    }
    auto uneven = [count](const double *g, double by) {
        double least = g[0], most = g[0];
        for (int32_t j = 1; j < count; ++j) {
            least = std::min(least, g[j]);
            most = std::max(most, g[j]);
        }
        return least > 0.0 && most >= by * least;
    };
    if (slopes && uneven(slopeLoudness, unevenLoudness * unevenLoudness))
        for (int32_t j = 0; j < count; ++j) gain[j] = 1.0 / std::sqrt(slopeLoudness[j]);
    else if (!uneven(gain, unevenLoudness))
        return;
    int32_t k = 0;
    for (int32_t i = 0; i < span; ++i) {
        while (k + 1 < count && centre[k + 1] <= i) ++k;
        double g;
        if (i <= centre[0]) g = gain[0];
        else if (k + 1 >= count) g = gain[count - 1];
        else g = gain[k] + (gain[k + 1] - gain[k]) * ((i - centre[k]) / (centre[k + 1] - centre[k]));
        x[i] *= g;
    }
}

// Four whole numbers as doubles, exactly: each, sign-extended to 64 bits
// and added to the bits of 1.5 * 2^52, is the double 1.5 * 2^52 plus it
// (whole numbers below 2^31 in size), and taking 1.5 * 2^52 away leaves it.
typedef int64_t Longs2 __attribute__((vector_size(16)));

static inline void asDoubles(Lanes4 v, double *to)
{
    constexpr double base = 6755399441055744.0; // 1.5 * 2^52
    constexpr int64_t baseBits = 0x4338000000000000;
    const Lanes4 sign = v < 0;
    const DoublePair low = DoublePair(Longs2(__builtin_shufflevector(v, sign, 0, 4, 1, 5)) + baseBits) - base;
    const DoublePair high = DoublePair(Longs2(__builtin_shufflevector(v, sign, 2, 6, 3, 7)) + baseBits) - base;
    std::memcpy(to, &low, sizeof low);
    std::memcpy(to + 2, &high, sizeof high);
}

// sums[k + 1] = in[0] + ... + in[k], and sums[0] = 0: four at a time, each
// four summed within (shifted by one lane, then by two) and added to the
// last sum before them.
static void runningSums(const int32_t *in, int32_t count, int32_t *sums)
{
    const Lanes4 none = {0, 0, 0, 0};
    Lanes4 before = none;
    sums[0] = 0;
    int32_t k = 0;
    for (; k + 4 <= count; k += 4) {
        Lanes4 v;
        std::memcpy(&v, in + k, sizeof v);
        v += __builtin_shufflevector(none, v, 0, 4, 5, 6);
        v += __builtin_shufflevector(none, v, 0, 1, 4, 5);
        v += before;
        std::memcpy(sums + k + 1, &v, sizeof v);
        before = __builtin_shufflevector(v, v, 3, 3, 3, 3);
    }
    for (; k < count; ++k) sums[k + 1] = sums[k] + in[k];
}

// Copies x[0..count) into scan.samples when every value lies within
// -32767..32766, and sets the number of multiply-add steps a 32-bit lane can
// sum before widening: each step adds two products of at most largest^2.
// Eight at a time, narrowed with saturation: a value beyond the range
// narrows to -32768 or 32767, which the check then turns away.
static bool wholeSamplesOf(const int32_t *x, int32_t count, SimilarityScan &scan)
{
    int32_t k = 0, lowest = 0, highest = 0;
#if defined(__x86_64__)
    __m128i low = _mm_setzero_si128(), high = low;
    for (; k + 8 <= count; k += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(x + k));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(x + k + 4));
        const __m128i narrow = _mm_packs_epi32(a, b);
        low = _mm_min_epi16(low, narrow);
        high = _mm_max_epi16(high, narrow);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(scan.samples + k), narrow);
    }
    int16_t lows[8], highs[8];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(lows), low);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(highs), high);
    for (int32_t j = 0; j < 8; ++j) {
        lowest = std::min<int32_t>(lowest, lows[j]);
        highest = std::max<int32_t>(highest, highs[j]);
    }
#endif
    for (; k < count; ++k) {
        lowest = std::min(lowest, x[k]);
        highest = std::max(highest, x[k]);
        scan.samples[k] = int16_t(std::clamp(x[k], -32768, 32767));
    }
    if (lowest < -32767 || highest > 32766) return false;
    const int64_t largest = std::max(-lowest, highest);
    const int64_t perStep = std::max<int64_t>(1, 2 * largest * largest);
    scan.chunk = int32_t(std::clamp<int64_t>(INT32_MAX / perStep, 1, 1 << 20));
    return true;
}

static int32_t prepareScan(SimilarityScan &scan, const PitchWorkspace &w, int32_t level,
                           double estimateForBox, bool evenOut = false)
{
    constexpr int32_t n = analysisWindowLength;
    int32_t first = 0, last = n - 1;
    while (first < n && std::abs(w.x[first]) <= level) ++first;
    while (last > first && std::abs(w.x[last]) <= level) --last;
    // A box average over an eighth of the period keeps the fundamental and
    // damps the harmonics near a formant, whose lobes otherwise decide the
    // maximum when the pitch moves within the window.
    const int32_t box = std::max(1, roundToInt32(estimateForBox / 8.0));
    const int32_t sounding = last + 1 - first;
    const int32_t span = sounding >= box ? sounding - box + 1 : 0;
    // No lag the searches reach lies beyond refineSpan past the longest period.
    const int32_t reach = int32_t(longestInterval * (1.0 + refineSpan)) + 3;
    const int32_t largest = std::min(span / 2, reach); // 0 when nothing sounds
    scan.span = span;
    // Box sums as differences of running sums (below 2^31: at most 4096
    // values of at most 65535 each), so the conversions do not wait on each
    // other.
    // Four at a time, then the rest one by one.
    static int32_t runningSum[analysisWindowLength + 1];
    int32_t i = 0;
    const bool evened = evenOut && estimateForBox > 0.0;
    scan.wholeSamples = box == 1 && !evened && wholeSamplesOf(w.x + first, span, scan);
    if (scan.wholeSamples) {
        // The doubles are not needed.
    } else if (box == 1) {
        for (; i + 4 <= span; i += 4) {
            Lanes4 v;
            std::memcpy(&v, w.x + first + i, sizeof v);
            asDoubles(v, scan.x + i);
        }
        for (; i < span; ++i) scan.x[i] = double(w.x[first + i]);
    } else {
        runningSum[0] = 0;
        runningSums(w.x + first, sounding, runningSum);
        for (; i + 4 <= span; i += 4) {
            Lanes4 to, from;
            std::memcpy(&to, runningSum + i + box, sizeof to);
            std::memcpy(&from, runningSum + i, sizeof from);
            asDoubles(to - from, scan.x + i);
        }
        for (; i < span; ++i) scan.x[i] = double(runningSum[i + box] - runningSum[i]);
    }
    if (evened) evenLoudness(scan.x, span, estimateForBox);
    scan.total = scan.wholeSamples ? wholeDotProduct(scan.samples, scan.samples, span, scan.chunk)
                                   : dotProduct(scan.x, scan.x, span);
    scan.headUpTo[0] = scan.tailFrom[0] = 0.0;
    scan.summed = 0;
    if (++scan.preparation == 0) { // after 2^32 preparations: nothing kept is current
        std::memset(scan.keptAt, 0, sizeof scan.keptAt);
        scan.preparation = 1;
    }
    return largest;
}

// The lag a climb from estimate starts at, or -1 where it has no room.
static int32_t climbStart(int32_t largest, double estimate, int32_t &lo, int32_t &hi)
{
    lo = std::max(2, int32_t(std::floor(estimate * (1.0 - refineSpan))) - 2);
    hi = std::min(largest, int32_t(std::ceil(estimate * (1.0 + refineSpan))) + 2);
    if (hi - lo < 2) return -1;
    return std::clamp(roundToInt32(estimate), lo + 1, hi - 1);
}

// Climbs from the lag nearest estimate to the nearest maximum of similarity
// within refineSpan of it; false when the climb reaches the span's edge.
static bool climbToMaximum(SimilarityScan &scan, int32_t largest, double estimate,
                           double &lag, double &score)
{
    int32_t lo = 0, hi = 0;
    int32_t at = climbStart(largest, estimate, lo, hi);
    if (at < 0) return false;
    double left = similarity(scan, at - 1), mid = similarity(scan, at),
           right = similarity(scan, at + 1);
    for (;;) {
        if (right > mid && right >= left) {
            if (at + 1 >= hi) return false;
            ++at;
            left = mid;
            mid = right;
            right = similarity(scan, at + 1);
        } else if (left > mid) {
            if (at - 1 <= lo) return false;
            --at;
            right = mid;
            mid = left;
            left = similarity(scan, at - 1);
        } else {
            break;
        }
    }
    const double curvature = left - 2.0 * mid + right;
    if (curvature >= 0.0) return false;
    const double offset = 0.5 * (left - right) / curvature;
    lag = at + offset;
    score = mid - 0.25 * (left - right) * offset;
    return true;
}

static SimilarityScan scan;

// The lag of the nearest maximum of similarity to estimate (estimate itself
// when there is none inside the span) and the similarity there (0 then).
static double refinePrepared(int32_t largest, double estimate, double &score)
{
    double lag = estimate;
    score = 0.0;
    return climbToMaximum(scan, largest, estimate, lag, score) ? lag : estimate;
}

// A window that repeats as well at half the period repeats at half the
// period. The votes can favour the double of the true period: one vote per
// multiple leaves the true period only the votes of the candidates that made
// the twelve, and a noisy voice of 138.59 Hz read an octave low in one block
// of fifteen. One lag is looked at first: the climb is needed only where the
// nearest whole lag is close (a fraction of a sample from the maximum costs
// far less than 0.1).
static double halvedIfAsWell(int32_t largest, double period, double &own)
{
    double half = period / 2.0, halfScore = 0.0;
    const int32_t nearHalf = roundToInt32(half);
    if (own > 0.0 && half >= shortestPeriod && nearHalf < largest &&
        similarity(scan, nearHalf) >= own - asWellRepeated - 0.1 &&
        climbToMaximum(scan, largest, period / 2.0, half, halfScore) &&
        halfScore >= own - asWellRepeated) {
        own = halfScore;
        return half;
    }
    return period;
}

// A voice whose first harmonic is weak (20 dB below the second, the second
// on the first formant) repeats at half its period nearly as well as at the
// period, and the verification can pass at the half. Where the window
// repeats clearly better at twice a well-repeated period, twice is the
// period. Both lags are climbed to their maxima: a whole lag beside a short
// period loses more to the harmonics than one beside its double, which let a
// steady "ee" at 740 Hz read an octave low. Only short periods are checked:
// a long one fits few times in the window, and chance decides between it and
// its double.
static double doubledIfClearlyBetter(int32_t largest, double period, double &own)
{
    if (own < wellRepeated || 2.0 * period > double(longestDoubled)) return period;
    // A period that repeats nearly perfectly stays: its double could only
    // win by repeating better than perfectly (by doubleBetter, beyond what
    // the interpolation between lags adds).
    if (own >= nearlyPerfect) return period;
    // The nearest whole lags first: climbing is needed only where the double
    // repeats about as well as the period there already.
    if (similarity(scan, roundToInt32(2.0 * period)) < own - 0.01) return period;
    // A missing fundamental: the window repeats nearly perfectly at the half,
    // but several times more perfectly at the period (a noisy voice repeats
    // about as imperfectly at its period and at its double).
    auto doubleWins = [](double twiceScore, double peak) {
        return twiceScore > peak + doubleBetter ||
               (peak < nearlyPerfect && 1.0 - twiceScore < lessAperiodic * (1.0 - peak));
    };
    double twice = 0.0, twiceScore = 0.0;
    if (!climbToMaximum(scan, largest, 2.0 * period, twice, twiceScore)) return period;
    // The climb at the period ends no lower than where it starts (or leaves
    // own), and a higher peak only weakens the double's case: where the
    // double loses to that lower bound, the climb is not needed.
    int32_t lo = 0, hi = 0;
    const int32_t start = climbStart(largest, period, lo, hi);
    const double lowest = start < 0 ? own : std::min(own, similarity(scan, start));
    if (!doubleWins(twiceScore, lowest)) return period;
    double at = period, peak = own;
    if (!climbToMaximum(scan, largest, period, at, peak)) peak = own;
    if (doubleWins(twiceScore, peak)) {
        own = twiceScore;
        return twice;
    }
    return period;
}

static SimilarityScan smoothedScan;

// A period that repeats only loosely, under the strongest candidate of the
// histogram at least four times as long (or, with none, the lag at four
// periods or more where the window repeated best): where the window smoothed
// over an eighth of that lag (which damps a formant's ringing and keeps the
// fundamental) repeats at it clearly better than the window at the period,
// and more than hardly, the lag is the period. A jittered low voice's high
// harmonics lose their likeness from one period to the next, and its vibrato
// moves the period within the window, so unsmoothed its true period can
// repeat no better than the ringing's, and smoothed well below wellRepeated.
static double smoothedLongerPeriod(const PitchWorkspace &w, double period, double own,
                                   double longRepeat, int32_t level)
{
    const PeriodCandidate *longer = nullptr;
    for (const PeriodCandidate &c : w.candidates)
        if (c.p >= 4.0 * period && (longer == nullptr || c.support > longer->support)) longer = &c;
    const double start = longer != nullptr ? double(longer->p) : longRepeat;
    if (start <= 0.0) return period;
    const int32_t largest = prepareScan(smoothedScan, w, level, start);
    double lag = 0.0, score = 0.0;
    if (climbToMaximum(smoothedScan, largest, start, lag, score) && score >= hardlyRepeated &&
        score >= own + clearlyBetter)
        return lag;
    return period;
}

// Looser repeats: the multiples of the period and the longer candidates of
// the histogram (a formant's ringing period need not divide the true one).
static double wholePrepared(const PitchWorkspace &w, int32_t largest, double period, double own,
                            int32_t level)
{
    period = halvedIfAsWell(largest, period, own);
    period = doubledIfClearlyBetter(largest, period, own);
    if (own >= wellRepeated || own <= 0.0) return period;
    double best = own, bestLag = period, lag = period;
    double longBest = 0.0, longLag = 0.0; // the best repeat at four periods or more
    auto consider = [&](double start) {
        double score = 0.0;
        const bool climbed = climbToMaximum(scan, largest, start, lag, score);
        if (climbed && score > best) {
            best = score;
            bestLag = lag;
        }
        if (climbed && start >= 4.0 * period && score > longBest) {
            longBest = score;
            longLag = lag;
        }
    };
    for (int32_t k = 2; k * period <= double(longestInterval); ++k) consider(k * period);
    for (const PeriodCandidate &c : w.candidates) {
        if (c.p < 1.2 * period) continue;
        bool tried = false; // near a multiple or an earlier candidate already climbed from
        const double multiple = roundNearest(c.p / period) * period;
        if (std::fabs(c.p - multiple) <= refineSpan * multiple) tried = true;
        for (const PeriodCandidate *e = w.candidates; e != &c && !tried; ++e)
            if (e->p >= 1.2 * period && std::abs(e->p - c.p) <= refineSpan * c.p) tried = true;
        if (!tried) consider(c.p);
    }
    if (best < own + (own < hardlyRepeated ? slightlyBetter : clearlyBetter))
        return smoothedLongerPeriod(w, period, own, longLag, level);
    own = best;
    return halvedIfAsWell(largest, bestLag, own);
}

// A period shorter than the highest pitch read stands for the multiple of it
// that is not: a voice without its first harmonic at 678-1100 Hz repeats at
// half its period.
static double atMostHighestPitch(int32_t largest, double period)
{
    if (period <= 0.0 || period >= shortestPeriod) return period;
    const double multiple = std::ceil(shortestPeriod / period) * period;
    double lag = multiple, score = 0.0;
    return climbToMaximum(scan, largest, multiple, lag, score) ? lag : multiple;
}

double refinePeriod(const PitchWorkspace &w, double estimate, int32_t level)
{
    double score = 0.0;
    return refinePrepared(prepareScan(scan, w, level, estimate, true), estimate, score);
}

// The half and multiple checks look at the window unsmoothed: its harmonics
// near a formant tell a period from its half (a voice whose second harmonic
// outweighs the fundamental repeats well at the half once they are smoothed
// away). A period they change is refined again.
double wholePeriod(const PitchWorkspace &w, double period, int32_t level)
{
    const int32_t largest = prepareScan(scan, w, level, 0.0);
    double own = 0.0;
    const double refined = refinePrepared(largest, period, own);
    if (own <= 0.0) return period;
    const double whole = atMostHighestPitch(largest, wholePrepared(w, largest, refined, own, level));
    return whole == refined ? period : refinePeriod(w, whole, level);
}

// The verified period refined, then checked against its half and multiples.
static double measurePeriod(const PitchWorkspace &w, double estimate, int32_t level)
{
    const double refined = refinePeriod(w, estimate, level);
    const int32_t largest = prepareScan(scan, w, level, 0.0);
    const int32_t nearest = roundToInt32(refined);
    if (nearest < 2 || nearest > largest) return refined;
    const double own = similarity(scan, nearest);
    const double whole = atMostHighestPitch(largest, wholePrepared(w, largest, refined, own, level));
    return whole == refined ? refined : refinePeriod(w, whole, level);
}

int32_t runNeeded(int32_t P)
{
    if (P >= 501) return 3;
    if (P >= 338) return 4;
    if (P >= 251) return 6;
    if (P >= 174) return 7;
    return 10;
}

// The strongest candidate in support, more than 3 bins from every period
// tried, whose verification run is long enough (up to retriedCandidates
// tries); failed stays the period when none is.
static int32_t verifiedCandidate(const PitchWorkspace &w, int32_t failed, int32_t v,
                                 int32_t &bestRun, double &bestSum)
{
    int32_t tried[retriedCandidates + 1] = {failed};
    int32_t triedCount = 1;
    while (triedCount <= retriedCandidates) {
        int32_t next = -1;
        for (int32_t r = 0; r < candidateCount; ++r) {
            const PeriodCandidate &c = w.candidates[r];
            bool near = c.p < 2;
            for (int32_t k = 0; k < triedCount && !near; ++k) near = std::abs(c.p - tried[k]) <= 3;
            if (!near && (next < 0 || c.support > w.candidates[next].support)) next = r;
        }
        if (next < 0) break;
        const int32_t P = w.candidates[next].p;
        tried[triedCount++] = P;
        int32_t run = 0;
        double sum = 0.0;
        verifyPeriod(w, P, v, run, sum);
        if (run >= runNeeded(P)) {
            bestRun = run;
            bestSum = sum;
            return P;
        }
    }
    return failed;
}

// Always leaves the busy flag cleared on the way out.
struct BusyGuard {
    BusyGuard()
    {
        if (pitchDetectorBusy == 1) stopProgram(0, stopDetectorReentered);
        pitchDetectorBusy = 1;
    }
    ~BusyGuard() { pitchDetectorBusy = 0; }
};

// The tracker's window (analysisWindow, prepared) with its measures and the
// previous block's period.
static void detectPitch(PitchTracker &tracker)
{
    BusyGuard busy;
    tracker.extraCount = 0;
    clearEventMarks();

    if (tracker.amplitude < quietLimit) {
        tracker.frequency = pitchTooQuiet;
        return;
    }
    const PitchThresholds t = pitchThresholds(tracker.amplitude);
    PitchWorkspace &w = workspace;
    findPitchEvents(w, analysisWindow, tracker.dcOffset, t);

    if (tracker.sumAbs <= energyLimit) {
        tracker.frequency = pitchTooLittleEnergy;
        tracker.period = 0.0;
        return;
    }
    if (w.listCount[listPeaks] < 2 || w.listCount[listUpMarks] < 2) {
        tracker.frequency = pitchTooFewEvents;
        return;
    }
    mergePitchEvents(w);
    tracker.extraCount = w.mergedCount;

    buildIntervalHistogram(w);
    chooseCandidates(w);
    int32_t P = weighCandidates(w, tracker.period);

    int32_t bestRun = 0;
    double bestSum = 0.0;
    verifyPeriod(w, P, t.v, bestRun, bestSum);
    // A low voice with jitter and vibrato can give the ringing of its first
    // formant the most votes, and the ringing does not repeat from one period
    // to the next: the next candidates in support, away from periods already
    // tried, are verified in turn.
    if (bestRun < runNeeded(P)) P = verifiedCandidate(w, P, t.v, bestRun, bestSum);
    if (bestRun >= runNeeded(P)) {
        tracker.period = measurePeriod(w, bestSum / bestRun, t.t3);
        tracker.frequency = double(recordingSampleRate) / tracker.period;
    } else {
        tracker.period = 0.0;
        tracker.frequency = pitchNoStablePeriod;
    }
}

void analyseWindow(PitchTracker &tracker)
{
    preAnalyseWindow(tracker);
    detectPitch(tracker);
}
