#include "music/note_voices.h"
#include "music/staff_geometry.h"
#include "music/voice_sequencer.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/stops.h"
#include "music/notes.h"

namespace {

// Audio calls of the voices, as text, in order.
std::vector<std::string> calls;

void fakeStop(int32_t v) { calls.push_back("stop " + std::to_string(v)); }
void fakeSample(int32_t v, int32_t id, int32_t percent, int32_t pan, int32_t dc, float pos[3])
{
    calls.push_back("sample " + std::to_string(v) + " id " + std::to_string(id) + " gain " +
                    std::to_string(percent) + " pan " + std::to_string(pan) + " class " + std::to_string(dc));
}
void fakeTone(int32_t v, int32_t ms, double hz, int32_t percent, int32_t pan, int32_t dc, float pos[3])
{
    calls.push_back("tone " + std::to_string(v) + " " + std::to_string(ms) + "ms " +
                    std::to_string(static_cast<int>(hz)) + "Hz");
}
void fakePlay(int32_t v) { calls.push_back("play " + std::to_string(v)); }

class Voices : public testing::Test {
protected:
    void SetUp() override
    {
        voiceAudio = {fakeStop, fakeSample, fakeTone, fakePlay};
        for (int i = 0; i <= voiceCount; ++i) {
            noteVoices[i] = VoiceRecord{};
            playingVoices[i] = VoiceRecord{};
            voiceSounding[i] = 0;
            voiceSoundIds[i] = 0;
        }
        voiceSequencerState = 0;
        voiceSequencerCountdown = 0;
        calls.clear();
    }
    void TearDown() override { voiceAudio = soundLayerVoiceAudio; }
};

} // namespace

TEST_F(Voices, SingleNoteAndChord)
{
    setSingleVoice(27);
    EXPECT_EQ(noteVoices[1].staffValue, 180);
    EXPECT_EQ(noteVoices[1].kind, voiceKindFlute);
    EXPECT_EQ(noteVoices[1].inPlay, 1);
    EXPECT_EQ(noteVoices[1].voiceNumber, 1);
    EXPECT_EQ(playingVoices[1].note, 27);
    EXPECT_EQ(playingVoices[1].staffValue, 180);
    EXPECT_EQ(playingVoices[1].inPlay, 1);

    noteVoices[3].kind = voiceKindSine;
    noteVoices[2].toneHz = 196;
    setChordVoices(27);
    const int notes[] = {27, 31, 34, 37};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(noteVoices[i].note, notes[i - 1]);
        EXPECT_EQ(noteVoices[i].voiceNumber, i);
        EXPECT_EQ(noteVoices[i].inPlay, 0);
        EXPECT_EQ(noteVoices[i].toneHz, 0.0);
    }
    EXPECT_EQ(noteVoices[3].kind, voiceKindSine); // kinds stay
    EXPECT_EQ(playingVoices[1].inPlay, 1);        // play copies stay
}

TEST_F(Voices, SampleChoicePanAndRangeStops)
{
    struct Case { int kind, note, id; };
    const Case cases[] = {{1, 3, 1}, {1, 51, 49}, {2, 3, 111}, {2, 51, 159}, {0, 80, 279}, {1, 27, 25}};
    for (const Case &c : cases) {
        int32_t stop = -1;
        EXPECT_EQ(voiceSampleId(c.kind, staffValueOfNote(c.note), stop), c.id) << c.kind << " " << c.note;
        EXPECT_EQ(stop, 0);
    }
    struct Pan { int x, pan; };
    for (const Pan &p : {Pan{332, 0}, Pan{428, 100}, Pan{284, -50}, Pan{236, -100}, Pan{333, 1}, Pan{380, 50}})
        EXPECT_EQ(voicePan(p.x), p.pan) << p.x;

    setSingleVoice(3);
    noteVoices[1].x = 428;
    prepareVoice(1, 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "sample 1 id 1 gain 100 pan 100 class 1");

    for (int note : {2, 52}) {
        setSingleVoice(note);
        EXPECT_EXIT(prepareVoice(1, 1), testing::ExitedWithCode(stopExitCode(stopVoiceFluteRange)), "");
        noteVoices[1].kind = voiceKindSine;
        EXPECT_EXIT(prepareVoice(1, 1), testing::ExitedWithCode(stopExitCode(stopVoiceSineRange)), "");
    }
    calls.clear();
    prepareVoice(5, 1);
    prepareVoice(0, 1);
    EXPECT_TRUE(calls.empty());
}

TEST_F(Voices, ToneVoicesSynthesiseAndSilenceStaysSilent)
{
    setSingleVoice(60); // outside the sample range: the tone does not need a sample
    noteVoices[1].toneHz = 196.0;
    noteVoices[1].toneMs = 2000;
    prepareVoice(1, 1);
    EXPECT_EQ(voiceSoundIds[1], voiceToneSoundId);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "tone 1 2000ms 196Hz");

    calls.clear();
    noteVoices[2] = noteVoices[1];
    noteVoices[2].kind = voiceKindSilence;
    prepareVoice(2, 1);
    EXPECT_EQ(voiceSoundIds[2], 279);
    EXPECT_EQ(calls[0].rfind("sample 2 id 279", 0), 0u);
}

TEST_F(Voices, OnlyPreparedVoicesStartAndStopAllClearsEverything)
{
    setSingleVoice(27);
    prepareVoice(1, 1);
    highlightVoice(1);
    shakeStep = 5;
    voiceSequencerState = 21;
    voiceSequencerCountdown = 7;
    stopAllVoices(); // not sounding yet: nothing to stop
    EXPECT_EQ(noteVoices[1].prepared, 0);
    EXPECT_EQ(noteVoices[1].highlighted, 0);
    EXPECT_EQ(shakeStep, 0);
    EXPECT_EQ(voiceSequencerState, 0);
    EXPECT_EQ(voiceSequencerCountdown, 0);

    calls.clear();
    playPreparedVoices(1);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(voiceSounding[1], 0);

    prepareVoice(1, 1);
    playPreparedVoices(1);
    EXPECT_EQ(calls.back(), "play 1");
    EXPECT_EQ(voiceSounding[1], 25);
    calls.clear();
    stopAllVoices();
    EXPECT_EQ(calls, std::vector<std::string>{"stop 1"});
    EXPECT_EQ(voiceSounding[1], 0);
}

TEST_F(Voices, ShownVoiceCountAndHighlights)
{
    countShownVoices();
    EXPECT_EQ(arpeggioVoiceCount, 0);
    playingVoices[3].inPlay = 1;
    playingVoices[1].inPlay = 1;
    countShownVoices();
    EXPECT_EQ(arpeggioVoiceCount, 3);
    highlightAllVoices();
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(noteVoices[i].highlighted, 1);
    clearVoiceHighlights();
    highlightVoice(9);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(noteVoices[i].highlighted, 0);
}

// Runs ticks and returns, per tick (1-based), the audio calls it made.
static std::vector<std::string> runTicks(int n)
{
    std::vector<std::string> trace;
    for (int t = 1; t <= n; ++t) {
        calls.clear();
        tickVoiceSequencer();
        for (const std::string &c : calls) trace.push_back(std::to_string(t) + ": " + c);
    }
    return trace;
}

TEST_F(Voices, SequencerPlaysVoiceOneForFortyFrames)
{
    setSingleVoice(27);
    startVoiceSequence(6, 0);
    tickVoiceSequencer();
    EXPECT_EQ(voiceSequencerCountdown, 39);
    EXPECT_EQ(voiceSounding[1], 25);
    EXPECT_EQ(noteVoices[1].highlighted, 1);
    const std::vector<std::string> trace = runTicks(41);
    EXPECT_EQ(trace, std::vector<std::string>{"40: stop 1"});
    EXPECT_EQ(voiceSequencerState, 0);
}

TEST_F(Voices, TimedSequenceTraces)
{
    setSingleVoice(27);
    startTimedVoiceSequence({.state = 20, .waitFrames = 2, .playFrames = 32, .voiceCount = 1});
    std::vector<std::string> trace = runTicks(36);
    EXPECT_EQ(trace, (std::vector<std::string>{"3: sample 1 id 25 gain 100 pan 0 class 1", "3: play 1",
                                               "35: stop 1"}));
    EXPECT_EQ(voiceSequencerState, 0);

    // No voices: nothing plays, idle from the third tick.
    startTimedVoiceSequence({.state = 20, .waitFrames = 2, .playFrames = 32, .voiceCount = 0});
    trace = runTicks(2);
    EXPECT_NE(voiceSequencerState, 0);
    trace = runTicks(1);
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(voiceSequencerState, 0);

    // Play copy 1 not in play: state 21 plays nothing but waits t1 frames.
    setChordVoices(27);
    for (int i = 1; i <= 4; ++i) playingVoices[i] = noteVoices[i];
    startTimedVoiceSequence({.state = 20, .waitFrames = 2, .playFrames = 5, .voiceCount = 1});
    trace = runTicks(7);
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(voiceSequencerState, 22);
    runTicks(2);
    EXPECT_EQ(voiceSequencerState, 0);

    // Stop sequence and an undefined state.
    setSingleVoice(27);
    prepareVoice(1, 1);
    playPreparedVoices(1);
    startVoiceSequence(1, 0);
    EXPECT_EQ(runTicks(1), std::vector<std::string>{"1: stop 1"});
    startVoiceSequence(13, 0);
    runTicks(1);
    EXPECT_EQ(voiceSequencerState, 0);
}

TEST(StaffGeometry, FrequencyHeights)
{
    struct Case { double hz; double height; };
    const Case cases[] = {{54.9, 0},        {55.0, 0},        {1400, 0},         {1318.5102, 0},
                          {261.6256, 160},  {123.4708, 80},   {440.0, 210},      {65.4064, 20},
                          {1046.5022, 300}, {1318.51, 320}};
    for (const Case &c : cases) EXPECT_NEAR(frequencyToStaffHeight(c.hz), c.height, 1e-3) << c.hz;
    EXPECT_NEAR(frequencyToStaffHeight(277.18), 165, 0.01);
    // Between anchors: a quarter tone above E4 (one semitone = 10 here).
    EXPECT_NEAR(frequencyToStaffHeight(329.6276 * std::pow(2.0, 0.5 / 12)), 185, 1e-3);
    // StaffValue - 20 at every note C2..D#6.
    for (int n = 3; n <= 54; ++n)
        EXPECT_NEAR(frequencyToStaffHeight(55.0 * std::pow(2.0, n / 12.0)), staffValueOfNote(n) - 20, 0.01) << n;
}

TEST(StaffGeometry, LedgerLinesShakeAndArrowHeads)
{
    struct Case { int note, count, y0, y1; };
    // C#4 written on C: one line at 460; A5, C6, C2, E2.
    const Case cases[] = {{28, 1, 460, 0}, {48, 1, 580, 0}, {51, 2, 580, 600}, {3, 2, 320, 340},
                          {7, 1, 340, 0},  {36, 0, 0, 0}};
    for (const Case &c : cases) {
        char mark;
        const int s = staffSlotForKey(staffValueOfNote(c.note), 0, mark);
        int32_t rows[2] = {0, 0};
        EXPECT_EQ(ledgerLineRows(s, rows), c.count) << c.note;
        if (c.count > 0) { EXPECT_EQ(rows[0], c.y0) << c.note; }
        if (c.count > 1) { EXPECT_EQ(rows[1], c.y1) << c.note; }
    }

    int32_t step = 0;
    nextShakeOffset(step);
    EXPECT_EQ(noteShakeOffset.dx, 0);
    EXPECT_EQ(noteShakeOffset.dy, 0);
    for (int k = 0; k < 9; ++k) nextShakeOffset(step);
    EXPECT_EQ(step, 0);
    EXPECT_EQ(shakeOffsetForStep(9).dx, shakeOffsetForStep(1).dx);
    EXPECT_EQ(shakeOffsetForStep(9).dy, shakeOffsetForStep(1).dy);

    ArrowHead h = arrowHeadPoints(0, 0, 120, 0, 12, 4);
    EXPECT_DOUBLE_EQ(h.leftX, 108);
    EXPECT_DOUBLE_EQ(h.leftY, -4);
    EXPECT_DOUBLE_EQ(h.rightX, 108);
    EXPECT_DOUBLE_EQ(h.rightY, 4);
    h = arrowHeadPoints(10, 10, 10, 110, 35, 13); // upward big arrow
    EXPECT_DOUBLE_EQ(h.leftX, 23);
    EXPECT_DOUBLE_EQ(h.leftY, 75);
    EXPECT_DOUBLE_EQ(h.rightX, -3);
    h = arrowHeadPoints(5, 5, 5, 5, 12, 4);
    EXPECT_DOUBLE_EQ(h.leftX, 5);
}
