// Replay sound tracks.
#include "replay/replay_sounds.h"

#include "base/rounding.h"
#include "frame/timer.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "music/tune_state.h"
#include "replay/replay_state.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

int32_t clickSoundId = 0;
int32_t nextBeatRecord = 0;
int32_t nextChord = 0;

namespace {

void realPlay(int32_t source, int32_t id, SoundGain gain)
{
    const ALuint s = soundSources[source], b = soundBuffers[id];
    switch (gain) {
    case SoundGain::full: playBufferOnSourceFull(s, b); break;
    case SoundGain::half: playBufferOnSourceHalf(s, b); break;
    case SoundGain::quarter: playBufferOnSourceQuarter(s, b); break;
    }
}

const ReplaySoundHooks realHooks = {.play = realPlay, .stop = [](int32_t source) { stopSource(soundSources[source]); }};
ReplaySoundHooks hooks = realHooks;

bool gainOfMark(char mark, SoundGain &gain)
{
    switch (mark) {
    case ' ': gain = SoundGain::half; return true;
    case 'L': gain = SoundGain::full; return true;
    case 'T': gain = SoundGain::quarter; return true;
    default: return false;
    }
}

void stopIfSounding(int32_t source, int32_t &id)
{
    if (id != 0) hooks.stop(source);
    id = 0;
}

} // namespace

void setReplaySoundHooks(const ReplaySoundHooks &h) { hooks = h; }
const ReplaySoundHooks &realReplaySoundHooks() { return realHooks; }

void playClick(int32_t id)
{
    clickSoundId = id;
    if (id != 0) hooks.play(clickSource, id, SoundGain::full);
}

void playSoftClick(int32_t id)
{
    clickSoundId = id;
    if (id != 0) hooks.play(clickSource, id, SoundGain::quarter);
}

int32_t voiceSoundId(int32_t voice, int32_t note)
{
    switch (voice) {
    case 1: return note >= 3 && note <= 63 ? note - 2 : 0;
    case 2: return note >= 3 && note <= 51 ? note + 59 : 0;
    case 3: return note >= 3 && note <= 51 ? note + 108 : 0;
    case 4: return note >= 3 && note <= 51 ? note - 2 : 0;
    default: return 0;
    }
}

void playVoiceNote(int32_t voice, int32_t note, char mark)
{
    if (voice < 1 || voice > 4) return;
    const int32_t id = voiceSoundId(voice, note);
    if (id != 0) melodySoundId = id;
    SoundGain gain;
    if (melodySoundId != 0 && gainOfMark(mark, gain)) hooks.play(melodySource, melodySoundId, gain);
}

void playChordSample(int32_t chordId, char mark)
{
    chordTrackSoundId = chordId;
    SoundGain gain;
    if (chordId != 0 && gainOfMark(mark, gain)) hooks.play(chordSource, chordId, gain);
}

void stopReplayTrackSources()
{
    stopIfSounding(melodySource, melodySoundId);
    stopIfSounding(chordSource, chordTrackSoundId);
    stopIfSounding(clickSource, clickSoundId);
}

void stopClickAndMelody()
{
    stopIfSounding(clickSource, clickSoundId);
    stopIfSounding(melodySource, melodySoundId);
}

void tickCountInClicks(int32_t t, int32_t &step)
{
    if (t >= nextSoundEventMs[0]) {
        stopIfSounding(clickSource, clickSoundId);
        if (step % 4 == 0) {
            countInBeat = (meterNumerator > 0 ? countInBeat % meterNumerator : 0) + 1;
            playClick(soundCountClick);
        }
        const double stepMs = meterDenominator > 0 ? msPerBeat / meterDenominator : msPerBeat;
        nextSoundEventMs[0] = roundToInt32(stepMs + step * stepMs);
        ++step;
    }
    nextSoundEventMs[1] = nextSoundEventMs[2] = nextSoundEventMs[0] + viewWindowMs;
}

// A sung note starts at the record.
static bool sungNoteStartsAt(const BeatRecord &r)
{
    if (!r.noteStarts) return false;
    return r.note < 0 || r.note > lessonNoteCount || lessonNotes[r.note].letter != 'r';
}

void tickBeatClicks(int32_t t, int32_t &i)
{
    if (i < 0 || i >= beatRecordCount) {
        nextSoundEventMs[0] = noSoundEventMs;
        return;
    }
    BeatRecord &r = beatRecords[i];
    const int32_t due = r.msTime + waitShiftMs;
    if (r.reachedMark != -1) {
        r.reachedMark = due;
        nextSoundEventMs[0] = due;
        return;
    }
    if (t < due) {
        nextSoundEventMs[0] = due;
        return;
    }
    r.reachedMark = due;
    stopIfSounding(clickSource, clickSoundId);
    const bool noteStarts = sungNoteStartsAt(r);
    const bool spoken = clickMode == 5;
    const bool rhythm = clickMode == 4 || clickMode == 5;
    auto sub = [&](int32_t id) { playClick(spoken ? id + soundSpokenOffset : id); };
    switch (r.kind) {
    case 1:
        if (clickMode != 0) {
            int32_t id = soundCountClick;
            if (spoken) id = r.beatNumber >= 0 && r.beatNumber <= 15 ? soundSpokenOne + r.beatNumber : soundSpokenOther;
            if (noteStarts) playClick(id);
            else playSoftClick(id);
        }
        break;
    case 2:
        if (clickMode == 2 || clickMode == 3 || (rhythm && noteStarts)) sub(soundClickAnd);
        break;
    case 3:
        if (clickMode == 3 || (rhythm && noteStarts)) sub(soundClickE);
        break;
    case 4:
        if (clickMode == 3 || (rhythm && noteStarts)) sub(soundClickA);
        break;
    case 5:
        if (clickMode >= 2 && clickMode <= 5) sub(soundClickTriplet);
        break;
    case 6:
        if (clickMode >= 2 && clickMode <= 5) sub(soundClickL);
        break;
    default: break;
    }
    ++i;
    nextSoundEventMs[0] = i < beatRecordCount ? beatRecords[i].msTime + waitShiftMs : noSoundEventMs;
}

// End of note (or chord) i on the shifted clock.
static int32_t endOf(const TimedNote &n) { return n.startMs + n.durationMs + waitShiftMs; }

void tickMelodyVoice(int32_t t, int32_t &i)
{
    if (i < 0 || i > lessonNoteCount) {
        nextSoundEventMs[1] = noSoundEventMs;
        return;
    }
    TimedNote &n = lessonNotes[i];
    const int32_t due = n.startMs + waitShiftMs;
    if (n.reachedMs != -1 || t < due) {
        if (n.reachedMs != -1) n.reachedMs = due;
        nextSoundEventMs[1] = endOf(lessonNotes[i > 0 ? i - 1 : 0]);
        return;
    }
    n.reachedMs = due;
    if (i == lessonNoteCount) {
        // The end record: the melody is over.
        stopIfSounding(melodySource, melodySoundId);
        ++i;
        nextSoundEventMs[1] = noSoundEventMs;
        return;
    }
    const bool tied = i > 0 && (n.tieRole == 2 || n.tieRole == 3);
    const bool markChanged = tied && n.loudness != lessonNotes[i - 1].loudness;
    if (!tied || markChanged) stopIfSounding(melodySource, melodySoundId);
    if (n.letter != 'r' && (!tied || markChanged)) playVoiceNote(songPartVoice, n.noteIndex, n.loudness);
    nextSoundEventMs[1] = endOf(n);
    ++i;
}

void tickChordAccompaniment(int32_t t, int32_t &i)
{
    if (i < 0 || i >= lessonChordCount) {
        nextSoundEventMs[2] = noSoundEventMs;
        return;
    }
    TimedNote &c = lessonChords[i];
    const int32_t due = c.startMs + waitShiftMs;
    if (c.reachedMs != -1 || t < due) {
        nextSoundEventMs[2] = endOf(lessonChords[i > 0 ? i - 1 : 0]);
        return;
    }
    c.reachedMs = due;
    if (!c.chordText.empty() && playGuitarChords) {
        stopIfSounding(chordSource, chordTrackSoundId);
        playChordSample(c.chordId, c.loudness);
    }
    nextSoundEventMs[2] = endOf(c);
    ++i;
}
