// Frame-counted schedule of the note voices: a screen starts a sequence and
// ticks the sequencer once in every frame it draws; the sequencer prepares
// voice 1, starts and highlights it, lets it sound for a number of frames and
// stops it.
//
// States: 0 idle; 1 stop all voices; 6 play voice 1 for 40 frames; 20 wait
// t0 frames (then 21, or 1 with no voices); 21 play play copy 1 when it is in
// play, for t1 frames; 22 stop, wait t2 frames, then 1. Any other state is
// idle.
#pragma once
#include <cstdint>

extern int32_t voiceSequencerState;
extern int32_t voiceSequencerCountdown; // frames before the current state acts
extern int32_t voiceSequencerTimes[9];
extern int32_t sequencerVoiceCount;

void startVoiceSequence(int32_t state, int32_t waitTicks);

// A timed sequence, filled by name: from `state` (20 to wait first) it waits
// waitFrames, plays the first playing copy for playFrames when voiceCount is
// not 0, then stops and waits pauseFrames (states 20, 21 and 22 above).
struct TimedVoiceSequence {
    int32_t state = 20;
    int32_t waitFrames = 0;  // t0
    int32_t playFrames = 0;  // t1
    int32_t pauseFrames = 0; // t2
    int32_t voiceCount = 0;  // 0: the sequence only waits, then stops
};
void startTimedVoiceSequence(const TimedVoiceSequence &sequence);
void tickVoiceSequencer();
