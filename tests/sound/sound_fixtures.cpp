#include "sound_fixtures.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <unistd.h>

static void put32(std::vector<uint8_t> &v, uint32_t x)
{
    for (int k = 0; k < 4; ++k) v.push_back(uint8_t(x >> (8 * k)));
}

static void put16(std::vector<uint8_t> &v, uint16_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}

std::vector<uint8_t> fmtBody(int channels, int rate, int bits)
{
    std::vector<uint8_t> b;
    put16(b, 1);
    put16(b, uint16_t(channels));
    put32(b, uint32_t(rate));
    put32(b, uint32_t(rate * channels * bits / 8));
    put16(b, uint16_t(channels * bits / 8));
    put16(b, uint16_t(bits));
    return b;
}

std::vector<uint8_t> wavImage(const std::vector<WavChunk> &chunks)
{
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const WavChunk &c : chunks) {
        out.insert(out.end(), c.id.begin(), c.id.end());
        put32(out, uint32_t(c.sizeOverride >= 0 ? c.sizeOverride : int64_t(c.body.size())));
        out.insert(out.end(), c.body.begin(), c.body.end());
    }
    const uint32_t riffSize = uint32_t(out.size() - 8);
    for (int k = 0; k < 4; ++k) out[4 + k] = uint8_t(riffSize >> (8 * k));
    return out;
}

std::vector<uint8_t> simpleWav(int channels, int rate, int bits, int frames)
{
    std::vector<uint8_t> data(size_t(frames) * channels * bits / 8);
    for (size_t k = 0; k < data.size(); ++k) data[k] = uint8_t(k * 7);
    return wavImage({{"fmt ", fmtBody(channels, rate, bits)}, {"data", data}});
}

void writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void writeOggFile(const std::string &path, const std::vector<int16_t> &interleaved, int channels,
                  int rate)
{
    vorbis_info vi;
    vorbis_info_init(&vi);
    ASSERT_EQ(vorbis_encode_init_vbr(&vi, channels, rate, 0.1f), 0);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 12345);
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);

    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) {
        std::fwrite(page.header, 1, page.header_len, f);
        std::fwrite(page.body, 1, page.body_len, f);
    }
    const size_t frames = interleaved.size() / channels;
    size_t done = 0;
    bool eos = false;
    while (!eos) {
        const size_t chunk = std::min<size_t>(1024, frames - done);
        if (chunk == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float **in = vorbis_analysis_buffer(&vd, int(chunk));
            for (size_t i = 0; i < chunk; ++i)
                for (int c = 0; c < channels; ++c)
                    in[c][i] = interleaved[(done + i) * channels + c] / 32768.0f;
            vorbis_analysis_wrote(&vd, int(chunk));
            done += chunk;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &page)) {
                    std::fwrite(page.header, 1, page.header_len, f);
                    std::fwrite(page.body, 1, page.body_len, f);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
    }
    std::fclose(f);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
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
    const std::string dir = testing::TempDir() + "tarnova_sound_" + std::to_string(getpid()) + "_" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
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
