#include "sound/recording.h"
#include "sound/sound_layer.h"
#include "sound_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<uint8_t> bytesOf(const char *text) { return std::vector<uint8_t>(text, text + std::strlen(text)); }

std::vector<uint8_t> pcm(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t k = 0; k < n; ++k) v[k] = uint8_t(k + 1);
    return v;
}

WavChunk fmt(int channels, int rate, int bits) { return {"fmt ", fmtBody(channels, rate, bits)}; }

} // namespace

// Each WAV layout the loader meets, and each way a file can be wrong, with the
// stop it must end in (0 = loads).
TEST(WavParsing, ChunkWalkFormatsAndStops)
{
    std::vector<uint8_t> badRiff = simpleWav(1, 44100, 16, 4);
    badRiff[0] = 'X';
    std::vector<uint8_t> badWave = simpleWav(1, 44100, 16, 4);
    badWave[9] = 'X';
    std::vector<uint8_t> badFmt = simpleWav(1, 44100, 16, 4);
    badFmt[14] = 'X';
    std::vector<uint8_t> fmt18 = fmtBody(1, 44100, 16);
    fmt18.resize(18);

    struct Case {
        const char *name;
        std::vector<uint8_t> image;
        int32_t stop;
        ALenum format;
        int32_t rate;
        size_t dataOffset;
        uint32_t dataBytes;
    };
    const Case cases[] = {
        {"LIST before data", wavImage({fmt(1, 44100, 16), {"LIST", pcm(26)}, {"data", pcm(8)}}), 0,
         AL_FORMAT_MONO16, 44100, 20 + 16 + 8 + 26 + 8, 8},
        {"8-bit mono", wavImage({fmt(1, 11025, 8), {"data", pcm(5)}}), 0, AL_FORMAT_MONO8, 11025, 44, 5},
        {"8-bit stereo", wavImage({fmt(2, 8000, 8), {"data", pcm(6)}}), 0, AL_FORMAT_STEREO8, 8000, 44, 6},
        {"16-bit stereo 22050", wavImage({fmt(2, 22050, 16), {"data", pcm(16)}}), 0, AL_FORMAT_STEREO16,
         22050, 44, 16},
        {"fmt of 18 bytes", wavImage({{"fmt ", fmt18}, {"data", pcm(4)}}), 0, AL_FORMAT_MONO16, 44100, 46, 4},
        // An odd chunk is followed by a pad byte; the next chunk starts after it.
        {"odd-sized chunk padded", [] {
             std::vector<uint8_t> odd = pcm(3);
             odd.push_back(0); // pad byte, not counted in the size
             return wavImage({fmt(1, 44100, 16), {"odd ", odd, 3}, {"data", pcm(4)}});
         }(), 0, AL_FORMAT_MONO16, 44100, 20 + 16 + 8 + 4 + 8, 4},
        {"16-bit data of odd size trimmed to frames", wavImage({fmt(1, 44100, 16), {"data", pcm(7)}}), 0,
         AL_FORMAT_MONO16, 44100, 44, 6},
        {"shorter than 20 bytes", bytesOf("RIFF\4\0\0\0WAVEfmt "), 4006, 0, 0, 0, 0},
        {"bad RIFF tag", badRiff, 4007, 0, 0, 0, 0},
        {"bad WAVE tag", badWave, 4008, 0, 0, 0, 0},
        {"bad fmt tag", badFmt, 4009, 0, 0, 0, 0},
        {"fmt of 82 bytes", wavImage({{"fmt ", pcm(82)}, {"data", pcm(4)}}), 4010, 0, 0, 0, 0},
        {"fmt of 14 bytes", wavImage({{"fmt ", pcm(14)}, {"data", pcm(4)}}), 4011, 0, 0, 0, 0},
        {"fmt body cut short", wavImage({{"fmt ", pcm(8), 16}}), 4011, 0, 0, 0, 0},
        {"24 bits", wavImage({fmt(1, 44100, 24), {"data", pcm(6)}}), 4012, 0, 0, 0, 0},
        {"3 channels", wavImage({fmt(3, 44100, 16), {"data", pcm(6)}}), 4012, 0, 0, 0, 0},
        {"no chunk after fmt", wavImage({fmt(1, 44100, 16)}), 4013, 0, 0, 0, 0},
        {"chunk body cut short", wavImage({fmt(1, 44100, 16), {"LIST", pcm(4), 100}}), 4015, 0, 0, 0, 0},
        {"data chunk cut short", wavImage({fmt(1, 44100, 16), {"data", pcm(10), 20}}), 4019, 0, 0, 0, 0},
        {"data larger than the recording area", wavImage({fmt(1, 44100, 16), {"data", pcm(4), 26460002}}),
         4017, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        WavLayout layout;
        EXPECT_EQ(parseWavImage(c.image.data(), c.image.size(), layout), c.stop) << c.name;
        if (c.stop != 0) continue;
        EXPECT_EQ(layout.format, c.format) << c.name;
        EXPECT_EQ(layout.rate, c.rate) << c.name;
        EXPECT_EQ(layout.dataOffset, c.dataOffset) << c.name;
        EXPECT_EQ(layout.dataBytes, c.dataBytes) << c.name;
    }
}

TEST(WavLoading, FillsBufferFromRecordingAreaAtFileRate)
{
    ensureAudioContext();
    const std::string dir = freshTempFolder("wavload");
    std::vector<uint8_t> data = pcm(400);
    writeFileBytes(dir + "/Stereo.wav", wavImage({fmt(2, 22050, 16), {"LIST", pcm(10)}, {"data", data}}));

    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    // Looked up case-insensitively, with "\" separators as the program writes them.
    EXPECT_TRUE(loadWavIntoBuffer(dir + "\\stereo.WAV", buffer));
    const BufferInfo info = bufferInfo(buffer);
    EXPECT_EQ(info.size, 400);
    EXPECT_EQ(info.frequency, 22050);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.bits, 16);
    // The samples went through the start of the recording area.
    EXPECT_EQ(std::memcmp(recordingBuffer, data.data(), data.size()), 0);
    alDeleteBuffers(1, &buffer);
}

TEST(WavLoadingDeathTest, MissingAndMalformedFilesStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string dir = freshTempFolder("wavstop");
    std::vector<uint8_t> mono24 = wavImage({fmt(1, 44100, 24), {"data", pcm(6)}});
    writeFileBytes(dir + "/deep.wav", mono24);
    auto load = [](const std::string &path) {
        ensureAudioContext();
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        loadWavIntoBuffer(path, buffer);
    };
    EXPECT_EXIT(load(dir + "/absent.wav"), testing::ExitedWithCode(4005 % 250), "stopNumber=4005 ");
    EXPECT_EXIT(load(dir + "/deep.wav"), testing::ExitedWithCode(4012 % 250), "stopNumber=4012 ");
}
