// Small fixtures for the sound tests: WAV images built byte by byte, Ogg
// Vorbis files encoded on the spot (both through tools/audio-files), and one OpenAL context on the null
// (output-only, no sound card) device shared by all tests of the binary.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio-files/audio_files.h"

// A plain PCM WAV with frames x channels samples of the given bits.
std::vector<uint8_t> simpleWav(int channels, int rate, int bits, int frames);

void writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes);

// Encodes interleaved 16-bit samples as Ogg Vorbis (fixed stream serial).
void writeOggFile(const std::string &path, const std::vector<int16_t> &interleaved, int channels,
                  int rate);

// frames x channels samples of a sine at hz.
std::vector<int16_t> sineSamples(int frames, int channels, double hz, int rate);

// A fresh empty folder under the test temporary folder.
std::string freshTempFolder(const std::string &name);

// Opens the null output device and makes a context current (once per process).
void ensureAudioContext();

// Buffer properties as OpenAL reports them.
struct BufferInfo {
    int size = 0, frequency = 0, channels = 0, bits = 0;
};
BufferInfo bufferInfo(unsigned buffer);
