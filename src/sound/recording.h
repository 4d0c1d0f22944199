// The microphone recording and the analysis window prepared from it.
//
// recordingBuffer holds the whole recording (16-bit mono, 44100 Hz). The
// capturing screens append each block of 2048 samples from index 2048 on and
// analyse the 4096-sample window that ends with the newest block; the replay
// reads a raw recording into it from index 0, and the WAV loader uses its
// start as its read area. preAnalyseWindow smooths one window into
// analysisWindow and measures it for the pitch detector (sound/pitch_detector.h).
#pragma once
#include <cstdint>

constexpr int32_t recordingSampleRate = 44100;
constexpr int32_t recordingCapacity = 13230000;            // 300 s
constexpr int32_t recordingBufferLength = recordingCapacity + 1; // indexes 0..13,230,000
constexpr int32_t recordingBlockLength = 2048;             // one captured block, 46.44 ms
constexpr int32_t analysisWindowLength = 4096;             // two blocks
constexpr int32_t recordingHeadLength = 8192;              // zeroed by clearRecordingHead
constexpr int32_t lastWindowStart = recordingCapacity - analysisWindowLength; // 13,225,904
constexpr int32_t captureWrapPos = 13225904;   // a block written here sends the write position back to 2048
constexpr int32_t analysisWrapLimit = 13221808; // analysisPos that wraps back to 0

extern int16_t recordingBuffer[recordingBufferLength];

// The smoothed copy of the window last prepared by preAnalyseWindow; read by
// the pitch detector and the signal trace.
extern int16_t analysisWindow[analysisWindowLength];

// Per window sample, the pitch-event kind (0 none, 1 upward zero crossing,
// 2 downward zero crossing, 3 peak, 4 valley) that the last analyseWindow
// call (sound/pitch_detector.h) placed there. Every call clears entries
// 0..1999 first; a screen starting a recording clears them too
// (clearEventMarks).
extern int32_t eventTypeAtSample[analysisWindowLength];
constexpr int32_t eventMarksCleared = 2000;

// The analysis state each analysing screen keeps. period carries over from
// block to block (and from one recording to the next): analyseWindow reads it
// as the previous block's period.
struct PitchTracker {
    int32_t analysisPos = 0; // window start in recordingBuffer
    int32_t amplitude = 0;   // peak level of the centred window, 0..32767
    int32_t extremeIndex = 0; // window index of the dominant extreme
    int16_t dcOffset = 0;    // added to every window value by the detector
    double sumAbs = 0.0;     // sum of |sample| over the raw window
    double frequency = 0.0;  // Hz, or a status code below 10
    double period = 0.0;     // samples
    int32_t extraCount = 0;  // events the detector's last call worked with
};

// Zeroes samples 0..8191 of recordingBuffer (once, at the end of loading).
void clearRecordingHead();

// Zeroes entries 0..1999 of eventTypeAtSample (at the start of a recording).
void clearEventMarks();

// Prepares the window recordingBuffer[pos .. pos+4095]: an 11-point moving
// average (edges repeat the edge sample, division truncates) into window, and
// the measures of the raw samples. count must be 4096 and pos within
// 0..13,225,904; anything else ends the program with stop 3756.
void preAnalyseWindow(int32_t pos, int16_t *window, int32_t count, int32_t &amplitude,
                      int32_t &extremeIndex, int16_t &dcOffset, double &sumAbs);

// The same for analysisWindow without the extreme index.
void preAnalyseWindow(int32_t pos, int32_t &amplitude, int16_t &dcOffset, double &sumAbs);

// The same on a tracker: window at tracker.analysisPos into analysisWindow.
void preAnalyseWindow(PitchTracker &tracker);
