// Writing sound files byte by byte: RIFF WAV images and Ogg Vorbis streams.
// Shared by the data generator (the program's sounds) and the sound tests
// (small fixture files, including malformed WAVs).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

void appendLe16(std::vector<uint8_t> &out, uint16_t value);
void appendLe32(std::vector<uint8_t> &out, uint32_t value);

// A RIFF chunk: four-character id and body (the size field is the body's
// length unless sizeOverride is set).
struct WavChunk {
    std::string id;
    std::vector<uint8_t> body;
    int64_t sizeOverride = -1;
};

// The 16 bytes of a PCM fmt body.
std::vector<uint8_t> fmtBody(int channels, int rate, int bits);

// "RIFF" size "WAVE" followed by the chunks, in order.
std::vector<uint8_t> wavImage(const std::vector<WavChunk> &chunks);

// A 16-bit PCM WAV of interleaved samples.
std::vector<uint8_t> pcm16WavImage(const std::vector<int16_t> &interleaved, int channels, int rate);

// Encodes interleaved 16-bit samples as one Ogg Vorbis stream. quality:
// libvorbisenc's VBR quality (-0.1 .. 1.0); serial: the stream serial number,
// fixed by callers so the same input gives the same bytes. False when the
// encoder refuses the settings.
bool encodeOggVorbis(const std::vector<int16_t> &interleaved, int channels, int rate, float quality, int serial,
                     std::vector<uint8_t> &bytes);

// Writes bytes as the whole file; false with the reason in error.
bool writeBytesToFile(const std::string &path, const std::vector<uint8_t> &bytes, std::string &error);
