// Screen 578: the replay's real hooks, its drawing and its input.
#include "replay/replay_screen.h"

#include <AL/al.h>
#include <GL/freeglut.h>
#include <algorithm>

#include "base/rounding.h"
#include "base/shared.h"
#include "base/stops.h"
#include "frame/capture.h"
#include "frame/control_drawing.h"
#include "frame/immediate_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/timer.h"
#include "lessons/exercise_drawing.h"
#include "lessons/lesson_state.h"
#include "store/recording_file.h"
#include "replay/replay_run.h"
#include "replay/replay_sounds.h"
#include "replay/replay_view.h"
#include "replay/score_view.h"
#include "sound/recording.h"
#include "sound/sound_bank.h"

ReplayScreenState replayScreen;

namespace {

ReplayScreenState &s = replayScreen;

ALuint replayBuffers[2];
ALuint replaySource = 0;
bool alReady = false;

// ---- Input -----------------------------------------------------------------

TemplateControl replayControls[] = {
    {&s.pauseControl, 0, 0, replayPauseAction, 0, "Release Button to start / stop replay", "Click to start / stop replay",
     0},
    {&s.quitControl, 0, 0, replayQuitAction, 0, "Release Button to return to the lessons choice menu",
     "Click to return to the lessons choice menu", replayQuitAction},
    {&s.analyseCursor, replayCursorPressAction, 0, replayCursorReleaseAction, 0,
     "Release Button to move analyze cursor to desired location", "Click to move analyze cursor to desired location",
     0},
};

const ScreenInput replayInput = {
    .controls = replayControls,
    .controlCount = 3,
    .pending = &s.pendingAction,
    .deferred = &s.deferredAction,
    .phase = &s.inputPhase,
    .runningPhase = 1,
    .frameCounter = &s.frameCounter,
    .keyHelp = {"Click \"Quit\" or hit <Return>", "to select new lesson", ""},
    .returnHelp = {"Click \"Quit\"", "to select new lesson", ""},
    .action = replayAction,
};

void updateInputPhase() { s.inputPhase = replayInputActive() ? 1 : 0; }

void replayKeyboard(unsigned char key, int x, int y)
{
    updateInputPhase();
    templateKeyboard(replayInput, key, x, y);
}
void replaySpecialKey(int key, int x, int y) { templateSpecialKey(replayInput, key, x, y); }
void replayMouse(int button, int state, int x, int y)
{
    updateInputPhase();
    templateMouse(replayInput, button, state, x, y);
}
void replayMotion(int x, int y)
{
    updateInputPhase();
    templateMotion(replayInput, x, y);
}
void replayPassiveMotion(int x, int y)
{
    updateInputPhase();
    templatePassiveMotion(replayInput, x, y);
}
void handleReplayAction() { templateHandleAction(replayInput); }

// ---- Drawing ---------------------------------------------------------------

bool countOffShown = false;
int32_t cursorBlockShown = 0;
bool cursorFollowsBlock = true;
int32_t lastCursorRunMs = -1000;

void drawReplayControls()
{
    if (!countOffShown) drawControl(&s.pauseControl);
    drawControl(&s.quitControl);
    if (cursorFollowsBlock && replayBlockCount > 0)
        s.analyseCursor.relX = roundToInt32(double(analyseCursorSpan) * cursorBlockShown / replayBlockCount);
    drawControl(&s.analyseCursor);
}

void drawNavigationPanel(ImmediateDraw &d)
{
    d.colour(0.1f, 0.5f, 0.1f, 0.4f);
    d.text(DrawnText::normal, lessonScreenFont, "Navigation:", 470, 102);
    const double frame[] = {465, 95, 983, 95, 983, 9, 465, 9};
    d.lineStrip(frame, 4, -6);
    d.colour(0, 0, 0, 1);
    d.text(DrawnText::normal, lessonScreenFont, "Quit Replay .....", 470, 40);
    d.text(DrawnText::normal, lessonScreenFont, "Pause ...........", 470, 15);
}

void drawReplayFrame(const ReplayFrame &f)
{
    if (glutGetWindow() == 0) return; // no window (tests without one)
    ImmediateDraw &d = glImmediateDraw();
    cursorFollowsBlock = f.kind != ReplayFrameKind::cursorDrag;
    if (f.kind == ReplayFrameKind::cursorRun) {
        // The re-run shows its progress at most every 40 ms.
        const int32_t now = glutGet(GLUT_ELAPSED_TIME);
        if (now - lastCursorRunMs < 40) return;
        lastCursorRunMs = now;
    }
    const bool moving = f.kind == ReplayFrameKind::cursorRun || f.kind == ReplayFrameKind::cursorDrag;
    if (!moving) {
        scoreViewTimeMs = f.clockMs;
        scoreViewNoteIdx = f.nextNote;
        scoreViewChordIdx = f.nextChord;
        scoreViewSheetOnly = f.kind == ReplayFrameKind::sheet || f.kind == ReplayFrameKind::countOff;
        cursorBlockShown = f.cursorBlock;
    } else if (f.kind == ReplayFrameKind::cursorRun) {
        cursorBlockShown = f.cursorBlock;
    }
    countOffShown = f.kind == ReplayFrameKind::countOff;
    scoreViewCountInFrame = countOffShown ? f.countInFrame : -1;
    drawScoreView(d); // starts the frame
    drawNavigationPanel(d);
    d.controls();
    // The sheet before the count-off has no message panel.
    if (countOffShown)
        d.lessonMessagePanel(6, "Prepare for listening to the replay");
    else if (f.kind != ReplayFrameKind::sheet)
        d.lessonMessagePanel(10, "Analyze your performance -> learn");
    d.endFrame();
}

// ---- Real hooks ------------------------------------------------------------

void attachRecording(int32_t samples)
{
    alGetError();
    alSourceStop(replaySource);
    alSourcei(replaySource, AL_BUFFER, 0);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopReplayDetach);
    // The recording itself (at least one block), not the whole buffer behind it.
    const int32_t n = std::clamp(samples, samplesPerBlock, recordingBufferLength);
    alBufferData(replayBuffers[0], AL_FORMAT_MONO16, recordingBuffer, n * 2, 44100);
    alSourcei(replaySource, AL_BUFFER, static_cast<ALint>(replayBuffers[0]));
    alGetError(); // kept, not acted on
}

void playRecording(int32_t offset)
{
    alSourcei(replaySource, AL_SAMPLE_OFFSET, offset);
    alSourcePlay(replaySource);
    alGetError();
}

void detachMusic()
{
    const ALuint music = soundSources[musicSource];
    alSourceStop(music);
    alSourcei(music, AL_BUFFER, 0);
    alGetError();
}

void drainBlock()
{
    int16_t block[samplesPerBlock];
    if (captureRunning) readCaptureBlock(block); // the clock only: a late block is judged nowhere
}

const ReplayHooks realHooks = {
    .draw = drawReplayFrame,
    .actionQueued = [] { return templateHasAction(replayInput); },
    .runAction = handleReplayAction,
    .elapsedMs = [] { return static_cast<int32_t>(glutGet(GLUT_ELAPSED_TIME)); },
    .timerDelay = [] { return nextTimerDelay; },
    .startCapture = startCapture,
    .stopCapture = stopCapture,
    .drainBlock = drainBlock,
    .loadRecording = loadReplayRecording,
    .attachRecording = attachRecording,
    .playRecording = playRecording,
    .pauseRecording =
        [] {
            alSourcePause(replaySource);
            alGetError();
        },
    .detachMusic = detachMusic,
    .focusQuit = [](bool on) { setKeyboardFocus(on ? &s.quitControl : nullptr); },
    .cursorPosition = [] { return s.analyseCursor.relX; },
};

void setUpReplayScreen()
{
    setReplayHooks(realHooks);
    setReplaySoundHooks(realReplaySoundHooks());
    setUpReplayRun();
    if (!alReady) {
        alGetError();
        alGenBuffers(2, replayBuffers);
        alGenSources(1, &replaySource);
        alSource3f(replaySource, AL_POSITION, 0, 0, 0);
        alSource3f(replaySource, AL_VELOCITY, 0, 0, 0);
        alSourcef(replaySource, AL_ROLLOFF_FACTOR, 0);
        alSourcei(replaySource, AL_SOURCE_RELATIVE, AL_TRUE);
        alGetError();
        alReady = true;
    }
    initControl(&s.quitControl,
                {.kind = kindPushButton, .left = 640, .right = 703, .bottom = 40, .top = 60, .value = 1,
                 .caption = "Quit"});
    initControl(&s.pauseControl,
                {.kind = kindPushButton, .left = 640, .right = 703, .bottom = 15, .top = 35, .value = 1,
                 .caption = "Pause", .previous = &s.quitControl});
    initControl(&s.analyseCursor,
                {.kind = kindHorizontalPicker, .left = 490, .right = 940, .bottom = 70, .top = 90, .value = 1,
                 .previous = &s.pauseControl});
    lessonScreenFont = 2;
    s.inputPhase = 0;
}

void displayReplayScreen()
{
    runReplayFrame();
    s.pauseControl.caption = replayRun.playing == 1 ? "Pause" : "Resume";
    updateInputPhase();
    endScreenFrame(s.frameCounter, 190);
}

} // namespace

const ScreenHandlers replayScreenHandlers = {
    .create = setUpReplayScreen,
    .keyboard = replayKeyboard,
    .specialKey = replaySpecialKey,
    .mouse = replayMouse,
    .motion = replayMotion,
    .passiveMotion = replayPassiveMotion,
    .drawControls = drawReplayControls,
    .handleAction = handleReplayAction,
    .display = displayReplayScreen,
};
