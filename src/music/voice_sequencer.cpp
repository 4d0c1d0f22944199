#include "music/voice_sequencer.h"

#include "music/note_voices.h"

int32_t voiceSequencerState = 0;
int32_t voiceSequencerCountdown = 0;
int32_t voiceSequencerTimes[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
int32_t sequencerVoiceCount = 0;

namespace {

// Prepares, highlights and starts one voice; a voice number 0 (a record
// never set) does nothing.
void playOneVoice(int32_t voice)
{
    if (voice < 1 || voice > voiceCount) return;
    prepareVoice(voice, 1);
    highlightVoice(voice);
    playPreparedVoiceList(&voice, 1);
}

void act()
{
    switch (voiceSequencerState) {
    case 1:
        stopAllVoices();
        voiceSequencerCountdown = 0;
        voiceSequencerState = 0;
        break;
    case 6:
        stopAllVoices();
        playOneVoice(noteVoices[1].voiceNumber);
        voiceSequencerCountdown = 40;
        voiceSequencerState = 1;
        break;
    case 20:
        voiceSequencerCountdown = voiceSequencerTimes[0];
        voiceSequencerState = sequencerVoiceCount == 0 ? 1 : 21;
        break;
    case 21:
        stopAllVoices();
        if (playingVoices[1].inPlay != 0) playOneVoice(playingVoices[1].voiceNumber);
        voiceSequencerCountdown = voiceSequencerTimes[1];
        voiceSequencerState = 22;
        break;
    case 22:
        stopAllVoices();
        voiceSequencerCountdown = voiceSequencerTimes[2];
        voiceSequencerState = 1;
        break;
    default:
        voiceSequencerState = 0;
        voiceSequencerCountdown = 0;
        break;
    }
}

} // namespace

void startVoiceSequence(int32_t state, int32_t waitTicks)
{
    (void)waitTicks;
    voiceSequencerState = state;
    voiceSequencerCountdown = 0;
}

void startTimedVoiceSequence(const TimedVoiceSequence &sequence)
{
    voiceSequencerState = sequence.state;
    const int32_t times[9] = {sequence.waitFrames, sequence.playFrames, sequence.pauseFrames};
    for (int32_t k = 0; k < 9; ++k) voiceSequencerTimes[k] = times[k];
    sequencerVoiceCount = sequence.voiceCount;
    voiceSequencerCountdown = 0;
}

void tickVoiceSequencer()
{
    if (voiceSequencerCountdown <= 0) act();
    if (voiceSequencerState != 0 && voiceSequencerCountdown > 0) --voiceSequencerCountdown;
}
