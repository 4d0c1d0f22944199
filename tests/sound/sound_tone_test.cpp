#include "sound/sound_bank.h"
#include "sound/sound_layer.h"
#include "sound_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

long double sineAt(int64_t i, double hz)
{
    return std::sin(2.0L * 3.141592653589793238462643383279502884L * i / 44100.0L * hz);
}

} // namespace

TEST(ToneRule, SamplesFollowTheFormulaAndEndBeforeAnUpwardCrossing)
{
    const double freqs[] = {440.0, 261.626, 55.0, 1046.5, 196.0};
    for (double hz : freqs) {
        std::vector<int16_t> tone(10000);
        const int64_t count = synthesiseTone(tone.data(), int64_t(tone.size()), 100, hz);
        ASSERT_GT(count, 4410) << hz; // samples 0..4410 at least
        ASSERT_LT(count, 4411 + 44100 / hz + 2) << hz; // at most one more period
        for (int64_t i = 0; i < count; ++i) {
            const long double expected = std::nearbyint(sineAt(i, hz) * 28000.0L);
            ASSERT_EQ(tone[i], int16_t(expected)) << hz << " sample " << i;
        }
        // The last sample is the last negative one before the sine turns up
        // through zero.
        EXPECT_LT(sineAt(count - 1, hz), 0.0L) << hz;
        EXPECT_GE(sineAt(count, hz), 0.0L) << hz;
    }
    // 440 Hz completes 44 periods in 100 ms: sample 4410 lies just below zero
    // and ends the tone; 261.626 Hz has to finish its period.
    EXPECT_EQ(toneSampleCount(100, 440.0), 4411);
    EXPECT_GT(toneSampleCount(100, 261.626), 4411);
}

TEST(ToneRule, ZeroHertzIsSilenceOfTheRequestedLength)
{
    std::vector<int16_t> tone(5000, 7);
    EXPECT_EQ(synthesiseTone(tone.data(), 5000, 100, 0.0), 4411);
    for (int i = 0; i < 4411; ++i) ASSERT_EQ(tone[i], 0);
    EXPECT_EQ(toneSampleCount(10, 0.0), 442); // round(441.0) + 1
}

TEST(ToneRule, SynthSineToneFillsTheBuffer)
{
    ensureAudioContext();
    ALuint source = 0, buffer = 0;
    alGenSources(1, &source);
    alGenBuffers(1, &buffer);
    EXPECT_TRUE(synthSineTone(source, 100, buffer, 440.0));
    const BufferInfo info = bufferInfo(buffer);
    EXPECT_EQ(info.size, int(2 * toneSampleCount(100, 440.0)));
    EXPECT_EQ(info.frequency, 44100);
    EXPECT_EQ(info.channels, 1);
    ALint attached = -1;
    alGetSourcei(source, AL_BUFFER, &attached);
    EXPECT_EQ(attached, 0); // the caller attaches it
    alDeleteSources(1, &source);
    alDeleteBuffers(1, &buffer);
}

// OpenAL refuses to swap the buffer of a playing source and to refill a
// buffer a source holds; each would otherwise end the program mid-lesson.
TEST(SourcePlayback, RestartingAndRefillingWhilePlayingKeepsRunning)
{
    ensureAudioContext();
    ALuint sources[2] = {};
    ALuint buffers[2] = {};
    alGenSources(2, sources);
    alGenBuffers(2, buffers);
    synthSineTone(sources[0], 2000, buffers[0], 440.0);
    synthSineTone(sources[0], 2000, buffers[1], 220.0);

    playBufferOnSource(sources[0], buffers[0]);
    playBufferOnSourceHalf(sources[0], buffers[1]); // new buffer on a playing source
    playBufferOnSourceFull(sources[0], buffers[1]); // same buffer again
    playBufferOnSourceQuarter(sources[1], buffers[1]);
    ALint state = 0;
    alGetSourcei(sources[0], AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING);

    // A note voice re-prepared while its tone and another source still play it.
    synthSineTone(sources[0], 500, buffers[1], 330.0);
    float position[3] = {0.0f, 1.5f, 1.0f};
    setSourceBufferGainPosition(sources[0], buffers[1], 100, 0, 1, position);
    playSource(sources[0]);
    setSourceBufferGainPosition(sources[0], buffers[0], 100, 0, 1, position);
    alGetSourcei(sources[0], AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_STOPPED);
    EXPECT_EQ(bufferInfo(buffers[1]).size, int(2 * toneSampleCount(500, 330.0)));

    setupSourceWithBuffer(sources[1], buffers[0]);
    playSource(sources[1]);
    setupSource(sources[1]);
    stopSource(sources[0]);
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
    alDeleteSources(2, sources);
    alDeleteBuffers(2, buffers);
}

TEST(SourcePlayback, GainAndPosition)
{
    ensureAudioContext();
    ALuint source = 0, buffer = 0;
    alGenSources(1, &source);
    alGenBuffers(1, &buffer);
    synthSineTone(source, 50, buffer, 440.0);

    float position[3] = {9.0f, 1.5f, 9.0f};
    setSourceBufferGainPosition(source, buffer, 50, -100, 7, position);
    float gain = 0, at[3] = {};
    alGetSourcef(source, AL_GAIN, &gain);
    alGetSourcefv(source, AL_POSITION, at);
    EXPECT_FLOAT_EQ(gain, 0.5f);
    EXPECT_FLOAT_EQ(at[0], -1.0f);
    EXPECT_FLOAT_EQ(at[1], 1.5f);
    EXPECT_FLOAT_EQ(at[2], 3.0f);
    EXPECT_FLOAT_EQ(position[0], -1.0f);
    EXPECT_FLOAT_EQ(position[2], 3.0f);
    const float depths[] = {0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 3.0f};
    for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(distanceClassDepth(k), depths[k]);
    EXPECT_FLOAT_EQ(distanceClassDepth(-1), 3.0f);

    playBufferOnSourceQuarter(source, buffer);
    alGetSourcef(source, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.25f);

    setupSource(source);
    ALint attached = -1, looping = -1;
    alGetSourcef(source, AL_GAIN, &gain);
    alGetSourcei(source, AL_BUFFER, &attached);
    alGetSourcei(source, AL_LOOPING, &looping);
    EXPECT_FLOAT_EQ(gain, 0.75f);
    EXPECT_EQ(attached, 0);
    EXPECT_EQ(looping, AL_FALSE);
    alDeleteSources(1, &source);
    alDeleteBuffers(1, &buffer);
}
