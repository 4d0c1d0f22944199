// STAND-IN, replaced when the lesson option defaults arrive: the option
// globals and name tables that the lesson option defaults own, declared here
// so the replay options can be built and tested before that module exists.
// At the merge this header becomes an include of the option defaults' header
// (lessons/lesson_options.h), and lesson_options_standin.cpp keeps only
// replayDefaultsForLesson, rewritten to read lessonOptionsTable.
#pragma once
#include <cstdint>
#include <string>

// Option globals (the values at program start are set in the .cpp).
extern int32_t referenceMode;   // 0..7, referenceModeNames
extern int32_t assistanceVoice; // 0..4, assistanceVoiceNames
extern uint8_t rhythmKick;
extern uint8_t blindExercise;
extern int32_t countOffMode;    // 0..4, countOffModeNames
extern int32_t pitchSensitivity; // cents
extern uint8_t showPitchProgression;
extern uint8_t showPitchWithAmplitude;
extern uint8_t showAmplitudeProgression;
extern uint8_t showOnBeatHints;
extern uint8_t showCountingHints;
extern uint8_t showScope;
extern uint8_t showTeacher;
extern int32_t songPartVoice;   // 0..4, assistanceVoiceNames
extern int32_t clickMode;       // 0..5, clickModeNames
extern uint8_t playAccompaniment;
extern uint8_t alwaysShowOptions; // the options screens show their dialog on every entry

extern const std::string assistanceVoiceNames[5];
extern const std::string countOffModeNames[5];
extern const std::string clickModeNames[6];
