#include "sound_fixtures.h"
#include "common/temp_folder.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <unistd.h>

std::vector<uint8_t> simpleWav(int channels, int rate, int bits, int frames)
{
    std::vector<uint8_t> data(size_t(frames) * channels * bits / 8);
    for (size_t k = 0; k < data.size(); ++k) data[k] = uint8_t(k * 7);
    return wavImage({{"fmt ", fmtBody(channels, rate, bits)}, {"data", data}});
}

void writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::string error;
    ASSERT_TRUE(writeBytesToFile(path, bytes, error)) << error;
}

void writeOggFile(const std::string &path, const std::vector<int16_t> &interleaved, int channels,
                  int rate)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodeOggVorbis(interleaved, channels, rate, 0.1f, 12345, bytes));
    writeFileBytes(path, bytes);
}

std::vector<int16_t> sineSamples(int frames, int channels, double hz, int rate)
{
    std::vector<int16_t> s(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[size_t(i) * channels + c] = int16_t(std::lround(12000 * std::sin(2 * M_PI * hz * (c + 1) * i / rate)));
    return s;
}

std::string freshTempFolder(const std::string &name)
{
    std::string dir = testTempFolder("sound_" + name);
    dir.pop_back(); // callers add "/..."
    return dir;
}

void ensureAudioContext()
{
    static bool open = false;
    if (open) return;
    setenv("ALSOFT_DRIVERS", "null", 1);
    ALCdevice *device = alcOpenDevice(nullptr);
    ASSERT_NE(device, nullptr) << "no OpenAL device";
    ALCcontext *context = alcCreateContext(device, nullptr);
    ASSERT_NE(context, nullptr);
    alcMakeContextCurrent(context);
    alGetError();
    open = true;
    static ALCdevice *openDevice = device;
    static ALCcontext *openContext = context;
    std::atexit([] {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(openContext);
        alcCloseDevice(openDevice);
    });
}

BufferInfo bufferInfo(unsigned buffer)
{
    BufferInfo info;
    alGetBufferi(buffer, AL_SIZE, &info.size);
    alGetBufferi(buffer, AL_FREQUENCY, &info.frequency);
    alGetBufferi(buffer, AL_CHANNELS, &info.channels);
    alGetBufferi(buffer, AL_BITS, &info.bits);
    return info;
}
