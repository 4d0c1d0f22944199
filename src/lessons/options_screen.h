// Screen 12, the exercise options. Its first frame (state 0) decides whether
// the lesson needs the options dialog; most lessons go straight on to their
// exercise screen. The dialog is the note choice of lesson 2 ("Lesson1"),
// whatever lesson opened it: the user clicks note keys C2..C6, each added
// note is checked at once (the note sounds, the user sings it back, the end
// of the answer must hold the note), and Go stores the chosen notes as
// lesson 2's result, seeds lesson 3 with them and returns to the lesson menu
// with lesson 3 as the current lesson. The dialog never starts an exercise.
//
#pragma once
#include <string>
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"
#include "frame/text.h"
#include "lessons/note_check.h"
#include "store/store_records.h"
#include "sound/recording.h"

extern const ScreenHandlers exerciseOptionsScreenHandlers;

// The screen's states (2..4 the check).
enum OptionsState : int32_t {
    optionsEntry = 0,
    optionsDialog = 1,
    optionsListen = 2,
    optionsSing = 3,
    optionsVerdict = 4,
};

// Every lesson opens the dialog (and the replay options always show) while
// it is set; nothing in the program sets it, so it stays false.
bool alwaysShowOptions();
void setAlwaysShowOptions(bool always);

// Sends the screen back to its entry state, so its next frame decides again
// (an exercise started from elsewhere).
void enterOptionsScreenAtEntry();

// Action codes.
constexpr int32_t optionsGoAction = 27;
constexpr int32_t optionsExitAction = 50;
constexpr int32_t optionsTrainingModeAction = 58;
constexpr int32_t optionsChangeLessonAction = 59;

// Stops of the screen.
constexpr int32_t stopNoteKeyIndex = 7753;     // a note outside 3..51 for a key
constexpr int32_t stopCheckClipBuffers = 7763; // the clip buffers cannot be made
constexpr int32_t stopCheckClipFile = 7764;    // a clip cannot be loaded
constexpr int32_t stopNoteNotChosen = 7772;    // a note to remove is not in the list

constexpr int32_t noteKeyControls = 52; // 4 rows of 13
constexpr int32_t checkBlocks = 59;      // blocks 0..58 of an answer
constexpr int32_t checkArraySize = 120;  // entries cleared before an answer

// The check's clips, in the order of checkClipFiles.
enum CheckClip : int32_t { clipTryAgain = 0, clipGood = 1, clipTarnova = 2, clipPlease = 3 };
extern const char *const checkClipFiles[4];

// The screen's state, for tests.
struct OptionsScreenState {
    int32_t state = optionsEntry; // an OptionsState
    int32_t frameCount = -1;      // frames in the state; -1 right after a change
    int32_t font = font9By15;     // bitmap font of the screen's texts
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord goButton;
    ControlRecord trainingModeToggle;
    // Row r (0..3, from the bottom), column j (0..12): key 13 r + j. Column
    // 12 holds the next C (the second keys of C3, C4, C5 and the key of C6).
    ControlRecord noteKeys[noteKeyControls];
    ControlRecord exitButton;
    ControlRecord changeLessonButton;

    // The chosen notes in the order chosen, entries 1..18 (74 empty).
    int32_t chosenNotes[maxChosenNotes + 1] = {};
    int32_t chosenNoteCount = 0;
    bool noteKeyChosen[52] = {}; // by note index 3..51
    int32_t checkNote = 27;
    double targetHz = 0.0;
    int32_t liveBandCents = 50;
    bool checkPassed = false;
    // The note under check stands last in the list until its verdict; Go
    // and the stored choice leave it out while this is set.
    bool checkOpen = false;
    LessonBlock optionsLessonBlock{};
    LessonBlock nextLessonBlock{};

    // The answer of the check, per block.
    double checkBlockPitch[checkArraySize] = {};
    double checkBlockHeight[checkArraySize] = {};
    int32_t checkBlockRating[checkArraySize] = {};
    int32_t captureWritePos = 2048;
    PitchTracker tracker; // the screen's own analysis state
};
extern OptionsScreenState optionsScreen;

// The dialog's controls in their order (Go, the toggle, the keys, Exit,
// ChangeLesson); with `keys` false the keys are not drawn, only the GL state
// their drawing leaves is set (their pixels were copied back).
void drawOptionsDialogControls(bool keys);
// What decides the keys' pixels; empty when they cannot be kept.
std::string optionsKeysSignature();

// What the screen calls outside itself, so tests can replace it. Any entry
// may be nullptr (nothing happens; readBlock: silence).
struct OptionsScreenHooks {
    void (*startExercise)() = nullptr;   // startExerciseScreen
    void (*restartClock)() = nullptr;    // the 46.44 ms grid starts again
    void (*focusGoButton)() = nullptr;   // the keyboard focus goes to Go
    // The check's sound: the clips are loaded by the first check of a visit
    // and released when the dialog is left.
    void (*loadCheckClips)() = nullptr;
    void (*releaseCheckClips)() = nullptr;
    void (*playClip)(int32_t clip) = nullptr; // on the teacher source, stopped first
    void (*stopTeacherSource)() = nullptr;
    // The capture: startCapture starts a recording on new sound; readBlock
    // waits for 2048 samples while the capture keeps up with real time (after
    // a stop it takes what is there, then silence).
    void (*startCapture)() = nullptr;
    void (*stopCapture)() = nullptr;
    bool (*captureRunning)() = nullptr;
    void (*readBlock)(int16_t *block) = nullptr;
    // The answer's capture fell behind real time: the check ends unjudged.
    bool (*captureFellBehind)() = nullptr;
    // Draws a frame of state 1..4 at its frame count (GL); nullptr draws nothing.
    void (*draw)(int32_t state, int32_t frame) = nullptr;
};
const OptionsScreenHooks &realOptionsScreenHooks();
void setOptionsScreenHooks(const OptionsScreenHooks &hooks);

// The set-up's part (setUpExerciseOptions): the note selection emptied, one
// preselected note, the controls, and the screen at its entry state.
void resetNoteSelection();
void preselectNote(int32_t note);
void createOptionsControls();

// The key of a note and the note of a key (0..51 as in noteKeys).
int32_t noteOfKey(int32_t key);
// Whether key k is drawn and reached: every key but the second keys of C3,
// C4 and C5 (12, 25, 38), so that each note C2..C6 has one key.
bool noteKeyShown(int32_t key);
// Key values: 0 while the note is chosen; any note outside 3..51 is stop 7753.
void setNoteKeyChosen(int32_t note);
void clearNoteKeyChosen(int32_t note);
// Go: stores the choice as lesson 2's result and seeds lesson 3.
void optionsGo();

