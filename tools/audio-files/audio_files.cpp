#include "audio_files.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

void appendLe16(std::vector<uint8_t> &out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void appendLe32(std::vector<uint8_t> &out, uint32_t value)
{
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

std::vector<uint8_t> fmtBody(int channels, int rate, int bits)
{
    std::vector<uint8_t> b;
    appendLe16(b, 1); // PCM
    appendLe16(b, static_cast<uint16_t>(channels));
    appendLe32(b, static_cast<uint32_t>(rate));
    appendLe32(b, static_cast<uint32_t>(rate * channels * bits / 8)); // byte rate
    appendLe16(b, static_cast<uint16_t>(channels * bits / 8));        // block align
    appendLe16(b, static_cast<uint16_t>(bits));
    return b;
}

std::vector<uint8_t> wavImage(const std::vector<WavChunk> &chunks)
{
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const WavChunk &c : chunks) {
        out.insert(out.end(), c.id.begin(), c.id.end());
        appendLe32(out, static_cast<uint32_t>(c.sizeOverride >= 0 ? c.sizeOverride : int64_t(c.body.size())));
        out.insert(out.end(), c.body.begin(), c.body.end());
    }
    const uint32_t riffSize = static_cast<uint32_t>(out.size() - 8);
    for (int k = 0; k < 4; ++k) out[4 + k] = static_cast<uint8_t>(riffSize >> (8 * k));
    return out;
}

std::vector<uint8_t> pcm16WavImage(const std::vector<int16_t> &interleaved, int channels, int rate)
{
    std::vector<uint8_t> data;
    data.reserve(interleaved.size() * 2);
    for (int16_t v : interleaved) appendLe16(data, static_cast<uint16_t>(v));
    return wavImage({{"fmt ", fmtBody(channels, rate, 16)}, {"data", std::move(data)}});
}

bool encodeOggVorbis(const std::vector<int16_t> &interleaved, int channels, int rate, float quality, int serial,
                     std::vector<uint8_t> &bytes)
{
    bytes.clear();
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (channels < 1 || vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
        vorbis_info_clear(&vi);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    auto appendPage = [&bytes](const ogg_page &page) {
        bytes.insert(bytes.end(), page.header, page.header + page.header_len);
        bytes.insert(bytes.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) appendPage(page); // audio starts on a fresh page

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    size_t done = 0;
    bool eos = false;
    while (!eos) {
        const size_t chunk = std::min<size_t>(4096, frames - done);
        if (chunk == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float **in = vorbis_analysis_buffer(&vd, static_cast<int>(chunk));
            for (size_t i = 0; i < chunk; ++i)
                for (int c = 0; c < channels; ++c) in[c][i] = interleaved[(done + i) * channels + c] / 32768.0f;
            vorbis_analysis_wrote(&vd, static_cast<int>(chunk));
            done += chunk;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &page)) {
                    appendPage(page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return true;
}

bool writeBytesToFile(const std::string &path, const std::vector<uint8_t> &bytes, std::string &error)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
