// The replay of the last recording against the loaded lesson (screen 578),
// frame by frame: reading the recording and analysing it (the block tracks,
// then the re-analysis of every block), an optional count-off bar, then the
// playback of the recorded voice with the lesson's clicks, melody and chords
// in step with the capture-driven tick, one block rated per tick; pause, the
// analyse cursor (the analysis re-run up to the block it was let go at),
// resume, quit, and the end of the recording back at the replay options.
//
// The run is an engine without GL or AL of its own: the recorded voice, the
// capture, the clock and the screen's actions come through ReplayHooks, the
// track sounds through ReplaySoundHooks, and each drawn frame calls
// hooks.draw with what to show. The replay screen fills the hooks with the
// real devices; the tests use fakes.
#pragma once
#include <cstdint>
#include <string>

#include "replay/replay_state.h" // analysisTimeMs, waitShiftMs and the other shared replay values

// ReplayProgress. 3, 4 and 12 are names only: nothing leads to them.
enum ReplayProgress : int32_t {
    replayPreparation = 0,
    replayPrepareBarCountOff = 1,
    replayBarCountOff = 2,
    replayAnimation1 = 3,
    replayExercisePart1 = 4,
    replayWaitInitialisation = 6,
    replayPlaying = 7,
    replayFreeze = 8,
    replayResume = 9,
    replayFinish = 12,
};
// The name of a state ("preparation", "Replay", ...), nullptr for a value without one.
const char *replayProgressName(int32_t value);

// Action codes of the replay's controls.
constexpr int32_t replayQuitAction = 15;
constexpr int32_t replayPauseAction = 20;
constexpr int32_t replayCursorPressAction = 24;
constexpr int32_t replayCursorReleaseAction = 25;

// Width of the analyse cursor's track in pixels.
constexpr int32_t analyseCursorSpan = 450;

// Stop numbers of the replay.
constexpr int32_t stopReplayPauseNotPlaying = 9255;
constexpr int32_t stopReplayCursorPressNotPlaying = 9256;
constexpr int32_t stopReplayCursorReleaseNotPlaying = 9257;
constexpr int32_t stopReplayResumeWhilePlaying = 9258;
constexpr int32_t stopReplayCursorReleaseWhilePlaying = 9260;
constexpr int32_t stopReplayUnknownProgress = 9261;
constexpr int32_t stopReplayDetach = 9262;
constexpr int32_t stopReplayNoHandler = 9269;

// What a drawn frame shows.
enum class ReplayFrameKind : int32_t {
    sheet,     // the score view before the count-off; panel, buttons, cursor
    countOff,  // the score view, the count-in picture, the buttons without Pause
    playing,   // the score view at clockMs, cursor at the block played
    frozen,    // the same while paused
    cursorRun, // only the cursor at the re-analysed block (the re-run's progress)
    cursorDrag // only the cursor while it is dragged
};
struct ReplayFrame {
    ReplayFrameKind kind;
    int32_t clockMs = 0;       // play time the score view is drawn at
    int32_t nextNote = 0;      // next melody note and chord to sound
    int32_t nextChord = 0;
    int32_t cursorBlock = 0;   // the block the cursor marks
    int32_t countInFrame = 0;  // count-in picture 0..23
};

struct ReplayHooks {
    void (*draw)(const ReplayFrame &frame); // nullptr: nothing is drawn
    // The screen's pending actions: any queued, and run them (through replayAction).
    bool (*actionQueued)();
    void (*runAction)();
    // Clock: GLUT elapsed time, and the delay the last tick chose.
    int32_t (*elapsedMs)();
    int32_t (*timerDelay)();
    // Capture: kept running only so the clock and the ticks run as in an exercise.
    void (*startCapture)();
    void (*stopCapture)();
    void (*drainBlock)(); // waits for one block of 2048 samples and drops it
    // The recording: read the raw file (false with the reason), hand the
    // recording to the replay source (stopped, its buffer refilled and
    // attached), play it from a sample offset, pause it.
    bool (*loadRecording)(std::string &error);
    void (*attachRecording)(int32_t samples);
    void (*playRecording)(int32_t sampleOffset);
    void (*pauseRecording)();
    // Leaves the music source without a buffer (the accompaniment is silent).
    void (*detachMusic)();
    // Keyboard focus on the Quit control (true) or nowhere (false).
    void (*focusQuit)(bool on);
    // The analyse cursor's position in pixels from its left edge (0..450).
    int32_t (*cursorPosition)();
};
void setReplayHooks(const ReplayHooks &hooks);
const ReplayHooks &replayHooks();

// The saved play state of the count-off.
struct ReplaySavedPlay {
    int32_t recordingBlockIndex, audioClockMs, nextBeatRecord, nextMelodyNote, nextChord, analysisTimeMs,
        viewStartMs, viewOriginMs, scrollStartMs, currentNoteRow, currentChordRow, waitShiftMs;
    int64_t samplesConsumed;
    bool scrollGrowing, scrollActive;
};

struct ReplayRunState {
    int32_t progress = replayPreparation;
    int32_t playing = 1;          // 1 playing (Pause reads "Pause"), 0 frozen ("Resume")
    bool running = false;         // the Replay state has started the playback
    bool resumeRequested = false;
    bool analyseCursorReleased = false;
    int32_t countOffTick = -1;
    int32_t countOffLength = 0;   // ticks of the count-off minus one
    int32_t countOffStartMs = 0;
    ReplaySavedPlay saved{};
    int32_t partIndex = 0;        // exercise part being replayed
    int32_t resumeSampleOffset = 0;
    int32_t playbackSampleOffset = 0;
    int32_t frozenClockMs = 0, frozenNextNote = 0, frozenNextChord = 0;
    int32_t replayPosition = 0;   // start of the window the signal trace shows
    int32_t analysisBlock = 0;    // block of a running re-analysis
    int32_t blockStartSample = 0;
};
extern ReplayRunState replayRun;


// The create procedure's part: state 0, the view and the play position at the start.
void setUpReplayRun();
// The replay's play position back to the start (the exercise run and the
// introduction call it when they start).
void resetReplayPlayPosition();
// One display call.
void runReplayFrame();
// The screen's own action codes (15, 20, 24, 25), by the state.
void replayAction(int32_t code);
// True while the replay's input acts (BarCountOff, Replay, Freeze).
bool replayInputActive();
