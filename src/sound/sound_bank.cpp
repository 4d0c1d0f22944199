#include "sound/sound_bank.h"

#include "base/shared.h"
#include "base/stops.h"
#include "sound/sound_layer.h"

ALuint soundBuffers[soundIdCount + 1];
ALuint soundSources[soundSourceCount];
ALuint toneBuffers[toneBufferCount];

static constexpr const char *pitchNames[12] = {"C", "Cis", "D", "Dis", "E", "F",
                                               "Fis", "G", "Gis", "A", "Ais", "B"};
static constexpr const char *flatNames[5] = {"Des", "Es", "Ges", "As", "Bes"};
// Pitch class of each flat name counted from C (Des = C#, Es = D#, ...).
static constexpr int32_t flatPitches[5] = {1, 3, 6, 8, 10};
static constexpr const char *chordKinds[5] = {"", "m", "7", "X", "m7"};

static constexpr const char *clickNames[6] = {"CountNumClick.wav",  "CountEeClick.wav",
                                              "CountAndClick.wav",  "CountAaClick.wav",
                                              "CountTripClick.wav", "CountLetClick.wav"};
static constexpr const char *syllableNames[6] = {
    "CountNumClickCount.wav", "CountNumClickEe.wav",   "CountNumClickAnd.wav",
    "CountNumClickAa.wav",    "CountNumClickTrip.wav", "CountNumClickLet.wav"};
static constexpr const char *feedbackNames[6] = {
    "BrimbleFeedbackHmmm.ogg",     "BrimbleFeedbackOkay.ogg",      "BrimbleFeedbackGood.ogg",
    "BrimbleFeedbackVeryGood.ogg", "BrimbleFeedbackExcellent.ogg", "BrimbleFeedbackFantastic.ogg"};
static constexpr const char *unloadedNames[4] = {"SummerWine.wav", "CountAaClick.wav",
                                                 "CountAaClick.wav", "BrimbleSoLetUs.wav"};

static std::string pitchedName(const char *family, int32_t offset)
{
    const int32_t octave = 2 + offset / 12;
    return std::string(family) + pitchNames[offset % 12] + std::to_string(octave) + ".ogg";
}

std::string soundBankFileName(int32_t id)
{
    if (id >= 1 && id <= 61) return pitchedName("flute", id - 1);
    if (id >= 62 && id <= 110) return pitchedName("male", id - 62);
    if (id >= 111 && id <= 159) return pitchedName("sinus", id - 111);
    if (id >= 160 && id <= 219) {
        const int32_t k = id - 160;
        return std::string("Chord") + pitchNames[k / 5] + chordKinds[k % 5] + ".ogg";
    }
    if (id >= 220 && id <= 225) return clickNames[id - 220];
    if (id >= 226 && id <= 241) return "CountNumClick" + std::to_string(id - 225) + ".wav";
    if (id >= 242 && id <= 247) return syllableNames[id - 242];
    if (id >= 248 && id <= 253) return feedbackNames[id - 248];
    if (id >= 254 && id <= 257) return unloadedNames[id - 254];
    if (id >= 258 && id <= 277) {
        const int32_t k = id - 258;
        return std::string("male") + flatNames[k % 5] + std::to_string(2 + k / 5) + ".ogg";
    }
    if (id == soundFallingSine) return "SinusDown.ogg";
    if (id == soundSilence) return "emptySoundWav.wav";
    return std::string();
}

int32_t fluteSoundId(int32_t pitch, int32_t octave) { return 1 + 12 * (octave - 2) + pitch; }
int32_t maleSoundId(int32_t pitch, int32_t octave) { return 62 + 12 * (octave - 2) + pitch; }
int32_t sineSoundId(int32_t pitch, int32_t octave) { return 111 + 12 * (octave - 2) + pitch; }
int32_t chordSoundId(int32_t root, int32_t kind) { return 160 + 5 * root + kind; }

int32_t soundNoteIndex(int32_t id)
{
    // Every family counts semitones up from C2.
    if (id >= 1 && id <= 61) return soundBankLowestNote + id - 1;
    if (id >= 62 && id <= 110) return soundBankLowestNote + id - 62;
    if (id >= 111 && id <= 159) return soundBankLowestNote + id - 111;
    if (id >= 258 && id <= 277) {
        const int32_t k = id - 258;
        return soundBankLowestNote + 12 * (k / 5) + flatPitches[k % 5];
    }
    return -1;
}

// The file-loading steps: ids decoded per frame and whether they are WAV.
struct BankStep {
    int32_t step, first, last;
    bool wav;
};
static constexpr BankStep bankSteps[] = {
    {322, 1, 6, false},     {323, 7, 12, false},    {324, 13, 18, false},   {325, 19, 24, false},
    {326, 25, 30, false},   {327, 31, 36, false},   {328, 37, 42, false},   {329, 43, 61, false},
    {330, 62, 67, false},   {331, 68, 73, false},   {332, 74, 79, false},   {333, 80, 85, false},
    {334, 86, 91, false},   {335, 92, 97, false},   {336, 98, 103, false},  {337, 104, 110, false},
    {338, 111, 116, false}, {339, 117, 122, false}, {340, 123, 128, false}, {341, 129, 134, false},
    {342, 135, 140, false}, {343, 141, 146, false}, {344, 147, 152, false}, {345, 153, 159, false},
    {346, 160, 169, false}, {347, 170, 179, false}, {348, 180, 184, false}, {349, 185, 194, false},
    {350, 195, 204, false}, {351, 205, 214, false}, {352, 215, 219, false}, {353, 220, 247, true},
    {354, 248, 253, false},
    // The falling sine (278) is loaded with the flat-named voice samples so
    // that every file of the bank is in memory after loading.
    {355, 258, 278, false}, {356, 279, 279, true},
};

bool soundBankStepRange(int32_t step, int32_t &firstId, int32_t &lastId, bool &wav)
{
    for (const BankStep &s : bankSteps) {
        if (s.step == step) {
            firstId = s.first;
            lastId = s.last;
            wav = s.wav;
            return true;
        }
    }
    return false;
}

void loadSoundBankStep(int32_t step)
{
    if (step < 320 || step > 357) stopProgram(0, stopSoundBankStep);
    if (step == 320) {
        initSoundLayer();
        alGetError();
        alGenBuffers(soundIdCount + 1, soundBuffers);
        if (alGetError() != AL_NO_ERROR) stopProgram(0, stopSoundBankBuffers);
        alGenSources(soundSourceCount, soundSources);
        if (alGetError() != AL_NO_ERROR) stopProgram(0, stopSoundBankSources);
        return;
    }
    if (step == 321) {
        for (int32_t id = 1; id <= soundIdCount; ++id)
            soundFileNames[id] = soundsDir + soundBankFileName(id);
        return;
    }
    if (step == 357) {
        for (int32_t k = 0; k < soundSourceCount; ++k) setupSource(soundSources[k]);
        alGenBuffers(toneBufferCount, toneBuffers);
        if (alGetError() != AL_NO_ERROR) stopProgram(0, stopToneBuffers);
        return;
    }
    int32_t first = 0, last = 0;
    bool wav = false;
    soundBankStepRange(step, first, last, wav);
    // The loaders end the program themselves on any failure; a false result
    // is kept as the step's own stop.
    const int32_t stepStop = step == 356 ? 5536 : 5503 + (step - 322);
    for (int32_t id = first; id <= last; ++id) {
        const bool ok = wav ? loadWavIntoBuffer(soundFileNames[id], soundBuffers[id])
                            : loadOggIntoBuffer(soundFileNames[id], soundBuffers[id]);
        if (!ok) stopProgram(0, stepStop);
    }
}
