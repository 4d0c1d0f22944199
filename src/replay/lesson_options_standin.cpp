// STAND-IN, replaced at the merge with the lesson option defaults (see the
// header): defines the option globals and name tables, and answers every
// lesson with the default row of the defaults table.
#include "replay/lesson_options_standin.h"

#include "replay/replay_options_screen.h"

int32_t referenceMode = 0;
int32_t assistanceVoice = 1;
uint8_t rhythmKick = 0;
uint8_t blindExercise = 0;
int32_t countOffMode = 0;
int32_t pitchSensitivity = 50;
uint8_t showPitchProgression = 1;
uint8_t showPitchWithAmplitude = 1;
uint8_t showAmplitudeProgression = 1;
uint8_t showOnBeatHints = 1;
uint8_t showCountingHints = 1;
uint8_t showScope = 1;
uint8_t showTeacher = 1;
int32_t songPartVoice = 1;
int32_t clickMode = 3;
uint8_t playAccompaniment = 1;
uint8_t alwaysShowOptions = 0;

const std::string assistanceVoiceNames[5] = {"mute", "flute", "male", "sinus", "female"};
const std::string countOffModeNames[5] = {"NoCountOff", "CountOffOn", "withFirstNote", "withRefNote",
                                          "withRandomNote"};
const std::string clickModeNames[6] = {"noClicks", "beatClicks", "halfbeatClicks", "quarterbeatClicks",
                                       "RhythmClick", "RhythmClickVoice"};
ReplayOptionDefaults replayDefaultsForLesson(int32_t lesson)
{
    (void)lesson;
    ReplayOptionDefaults d;
    d.referenceMode = 0;
    d.assistanceVoice = 2;
    d.rhythmKick = 1;
    d.blindExercise = 0;
    d.pitchSensitivity = 50;
    d.beatAccuracy = 12;
    d.displayFlags = {1, 0, 1, 1, 1, 1, 1};
    return d;
}
