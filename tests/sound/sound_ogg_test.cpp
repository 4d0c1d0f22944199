#include "sound/sound_layer.h"
#include "sound_fixtures.h"

#include <gtest/gtest.h>

TEST(OggLoading, MonoAndStereoGiveFormatRateAndSize)
{
    ensureAudioContext();
    const std::string dir = freshTempFolder("ogg");
    writeOggFile(dir + "/mono.ogg", sineSamples(10000, 1, 440.0, 44100), 1, 44100);
    writeOggFile(dir + "/stereo.ogg", sineSamples(5000, 2, 330.0, 22050), 2, 22050);

    struct Case {
        const char *file;
        int channels, rate, bytes;
    };
    const Case cases[] = {{"mono.ogg", 1, 44100, 10000 * 2}, {"stereo.ogg", 2, 22050, 5000 * 4}};
    for (const Case &c : cases) {
        int32_t size = 0, rate = 0;
        ALenum format = 0;
        decodeOggToMemory(dir + "/" + c.file, size, rate, format);
        EXPECT_EQ(format, c.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16) << c.file;
        EXPECT_EQ(rate, c.rate) << c.file;
        EXPECT_EQ(size, c.bytes) << c.file;

        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        EXPECT_TRUE(loadOggIntoBuffer(dir + "/" + c.file, buffer));
        const BufferInfo info = bufferInfo(buffer);
        EXPECT_EQ(info.size, c.bytes) << c.file;
        EXPECT_EQ(info.channels, c.channels) << c.file;
        EXPECT_EQ(info.frequency, c.rate) << c.file;
        alDeleteBuffers(1, &buffer);
    }
}

TEST(OggLoadingDeathTest, MissingForeignAndOverlongFilesStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string dir = freshTempFolder("oggstop");
    writeFileBytes(dir + "/wave.ogg", simpleWav(1, 44100, 16, 100));
    writeOggFile(dir + "/long.ogg", sineSamples(4000, 1, 440.0, 44100), 1, 44100);
    auto load = [](const std::string &path) {
        ensureAudioContext();
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        loadOggIntoBuffer(path, buffer);
    };
    EXPECT_EXIT(load(dir + "/absent.ogg"), testing::ExitedWithCode(4023 % 250), "stopNumber=4023 ");
    EXPECT_EXIT(load(dir + "/wave.ogg"), testing::ExitedWithCode(4024 % 250), "stopNumber=4024 ");
    // A file longer than the decoding area ends the program instead of
    // writing past it.
    auto decodeIntoSmallArea = [&] {
        std::vector<uint8_t> area(4000);
        int32_t size = 0, rate = 0;
        ALenum format = 0;
        decodeOggFile((dir + "/long.ogg").c_str(), area.data(), int32_t(area.size()), size, rate, format);
    };
    EXPECT_EXIT(decodeIntoSmallArea(), testing::ExitedWithCode(4026 % 250), "stopNumber=4026 ");
}
