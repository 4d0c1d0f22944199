// The sound layer: decoding WAV and Ogg Vorbis files into OpenAL buffers,
// synthesising sine tones, and the set-up, play and stop operations of the
// audio sources.
//
// Every OpenAL call (except a plain stop) is followed by an error query; an
// error ends the program with the call's own numbered stop, so callers never
// see a failure: the boolean results are always true.
//
// OpenAL refuses to change the buffer of a playing or paused source and to
// refill a buffer that any source still holds. So every operation that
// attaches a buffer stops the source first, and every refill first detaches
// the buffer from every source this layer has seen holding it.
//
// The parsing and synthesis rules (RIFF chunk walk, tone samples) are pure
// functions below, usable without an audio device.
#pragma once
#include <AL/al.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Numbered stops of this module.
constexpr int32_t stopSampleBufferMemory = 4027; // no memory for the sample buffer
constexpr int32_t stopWavNoFileName = 4004;      // loadWavIntoBuffer without a file name
constexpr int32_t stopWavOpen = 4005;            // the WAV file cannot be opened
constexpr int32_t stopWavBufferData = 4020;      // the WAV data does not go into its buffer
constexpr int32_t stopOggOpen = 4023;            // the Ogg file cannot be opened
constexpr int32_t stopOggNotVorbis = 4024;       // not an Ogg Vorbis file
constexpr int32_t stopOggDecode = 4025;          // the Ogg stream does not decode
constexpr int32_t stopOggTooLong = 4026;         // the Ogg file is too long
constexpr int32_t stopOggBufferData = 4029;      // the Ogg data does not go into its buffer


// ---------------------------------------------------------------------------
// Decoding and synthesis area

constexpr int32_t sampleBufferBytes = 16000000;

// 16,000,000 bytes, taken once by initSoundLayer and never released. Every Ogg
// decode and every tone synthesis writes into it from its start.
extern uint8_t *sampleBuffer;

// Allocates sampleBuffer (once; later calls do nothing).
void initSoundLayer();

// ---------------------------------------------------------------------------
// WAV files

// Where the sample data of a WAV image lies and how OpenAL is to read it.
struct WavLayout {
    ALenum format = 0;        // AL_FORMAT_MONO8 / STEREO8 / MONO16 / STEREO16
    int32_t rate = 0;         // the fmt chunk's sample rate, passed on unchanged
    int32_t channels = 0;
    int32_t bitsPerSample = 0;
    size_t dataOffset = 0;    // first byte of the data chunk's body
    uint32_t dataBytes = 0;   // the data chunk's size, trimmed to whole sample frames
};

// Walks the RIFF chunks of a WAV file held in memory. Returns 0 and fills
// layout, or the stop number the file deserves (4006..4019). Chunks before
// "data" are skipped; a chunk of odd size is skipped together with its pad
// byte. A fmt body under 16 bytes is 4011; a sample size other than 8 or 16
// bits, or a channel count other than 1 or 2, is 4012.
int32_t parseWavImage(const uint8_t *bytes, size_t length, WavLayout &layout);

// Reads the WAV file (a full path, "\" or "/" separators, looked up
// case-insensitively) into the start of recordingBuffer and fills buffer with
// its samples. Always returns true; every failure is a numbered stop.
bool loadWavIntoBuffer(const std::string &fileName, ALuint buffer);

// ---------------------------------------------------------------------------
// Ogg Vorbis files

// Decodes a whole Ogg Vorbis file into destination (at most capacity bytes),
// 16-bit signed little-endian interleaved. Gives the byte count (whole sample
// frames), the stream's rate and AL_FORMAT_MONO16 for one channel,
// AL_FORMAT_STEREO16 otherwise. Stops: 4023 the file cannot be opened, 4024
// not an Ogg Vorbis stream, 4025 a decoding error, 4026 more samples than
// capacity holds.
void decodeOggFile(const char *fileName, uint8_t *destination, int32_t capacity, int32_t &size,
                   int32_t &rate, ALenum &format);

// decodeOggFile into sampleBuffer, with the loader's argument order.
void decodeOggToMemory(const std::string &fileName, int32_t &size, int32_t &rate, ALenum &format);

// Decodes the file into sampleBuffer and fills buffer with it. Always returns
// true; every failure is a numbered stop.
bool loadOggIntoBuffer(const std::string &fileName, ALuint &buffer);

// ---------------------------------------------------------------------------
// Sine tones

constexpr int32_t toneAmplitude = 28000;

// Sample i of a tone: nearest(sin(2 pi i / 44100 x hz) x 28000), in extended
// precision, ties to even.
int16_t toneSample(int64_t i, double hz);

// Number of samples of a tone of about ms milliseconds: samples 0..round(ms x
// 44.1), then on to the end of the period, so the tone ends on the last
// negative sample before an upward zero crossing (or where the sine is 0).
int64_t toneSampleCount(int32_t ms, double hz);

// Writes the tone into destination (at most capacity samples) and returns the
// number of samples written; a longer tone is cut at capacity.
int64_t synthesiseTone(int16_t *destination, int64_t capacity, int32_t ms, double hz);

// Stops the source, detaches its buffer, synthesises the tone and fills
// buffer with it (mono, 16 bits, 44100 Hz). The buffer is not attached again.
bool synthSineTone(ALuint &source, int32_t ms, ALuint &buffer, double hz);

// ---------------------------------------------------------------------------
// Sources

// Standard state: stopped, no buffer, pitch 1.0, gain 0.75, position and
// velocity (0, 0, 0), not looping.
void setupSource(ALuint &source);

// Stopped, pitch 1.0, gain 1.0, position and velocity (0, 0, 0), buffer
// attached, not looping.
void setupSourceWithBuffer(ALuint &source, ALuint buffer);

// z coordinate of a source for distance classes 0..4 (0.5 .. 2.5); 3.0 for
// any other class.
float distanceClassDepth(int32_t distanceClass);

// Stops the source, attaches buffer, gain := gainPercent / 100, position x :=
// pan / 100, z := the distance class's depth, y as the caller set it; the
// position is written back to the caller's array.
void setSourceBufferGainPosition(ALuint source, ALuint buffer, int32_t gainPercent, int32_t pan,
                                 int32_t distanceClass, float position[3]);

// Starts the source with whatever buffer it holds.
void playSource(ALuint source);

// Stop, attach buffer, set the gain (1.0, 0.5, 1.0, 0.25) and play from the
// start. The plain and the Full form differ only in their stop numbers.
void playBufferOnSource(ALuint source, ALuint buffer);
void playBufferOnSourceHalf(ALuint source, ALuint buffer);
void playBufferOnSourceFull(ALuint source, ALuint buffer);
void playBufferOnSourceQuarter(ALuint source, ALuint buffer);

// Stops the source; never ends the program (its error state is cleared).
void stopSource(ALuint source);
