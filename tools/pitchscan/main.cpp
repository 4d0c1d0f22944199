// tarnova-pitchscan FILE.wav
// tarnova-pitchscan --evaluate [--list]
// tarnova-pitchscan --bank DATA-FOLDER
// tarnova-pitchscan --kinds [--list]
// tarnova-pitchscan --write-kind KIND DIR
//
// Developer tool: runs the pitch detector over a recording exactly as a
// capturing screen does (zeroed head, blocks of 2048 samples written from
// index 2048, the 4096-sample window trailing the write position by one block,
// the period carried from block to block) and prints one line per complete
// block: the block index, the frequency in Hz with three decimals or the
// status code, and for frequencies of 55 Hz and above the nearest note and
// the deviation from it in cents.
//
// --evaluate runs the detector over a set of voice-like signals with known
// pitch and prints a table per range of fundamentals (--list adds a line per
// signal that misses its bound); --bank runs it over every pitched sample of
// a generated sound bank and prints each one's median deviation. Both exit
// with 1 when anything misses its bound (evaluation.h). --kinds runs the
// held-out signals of four hard kinds of voice and prints a table per kind
// and range; --write-kind writes one kind's signals as WAV files with the
// pitch of each block, for another tracker to read (held_out.h).
//
// Accepts 16-bit PCM, mono, 44100 Hz WAV files only; anything else is refused
// with a message and exit code 2.
#include "evaluation.h"
#include "held_out.h"

#include "base/rounding.h"
#include "music/notes.h"
#include "sound/pitch_detector.h"
#include "sound/recording.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int exitRefused = 2;

uint32_t le32(const unsigned char *p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const unsigned char *p) { return uint16_t(p[0] | p[1] << 8); }

int refuse(const std::string &file, const std::string &why)
{
    std::fprintf(stderr, "tarnova-pitchscan: %s: %s\n", file.c_str(), why.c_str());
    return exitRefused;
}

// Reads the samples of a 16-bit PCM mono 44100 Hz WAV file; returns an empty
// string on success or the reason the file is refused.
std::string readWav(const std::string &file, std::vector<int16_t> &samples)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) return "cannot open the file";
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return "not a RIFF WAVE file";

    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const unsigned char *chunk = bytes.data() + at;
        const uint32_t size = le32(chunk + 4);
        const size_t body = at + 8;
        const size_t available = bytes.size() - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || available < 16) return "format chunk too short";
            const unsigned char *f = bytes.data() + body;
            uint16_t format = le16(f);
            if (format == 0xFFFE && size >= 26 && available >= 26) format = le16(f + 24);
            const uint16_t channels = le16(f + 2);
            const uint32_t rate = le32(f + 4);
            const uint16_t bits = le16(f + 14);
            if (format != 1) return "not PCM (format " + std::to_string(format) + ")";
            if (bits != 16) return std::to_string(bits) + "-bit samples; 16-bit needed";
            if (channels != 1) return std::to_string(channels) + " channels; mono needed";
            if (rate != 44100) return std::to_string(rate) + " Hz; 44100 Hz needed";
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return "data chunk before the format chunk";
            const size_t n = std::min<size_t>(size, available) / 2;
            samples.resize(n);
            for (size_t i = 0; i < n; ++i) samples[i] = int16_t(le16(bytes.data() + body + 2 * i));
            return "";
        }
        at = body + size + (size & 1);
    }
    return haveFormat ? "no data chunk" : "no format chunk";
}

// Nearest equal-tempered note (A4 = 440 Hz) and the deviation from it.
void nearestNote(double hz, std::string &name, double &cents)
{
    const double fromA4 = 1200.0 * std::log2(hz / 440.0);
    const int32_t semis = roundToInt32(fromA4 / 100.0);
    const int32_t fromC0 = semis + 9 + 4 * 12;
    // The spelling tables count pitch classes from A, three semitones below C.
    const int32_t fromA = ((fromC0 % 12) + 12 + 3) % 12;
    name = std::string(pitchClassSpellings[namesSharps][fromA]) +
           std::to_string(fromC0 >= 0 ? fromC0 / 12 : -((11 - fromC0) / 12));
    cents = roundNearest((fromA4 - 100.0 * semis) * 10.0) / 10.0;
    if (cents == 0.0) cents = 0.0; // print +0.0, never -0.0
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--evaluate") == 0 &&
        (argc == 2 || (argc == 3 && std::strcmp(argv[2], "--list") == 0)))
        return runEvaluation(argc == 3);
    if (argc == 3 && std::strcmp(argv[1], "--bank") == 0) return runBankScan(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], "--kinds") == 0 &&
        (argc == 2 || (argc == 3 && std::strcmp(argv[2], "--list") == 0)))
        return runHeldOut(argc == 3);
    if (argc == 4 && std::strcmp(argv[1], "--write-kind") == 0) return writeHeldOut(argv[2], argv[3]);
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: tarnova-pitchscan FILE.wav  (16-bit PCM, mono, 44100 Hz)\n"
                             "       tarnova-pitchscan --evaluate [--list]\n"
                             "       tarnova-pitchscan --bank DATA-FOLDER\n"
                             "       tarnova-pitchscan --kinds [--list]\n"
                             "       tarnova-pitchscan --write-kind weak|jitter|formant|missing DIR\n");
        return exitRefused;
    }
    const std::string file = argv[1];
    std::vector<int16_t> samples;
    const std::string why = readWav(file, samples);
    if (!why.empty()) return refuse(file, why);

    // Start of a recording: zeroed head, nothing captured yet.
    std::fill(recordingBuffer, recordingBuffer + analysisWindowLength, int16_t(0));
    clearEventMarks();
    PitchTracker tracker;
    int32_t writePos = recordingBlockLength;

    const size_t blocks = samples.size() / recordingBlockLength;
    for (size_t k = 0; k < blocks; ++k) {
        std::copy_n(samples.data() + k * recordingBlockLength, recordingBlockLength,
                    recordingBuffer + writePos);
        writePos += recordingBlockLength;
        analyseWindow(tracker);

        if (tracker.frequency < 10.0)
            std::printf("%zu %.1f\n", k, tracker.frequency);
        else if (tracker.frequency < 55.0)
            std::printf("%zu %.3f\n", k, tracker.frequency);
        else {
            std::string name;
            double cents = 0.0;
            nearestNote(tracker.frequency, name, cents);
            std::printf("%zu %.3f %s %+.1f\n", k, tracker.frequency, name.c_str(), cents);
        }

        // Past 300 s the newest block moves to the start of the buffer, so
        // the next window continues seamlessly.
        if (tracker.analysisPos >= analysisWrapLimit) {
            std::copy_n(recordingBuffer + tracker.analysisPos + recordingBlockLength,
                        recordingBlockLength, recordingBuffer);
            tracker.analysisPos = 0;
            writePos = recordingBlockLength;
        } else {
            tracker.analysisPos += recordingBlockLength;
        }
    }
    return 0;
}
