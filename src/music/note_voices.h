// The four note voices that play the notes a user sings back: a recorded
// flute or sine sample, a synthesised sine tone, or silence, each on its own
// audio source (voice i on soundSources[7 + i], synthesising into
// toneBuffers[i - 1]). The same records tell the staff drawing whether the
// note is highlighted (it shakes) and how opaque it is.
//
// Arrays are indexed by voice number 1..4; entry 0 is unused.
//
// Stops: 18001 a flute voice outside C2..C6 (hint: the note), 18002 a sine
// sample voice outside C2..C6.
#pragma once
#include <cstdint>

constexpr int32_t voiceCount = 4;
constexpr int32_t voiceCentreX = 332;
constexpr int32_t voiceToneSoundId = 376; // marks a voice set up with a synthesised tone

constexpr int32_t voiceKindSilence = 0;
constexpr int32_t voiceKindFlute = 1;
constexpr int32_t voiceKindSine = 2;

constexpr int32_t stopVoiceFluteRange = 18001;
constexpr int32_t stopVoiceSineRange = 18002;

struct VoiceRecord {
    int32_t voiceNumber = 0;     // 1..4; 0 in a record never set (plays nothing)
    int32_t x = voiceCentreX;    // pan position, 332 = centre, 96 px per unit
    int32_t note = 0;            // NoteIndex
    int32_t staffValue = 0;      // sounding StaffValue; the sample is chosen from it
    int32_t percent = 100;       // gain and picture opacity
    float position[3] = {0.0f, 1.5f, 1.0f};
    int32_t kind = voiceKindSilence; // 0 silence, 1 flute samples, 2 sine samples
    uint8_t inPlay = 0;          // takes part in a timed sequence
    uint8_t prepared = 0;        // a sound is attached and may be started
    double toneHz = 0.0;         // 0: play the sample; above 0: a sine tone of this frequency
    int32_t toneMs = 0;          // length of the synthesised tone
    int32_t highlighted = 0;     // 1: the note shakes on the staff
};

extern VoiceRecord noteVoices[voiceCount + 1];
extern VoiceRecord playingVoices[voiceCount + 1];
extern int32_t voiceSoundIds[voiceCount + 1]; // SoundId attached by the last preparation
extern int32_t voiceSounding[voiceCount + 1]; // what the source was started with, 0 = silent
extern int32_t arpeggioVoiceCount;

// The audio operations a voice needs, on the voice's own source. The
// defaults use the sound layer; tests put recorders in their place.
struct VoiceAudioOps {
    void (*stop)(int32_t voice);
    void (*attachSample)(int32_t voice, int32_t soundId, int32_t percent, int32_t pan,
                         int32_t distanceClass, float position[3]);
    void (*attachTone)(int32_t voice, int32_t ms, double hz, int32_t percent, int32_t pan,
                       int32_t distanceClass, float position[3]);
    void (*play)(int32_t voice);
};
extern VoiceAudioOps voiceAudio;
extern const VoiceAudioOps soundLayerVoiceAudio;

void initNoteVoices();

// Voice 1 := a flute voice on the note (in play, centre, full gain), copied
// whole into play copy 1.
void setSingleVoice(int32_t note);
// Voices 1..4 := note, note + 4, note + 7, note + 10, none in play, tone
// frequencies cleared; kinds and play copies stay.
void setChordVoices(int32_t note);

// The voices of one exercise (the lessons' and the introduction's sample):
// all stopped and unlit, the chord voices on middle C, voice 1 a flute on
// `note` for 2000 ms (a synthesised tone of `toneHz` when that is above 0),
// voices 2 and 3 sine. The play copies and the shown count stay.
void setUpExerciseVoices(int32_t note, double toneHz);

// Attaches the voice's sound to its source, ready to start; numbers outside
// 1..4 do nothing.
void prepareVoice(int32_t voice, int32_t distanceClass);
// Starts the prepared voices named by play copies 1..n.
void playPreparedVoices(int32_t n);
// Starts the prepared voices of a list of voice numbers, in voice order.
void playPreparedVoiceList(const int32_t *voices, int32_t n);
void stopAllVoices();

void highlightVoice(int32_t voice);
void highlightAllVoices();
void clearVoiceHighlights();
void countShownVoices();

// Pan in hundredths for a voice x: round((x - 332) / 96 x 100).
int32_t voicePan(int32_t x);
// SoundId of a sample voice: 279 for silence, flute n - 2, sine n + 108 with
// n = noteOfStaffValue(staffValue); 0 with stop set (18001 or 18002) when the
// note lies outside C2..C6.
int32_t voiceSampleId(int32_t kind, int32_t staffValue, int32_t &stop);
