// The teacher's four words of the options screen's sung-note check, spoken
// by espeak-ng: "Try again" after a failed check (Ogg Vorbis), "Good" after a
// passed one, the program's name while the note is shown and "Please" before
// the user sings (WAV).
#include "make_data.h"
#include "sound_files.h"
#include "sound_synth.h"

#include <cstdio>

namespace {

bool fail(const std::string &what)
{
    std::fprintf(stderr, "tarnova-make-data: check clips: %s\n", what.c_str());
    return false;
}

constexpr const char *voice = "en-us+m3";
constexpr int wordsPerMinute = 150;
constexpr int oggSerial = 0x0c4ec1;

} // namespace

bool makeCheckClips(const std::string &dataDir)
{
    const std::string dir = dataDir + "/sounds/";
    struct Clip {
        const char *file;
        const char *words;
    };
    const Clip clips[4] = {{"BrimbleTryAgainAppleVoice.ogg", "Try again"},
                           {"BrimbleGoodAppleVoice.wav", "Good"},
                           {"BrimbleTarnova.wav", "Tarnova"},
                           {"BrimblePlease.wav", "Please"}};
    for (const Clip &c : clips) {
        Samples s;
        std::string error;
        if (!speakText(c.words, voice, wordsPerMinute, dir + ".check-speech.wav", s, error)) return fail(error);
        const std::string path = dir + c.file;
        const bool ogg = std::string(c.file).ends_with(".ogg");
        const bool ok = ogg ? writeOggVorbisFile(path, s, synthRate, 0.4f, oggSerial, error) : writeWavFile(path, s, error);
        if (!ok) return fail(error);
    }
    return true;
}
