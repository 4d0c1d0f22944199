// The sound bank: the 279 named sounds (SoundId 1..279), one OpenAL buffer
// each, the 12 audio sources that play them and the four synthesis buffers of
// the note voices. The loading screen builds it with loadSoundBankStep(320)
// .. loadSoundBankStep(357), one step per frame.
//
// SoundId ranges: 1-61 flute C2..C7, 62-110 male voice C2..C6, 111-159 sine
// C2..C6, 160-219 chords (= ChordId), 220-225 count clicks, 226-241 spoken
// beat numbers 1..16, 242-247 spoken counting syllables, 248-253 the teacher's
// feedback, 254-257 named but not loaded, 258-277 male voice on the black keys
// with flat names (octaves 2..5), 278 a falling sine, 279 silence.
#pragma once
#include <AL/al.h>

#include <cstdint>
#include <string>

// Numbered stops of this module.
constexpr int32_t stopSoundBankStep = 5538;    // loadSoundBankStep outside steps 320..357
constexpr int32_t stopSoundBankBuffers = 5501; // no buffers for the sound bank
constexpr int32_t stopSoundBankSources = 5502; // no sources for the sound bank
constexpr int32_t stopToneBuffers = 5537;      // no buffers for the tones


constexpr int32_t soundIdCount = 279;
constexpr int32_t soundSourceCount = 12;
constexpr int32_t toneBufferCount = 4;

// Indexes into soundSources.
constexpr int32_t teacherSource = 1; // the teacher's clips, cues, feedback, exercise samples
constexpr int32_t melodySource = 2;  // melody notes of the replay
constexpr int32_t chordSource = 3;   // chord samples of the replay
constexpr int32_t musicSource = 4;   // music, the playback of the recorded voice
constexpr int32_t clickSource = 6;   // beat clicks and spoken counts
constexpr int32_t firstVoiceSource = 8; // note voice v (1..4) plays on entry 7 + v

// Well-known sounds.
constexpr int32_t soundFallingSine = 278;
constexpr int32_t soundSilence = 279;

extern ALuint soundBuffers[soundIdCount + 1]; // by SoundId; entry 0 names no sound
extern ALuint soundSources[soundSourceCount];
extern ALuint toneBuffers[toneBufferCount];   // synthesis buffer of note voice i + 1

// The file name of a SoundId (no folder), e.g. 1 "fluteC2.ogg", 163
// "ChordCX.ogg", 258 "maleDes2.ogg"; empty for 0 and ids outside 1..279.
std::string soundBankFileName(int32_t id);

// SoundId of a name family member; the inverse of the naming rule.
// pitch: 0..11 for C, Cis, D, Dis, E, F, Fis, G, Gis, A, Ais, B.
int32_t fluteSoundId(int32_t pitch, int32_t octave);
int32_t maleSoundId(int32_t pitch, int32_t octave);
int32_t sineSoundId(int32_t pitch, int32_t octave);
int32_t chordSoundId(int32_t root, int32_t kind); // kind 0 major, 1 m, 2 7, 3 X, 4 m7

// The NoteIndex (0 = A1, one per semitone) of the bank's lowest voice note,
// C2 (noteC2 of the notation, which stands above the sound layer).
constexpr int32_t soundBankLowestNote = 3;
// NoteIndex (0 = A1) a pitched sample sounds at: ids 1..159 and 258..277;
// -1 for every other id.
int32_t soundNoteIndex(int32_t id);

// The ids a loading step decodes, and whether as WAV. Returns false for steps
// that load no files (320, 321, 357) and for steps outside 320..357.
bool soundBankStepRange(int32_t step, int32_t &firstId, int32_t &lastId, bool &wav);

// One loading step, 320..357 in that order; any other step: stop 5538.
void loadSoundBankStep(int32_t step);
