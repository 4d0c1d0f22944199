#include "base/shared.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"
#include "sound_fixtures.h"
#include "common/generated_data.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/file.h>
#include <unistd.h>

namespace {

bool loadedAtStart(int32_t id) { return (id >= 1 && id <= 253) || (id >= 258 && id <= 279); }

// A sounds folder holding one small file under every name the bank loads.
std::string makeBankFolder(const std::string &name, const std::string &leaveOut)
{
    const std::string dir = freshTempFolder(name) + "/sounds/";
    std::filesystem::create_directories(dir);
    writeOggFile(dir + "model.ogg", sineSamples(2000, 1, 440.0, 44100), 1, 44100);
    writeFileBytes(dir + "model.wav", simpleWav(1, 44100, 16, 300));
    for (int32_t id = 1; id <= soundIdCount; ++id) {
        const std::string file = soundBankFileName(id);
        if (!loadedAtStart(id) || file == leaveOut) continue;
        const bool wav = file.size() > 4 && file.compare(file.size() - 4, 4, ".wav") == 0;
        std::filesystem::copy_file(dir + (wav ? "model.wav" : "model.ogg"), dir + file,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    return dir;
}

void runAllSteps()
{
    for (int32_t step = 320; step <= 357; ++step) loadSoundBankStep(step);
}


} // namespace

TEST(SoundBankNames, BoundaryNamesAndIds)
{
    struct Case {
        int32_t id;
        const char *name;
    };
    const Case cases[] = {
        {0, ""},
        {1, "fluteC2.ogg"},
        {2, "fluteCis2.ogg"},
        {12, "fluteB2.ogg"},
        {61, "fluteC7.ogg"},
        {62, "maleC2.ogg"},
        {110, "maleC6.ogg"},
        {111, "sinusC2.ogg"},
        {159, "sinusC6.ogg"},
        {160, "ChordC.ogg"},
        {163, "ChordCX.ogg"},
        {164, "ChordCm7.ogg"},
        {201, "ChordGism.ogg"},
        {219, "ChordBm7.ogg"},
        {220, "CountNumClick.wav"},
        {225, "CountLetClick.wav"},
        {226, "CountNumClick1.wav"},
        {241, "CountNumClick16.wav"},
        {242, "CountNumClickCount.wav"},
        {247, "CountNumClickLet.wav"},
        {248, "BrimbleFeedbackHmmm.ogg"},
        {253, "BrimbleFeedbackFantastic.ogg"},
        {254, "SummerWine.wav"},
        {257, "BrimbleSoLetUs.wav"},
        {258, "maleDes2.ogg"},
        {262, "maleBes2.ogg"},
        {277, "maleBes5.ogg"},
        {278, "SinusDown.ogg"},
        {279, "emptySoundWav.wav"},
        {280, ""},
    };
    for (const Case &c : cases) EXPECT_EQ(soundBankFileName(c.id), c.name) << c.id;
    EXPECT_EQ(chordSoundId(0, 3), 163);
    EXPECT_EQ(fluteSoundId(0, 7), 61);
    EXPECT_EQ(maleSoundId(0, 6), 110);
    EXPECT_EQ(sineSoundId(11, 5), 158);
    // Pitched samples: C2 is NoteIndex 3, A4 36; maleBes5 sounds as A#5.
    EXPECT_EQ(soundNoteIndex(1), 3);
    EXPECT_EQ(soundNoteIndex(fluteSoundId(9, 4)), 36);
    EXPECT_EQ(soundNoteIndex(110), 51);
    EXPECT_EQ(soundNoteIndex(159), 51);
    EXPECT_EQ(soundNoteIndex(258), 4);
    EXPECT_EQ(soundNoteIndex(277), 3 + 36 + 10);
    EXPECT_EQ(soundNoteIndex(160), -1);
}

TEST(SoundBankNames, StepsLoadEveryFileOnceInOrder)
{
    std::vector<int32_t> loaded;
    int32_t wavCount = 0;
    for (int32_t step = 310; step <= 365; ++step) {
        int32_t first = 0, last = 0;
        bool wav = false;
        if (!soundBankStepRange(step, first, last, wav)) continue;
        for (int32_t id = first; id <= last; ++id) {
            loaded.push_back(id);
            const std::string name = soundBankFileName(id);
            EXPECT_EQ(name.substr(name.size() - 4), wav ? ".wav" : ".ogg") << id;
            wavCount += wav;
        }
    }
    std::vector<int32_t> expected;
    for (int32_t id = 1; id <= soundIdCount; ++id)
        if (loadedAtStart(id)) expected.push_back(id);
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(loaded.size(), 275u);
    EXPECT_EQ(wavCount, 29);
}

TEST(SoundBank, AllStepsFillEveryLoadedBufferAndResetSources)
{
    ensureAudioContext();
    soundsDir = makeBankFolder("bank", "");
    runAllSteps();
    EXPECT_EQ(soundFileNames[0], "");
    EXPECT_EQ(soundFileNames[163], soundsDir + "ChordCX.ogg");
    for (int32_t id = 0; id <= soundIdCount; ++id) {
        const int size = bufferInfo(soundBuffers[id]).size;
        if (loadedAtStart(id)) EXPECT_GT(size, 0) << id;
        else EXPECT_EQ(size, 0) << id;
    }
    for (int32_t k = 0; k < soundSourceCount; ++k) {
        ALint buffer = -1, state = 0;
        float gain = 0;
        alGetSourcei(soundSources[k], AL_BUFFER, &buffer);
        alGetSourcei(soundSources[k], AL_SOURCE_STATE, &state);
        alGetSourcef(soundSources[k], AL_GAIN, &gain);
        EXPECT_EQ(buffer, 0) << k;
        EXPECT_NE(state, AL_PLAYING) << k;
        EXPECT_FLOAT_EQ(gain, 0.75f) << k;
    }
    for (ALuint b : toneBuffers) EXPECT_TRUE(alIsBuffer(b));
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

// The generator's files load, and every note and chord sample lasts as long
// as the note voices let a note sound (40 frames of 2048 samples at 44100 Hz).
TEST(SoundBank, GeneratedFilesLoadAndNotesCoverTheirPlayingTime)
{
    const std::string data = generatedData();
    ensureAudioContext();
    soundsDir = data + "sounds/";
    runAllSteps();
    const double voiceSeconds = 40 * 2048 / 44100.0;
    for (int32_t id = 1; id <= soundIdCount; ++id) {
        if (!loadedAtStart(id)) continue;
        const BufferInfo info = bufferInfo(soundBuffers[id]);
        ASSERT_GT(info.size, 0) << id;
        ASSERT_EQ(info.bits, 16) << id;
        ASSERT_EQ(info.channels, 1) << id;
        if (id <= 219 || (id >= 258 && id <= 277)) {
            const double seconds = info.size / 2.0 / info.frequency;
            EXPECT_GE(seconds, voiceSeconds) << id;
            EXPECT_LE(seconds, 3.0) << id << " longer than any use; it only slows the start";
        }
    }
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST(SoundBankDeathTest, MissingFileAndUnknownStepStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string dir = makeBankFolder("bankmissing", "maleBes5.ogg");
    auto run = [&] {
        ensureAudioContext();
        soundsDir = dir;
        runAllSteps();
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(4023 % 250), "maleBes5.ogg[^\n]*\n[^\n]*stopNumber=4023 ");
    EXPECT_EXIT(loadSoundBankStep(319), testing::ExitedWithCode(5538 % 250), "stopNumber=5538 ");
    EXPECT_EXIT(loadSoundBankStep(358), testing::ExitedWithCode(5538 % 250), "stopNumber=5538 ");
}
