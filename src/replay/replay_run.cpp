// The replay's state machine.
#include "replay/replay_run.h"

#include <algorithm>

#include "base/rounding.h"
#include "base/shared.h"
#include "base/stops.h"
#include "base/screen_id.h"
#include "frame/timer.h"
#include "lessons/exercise_parts.h"
#include "lessons/exercise_run.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "lessons/recording_start.h"
#include "music/staff_geometry.h"
#include "music/tune_state.h"
#include "frame/message_panel.h"
#include "store/recording_file.h"
#include "replay/replay_options_screen.h"
#include "replay/replay_sounds.h"
#include "replay/replay_state.h"
#include "replay/replay_tracks.h"
#include "replay/replay_view.h"
#include "sound/recording.h"

ReplayRunState replayRun;

namespace {

ReplayRunState &s = replayRun;

ReplayHooks hooks{};

// The last window start before the signal trace's position wraps.
constexpr int32_t replayPositionWrap = 13221808;
// One tick: 2048 samples at 44100 Hz, in ms.
constexpr double tickMs = 46.44;

void draw(const ReplayFrame &f)
{
    if (hooks.draw != nullptr) hooks.draw(f);
}

void restartClock()
{
    freeClockStart = hooks.elapsedMs();
    freeTickCount = 0;
}

int32_t msOfSamples(int64_t samples) { return roundToInt32(1000.0 * static_cast<double>(samples) / 44100.0); }

void setPart(int32_t index)
{
    s.partIndex = index;
    setCurrentExercisePart(index);
}

// The next part becomes current once the current one's last note is over.
void changePartIfDue()
{
    const ExercisePart &p = exerciseParts[s.partIndex];
    if (p.marker == lastPartMarker || s.partIndex + 1 >= exercisePartCount) return;
    if (currentPartLast < 0 || currentPartLast > lessonNoteCount) return;
    const TimedNote &last = lessonNotes[currentPartLast];
    const double end = last.startMs + last.durationMs + waitShiftMs - tickMs;
    if (end <= msOfSamples(samplesConsumed + 2048)) setPart(s.partIndex + 1);
}

void syncFromRater()
{
    const ReplayRater &r = replayRater();
    waitShiftMs = r.waitShiftMs;
    currentNoteRow = r.currentNoteRow;
    publishReplayTallies();
}

void advancePosition()
{
    samplesConsumed += 2048;
    s.replayPosition = s.replayPosition < replayPositionWrap ? s.replayPosition + 2048 : 0;
}

// The signal trace's window of the block.
void prepareTraceWindow()
{
    int32_t amplitude;
    int16_t dc;
    double sumAbs;
    preAnalyseWindow(s.replayPosition, amplitude, dc, sumAbs);
}

void resetReachedMarks()
{
    for (int32_t i = 0; i <= lessonNoteCount; ++i) lessonNotes[i].reachedMs = -1;
    for (int32_t i = 0; i <= lessonChordCount; ++i) lessonChords[i].reachedMs = -1;
    for (int32_t i = 0; i < beatRecordCount; ++i) beatRecords[i].reachedMark = -1;
}

void soundDueTracks()
{
    tickBeatClicks(audioClockMs, nextBeatRecord);
    tickMelodyVoice(audioClockMs, nextMelodyNote);
    tickChordAccompaniment(audioClockMs, nextChord);
}

// The sources stop and the schedule of their events goes with them: the
// capture clock belongs to the next capturing screen as it was before any
// replay (a resume sounds the due events and schedules the next ones anew).
void stopReplaySources()
{
    hooks.pauseRecording();
    stopReplayTrackSources();
    hooks.stopCapture();
    clearSoundEvents();
}

// The head of the recording the playback clears for the signal trace, kept
// to be put back when the replay is left: the recording stays the sung one
// for the export and the next replay.
int16_t recordingHead[analysisWindowLength];
bool recordingHeadCleared = false;

void clearRecordingHeadForTrace()
{
    if (!recordingHeadCleared) std::copy(recordingBuffer, recordingBuffer + analysisWindowLength, recordingHead);
    recordingHeadCleared = true;
    std::fill(recordingBuffer, recordingBuffer + analysisWindowLength, int16_t{0});
}

void restoreRecordingHead()
{
    if (recordingHeadCleared) std::copy(recordingHead, recordingHead + analysisWindowLength, recordingBuffer);
    recordingHeadCleared = false;
}

void leaveReplay()
{
    restoreRecordingHead();
    stopReplaySources();
    restartClock();
    hooks.focusQuit(false);
    s.progress = replayPreparation;
    returnToReplayOptions();
    currentScreen = replayOptionsScreenId;
}

// ---- The re-analysis ---------------------------------------------------

bool frozenRun = false; // the re-analysis is the frozen one (with its additions)

void reanalysedBlock(int32_t a, int32_t t)
{
    s.analysisBlock = a;
    ReplayRater &r = replayRater();
    waitShiftMs = r.waitShiftMs;
    currentNoteRow = r.currentNoteRow;
    nextMelodyNote = r.nextMelodyNote;
    if (frozenRun) {
        // The chord and click tracks follow the notes they mark.
        if (nextChord < lessonChordCount) {
            TimedNote &c = lessonChords[nextChord];
            if (c.reachedMs == -1 && c.startMs + waitShiftMs <= t) {
                c.reachedMs = t;
                ++nextChord;
            }
        }
        if (nextBeatRecord < beatRecordCount) {
            BeatRecord &b = beatRecords[nextBeatRecord];
            if (b.reachedMark == -1 && b.msTime + waitShiftMs <= t) {
                b.reachedMark = b.msTime + waitShiftMs;
                ++nextBeatRecord;
            }
        }
        advanceChordIfDue(r, t);
        prepareTraceWindow();
    }
    startScrollIfDueAt(t);
    advancePosition();
    changePartIfDue();
    advanceScrollAt(t);
    if (frozenRun) {
        ReplayFrame f{ReplayFrameKind::cursorRun};
        f.cursorBlock = a;
        draw(f);
    }
}

// The analysis from block 0 to lastBlock without the clock.
void reanalyse(int32_t lastBlock, bool frozen)
{
    recordingBlockIndex = lastBlock;
    resetReachedMarks();
    ReplayRater &r = replayRater();
    resetBlockRating(r);
    waitShiftMs = 0;
    nextMelodyNote = nextChord = nextBeatRecord = 0;
    samplesConsumed = 0;
    s.replayPosition = 0;
    setPart(0);
    resetReplayView();
    frozenRun = frozen;
    reanalyseUpToBlock(r, lastBlock, reanalysedBlock);
    frozenRun = false;
    syncFromRater();
    nextMelodyNote = r.nextMelodyNote;
    s.blockStartSample = static_cast<int32_t>(samplesConsumed);
    analysisTimeMs = audioClockMs = msOfSamples(samplesConsumed);
    s.frozenClockMs = analysisTimeMs;
    s.frozenNextNote = nextMelodyNote;
    s.frozenNextChord = nextChord;
    advanceScrollAt(analysisTimeMs);
    startScrollIfDueAt(analysisTimeMs);
}

// ---- States ------------------------------------------------------------

void preparation()
{
    alertKind = 0;
    std::string error;
    if (!hooks.loadRecording(error)) {
        // The options screen says why when it shows itself again.
        leaveReplay();
        return;
    }
    // Whatever another screen left on the music source never plays here.
    hooks.detachMusic();
    fillReplayBlockTracks(replayBlockCount, recordedSampleCount);
    reanalyse(replayBlockCount, false);
    s.analyseCursorReleased = false;
    hooks.focusQuit(true);
    restartClock();
    s.progress = replayWaitInitialisation;
}

void waitInitialisation()
{
    hooks.focusQuit(true);
    if (hooks.timerDelay() < 20) return;
    analysisTimeMs = 0;
    viewStartMs = viewOriginMs = 0;
    nextMelodyNote = nextChord = nextBeatRecord = 0;
    s.playbackSampleOffset = 0;
    melodySoundId = chordTrackSoundId = 0;
    samplesConsumed = 0;
    audioClockMs = 0;
    eventSyncMode = 0;
    resetReachedMarks();
    currentNoteRow = replayRater().currentNoteRow = replayRater().currentChordRow = 0;
    waitShiftMs = replayRater().waitShiftMs = 0;
    s.playing = 1;
    restartClock();
    recordingBlockIndex = 0;
    s.analyseCursorReleased = false;
    hooks.attachRecording(recordedSampleCount);
    s.countOffStartMs = freeClockStart;
    countInBeat = 0;
    s.countOffLength = roundToInt32(4 * msPerBeat / tickMs) - 3;
    s.countOffTick = -1;
    s.progress = countOffMode == 0 ? replayPlaying : replayPrepareBarCountOff;
    setScrollSpan(scoreViewPxPerMs);
    scrollOffsetMs = 0;
    s.running = false;
    s.blockStartSample = 0;
    s.resumeRequested = false;
}

void prepareBarCountOff()
{
    const ReplayRater &r = replayRater();
    s.saved = {recordingBlockIndex, audioClockMs,   nextBeatRecord, nextMelodyNote,    nextChord,
               analysisTimeMs,      viewStartMs,    viewOriginMs,   scrollStartMs,     r.currentNoteRow,
               r.currentChordRow,   waitShiftMs,    samplesConsumed, scrollGrowing,    scrollActive};
    waitShiftMs = 0;
    replayRater().tallies = ReplayTallies{};
    publishReplayTallies();
    setPart(0);
    draw({ReplayFrameKind::sheet});
    if (frameTime - s.countOffStartMs > 200) {
        s.countOffStartMs = frameTime;
        int32_t ticks;
        if (pickupLength != 0)
            ticks = roundToInt32(pickupLength * (msPerBeat / 16) / tickMs);
        else
            ticks = roundToInt32(16.0 * meterNumerator * (4 * (msPerBeat / 16) / meterDenominator) / tickMs);
        s.countOffLength = ticks - 1;
        s.countOffTick = -1;
        s.progress = replayBarCountOff;
    }
}

void playCountOffNote()
{
    if (assistanceVoice == 0) return;
    int32_t note;
    switch (countOffMode) {
    case 2: note = lessonNoteCount > 0 ? lessonNotes[0].noteIndex : 0; break; // the lesson's first note
    case 3: note = currentPartRefNote; break;
    case 4: note = currentPartStartNote; break;
    default: return;
    }
    playVoiceNote(assistanceVoice, note, ' ');
}

void barCountOff()
{
    ++s.countOffTick;
    if (s.countOffTick == 0) {
        nextSoundEventMs[0] = 0;
        s.countOffStartMs = frameTime;
        hooks.startCapture();
        tickCountInClicks(0, nextBeatRecord);
        playCountOffNote();
    } else if (hooks.actionQueued()) {
        hooks.runAction();
        if (s.progress != replayBarCountOff) return;
    } else {
        hooks.drainBlock();
        samplesConsumed += 2048;
        const double e = frameTime - s.countOffStartMs;
        const double t = std::nearbyint(e - std::trunc(e / msPerBeat) * msPerBeat);
        ReplayFrame f{ReplayFrameKind::countOff};
        f.countInFrame = static_cast<int32_t>(std::trunc(24 * t / msPerBeat));
        f.cursorBlock = recordingBlockIndex;
        draw(f);
    }
    if (s.countOffTick >= s.countOffLength) {
        stopClickAndMelody();
        setScrollSpan(scoreViewPxPerMs);
        eventSyncMode = 1;
        eventSyncOffset = audioClockMs;
        const ReplaySavedPlay &v = s.saved;
        ReplayRater &r = replayRater();
        recordingBlockIndex = v.recordingBlockIndex;
        samplesConsumed = v.samplesConsumed;
        audioClockMs = v.audioClockMs;
        nextBeatRecord = v.nextBeatRecord;
        nextMelodyNote = v.nextMelodyNote;
        nextChord = v.nextChord;
        analysisTimeMs = v.analysisTimeMs;
        viewStartMs = v.viewStartMs;
        viewOriginMs = v.viewOriginMs;
        scrollGrowing = v.scrollGrowing;
        scrollActive = v.scrollActive;
        scrollStartMs = v.scrollStartMs;
        currentNoteRow = r.currentNoteRow = v.currentNoteRow;
        r.currentChordRow = v.currentChordRow;
        waitShiftMs = r.waitShiftMs = v.waitShiftMs;
        for (int32_t i = 0; i < beatRecordCount; ++i) beatRecords[i].reachedMark = -1;
        nextBeatRecord = 0;
        s.running = false;
        s.progress = replayPlaying;
    }
}

void startPlayback()
{
    eventSyncMode = 0;
    s.running = true;
    analysisTimeMs = 0;
    nextMelodyNote = nextChord = nextBeatRecord = 0;
    waitShiftMs = 0;
    resetReplayView();
    ReplayRater &r = replayRater();
    resetBlockRating(r);
    currentNoteRow = r.currentNoteRow;
    publishReplayTallies();
    setPart(0);
    hooks.startCapture();
    s.resumeSampleOffset = 0;
    hooks.playRecording(0);
    s.playbackSampleOffset = 0;
    // Only the signal trace sees this silence: the voice is in the source's
    // buffer, and leaving the replay puts the head back.
    clearRecordingHeadForTrace();
    s.replayPosition = 0;
    restartCaptureCounters();
    s.blockStartSample = 0;
    soundDueTracks();
}

void resumePlayback()
{
    eventSyncMode = 0;
    s.resumeRequested = false;
    hooks.startCapture();
    hooks.playRecording(s.resumeSampleOffset);
    soundDueTracks();
}

// One block of the playback.
void playBlock()
{
    soundDueTracks();
    ReplayRater &r = replayRater();
    // The next block; its time; the note and chord changes; the scroll.
    if (++recordingBlockIndex > lastReplayBlock) stopProgram(0, stopReplayBlockIndex);
    const int32_t b = recordingBlockIndex;
    s.blockStartSample = static_cast<int32_t>(samplesConsumed);
    analysisTimeMs = msOfSamples(samplesConsumed);
    closeNoteIfDue(r, analysisTimeMs);
    advanceChordIfDue(r, analysisTimeMs);
    advanceScrollAt(audioClockMs);
    hooks.drainBlock();
    prepareTraceWindow();
    advancePosition();
    blockStaffHeight[b] = frequencyToStaffHeight(pitchSamples[b]);
    if (blockSkipWaitMarks[b]) r.hitStreak += 6;
    rateLiveBlock(r, b, analysisTimeMs);
    measureNoteLevels(r, analysisTimeMs, s.blockStartSample, blockLoudness[b], blockPeakOffset[b]);
    syncFromRater();
    buildBatonCurve(audioClockMs, scoreViewPxPerMs);
    ReplayFrame f{ReplayFrameKind::playing, audioClockMs, nextMelodyNote, nextChord, b};
    draw(f);
    startScrollIfDueAt(audioClockMs);
    if (recordingBlockIndex >= replayBlockCount) {
        leaveReplay();
        return;
    }
    changePartIfDue();
}

void replayState()
{
    if (!s.running) {
        startPlayback();
    } else if (s.resumeRequested) {
        resumePlayback();
    } else if (hooks.actionQueued()) {
        hooks.runAction();
    } else {
        playBlock();
    }
}

void drawFrozen()
{
    ReplayFrame f{ReplayFrameKind::frozen, s.frozenClockMs, s.frozenNextNote, s.frozenNextChord, recordingBlockIndex};
    draw(f);
}

void freeze()
{
    if (hooks.actionQueued()) {
        hooks.runAction();
        if (s.progress != replayFreeze) return;
    }
    if (!s.analyseCursorReleased) {
        drawFrozen();
        return;
    }
    s.analyseCursorReleased = false;
    const int32_t position = std::clamp(hooks.cursorPosition(), 0, analyseCursorSpan);
    const int32_t target = std::min(roundToInt32(double(replayBlockCount) * position / analyseCursorSpan), lastReplayBlock);
    reanalyse(target, true);
    buildBatonCurve(audioClockMs, scoreViewPxPerMs);
    drawFrozen();
}

void resume()
{
    s.resumeSampleOffset = s.playbackSampleOffset = recordingBlockIndex * 2048;
    audioClockMs = replayBlockTimeMs(recordingBlockIndex);
    s.playing = 1;
    s.resumeRequested = true;
    s.progress = replayPlaying;
}

// Pause, and the analyse cursor taken while playing.
void pausePlayback()
{
    s.playing = 0;
    stopReplaySources();
    s.frozenClockMs = audioClockMs;
    s.frozenNextNote = nextMelodyNote;
    s.frozenNextChord = nextChord;
    restartClock();
    s.progress = replayFreeze;
}

void playingAction(int32_t code)
{
    const bool countOff = s.progress == replayBarCountOff;
    switch (code) {
    case replayQuitAction: leaveReplay(); break;
    case replayPauseAction:
    case replayCursorPressAction:
    case replayCursorReleaseAction:
        if (countOff) break;
        if (s.playing != 1)
            stopProgram(0, code == replayPauseAction       ? stopReplayPauseNotPlaying
                           : code == replayCursorPressAction ? stopReplayCursorPressNotPlaying
                                                             : stopReplayCursorReleaseNotPlaying);
        pausePlayback();
        break;
    default: break;
    }
}

void frozenAction(int32_t code)
{
    switch (code) {
    case replayQuitAction: leaveReplay(); break;
    case replayPauseAction:
        if (s.playing == 1) stopProgram(0, stopReplayResumeWhilePlaying);
        s.playing = 1;
        s.progress = replayResume;
        break;
    case replayCursorPressAction: {
        ReplayFrame f{ReplayFrameKind::cursorDrag};
        f.cursorBlock = std::clamp(roundToInt32(double(replayBlockCount) * hooks.cursorPosition() / analyseCursorSpan), 0,
                                   std::max(replayBlockCount, 0));
        draw(f);
        break;
    }
    case replayCursorReleaseAction:
        if (s.playing == 1) stopProgram(0, stopReplayCursorReleaseWhilePlaying);
        s.analyseCursorReleased = true;
        break;
    default: break;
    }
}

constexpr const char *progressNames[] = {"preparation", "prepareBarCountOff", "BarCountOff", "animation1",
                                         "ExercisePart1", nullptr, "waitReplayInitialisation", "Replay",
                                         "Freeze", "ResumeReplay", nullptr, nullptr, "finish"};

} // namespace

const char *replayProgressName(int32_t value)
{
    if (value < 0 || value >= static_cast<int32_t>(std::size(progressNames))) return nullptr;
    return progressNames[value];
}

void setReplayHooks(const ReplayHooks &h) { hooks = h; }
const ReplayHooks &replayHooks() { return hooks; }

void resetReplayPlayPosition()
{
    analysisTimeMs = 0;
    viewStartMs = viewOriginMs = 0;
    nextMelodyNote = nextChord = nextBeatRecord = 0;
    waitShiftMs = 0;
    replayRun.playbackSampleOffset = 0;
}

void setUpReplayRun()
{
    s = ReplayRunState{};
    resetReplayPlayPosition();
    resetReplayView();
    recordingBlockIndex = -1;
}

bool replayInputActive()
{
    return s.progress == replayBarCountOff || s.progress == replayPlaying || s.progress == replayFreeze;
}

void replayAction(int32_t code)
{
    if (s.progress == replayFreeze)
        frozenAction(code);
    else if (s.progress == replayBarCountOff || s.progress == replayPlaying)
        playingAction(code);
}

void runReplayFrame()
{
    const char *name = replayProgressName(s.progress);
    if (name == nullptr) {
        progressName = "unknown replayprogress " + std::to_string(s.progress);
        stopProgram(0, stopReplayUnknownProgress);
    }
    progressName = name;
    const bool fullWork = (s.progress == replayPlaying && !s.running) || !shortenedTick || eventSyncMode;
    if (!fullWork) {
        // An early tick for a sound event: only the tracks.
        if (s.progress == replayBarCountOff && s.countOffTick >= 0) {
            tickCountInClicks(audioClockMs, nextBeatRecord);
        } else if (s.progress == replayPlaying || s.progress == replayResume) {
            soundDueTracks();
            if (hooks.actionQueued()) hooks.runAction();
        }
        return;
    }
    switch (s.progress) {
    case replayPreparation: preparation(); break;
    case replayPrepareBarCountOff: prepareBarCountOff(); break;
    case replayBarCountOff: barCountOff(); break;
    case replayWaitInitialisation: waitInitialisation(); break;
    case replayPlaying: replayState(); break;
    case replayFreeze: freeze(); break;
    case replayResume: resume(); break;
    default: stopProgram(0, stopReplayNoHandler);
    }
}
