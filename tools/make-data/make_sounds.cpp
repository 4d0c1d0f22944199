// The sounds folder: every file the sound bank loads at start and the five
// start tunes of the loading screen.
//
// Pitched samples sound at exactly the frequency noteFrequencies gives their
// note. Chord samples are built from a root in the octave of C3 (C3..B3) with
// a bass an octave below; the kinds are major (0 4 7), "m" (0 3 7), "7"
// (0 4 7 10), "X" = suspended fourth (0 5 7) and "m7" (0 3 7 10). Counting and
// feedback words are spoken by espeak-ng and trimmed to the word itself.
#include "make_data.h"
#include "sound_files.h"
#include "sound_synth.h"

#include "music/notes.h"
#include "sound/sound_bank.h"

#include <cstdio>
#include <filesystem>

// Lengths: a reference note sounds for at most 40 frames (1.86 s) before it
// is stopped; samples are kept just longer than that so decoding at start-up
// stays short.
static constexpr double noteSeconds = 1.95;
// Note, chord and falling-sine samples hold nothing above about 9 kHz, so
// they are stored at half the synthesis rate, which cuts the bank's decoding
// at start-up by about a third (each file's codebook set-up stays the same).
// Clicks, words and start tunes keep the full rate.
static constexpr int bankSampleRate = synthRate / 2;
static constexpr double chordSeconds = 1.95;
static constexpr double silenceSeconds = 0.1;
static constexpr float noteQuality = 0.2f;
static constexpr float musicQuality = 0.4f;
static constexpr int serialBase = 0x54610000; // + SoundId; tunes after the bank
static constexpr const char *speechVoice = "en-us+m3";

static constexpr const char *countWords[16] = {"one",   "two",    "three",    "four",    "five",    "six",
                                               "seven", "eight",  "nine",     "ten",     "eleven",  "twelve",
                                               "thirteen", "fourteen", "fifteen", "sixteen"};
// Counting syllables 242..247: the count-in word, then "1 e + a" and "1 trip let".
static constexpr const char *syllableWords[6] = {"count", "ee", "and", "ah", "trip", "let"};
static constexpr const char *feedbackWords[6] = {"Hmm.", "Okay.", "Good!", "Very good!", "Excellent!",
                                                 "Fantastic!"};

static constexpr int chordIntervals[5][4] = {
    {0, 4, 7, -1}, {0, 3, 7, -1}, {0, 4, 7, 10}, {0, 5, 7, -1}, {0, 3, 7, 10}};
static constexpr int noteC3 = 15;

static constexpr const char *tuneNames[5] = {"MyBonnieTrumpet.ogg", "MyBonnieGuitar.ogg",
                                             "MyBonniePiano.ogg", "MyBonnieOrgan.ogg",
                                             "MyBonnieViolin.ogg"};

static bool fail(const std::string &what)
{
    std::fprintf(stderr, "tarnova-make-data: sounds: %s\n", what.c_str());
    return false;
}

static bool writeOgg(const std::string &path, const Samples &s, float quality, int serial)
{
    std::string error;
    return writeOggVorbisFile(path, s, synthRate, quality, serial, error) || fail(error);
}

static bool writeBankOgg(const std::string &path, const Samples &s, int serial)
{
    std::string error;
    return writeOggVorbisFile(path, halveRate(s), bankSampleRate, noteQuality, serial, error) || fail(error);
}

static bool writeWav(const std::string &path, const Samples &s)
{
    std::string error;
    return writeWavFile(path, s, error) || fail(error);
}

static bool speak(const std::string &dir, const std::string &text, int wordsPerMinute, Samples &out)
{
    std::string error;
    return speakText(text, speechVoice, wordsPerMinute, dir + ".speech.wav", out, error) || fail(error);
}

// The samples of one bank id that is loaded at start.
static bool makeBankSound(const std::string &dir, int32_t id)
{
    const std::string path = dir + soundBankFileName(id);
    const int serial = serialBase + id;
    const int32_t note = soundNoteIndex(id);
    if (note >= 0) {
        const double hz = noteFrequencies[note];
        Samples s;
        if (id <= 61) s = fluteNote(hz, noteSeconds, 1000 + id);
        else if (id <= 110 || id >= 258) s = maleAhNote(hz, noteSeconds, 2000 + id);
        else s = sineNote(hz, noteSeconds);
        return writeBankOgg(path, s, serial);
    }
    if (id >= 160 && id <= 219) {
        const int root = (id - 160) / 5, kind = (id - 160) % 5;
        std::vector<double> freqs;
        for (int interval : chordIntervals[kind])
            if (interval >= 0) freqs.push_back(noteFrequencies[noteC3 + root + interval]);
        return writeBankOgg(path, chordSample(freqs, chordSeconds), serial);
    }
    if (id >= 220 && id <= 225) return writeWav(path, countClick(id - 220, 3000 + id));
    if (id >= 226 && id <= 247) {
        // Spoken on the beat, so quick: even "sixteen" stays under half a second.
        Samples s;
        const char *word = id <= 241 ? countWords[id - 226] : syllableWords[id - 242];
        return speak(dir, word, 240, s) && writeWav(path, s);
    }
    if (id >= 248 && id <= 253) {
        Samples s;
        return speak(dir, feedbackWords[id - 248], 165, s) && writeOgg(path, s, musicQuality, serial);
    }
    if (id == soundFallingSine) return writeBankOgg(path, fallingSine(), serial);
    if (id == soundSilence)
        return writeWav(path, Samples(static_cast<size_t>(silenceSeconds * synthRate), 0.0f));
    return true; // 254..257 are not loaded at start: nothing to write
}

bool makeSoundData(const std::string &dataDir)
{
    const std::string dir = dataDir + "/sounds/";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return fail("cannot create " + dir + ": " + ec.message());
    for (int32_t id = 1; id <= soundIdCount; ++id)
        if (!makeBankSound(dir, id)) return false;
    for (int k = 0; k < 5; ++k)
        if (!writeOgg(dir + tuneNames[k], startTune(k), musicQuality, serialBase + 0x1000 + k)) return false;
    return true;
}
