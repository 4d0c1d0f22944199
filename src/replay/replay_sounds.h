// The sound tracks of the replay: the counting clicks of the lesson's beat
// records (or a plain beat during the count-off), the melody on a chosen
// instrument and the chord symbols as chord samples. Each track procedure is
// called with the play time, sounds what has become due (at most one event
// per call) and stores in nextSoundEventMs the time of its next event, at
// which the timer wakes. Scheduled times are shifted by the rater's
// waitShiftMs.
//
// The sounds go out through ReplaySoundHooks (sound-bank ids on the sources
// of sound_bank.h), so tests record them.
#pragma once
#include <cstdint>

#include "lessons/run_tallies.h"   // melodySoundId, chordTrackSoundId
#include "replay/replay_state.h" // countInBeat, waitShiftMs

// Gain of a started sound.
enum class SoundGain : int32_t { full, half, quarter };

struct ReplaySoundHooks {
    void (*play)(int32_t source, int32_t soundId, SoundGain gain);
    void (*stop)(int32_t source);
};
void setReplaySoundHooks(const ReplaySoundHooks &hooks);
const ReplaySoundHooks &realReplaySoundHooks();

// Click sounds of the sound bank.
constexpr int32_t soundCountClick = 220;
constexpr int32_t soundClickE = 221;
constexpr int32_t soundClickAnd = 222;
constexpr int32_t soundClickA = 223;
constexpr int32_t soundClickTriplet = 224;
constexpr int32_t soundClickL = 225;
constexpr int32_t soundSpokenOne = 226;    // 226..241: 1..16
constexpr int32_t soundSpokenOther = 242;
constexpr int32_t soundSpokenOffset = 22;  // 243..247: spoken forms of 221..225

// A track that has run out of records waits this long (never, in practice).
constexpr int32_t noSoundEventMs = 0x3fffffff;

// The sound last started on each source (0 = silent).
extern int32_t clickSoundId;
extern int32_t nextBeatRecord;
extern int32_t nextChord;

void playClick(int32_t id);
void playSoftClick(int32_t id);
// The SoundId of a NoteIndex on an instrument (1 flute, 2 male, 3 sine,
// 4 female = the flute samples in the male range); 0 outside its range or
// for voice 0 ("mute").
int32_t voiceSoundId(int32_t voice, int32_t note);
// Plays a note on the melody source: the id is kept when the note lies in
// the voice's range; then the kept id sounds by the mark (' ' half, 'L'
// full, 'T' quarter; any other mark nothing).
void playVoiceNote(int32_t voice, int32_t note, char mark);
void playChordSample(int32_t chordId, char mark);
// Stops the three sources where their ids are non-zero; ids := 0.
void stopReplayTrackSources();
// Only the click and melody sources (the count-off's end).
void stopClickAndMelody();

void tickCountInClicks(int32_t t, int32_t &step);
void tickBeatClicks(int32_t t, int32_t &i);
void tickMelodyVoice(int32_t t, int32_t &i);
void tickChordAccompaniment(int32_t t, int32_t &i);
