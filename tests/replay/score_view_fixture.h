// A lesson on the score view without a window: tunes read through the tune
// reader into the loaded lesson, the view's scale set as the loader sets it,
// the replay's state at the start of a replay, and pictures recorded by their
// pack and number (Images7 picture p as texture 7000 + p, Images6 as 6000 + p).
#pragma once
#include <string>

#include "common/recording_draw.h"
#include "lessons/exercise_parts.h"
#include "lessons/lesson_fixture.h"
#include "lessons/lesson_options.h"
#include "replay/replay_state.h"
#include "replay/replay_view.h"
#include "replay/score_view.h"
#include "frame/timer.h"
#include "lessons/exercise_drawing.h"

#include <cmath>

inline uint32_t testImages6(int32_t p) { return 6000 + p; }
inline uint32_t testImages7(int32_t p) { return 7000 + p; }

// The replay's state before its first block, the display options off.
inline void resetScoreViewWorld()
{
    setScoreViewHooks({.images6 = testImages6, .images7 = testImages7, .signalTrace = nullptr});
    resetReplayView();
    currentNoteRow = 0;
    waitShiftMs = 0;
    analysisTimeMs = 0;
    audioClockMs = 0;
    recordingBlockIndex = -1;
    nextMelodyNote = 0;
    countInBeat = 0;
    noteLabelMode = 0;
    blindExercise = 0;
    showPitchProgression = showPitchWithAmplitude = showAmplitudeProgression = 0;
    showOnBeatHints = showCountingHints = showTeacher = rhythmKick = 0;
    pitchHitCount = onBeatScore = noteOkCount = loudnessOkCount = 0;
    currentPartFirst = -1;
    currentPartLast = -1;
    beatAccuracy = 12;
    lessonChordCount = 0;
    lessonChords[0] = TimedNote{};
    lessonScreenFont = 2;
    tuneTitle = tuneComposer = tuneSource = "";
    currentUserTessitura = 0; // tunes read as written
}

// The view's scale as the loader sets it for the loaded tempo (its own
// routine, so the views drawn here follow any change of it).
inline void setScoreScale(double speedFactor = 1.0)
{
    setScoreViewScale(speedFactor);
    setScrollSpan(scoreViewPxPerMs);
}

// Reads a melody (and chords, when given) and resets the replay's state.
inline void loadScoreTune(const std::string &melody, const std::string &chords = "")
{
    resetScoreViewWorld();
    loadMelody(melody);
    if (!chords.empty()) {
        loadChords(chords);
    } else { // no chords; the counting grid still gets its times
        lessonChordCount = 0;
        abcChords[0] = AbcNoteRecord{};
        buildTimedChords();
    }
    for (int32_t i = 0; i <= lessonNoteCount; ++i) lessonNotes[i].reachedMs = -1;
    setScoreScale();
}

// Marks notes 0..last reached at their scheduled times and makes note
// `last` the one in progress at time t (the replay's state while it plays).
inline void playUpTo(int32_t last, int32_t t)
{
    for (int32_t i = 0; i <= last; ++i) lessonNotes[i].reachedMs = lessonNotes[i].startMs + waitShiftMs;
    currentNoteRow = last;
    nextMelodyNote = last + 1;
    audioClockMs = analysisTimeMs = t;
    for (int32_t b = 0; b < beatRecordCount; ++b)
        beatRecords[b].reachedMark = beatRecords[b].msTime <= t ? beatRecords[b].msTime + waitShiftMs : -1;
}
