// Default exercise options of every lesson and the option globals the
// exercise run, the lesson loader, the replay and the score view read.
//
// lessonOptionsTable holds one constant row per lesson index 1..557 (row 0 is
// the default row and is never read). setUpExerciseOptions copies a selection
// of the current lesson's row into the globals before a lesson starts and
// whenever a screen hands control back to the lesson menu.
#pragma once
#include <array>
#include <cstdint>

struct LessonOptions {
    int32_t referenceMode;       // index into referenceModeNames
    int32_t assistanceVoice;     // index into assistanceVoiceNames
    uint8_t rhythmKick;          // the teacher kicks the baton at each new note
    uint8_t blindExercise;       // the replay view shows no notes
    int32_t countOffMode;        // index into countOffModeNames
    int32_t tempo;               // beats per minute
    int32_t pitchSensitivity;    // cents, half-width of a note's pitch band
    int32_t beatAccuracy;        // units of 10 ms
    uint8_t showPitchProgression;
    uint8_t showPitchWithAmplitude;
    uint8_t showAmplitudeProgression;
    uint8_t showOnBeatHints;
    uint8_t showCountingHints;
    uint8_t showScope;
    uint8_t showTeacher;
    int32_t songPartVoice;       // index into assistanceVoiceNames
    int32_t clickMode;           // index into clickModeNames
    uint8_t playAccompaniment;
};

constexpr int32_t firstOptionsLesson = 1;
constexpr int32_t lastOptionsLesson = 557;

// Indexed by lesson index 1..557.
extern const std::array<LessonOptions, lastOptionsLesson + 1> lessonOptionsTable;

inline constexpr const char *referenceModeNames[8] = {
    "NoNote", "WholePart", "FirstNoteOnly", "referenceNote",
    "randomRefNote", "LastNoteOnly", "relUpRefNote", "relDownRefNote"};
inline constexpr const char *assistanceVoiceNames[5] = {"mute", "flute", "male", "sinus", "female"};
inline constexpr const char *countOffModeNames[5] = {"NoCountOff", "CountOffOn", "withFirstNote",
                                                     "withRefNote", "withRandomNote"};
inline constexpr const char *clickModeNames[6] = {"noClicks", "beatClicks", "halfbeatClicks",
                                                  "quarterbeatClicks", "RhythmClick", "RhythmClickVoice"};
// The note-label names are noteLabelModeNames in music/note_labels.h.

// The option globals (their values before any set-up in the comments).
// lessonTempo is the tune reader's (music/tune_state.h), beatAccuracy the
// lesson state's (lessons/lesson_state.h).
extern int32_t referenceMode;          // 0
extern int32_t assistanceVoice;        // 1
extern uint8_t rhythmKick;             // 0
extern uint8_t blindExercise;          // 0
extern int32_t countOffMode;           // 0
extern int32_t pitchSensitivity;       // 50
extern uint8_t showPitchProgression;   // the seven display flags: 1
extern uint8_t showPitchWithAmplitude;
extern uint8_t showAmplitudeProgression;
extern uint8_t showOnBeatHints;
extern uint8_t showCountingHints;
extern uint8_t showScope;
extern uint8_t showTeacher;
extern int32_t songPartVoice;          // 1
extern int32_t clickMode;              // 3
extern uint8_t playAccompaniment;      // 1

// Stop of the set-up: a lesson index outside 1..557.
constexpr int32_t stopOptionsLessonOutOfRange = 7751;

// The options screen's note selection (options_screen.h): the set-up resets
// the selection, preselects each stored note of lesson 2's block in slot
// order (notes 3..51 only, a note stored twice is offered twice) and then
// has the screen's controls created. Tests replace them; any entry may be
// nullptr (nothing happens).
struct NoteSelectionHooks {
    void (*resetNoteSelection)();        // no note chosen, count 0
    void (*preselectNote)(int32_t note); // chooses one more note
    void (*createOptionsControls)();     // the options screen's controls
};
void setNoteSelectionHooks(const NoteSelectionHooks &hooks);
const NoteSelectionHooks &noteSelectionHooks();
const NoteSelectionHooks &realNoteSelectionHooks();

// Copies the current lesson's options into the globals, then resets and
// preselects the options screen's notes from the user's lesson-2 block and
// opens that screen at its entry state. Reads currentLesson and
// currentUserKey.
void setUpExerciseOptions();

// The screen that runs lesson 1..557 itself: the introduction for lesson 1,
// then screen lesson + lessonScreenOffset (the inert lesson-one screen for
// 2, the exercise screens for 3..556, the screen after the last lesson for
// 557).
int32_t lessonScreenFor(int32_t lesson);

// The way into the current lesson through its options: they are set up and
// the options screen is next; a lesson outside 1..557 has no options and
// goes back to the lesson menu.
void openLessonOptions();
