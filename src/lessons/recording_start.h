// The start of a recording on the lesson side: the exercise's answers and the
// note choice's sung check begin the same way, and the replay and the
// introduction's sample restart the same capture counters.
#pragma once
#include <cstdint>

struct PitchTracker;

// The frame's capture counters back to a recording's start: no sample read,
// the audio clock at 0, no block analysed yet (recordingBlockIndex -1).
void restartCaptureCounters();

// A new recording from silence: the analysis window and the event marks
// cleared, the capture written from block 1 on (`captureWritePos`), the
// tracker's analysis from sample 0, the capture counters restarted, the free
// grid restarted at this frame, and no sound scheduled: while it records,
// each tick comes as its block is in (event-sync mode from clock 0). The
// caller then starts the capture device.
void startLessonRecording(int32_t &captureWritePos, PitchTracker &tracker);
