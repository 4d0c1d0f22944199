#include "sound/sound_layer.h"

#include "base/rounding.h"
#include "base/stops.h"
#include "platform/paths.h"
#include "sound/recording.h"

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

uint8_t *sampleBuffer = nullptr;

// Largest chunk the WAV reader accepts, in 2-byte units: what recordingBuffer holds.
static constexpr uint32_t wavChunkUnitLimit = 13230000;
static constexpr int32_t oggReadBlock = 32768;
static constexpr long double tonePi = 3.141592653589793238462643383279502884L;

// Every source handed to this layer, so that a buffer about to be refilled can
// be taken off each source that holds it.
static std::vector<ALuint> knownSources;

void initSoundLayer()
{
    if (sampleBuffer) return;
    sampleBuffer = static_cast<uint8_t *>(std::calloc(sampleBufferBytes, 1));
    if (!sampleBuffer) stopProgram(0, stopSampleBufferMemory);
}

// Ends the program when the OpenAL error state is set.
static void checkAl(int32_t stopNumber, const char *procedure)
{
    ALenum error = alGetError();
    if (error != AL_NO_ERROR) {
        writeDebugDetail(std::string(procedure) + ": OpenAL error=" + std::to_string(error));
        stopProgram(0, stopNumber);
    }
}

static void rememberSource(ALuint source)
{
    for (ALuint s : knownSources)
        if (s == source) return;
    knownSources.push_back(source);
}

// Stops and empties every known source that holds buffer, so the buffer can be
// refilled. Sources deleted meanwhile are forgotten.
static void releaseBuffer(ALuint buffer, int32_t stopNumber, const char *procedure)
{
    if (buffer == 0) return;
    for (size_t k = 0; k < knownSources.size();) {
        ALuint s = knownSources[k];
        if (!alIsSource(s)) {
            knownSources.erase(knownSources.begin() + static_cast<std::ptrdiff_t>(k));
            continue;
        }
        ALint held = 0;
        alGetSourcei(s, AL_BUFFER, &held);
        if (static_cast<ALuint>(held) == buffer) {
            alSourceStop(s);
            alSourcei(s, AL_BUFFER, 0);
        }
        checkAl(stopNumber, procedure);
        ++k;
    }
}

// ---------------------------------------------------------------------------
// WAV

static uint32_t le32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

static uint16_t le16(const uint8_t *p) { return uint16_t(p[0] | p[1] << 8); }

static bool tagIs(const uint8_t *p, const char *tag) { return std::memcmp(p, tag, 4) == 0; }

int32_t parseWavImage(const uint8_t *bytes, size_t length, WavLayout &layout)
{
    constexpr size_t headerBytes = 20; // RIFF header and the fmt chunk header
    constexpr uint32_t fmtMinimum = 16;
    if (length < headerBytes) return 4006;
    if (!tagIs(bytes, "RIFF")) return 4007;
    if (!tagIs(bytes + 8, "WAVE")) return 4008;
    if (!tagIs(bytes + 12, "fmt ")) return 4009;
    const uint32_t fmtSize = le32(bytes + 16);
    if (fmtSize / 2 > 40) return 4010;
    if (fmtSize < fmtMinimum || headerBytes + fmtSize > length) return 4011;

    const uint8_t *fmt = bytes + headerBytes;
    const int32_t channels = le16(fmt + 2);
    const int32_t rate = static_cast<int32_t>(le32(fmt + 4));
    const int32_t bits = le16(fmt + 14);
    ALenum format = 0;
    if (bits == 8 && channels == 1) format = AL_FORMAT_MONO8;
    else if (bits == 8 && channels == 2) format = AL_FORMAT_STEREO8;
    else if (bits == 16 && channels == 1) format = AL_FORMAT_MONO16;
    else if (bits == 16 && channels == 2) format = AL_FORMAT_STEREO16;
    else return 4012;

    // Chunks are word-aligned: an odd-sized body is followed by a pad byte.
    size_t pos = headerBytes + fmtSize + (fmtSize & 1);
    bool first = true;
    for (;;) {
        if (pos > length || length - pos < 8) return first ? 4013 : 4016;
        const uint32_t size = le32(bytes + pos + 4);
        if (tagIs(bytes + pos, "data")) break;
        if (size / 2 > wavChunkUnitLimit) return 4014;
        if (length - pos - 8 < size) return 4015;
        pos += 8 + size + (size & 1);
        first = false;
    }
    const uint32_t size = le32(bytes + pos + 4);
    if (size / 2 > wavChunkUnitLimit) return 4017;
    if (length - pos - 8 < size) return 4019;

    const uint32_t frameBytes = static_cast<uint32_t>(channels * bits / 8);
    layout.format = format;
    layout.rate = rate;
    layout.channels = channels;
    layout.bitsPerSample = bits;
    layout.dataOffset = pos + 8;
    layout.dataBytes = size - size % frameBytes;
    return 0;
}

bool loadWavIntoBuffer(const std::string &fileName, ALuint buffer)
{
    if (fileName.empty()) stopProgram(0, stopWavNoFileName);
    const std::string path = resolveDataPath(fileName);
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        writeDebugDetail("loadWavIntoBuffer: cannot open file=" + path);
        stopProgram(0, stopWavOpen);
    }
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.insert(bytes.end(), block, block + n);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) stopProgram(0, bytes.size() < 20 ? 4006 : 4018);

    WavLayout layout;
    const int32_t stop = parseWavImage(bytes.data(), bytes.size(), layout);
    if (stop != 0) stopProgram(0, stop);

    // The data is read into the start of the recording area, as the
    // recording itself is no longer needed when a WAV sound loads.
    std::memcpy(recordingBuffer, bytes.data() + layout.dataOffset, layout.dataBytes);

    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopWavBufferData);
    releaseBuffer(buffer, 4020, "loadWavIntoBuffer");
    alBufferData(buffer, layout.format, recordingBuffer, static_cast<ALsizei>(layout.dataBytes),
                 layout.rate);
    checkAl(4021, "loadWavIntoBuffer");
    checkAl(4022, "loadWavIntoBuffer");
    return true;
}

// ---------------------------------------------------------------------------
// Ogg Vorbis

void decodeOggFile(const char *fileName, uint8_t *destination, int32_t capacity, int32_t &size,
                   int32_t &rate, ALenum &format)
{
    const std::string path = resolveDataPath(fileName);
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        writeDebugDetail(std::string("decodeOggFile: cannot open file=") + path);
        stopProgram(0, stopOggOpen);
    }
    OggVorbis_File vf;
    if (ov_open_callbacks(f, &vf, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
        std::fclose(f); // not taken over by the decoder when it refuses the stream
        writeDebugDetail(std::string("decodeOggFile: not an Ogg Vorbis file=") + path);
        stopProgram(0, stopOggNotVorbis);
    }
    const vorbis_info *info = ov_info(&vf, -1);
    const int32_t channels = info ? info->channels : 1;
    rate = info ? static_cast<int32_t>(info->rate) : 0;
    format = channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;

    size = 0;
    int bitstream = 0;
    for (;;) {
        const int32_t room = capacity - size;
        char overflowProbe[4096];
        char *target = room > 0 ? reinterpret_cast<char *>(destination) + size : overflowProbe;
        const int want = room > 0 ? (room < oggReadBlock ? room : oggReadBlock) : int(sizeof overflowProbe);
        const long n = ov_read(&vf, target, want, 0, 2, 1, &bitstream);
        if (n < 0) {
            ov_clear(&vf);
            stopProgram(0, stopOggDecode);
        }
        if (n == 0) break;
        if (room <= 0) {
            // More samples than the decoding area holds.
            ov_clear(&vf);
            writeDebugDetail(std::string("decodeOggFile: file too long=") + path);
            stopProgram(0, stopOggTooLong);
        }
        size += static_cast<int32_t>(n);
    }
    ov_clear(&vf);
    const int32_t frameBytes = format == AL_FORMAT_MONO16 ? 2 : 4;
    size -= size % frameBytes;
}

void decodeOggToMemory(const std::string &fileName, int32_t &size, int32_t &rate, ALenum &format)
{
    initSoundLayer();
    decodeOggFile(fileName.c_str(), sampleBuffer, sampleBufferBytes, size, rate, format);
}

bool loadOggIntoBuffer(const std::string &fileName, ALuint &buffer)
{
    int32_t size = 0, rate = 0;
    ALenum format = AL_FORMAT_MONO16;
    decodeOggToMemory(fileName, size, rate, format);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopOggBufferData);
    releaseBuffer(buffer, 4029, "loadOggIntoBuffer");
    alBufferData(buffer, format, sampleBuffer, size, rate);
    checkAl(4030, "loadOggIntoBuffer");
    return true;
}

// ---------------------------------------------------------------------------
// Tones

static long double tonePhaseSine(int64_t i, double hz)
{
    const long double phase = 2.0L * tonePi * static_cast<long double>(i) / 44100.0L *
                              static_cast<long double>(hz);
    return std::sin(phase);
}

int16_t toneSample(int64_t i, double hz)
{
    const long double value = roundNearest(tonePhaseSine(i, hz) * toneAmplitude);
    return static_cast<int16_t>(static_cast<int32_t>(value) & 0xffff);
}

int64_t toneSampleCount(int32_t ms, double hz)
{
    int64_t last = roundToInt64(static_cast<double>(ms) * 44.1);
    if (last < 0) last = 0;
    while (tonePhaseSine(last, hz) > 0) ++last;
    while (tonePhaseSine(last + 1, hz) < 0) ++last;
    return last + 1;
}

int64_t synthesiseTone(int16_t *destination, int64_t capacity, int32_t ms, double hz)
{
    int64_t count = toneSampleCount(ms, hz);
    if (count > capacity) count = capacity;
    for (int64_t i = 0; i < count; ++i) destination[i] = toneSample(i, hz);
    return count;
}

bool synthSineTone(ALuint &source, int32_t ms, ALuint &buffer, double hz)
{
    initSoundLayer();
    rememberSource(source);
    alSourceStop(source);
    checkAl(4031, "synthSineTone");
    alSourcei(source, AL_BUFFER, 0);
    checkAl(4032, "synthSineTone");
    releaseBuffer(buffer, 4032, "synthSineTone");
    int16_t *samples = reinterpret_cast<int16_t *>(sampleBuffer);
    const int64_t count = synthesiseTone(samples, sampleBufferBytes / 2, ms, hz);
    alBufferData(buffer, AL_FORMAT_MONO16, samples, static_cast<ALsizei>(count * 2), 44100);
    checkAl(4033, "synthSineTone");
    return true;
}

// ---------------------------------------------------------------------------
// Sources

// Stops the source, detaches its buffer and sets pitch 1, the given gain,
// position and velocity 0, checking each step with stop numbers firstStop,
// firstStop + 1, ... firstStop + 4.
static void resetSource(ALuint &source, float gain, int32_t firstStop, const char *where)
{
    rememberSource(source);
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    checkAl(firstStop, where);
    alSourcef(source, AL_PITCH, 1.0f);
    checkAl(firstStop + 1, where);
    alSourcef(source, AL_GAIN, gain);
    checkAl(firstStop + 2, where);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    checkAl(firstStop + 3, where);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    checkAl(firstStop + 4, where);
}

void setupSource(ALuint &source)
{
    resetSource(source, 0.75f, 4037, "setupSource"); // 4037..4041
    alSourcei(source, AL_LOOPING, AL_FALSE);
    checkAl(4042, "setupSource");
}

void setupSourceWithBuffer(ALuint &source, ALuint buffer)
{
    resetSource(source, 1.0f, 4043, "setupSourceWithBuffer"); // 4043..4047
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    checkAl(4048, "setupSourceWithBuffer");
    alSourcei(source, AL_LOOPING, AL_FALSE);
    checkAl(4049, "setupSourceWithBuffer");
}

float distanceClassDepth(int32_t distanceClass)
{
    switch (distanceClass) {
    case 0: return 0.5f;
    case 1: return 1.0f;
    case 2: return 1.5f;
    case 3: return 2.0f;
    case 4: return 2.5f;
    default: return 3.0f;
    }
}

void setSourceBufferGainPosition(ALuint source, ALuint buffer, int32_t gainPercent, int32_t pan,
                                 int32_t distanceClass, float position[3])
{
    rememberSource(source);
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    checkAl(4052, "setSourceBufferGainPosition");
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    checkAl(4053, "setSourceBufferGainPosition");
    alSourcef(source, AL_GAIN, static_cast<float>(gainPercent / 100.0));
    checkAl(4054, "setSourceBufferGainPosition");
    position[0] = static_cast<float>(pan / 100.0);
    position[2] = distanceClassDepth(distanceClass);
    alSourcefv(source, AL_POSITION, position);
    checkAl(4055, "setSourceBufferGainPosition");
}

void playSource(ALuint source)
{
    alSourcePlay(source);
    checkAl(4056, "playSource");
}

// The four play forms: stop, attach, gain, start, each with its own stops.
static void playWithGain(ALuint source, ALuint buffer, float gain, int32_t firstStop,
                         const char *procedure)
{
    rememberSource(source);
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    checkAl(firstStop, procedure);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    checkAl(firstStop + 1, procedure);
    alSourcef(source, AL_GAIN, gain);
    checkAl(firstStop + 2, procedure);
    alSourcePlay(source);
    checkAl(firstStop + 3, procedure);
}

void playBufferOnSource(ALuint source, ALuint buffer)
{
    playWithGain(source, buffer, 1.0f, 4057, "playBufferOnSource");
}

void playBufferOnSourceHalf(ALuint source, ALuint buffer)
{
    playWithGain(source, buffer, 0.5f, 4061, "playBufferOnSourceHalf");
}

void playBufferOnSourceFull(ALuint source, ALuint buffer)
{
    playWithGain(source, buffer, 1.0f, 4065, "playBufferOnSourceFull");
}

void playBufferOnSourceQuarter(ALuint source, ALuint buffer)
{
    playWithGain(source, buffer, 0.25f, 4069, "playBufferOnSourceQuarter");
}

void stopSource(ALuint source)
{
    alSourceStop(source);
    alGetError(); // a stop of a source that is already gone is harmless
}
