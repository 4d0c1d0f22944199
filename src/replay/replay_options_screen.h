// Screen 577, the replay options: how the last exercise is replayed (count-off,
// pitch sensitivity and beat accuracy, melody voice, clicks, chords,
// accompaniment, the score view's graphs), and from here the replay (578), the
// WAV export of the recording, the lesson menu (6) or the lesson again (11).
//
// Entered from the score overview's Replay action through the screen's entry
// procedure (setUpReplayOptions, then the first-show mark); the replay
// returns here through returnToReplayOptions.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers replayOptionsScreenHandlers;

// Builds the screen for currentLesson (1..556; stop 9001 otherwise): copies the
// lesson's replay defaults into the option globals, sets the sound options to
// off and creates the controls.
void setUpReplayOptions();
constexpr int32_t stopReplayOptionsLesson = 9001;

// The replay is left: the screen shows again from its entry frame (without
// the first-show mark, so it stays on the options).
void returnToReplayOptions();

// The replay defaults of a lesson's option row: the fields the replay options
// copy. Read through replayDefaultsForLesson.
struct ReplayOptionDefaults {
    int32_t referenceMode = 0;
    int32_t assistanceVoice = 0;
    uint8_t rhythmKick = 0;
    uint8_t blindExercise = 0;
    int32_t pitchSensitivity = 50;
    int32_t beatAccuracy = 12;
    // Pitch progression, Pitch with AmplitudeEnvelope, Amplitude Progression,
    // OnBeat Hints, Counting Hints, Scope, BrimbleTheCat.
    std::array<uint8_t, 7> displayFlags{};
};
ReplayOptionDefaults replayDefaultsForLesson(int32_t lesson);

// The controls, in the screen's hit-test order.
enum ReplayOptionsControl : int32_t {
    roReplay, roRhythmKick, roBlindExercise, roCountOff, roSongPartVoice, roGuitarChords,
    roPitchSensitivity, roBeatAccuracy,
    roPitchProgression, roPitchWithAmplitude, roAmplitudeProgression, roOnBeatHints, roCountingHints,
    roScope, roTeacher,
    roTextDisplay, roBeatClicks, roAccompaniment, roChangeLesson, roRepeatLesson, roExport,
    replayOptionsControlCount
};

// The field ids of the two text fields.
constexpr int32_t pitchSensitivityFieldId = 3;
constexpr int32_t beatAccuracyFieldId = 4;

// Screen state, for tests.
struct ReplayOptionsState {
    int32_t phase = 0;        // 0 first display of an entry to come, 1 shown
    int32_t frameCounter = 0; // 0..189
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    int32_t font = 2;
    // Set by the road that opens the screen; its first frame then goes
    // straight on to the replay unless alwaysShowOptions() is set.
    uint8_t firstShow = 0;
    std::string exportPath;   // a chosen file that exists, waiting for the confirmation
    ControlRecord controls[replayOptionsControlCount];
};
extern ReplayOptionsState replayOptions;

// What tests replace.
struct ReplayOptionsHooks {
    std::string (*chooseSaveFile)(const std::string &folder); // the save dialog
};
const ReplayOptionsHooks &realReplayOptionsHooks();
void setReplayOptionsHooks(const ReplayOptionsHooks &hooks);

// Key that confirms overwriting an existing file in the export's question.
constexpr unsigned char confirmOverwriteKey = 'y';

// The end-of-editing check of the two fields: the text the field shows
// afterwards, the value taken and the second message line.
struct FieldCheck {
    std::string text;
    int32_t value;
    std::string message;
};
FieldCheck checkPitchSensitivity(const std::string &typed); // empty 10; 1..500, else 50
FieldCheck checkBeatAccuracy(const std::string &typed);     // empty 12; -20..20, else 12
