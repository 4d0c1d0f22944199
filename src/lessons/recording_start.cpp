#include "lessons/recording_start.h"

#include <cstring>

#include "base/shared.h"
#include "frame/timer.h"
#include "lessons/lesson_state.h"
#include "sound/pitch_detector.h"
#include "sound/recording.h"

void restartCaptureCounters()
{
    samplesConsumed = 0;
    audioClockMs = 0;
    recordingBlockIndex = -1;
}

void startLessonRecording(int32_t &captureWritePos, PitchTracker &tracker)
{
    std::memset(recordingBuffer, 0, sizeof(int16_t) * analysisWindowLength);
    clearEventMarks();
    captureWritePos = recordingBlockLength;
    tracker.analysisPos = 0;
    restartCaptureCounters();
    freeClockStart = frameTime;
    clearSoundEvents();
    eventSyncMode = 1;
    eventSyncOffset = 0;
}
