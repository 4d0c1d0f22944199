// After a sung lesson, in a real window (the test rig's X server): the
// recording of the last answer is prepared by the test (a WAV it makes,
// converted to the raw recording file), the score overview is entered with a
// prepared store, its Replay button leads through the replay (still a
// stand-in that returns at once) back to the options screen, and Export
// writes a WAV through the scripted file chooser that holds the answer as
// sung, at the pitch offset it was sung with.
//
// Run from tests/e2e/test_replay_export.py with TARNOVA_REPLAY_SUNG_WAV (a
// mono 16-bit 44100 Hz WAV to use as the answer) and TARNOVA_REPLAY_EXPORT
// (where the exported file is written), so the rig test measures the export
// with sox and the pitch scan.
//
// With the same devices, a replay played to its end by the real heartbeat
// is followed by a recording, which must get its blocks in real time.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include <AL/alc.h>
#include <gtest/gtest.h>

#include "app/screen_table.h"

#include "audio-files/audio_files.h"
#include "frame/dispatch.h"
#include "frame/message_panel.h"
#include "frame/screens.h"
#include "base/shared.h"
#include "app/startup.h"
#include "lessons/lesson_state.h"
#include "progress/score_overview_screen.h"
#include "store/store_fixture.h"
#include "store/recording_file.h"
#include "replay/replay_options_screen.h"
#include "frame/capture.h"
#include "frame/timer.h"
#include "replay/replay_fakes.h"
#include "lessons/exercise_run.h"
#include "replay/replay_run.h"
#include "replay/replay_screen.h"
#include "sound/pitch_detector.h"
#include "sound/sound_bank.h"
#include "sound/recording.h"
#include "sound/sound_layer.h"

namespace {

constexpr double sungHz = 440.0 * 1.0174796921026863; // A4 sung 30 cents sharp
constexpr int32_t sungSamples = 2 * 44100;

int32_t fixedDay() { return 44100; }

// Where the export goes: the rig test's choice, else the test folder.
std::string exportFolder;
std::string exportPath()
{
    const char *given = std::getenv("TARNOVA_REPLAY_EXPORT");
    return given != nullptr && *given ? std::string(given) : exportFolder + "/answer.wav";
}

// Dark (drawn) pixels of the last frame inside a rectangle (window pixels, y up).
int darkPixels(int left, int bottom, int right, int top)
{
    glFinish();
    glReadBuffer(GL_BACK);
    const int w = right - left + 1, h = top - bottom + 1;
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(left, bottom, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    int n = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) n += rgb[i] < 150 && rgb[i + 1] < 150 && rgb[i + 2] < 150;
    return n;
}

void frames(int n)
{
    for (int i = 0; i < n; ++i) displayCurrentScreen();
}

void click(const ControlRecord &c)
{
    const int x = (c.left + c.right) / 2, y = 765 - (c.bottom + c.top) / 2;
    mouseCurrentScreen(0, 0, x, y);
    mouseCurrentScreen(0, 1, x, y);
}

// The pitch our detector finds in the middle of a recording.
double detectedPitch(const std::vector<int16_t> &samples)
{
    for (size_t i = 0; i < samples.size() && i < size_t(recordingCapacity); ++i) recordingBuffer[i] = samples[i];
    PitchTracker tracker;
    for (int32_t b = 0; b < 12; ++b) {
        tracker.analysisPos = 2048 * (10 + b);
        analyseWindow(tracker);
    }
    return tracker.frequency;
}

// The output, the capture and the sound sources as start-up and the loading
// screen open them; the sound bank's beat click is a 30 ms blip of 2000 Hz.
void openAudioLikeTheProgram()
{
    ALCdevice *device = alcOpenDevice(nullptr);
    if (device == nullptr) _exit(30);
    ALCcontext *context = alcCreateContext(device, nullptr);
    if (context == nullptr || !alcMakeContextCurrent(context)) _exit(31);
    captureDevice = openCaptureDevice();
    if (captureDevice == nullptr) _exit(32);
    captureSamplesEnum = alcGetEnumValue(captureDevice, "ALC_CAPTURE_SAMPLES");
    loadSoundBankStep(320);
    loadSoundBankStep(357);
    ALuint scratch = 0;
    alGenSources(1, &scratch);
    synthSineTone(scratch, 30, soundBuffers[soundCountClick], 2000.0);
}

// The main window, the dispatcher's screen lookup and the sound devices, as
// start-up leaves them.
void openWindowAndAudio()
{
    int argc = 1;
    char name[] = "replay_window";
    char *argv[] = {name, nullptr};
    createMainWindow(&argc, argv);
    setScreenLookup(screenHandlersFor); // as start-up does
    glutDisplayFunc([] {});
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    initProjection();
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    openAudioLikeTheProgram();
}

// Runs in a child process (GLUT starts once per process); exits with the
// number of the first check that failed.
[[noreturn]] void replayAfterASungLesson(const std::string &dir)
{
    exportFolder = dir;
    openWindowAndAudio();

    // The answer as sung, made into a WAV, then into the raw recording file
    // (after the cleared head of 2048 samples, as the exercise writes it).
    const char *given = std::getenv("TARNOVA_REPLAY_SUNG_WAV");
    std::string sungPath = given != nullptr && *given ? given : dir + "/sung.wav";
    std::vector<int16_t> sung(sungSamples);
    for (int32_t i = 0; i < sungSamples; ++i)
        sung[i] = static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * sungHz * i / 44100.0)));
    std::string error;
    if (sungPath == dir + "/sung.wav" && !writeBytesToFile(sungPath, pcm16WavImage(sung, 1, 44100), error)) _exit(2);
    {
        std::ifstream in(sungPath, std::ios::binary);
        std::vector<uint8_t> wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        WavLayout layout;
        if (parseWavImage(wav.data(), wav.size(), layout) != 0 || layout.channels != 1 || layout.bitsPerSample != 16)
            _exit(3);
        sung.assign(layout.dataBytes / 2, 0);
        for (size_t i = 0; i < sung.size(); ++i)
            sung[i] = static_cast<int16_t>(wav[layout.dataOffset + 2 * i] | wav[layout.dataOffset + 2 * i + 1] << 8);
        std::vector<uint8_t> raw(2 * 2048 + layout.dataBytes, 0);
        std::copy_n(wav.data() + layout.dataOffset, layout.dataBytes, raw.data() + 2 * 2048);
        if (!writeBytesToFile(dir + "/ResourceFiles/soundout.raw", raw, error)) _exit(4);
    }
    // The recording of a lesson sung as a melody (type 0), for which the
    // overview offers Replay.
    lastRecordingKind = RecordingKind::sungTune;

    currentUserKey = 1;
    currentUserName = "Admin";
    currentUserTessitura = 3;
    setTodayFunction(fixedDay);
    currentLesson = 3;
    exerciseType = 0;
    setScreenLookup(screenHandlersFor);
    screenHandlersFor(scoreOverviewScreenId)->create();
    currentScreen = scoreOverviewScreenId;
    frames(3);
    if (currentScreen != scoreOverviewScreenId) _exit(10);
    // Drawn beside the other buttons, like them.
    const ControlRecord &replay = scoreOverviewState.replayButton, &repeat = scoreOverviewState.repeatButton;
    if (replay.caption != "Replay" || replay.left != repeat.left || replay.right != repeat.right) _exit(11);
    const int replayInk = darkPixels(replay.left, replay.bottom, replay.right, replay.top);
    const int repeatInk = darkPixels(repeat.left, repeat.bottom, repeat.right, repeat.top);
    if (replayInk < 100 || repeatInk < 100) {
        std::fprintf(stderr, "ink %d %d\n", replayInk, repeatInk);
        _exit(12);
    }

    click(replay);
    frames(1); // the overview runs the action
    if (currentScreen != replayOptionsScreenId) _exit(13);
    frames(1); // first show: straight on to the replay
    if (currentScreen != replayScreenId) _exit(14);
    // The replay starts playing; its Quit goes back to the options.
    screenHandlersFor(replayScreenId)->create();
    nextTimerDelay = 46;
    for (int i = 0; i < 5 && !replayRun.running; ++i) frames(1);
    if (!replayRun.running || currentScreen != replayScreenId) _exit(23);
    click(replayScreen.quitControl);
    frames(1);
    if (currentScreen != replayOptionsScreenId) _exit(24);
    frames(2); // the options show
    if (currentScreen != replayOptionsScreenId || replayOptions.phase != 1) _exit(15);
    const int32_t answerSamples = static_cast<int32_t>(sung.size());
    if (recordedSampleCount != 2048 + answerSamples) _exit(16);
    if (darkPixels(668, 112, 788, 130) < 100) _exit(17); // the Export button is drawn

    click(replayOptions.controls[roExport]);
    frames(2);
    if (alertLines[0] != "File exported successfully to " + exportPath()) {
        std::fprintf(stderr, "alert: %s\n", alertLines[0].c_str());
        _exit(18);
    }
    std::ifstream in(exportPath(), std::ios::binary);
    std::vector<uint8_t> wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WavLayout layout;
    if (parseWavImage(wav.data(), wav.size(), layout) != 0 || layout.rate != 44100 ||
        layout.dataBytes != 2u * (2048 + answerSamples))
        _exit(19);
    std::vector<int16_t> exported(layout.dataBytes / 2);
    for (size_t i = 0; i < exported.size(); ++i)
        exported[i] = static_cast<int16_t>(wav[layout.dataOffset + 2 * i] | wav[layout.dataOffset + 2 * i + 1] << 8);
    for (int32_t i = 0; i < 2048; ++i)
        if (exported[i] != 0) _exit(20);
    for (int32_t i = 0; i < answerSamples; ++i)
        if (exported[2048 + i] != sung[i]) _exit(21);
    if (given != nullptr && *given) _exit(0); // the rig test measures the pitch itself
    const double f = detectedPitch(exported);
    const double offset = 1200 * std::log2(f / 440.0);
    if (std::fabs(offset - 30) > 5) {
        std::fprintf(stderr, "detected %.2f Hz, %.1f cents\n", f, offset);
        _exit(22);
    }
    _exit(0);
}

// The heartbeat as the program runs it: GLUT's clock, the capture device's
// count, the current screen drawn each tick.
const TimerHooks heartbeat = {
    .now = [] { return static_cast<int32_t>(glutGet(GLUT_ELAPSED_TIME)); },
    .capturedSamples = captureSamplesAvailable,
    .drawFrame = displayCurrentScreen,
    .windowExists = [] { return true; },
};

// The replay of the small lesson's sung recording (tests/replay/replay_fakes.h)
// with the real devices, played by the real heartbeat until it leaves its
// screen at its end; returns the blocks it played.
int32_t playSmallReplayToItsEnd()
{
    replay_fakes::loadSmallLesson();
    replay_fakes::setReplayOptions(0);
    songPartVoice = 0; // the melody silent: only the voice and the clicks
    replay_fakes::saveSungRecording();
    currentLesson = 3;
    screenHandlersFor(replayScreenId)->create();
    currentScreen = replayScreenId;
    restartFreeGrid();
    const int32_t start = glutGet(GLUT_ELAPSED_TIME);
    int32_t blocks = 0;
    while (currentScreen == replayScreenId) {
        if (glutGet(GLUT_ELAPSED_TIME) - start > 20000) {
            std::fprintf(stderr, "replay stuck: %s state %d block %d delay %d capture %d screen %d\n", progressName.c_str(), replayRun.progress,
                         recordingBlockIndex, nextTimerDelay, int(captureRunning), currentScreen);
            _exit(33);
        }
        const int32_t delay = runTimerTick(heartbeat);
        blocks = std::max(blocks, recordingBlockIndex);
        glutMainLoopEvent();
        if (delay > 0) usleep(1000 * delay);
    }
    return blocks;
}

// The replay heard on the default output: the recorded voice and the beat
// clicks (a 2000 Hz blip in place of the sound bank's click); at the end the
// tallies of the scores box are printed.
[[noreturn]] void replayHeardWithItsClicks()
{
    openWindowAndAudio();
    if (playSmallReplayToItsEnd() != replayBlockCount) _exit(34);
    std::printf("tallies %d %d %d %d\n", pitchHitCount, loudnessOkCount, noteOkCount, onBeatScore);
    std::fflush(stdout);
    _exit(0);
}

// Blocks a recording read from the microphone, each on its own tick.
int32_t blocksRecorded = 0;
void recordOneBlock()
{
    int16_t block[samplesPerBlock];
    if (readCaptureBlock(block)) blocksRecorded += 1;
}

// After a replay played to its end, a recording started as the exercise's
// and the sung check's start (audio clock and consumed samples at 0,
// event-sync mode from offset 0, the capture on new sound) gets its blocks
// in real time, one tick per block. A schedule the replay left behind would
// make every tick the longest (464 ms): the capture would fall behind the
// microphone after a block or two.
[[noreturn]] void recordingAfterAReplayKeepsRealTime()
{
    constexpr int32_t blocksWanted = 40;
    constexpr double boundMs = 2 * blocksWanted * gridStepMs; // about 3.7 s; the fault needs 18.6 s
    openWindowAndAudio();
    if (playSmallReplayToItsEnd() != replayBlockCount) _exit(40);

    samplesConsumed = 0;
    audioClockMs = 0;
    recordingBlockIndex = -1;
    eventSyncMode = 1;
    eventSyncOffset = 0;
    startCapture();
    TimerHooks recording = heartbeat;
    recording.drawFrame = recordOneBlock;
    const int32_t start = glutGet(GLUT_ELAPSED_TIME);
    int32_t longestDelay = 0, ticks = 0;
    lastTickEnd = start;
    while (blocksRecorded < blocksWanted) {
        if (glutGet(GLUT_ELAPSED_TIME) - start > boundMs) {
            std::fprintf(stderr, "%d blocks in %.0f ms: %d ticks, longest delay %d ms, fell behind %d, next events %d %d %d\n",
                         blocksRecorded, boundMs, ticks, longestDelay, int(captureFellBehind()), nextSoundEventMs[0],
                         nextSoundEventMs[1], nextSoundEventMs[2]);
            _exit(41);
        }
        const int32_t delay = runTimerTick(recording);
        longestDelay = std::max(longestDelay, delay);
        ticks += 1;
        glutMainLoopEvent();
        if (delay > 0) usleep(1000 * delay);
    }
    const int32_t took = glutGet(GLUT_ELAPSED_TIME) - start;
    std::fprintf(stderr, "%d blocks in %d ms, %d ticks, longest delay %d ms\n", blocksRecorded, took, ticks, longestDelay);
    if (captureFellBehind()) _exit(42);
    // A tick per block: the block's time (46.44 ms) plus the 1 ms margin at most.
    if (longestDelay > 48) _exit(43);
    stopCapture();
    eventSyncMode = 0;
    _exit(0);
}

} // namespace

struct ReplayWindow : StoreFolderTest {};

TEST_F(ReplayWindow, ExportAfterASungLessonHoldsTheAnswerAsSung)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    createStore();
    // The desktop's file chooser, scripted: it answers with the file to write.
    const std::string bin = dir + "/bin";
    ::mkdir(bin.c_str(), 0755);
    {
        std::ofstream script(bin + "/zenity");
        exportFolder = dir;
        script << "#!/bin/sh\necho '" << exportPath() << "'\n";
    }
    ::chmod((bin + "/zenity").c_str(), 0755);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
    EXPECT_EXIT(replayAfterASungLesson(dir), ::testing::ExitedWithCode(0), "");
    setenv("PATH", oldPath.c_str(), 1);
}

TEST_F(ReplayWindow, RecordingAfterAReplayPlayedToItsEndKeepsRealTime)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(recordingAfterAReplayKeepsRealTime(), ::testing::ExitedWithCode(0), "");
}

struct ReplayHeard : StoreFolderTest {};

TEST_F(ReplayHeard, ReplayOfASungLessonWithItsClicks)
{
    // Run by tests/e2e/test_replay_heard.py, which listens on the speakers.
    if (!std::getenv("TARNOVA_REPLAY_HEARD")) GTEST_SKIP() << "run by tests/e2e/test_replay_heard.py";
    EXPECT_EXIT(replayHeardWithItsClicks(), ::testing::ExitedWithCode(0), "");
}
