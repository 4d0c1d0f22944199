#include "sound/recording.h"

#include "base/stops.h"

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

void preAnalyseWindow(int32_t pos, int16_t *window, int32_t count, int32_t &amplitude,
                      int32_t &extremeIndex, int16_t &dcOffset, double &sumAbs)
{
    if (count != analysisWindowLength) stopProgram(count, stopWindowOutOfRange);
    if (pos < 0 || pos > lastWindowStart) stopProgram(pos, stopWindowOutOfRange);

    const int16_t *b = recordingBuffer + pos;
    constexpr int32_t n = analysisWindowLength;

    // 11-point moving average; samples beyond either edge count as the edge
    // sample. The running sum is built once for the left edge and then slides.
    int32_t s = 6 * int32_t(b[0]);
    for (int32_t j = 1; j <= 5; ++j) s += b[j];
    window[0] = int16_t(s / 11);
    for (int32_t i = 1; i <= 5; ++i) {
        s += int32_t(b[i + 5]) - int32_t(b[0]);
        window[i] = int16_t(s / 11);
    }
    for (int32_t i = 6; i <= n - 6; ++i) {
        s += int32_t(b[i + 5]) - int32_t(b[i - 6]);
        window[i] = int16_t(s / 11);
    }
    for (int32_t i = n - 5; i < n; ++i) {
        s += int32_t(b[n - 1]) - int32_t(b[i - 6]);
        window[i] = int16_t(s / 11);
    }

    // Measures of the raw samples. The extremes start from the buffer's first
    // element, which the capturing screens keep at 0.
    // Every partial sum is a whole number below 2^53, so summing in int64
    // and converting once gives exactly the double a running double sum gives.
    int64_t sum = 0;
    int32_t maxValue = recordingBuffer[0];
    int32_t minValue = recordingBuffer[0];
    int32_t maxIndex = 0;
    int32_t minIndex = 0;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t v = b[i];
        sum += v < 0 ? -v : v;
        if (v > maxValue) {
            maxValue = v;
            maxIndex = i;
        }
        if (v < minValue) {
            minValue = v;
            minIndex = i;
        }
    }
    sumAbs = double(sum);

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
