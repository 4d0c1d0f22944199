// The raw recording file and the WAV export.
#include "store/recording_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "base/shared.h"
#include "base/stops.h"
#include "platform/paths.h"
#include "store/store_io.h"
#include "sound/recording.h"

int32_t recordedSampleCount = 0;
int32_t replayBlockCount = 0;
RecordingKind lastRecordingKind = RecordingKind::none;

// Samples are converted to little-endian bytes in pieces of this many.
constexpr int32_t sampleChunk = 65536;

std::string rawRecordingPath() { return resolveDataPath(userDataDir + rawRecordingName); }

int32_t analysisBlocksIn(int32_t samples)
{
    return samples < analysisWindowLength ? 0 : (samples - recordingBlockLength) / recordingBlockLength;
}

static void makeLastRecording(int32_t samples)
{
    recordedSampleCount = samples;
    replayBlockCount = analysisBlocksIn(samples);
}

static void putSamples(uint8_t *bytes, const int16_t *samples, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        const uint16_t v = static_cast<uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<uint8_t>(v & 0xff);
        bytes[2 * i + 1] = static_cast<uint8_t>(v >> 8);
    }
}

// Writes samples[0 .. count) as little-endian samples.
static bool writeSamples(AtomicWrite &w, const int16_t *samples, int32_t count)
{
    std::vector<uint8_t> bytes(2 * static_cast<size_t>(std::min(count, sampleChunk)));
    for (int32_t done = 0; done < count;) {
        const int32_t n = std::min(sampleChunk, count - done);
        putSamples(bytes.data(), samples + done, n);
        if (!storeWriteBytes(w, bytes.data(), 2 * static_cast<size_t>(n))) return false;
        done += n;
    }
    return true;
}

static std::string systemError(const std::string &what, int err)
{
    return what + ": " + systemErrorText(err);
}

// Writes the raw recording file at `path` by temporary file and rename, its
// bytes from `body`.
template <typename Body>
static bool writeRawRecording(const std::string &path, Body body, std::string &error)
{
    AtomicWrite w;
    errno = 0;
    if (!beginAtomicWrite(w, path)) {
        error = systemError("cannot create " + path, errno);
        return false;
    }
    if (!body(w) || !finishAtomicWrite(w)) {
        error = systemError("cannot write " + path, errno);
        abandonAtomicWrite(w);
        return false;
    }
    return true;
}

bool saveReplayRecording(int32_t endPos, RecordingKind kind, std::string &error)
{
    const int32_t count = std::clamp(endPos, 0, recordingCapacity);
    makeLastRecording(count);
    lastRecordingKind = kind;
    if (userDataDir.empty()) {
        error = systemError("cannot create " + rawRecordingPath(), 0);
        return false;
    }
    const auto body = [count](AtomicWrite &w) { return writeSamples(w, recordingBuffer, count); };
    return writeRawRecording(rawRecordingPath(), body, error);
}

void saveReplayRecordingInBackground(int32_t endPos, RecordingKind kind)
{
    const int32_t count = std::clamp(endPos, 0, recordingCapacity);
    makeLastRecording(count);
    lastRecordingKind = kind;
    const std::string path = rawRecordingPath();
    if (userDataDir.empty()) {
        writeDebugDetail(recordingNotSaved + systemError("cannot create " + path, 0));
        return;
    }
    // The samples are copied now: the buffer is the next recording's.
    auto samples = std::make_shared<std::vector<int16_t>>(recordingBuffer, recordingBuffer + count);
    runOnStoreWriter([samples, path] {
        std::string error;
        const auto body = [&](AtomicWrite &w) {
            return writeSamples(w, samples->data(), static_cast<int32_t>(samples->size()));
        };
        if (!writeRawRecording(path, body, error)) writeDebugDetail(recordingNotSaved + error);
    });
}

bool loadReplayRecording(std::string &error)
{
    waitForStoreWrites(); // a recording may still be on its way
    const std::string path = rawRecordingPath();
    const int fd = userDataDir.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = systemError("cannot open " + path, errno);
        return false;
    }
    // Read into a staging area first: a read error leaves the recording as it was.
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> piece(2 * static_cast<size_t>(sampleChunk));
    bool ok = true;
    while (bytes.size() < 2 * static_cast<size_t>(recordingCapacity)) {
        const size_t want = std::min(piece.size(), 2 * static_cast<size_t>(recordingCapacity) - bytes.size());
        size_t got = 0;
        if (!storeReadBytes(fd, piece.data(), want, got)) {
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
        if (got < want) break;
    }
    const int readErrno = errno;
    ::close(fd);
    if (!ok) {
        error = systemError("cannot read " + path, readErrno);
        return false;
    }
    const int32_t count = static_cast<int32_t>(bytes.size() / 2);
    for (int32_t i = 0; i < count; ++i)
        recordingBuffer[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    makeLastRecording(count);
    return true;
}

// Offsets of the WAV header fields.
constexpr int riffTagAt = 0, riffSizeAt = 4, waveTagAt = 8, fmtTagAt = 12, fmtSizeAt = 16, formatAt = 20,
              channelsAt = 22, rateAt = 24, byteRateAt = 28, blockAlignAt = 32, bitsAt = 34, dataTagAt = 36,
              dataSizeAt = 40;
static_assert(dataSizeAt + 4 == waveHeaderSize);

std::array<uint8_t, waveHeaderSize> waveExportHeader(int32_t samples)
{
    std::array<uint8_t, waveHeaderSize> h{};
    auto tag = [&](int at, const char *text) { std::memcpy(h.data() + at, text, 4); };
    auto u32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) h[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto u16 = [&](int at, uint16_t v) {
        h[at] = static_cast<uint8_t>(v & 0xff);
        h[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    const uint32_t dataBytes = 2 * static_cast<uint32_t>(std::max(samples, 0));
    tag(riffTagAt, "RIFF");
    u32(riffSizeAt, dataBytes + 36);
    tag(waveTagAt, "WAVE");
    tag(fmtTagAt, "fmt ");
    u32(fmtSizeAt, 16);
    u16(formatAt, 1);
    u16(channelsAt, 1);
    u32(rateAt, 44100);
    u32(byteRateAt, 88200);
    u16(blockAlignAt, 2);
    u16(bitsAt, 16);
    tag(dataTagAt, "data");
    u32(dataSizeAt, dataBytes);
    return h;
}

ExportResult exportRecordingAsWave(const std::string &fileName, std::string &error)
{
    const int32_t count = std::clamp(recordedSampleCount, 0, recordingCapacity);
    if (count == 0) return ExportResult::nothingToSave;
    const std::array<uint8_t, waveHeaderSize> header = waveExportHeader(count);
    AtomicWrite w;
    errno = 0;
    if (fileName.empty() || !beginFreshAtomicWrite(w, fileName)) {
        error = systemError("cannot create " + fileName, errno);
        return ExportResult::failed;
    }
    if (!storeWriteBytes(w, header.data(), header.size()) || !writeSamples(w, recordingBuffer, count) ||
        !finishAtomicWrite(w)) {
        error = systemError("cannot write " + fileName, errno);
        abandonAtomicWrite(w);
        return ExportResult::failed;
    }
    return ExportResult::exported;
}
