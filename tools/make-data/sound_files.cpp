#include "sound_files.h"

#include "audio-files/audio_files.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

bool writeWavFile(const std::string &path, const Samples &samples, std::string &error)
{
    return writeBytesToFile(path, pcm16WavImage(toPcm16(samples), 1, synthRate), error);
}

bool writeOggVorbisFile(const std::string &path, const Samples &samples, int rate, float quality,
                        int serial, std::string &error)
{
    std::vector<uint8_t> bytes;
    // The same rounding to 16 bits as the WAV files.
    if (!encodeOggVorbis(toPcm16(samples), 1, rate, quality, serial, bytes)) {
        error = "the Vorbis encoder refused its settings";
        return false;
    }
    return writeBytesToFile(path, bytes, error);
}

// Reads a 16-bit PCM mono WAV (as espeak-ng writes it) into samples.
static bool readSpeechWav(const std::string &path, Samples &out, int &rate, std::string &error)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "espeak-ng wrote no file " + path;
        return false;
    }
    std::vector<uint8_t> b;
    uint8_t block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) b.insert(b.end(), block, block + n);
    std::fclose(f);
    auto le32 = [&b](size_t p) { return uint32_t(b[p]) | uint32_t(b[p + 1]) << 8 | uint32_t(b[p + 2]) << 16 | uint32_t(b[p + 3]) << 24; };
    auto le16 = [&b](size_t p) { return uint16_t(b[p] | b[p + 1] << 8); };
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        error = "espeak-ng output is not a WAV file";
        return false;
    }
    size_t pos = 12;
    int channels = 0, bits = 0;
    rate = 0;
    while (pos + 8 <= b.size()) {
        uint32_t size = le32(pos + 4);
        const size_t body = pos + 8;
        if (std::memcmp(b.data() + pos, "fmt ", 4) == 0 && body + 16 <= b.size()) {
            channels = le16(body + 2);
            rate = static_cast<int>(le32(body + 4));
            bits = le16(body + 14);
        } else if (std::memcmp(b.data() + pos, "data", 4) == 0) {
            // espeak-ng writing to a file may leave the size fields unset.
            if (size == 0 || size == 0xFFFFFFFFu || body + size > b.size()) size = static_cast<uint32_t>(b.size() - body);
            if (channels != 1 || bits != 16 || rate <= 0) {
                error = "espeak-ng output is not 16-bit mono";
                return false;
            }
            out.resize(size / 2);
            for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<int16_t>(le16(body + 2 * i)) / 32768.0f;
            return true;
        }
        pos = body + size + (size & 1);
    }
    error = "espeak-ng output has no data";
    return false;
}

Samples upsampleTwice(const Samples &s)
{
    // Even outputs are the input samples; odd ones are interpolated halfway
    // with a Blackman-windowed sinc of 2 x 24 taps.
    constexpr int half = 24;
    double taps[2 * half];
    for (int j = 0; j < 2 * half; ++j) {
        const double x = j - half + 0.5; // distance from the new sample, in input samples
        const double w = 0.42 + 0.5 * std::cos(M_PI * x / half) + 0.08 * std::cos(2 * M_PI * x / half);
        taps[j] = std::sin(M_PI * x) / (M_PI * x) * w;
    }
    Samples out(s.size() * 2);
    const long n = static_cast<long>(s.size());
    for (long i = 0; i < n; ++i) {
        out[2 * i] = s[i];
        double acc = 0;
        for (int j = 0; j < 2 * half; ++j) {
            const long k = i + j - half + 1;
            if (k >= 0 && k < n) acc += s[k] * taps[j];
        }
        out[2 * i + 1] = static_cast<float>(acc);
    }
    return out;
}

Samples halveRate(const Samples &s)
{
    // Blackman-windowed sinc, 2 x 48 + 1 taps, cut-off 9.5 kHz at the input
    // rate: about 2 kHz of transition band below the new Nyquist frequency.
    constexpr int half = 48;
    constexpr double cutoff = 9500.0 / synthRate; // cycles per input sample
    double taps[2 * half + 1];
    double sum = 0;
    for (int j = -half; j <= half; ++j) {
        const double w = 0.42 + 0.5 * std::cos(M_PI * j / (half + 1)) + 0.08 * std::cos(2 * M_PI * j / (half + 1));
        const double x = 2.0 * M_PI * cutoff * j;
        taps[j + half] = (j == 0 ? 1.0 : std::sin(x) / x) * w;
        sum += taps[j + half];
    }
    for (double &t : taps) t /= sum; // unity gain at 0 Hz
    Samples out(s.size() / 2);
    const long n = static_cast<long>(s.size());
    for (long m = 0; m < static_cast<long>(out.size()); ++m) {
        double acc = 0;
        for (int j = -half; j <= half; ++j) {
            const long k = 2 * m - j;
            if (k >= 0 && k < n) acc += s[k] * taps[j + half];
        }
        out[m] = static_cast<float>(acc);
    }
    return out;
}

Samples trimSilence(const Samples &s)
{
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    if (peak <= 0) return Samples();
    const float threshold = 0.025f * peak;
    size_t first = 0, last = s.size() - 1;
    while (first < s.size() && std::fabs(s[first]) < threshold) ++first;
    while (last > first && std::fabs(s[last]) < threshold) --last;
    const size_t before = static_cast<size_t>(0.003 * synthRate);
    const size_t after = static_cast<size_t>(0.020 * synthRate);
    const size_t from = first > before ? first - before : 0;
    const size_t to = std::min(s.size(), last + after + 1);
    return Samples(s.begin() + static_cast<long>(from), s.begin() + static_cast<long>(to));
}

bool speakText(const std::string &text, const std::string &voice, int wordsPerMinute,
               const std::string &scratchPath, Samples &out, std::string &error)
{
    const std::string speed = std::to_string(wordsPerMinute);
    std::vector<std::string> args = {"espeak-ng", "-v", voice, "-s", speed, "-w", scratchPath, text};
    std::vector<char *> argv;
    for (std::string &a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "espeak-ng", nullptr, nullptr, argv.data(), environ) != 0) {
        error = "cannot run espeak-ng (is it installed?)";
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "espeak-ng failed on \"" + text + "\"";
        return false;
    }
    Samples raw;
    int rate = 0;
    const bool ok = readSpeechWav(scratchPath, raw, rate, error);
    std::remove(scratchPath.c_str());
    if (!ok) return false;
    if (rate * 2 == synthRate) {
        raw = upsampleTwice(raw);
    } else if (rate != synthRate) {
        // Any other rate: linear interpolation (espeak-ng normally gives 22050 Hz).
        Samples r(static_cast<size_t>(static_cast<double>(raw.size()) * synthRate / rate));
        for (size_t i = 0; i < r.size(); ++i) {
            const double x = static_cast<double>(i) * rate / synthRate;
            const size_t k = static_cast<size_t>(x);
            const double f = x - static_cast<double>(k);
            const float a = raw[k], b = k + 1 < raw.size() ? raw[k + 1] : 0.0f;
            r[i] = static_cast<float>(a + (b - a) * f);
        }
        raw.swap(r);
    }
    out = trimSilence(raw);
    if (out.empty()) {
        error = "espeak-ng gave silence for \"" + text + "\"";
        return false;
    }
    fadeEdges(out, 0.002, 0.015);
    normalisePeak(out, 0.7);
    return true;
}
