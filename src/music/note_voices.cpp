#include "music/note_voices.h"

#include "base/rounding.h"
#include "base/stops.h"
#include "music/notes.h"
#include "music/staff_geometry.h"
#include "music/voice_sequencer.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

static_assert(soundBankLowestNote == noteC2, "the sound bank counts its voice notes from C2");

VoiceRecord noteVoices[voiceCount + 1];
VoiceRecord playingVoices[voiceCount + 1];
int32_t voiceSoundIds[voiceCount + 1];
int32_t voiceSounding[voiceCount + 1];
int32_t arpeggioVoiceCount = 0;

namespace {

ALuint &voiceSource(int32_t voice) { return soundSources[firstVoiceSource - 1 + voice]; }

void alStop(int32_t voice) { stopSource(voiceSource(voice)); }

void alAttachSample(int32_t voice, int32_t soundId, int32_t percent, int32_t pan, int32_t distanceClass,
                    float position[3])
{
    stopSource(voiceSource(voice));
    setSourceBufferGainPosition(voiceSource(voice), soundBuffers[soundId], percent, pan, distanceClass,
                                position);
}

void alAttachTone(int32_t voice, int32_t ms, double hz, int32_t percent, int32_t pan, int32_t distanceClass,
                  float position[3])
{
    stopSource(voiceSource(voice));
    synthSineTone(voiceSource(voice), ms, toneBuffers[voice - 1], hz);
    setSourceBufferGainPosition(voiceSource(voice), toneBuffers[voice - 1], percent, pan, distanceClass,
                                position);
}

void alPlay(int32_t voice) { playSource(voiceSource(voice)); }

bool validVoice(int32_t voice) { return voice >= 1 && voice <= voiceCount; }

void setVoiceNote(VoiceRecord &v, int32_t number, int32_t note)
{
    v.voiceNumber = number;
    v.x = voiceCentreX;
    v.note = note;
    v.staffValue = staffValueOfNote(note);
    v.percent = 100;
    v.position[0] = 0.0f;
    v.position[1] = 1.5f;
    v.position[2] = 1.0f;
}

} // namespace

const VoiceAudioOps soundLayerVoiceAudio = {alStop, alAttachSample, alAttachTone, alPlay};
VoiceAudioOps voiceAudio = soundLayerVoiceAudio;

void initNoteVoices()
{
    for (int32_t i = 1; i <= voiceCount; ++i) noteVoices[i].toneHz = 0.0;
}

int32_t voicePan(int32_t x) { return roundToInt32((x - voiceCentreX) / 96.0 * 100); }

int32_t voiceSampleId(int32_t kind, int32_t staffValue, int32_t &stop)
{
    stop = 0;
    const int32_t n = noteOfStaffValue(staffValue);
    switch (kind) {
    case voiceKindFlute:
        if (n < 3 || n > 51) {
            stop = stopVoiceFluteRange;
            return 0;
        }
        return n - 2;
    case voiceKindSine:
        if (n < 3 || n > 51) {
            stop = stopVoiceSineRange;
            return 0;
        }
        return n + 108;
    default: return soundSilence;
    }
}

void setSingleVoice(int32_t note)
{
    VoiceRecord &v = noteVoices[1];
    setVoiceNote(v, 1, note);
    v.kind = voiceKindFlute;
    v.inPlay = 1;
    v.toneHz = 0.0;
    playingVoices[1] = v;
}

void setChordVoices(int32_t note)
{
    static constexpr int32_t steps[voiceCount] = {0, 4, 7, 10};
    for (int32_t i = 1; i <= voiceCount; ++i) {
        setVoiceNote(noteVoices[i], i, note + steps[i - 1]);
        noteVoices[i].inPlay = 0;
    }
    for (int32_t i = 1; i <= voiceCount; ++i) noteVoices[i].toneHz = 0.0;
}

void setUpExerciseVoices(int32_t note, double toneHz)
{
    stopAllVoices();
    clearVoiceHighlights();
    setChordVoices(noteC4);
    noteVoices[1].kind = voiceKindFlute;
    noteVoices[2].kind = voiceKindSine;
    noteVoices[3].kind = voiceKindSine;
    noteVoices[1].note = note;
    noteVoices[1].staffValue = staffValueOfNote(note);
    noteVoices[1].toneHz = toneHz;
    noteVoices[1].toneMs = 2000;
}

void prepareVoice(int32_t voice, int32_t distanceClass)
{
    if (!validVoice(voice)) return;
    VoiceRecord &v = noteVoices[voice];
    if (voiceSounding[voice] != 0) {
        voiceAudio.stop(voice);
        voiceSounding[voice] = 0;
    }
    v.prepared = 1;
    const int32_t pan = voicePan(v.x);
    if (v.toneHz > 0.0 && v.kind != voiceKindSilence) {
        voiceSoundIds[voice] = voiceToneSoundId;
        voiceAudio.attachTone(voice, v.toneMs, v.toneHz, v.percent, pan, distanceClass, v.position);
        return;
    }
    int32_t stop = 0;
    const int32_t id = voiceSampleId(v.kind, v.staffValue, stop);
    if (stop != 0) {
        writeDebugDetail("prepareVoice: voice=" + std::to_string(voice) +
                         " note=" + std::to_string(noteOfStaffValue(v.staffValue)));
        stopProgram(stop == stopVoiceFluteRange ? noteOfStaffValue(v.staffValue) : 0, stop);
    }
    voiceSoundIds[voice] = id;
    voiceAudio.attachSample(voice, id, v.percent, pan, distanceClass, v.position);
}

void playPreparedVoiceList(const int32_t *voices, int32_t n)
{
    bool start[voiceCount + 1] = {false, false, false, false, false};
    for (int32_t k = 0; k < n; ++k) {
        const int32_t v = voices[k];
        if (!validVoice(v) || noteVoices[v].prepared == 0) continue;
        voiceSounding[v] = voiceSoundIds[v];
        start[v] = true;
    }
    for (int32_t v = 1; v <= voiceCount; ++v)
        if (start[v]) voiceAudio.play(v);
}

void playPreparedVoices(int32_t n)
{
    int32_t list[voiceCount];
    if (n > voiceCount) n = voiceCount;
    for (int32_t k = 1; k <= n; ++k) list[k - 1] = playingVoices[k].voiceNumber;
    playPreparedVoiceList(list, n < 0 ? 0 : n);
}

void stopAllVoices()
{
    for (int32_t i = 1; i <= voiceCount; ++i) {
        if (voiceSounding[i] != 0) {
            voiceAudio.stop(i);
            voiceSounding[i] = 0;
        }
        noteVoices[i].highlighted = 0;
    }
    shakeStep = 0;
    voiceSequencerState = 0;
    voiceSequencerCountdown = 0;
    for (int32_t i = 1; i <= voiceCount; ++i) noteVoices[i].prepared = 0;
}

void highlightVoice(int32_t voice)
{
    if (validVoice(voice)) noteVoices[voice].highlighted = 1;
}

void highlightAllVoices()
{
    for (int32_t i = 1; i <= voiceCount; ++i) noteVoices[i].highlighted = 1;
}

void clearVoiceHighlights()
{
    for (int32_t i = 1; i <= voiceCount; ++i) noteVoices[i].highlighted = 0;
}

void countShownVoices()
{
    arpeggioVoiceCount = 0;
    for (int32_t i = voiceCount; i >= 1; --i)
        if (playingVoices[i].inPlay != 0) {
            arpeggioVoiceCount = i;
            return;
        }
}
