// Screen 12: the entry decision, the note choice with its sung-note check,
// and the dialog's controls and input. The drawing is options_drawing.cpp.
#include "lessons/options_screen.h"

#include <AL/al.h>
#include <GL/freeglut.h>
#include <algorithm>
#include <cstring>
#include <string>

#include "base/shared.h"
#include "base/stops.h"
#include "frame/capture.h"
#include "frame/control_drawing.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/text.h"
#include "frame/timer.h"
#include "lessons/exercise_screen.h"
#include "lessons/lesson_menu_alert.h"
#include "lessons/lesson_one_screen.h"
#include "lessons/lesson_state.h"
#include "lessons/options_drawing.h"
#include "lessons/recording_start.h"
#include "music/note_voices.h"
#include "music/notes.h"
#include "music/staff_geometry.h"
#include "music/voice_sequencer.h"
#include "platform/paths.h"
#include "store/user_actions.h"
#include "store/store_io.h"
#include "store/users_file.h"
#include "sound/pitch_detector.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

OptionsScreenState optionsScreen;
static bool alwaysShowOptionsSet = false;

bool alwaysShowOptions() { return alwaysShowOptionsSet; }
void setAlwaysShowOptions(bool always) { alwaysShowOptionsSet = always; }

// The release action of the note key of note n (dialog state only): adds the
// note and starts its check, or removes it.
static void toggleChosenNote(int32_t note);
// One frame of states dialog..verdict after the pending action ran (the state
// the frame began in): the check's steps, the drawing, the voice sequencer
// and the frame count.
static void runOptionsFrame(int32_t state);
// The user's lesson-2 block is done (its eight notes were stored by Go): the
// entry decision of lessons 3..256. Eight notes without Go do not count, as
// every verdict stores the list so far.
static bool lessonTwoDone(int32_t userKey);

const char *const checkClipFiles[4] = {"BrimbleTryAgainAppleVoice.ogg", "BrimbleGoodAppleVoice.wav",
                                       "BrimbleTarnova.wav", "BrimblePlease.wav"};

namespace {

OptionsScreenState &s = optionsScreen;
constexpr int32_t emptyNote = 74;
constexpr int32_t lessonTwoBlock = 0;   // the dialog's choice is lesson 2's result
constexpr int32_t lessonThreeBlock = 1; // which Go seeds

// ---- Real hooks -------------------------------------------------------------

ALuint clipBuffers[6];
bool clipsLoaded = false;

void loadCheckClips()
{
    // Made by the first check of a visit, released when the dialog is left.
    if (clipsLoaded) return;
    alGetError();
    alGenBuffers(6, clipBuffers);
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopCheckClipBuffers);
    for (int32_t i = 0; i < 4; ++i) {
        const std::string path = soundsDir + checkClipFiles[i];
        if (!fileExists(resolveDataPath(path))) stopProgram(0, stopCheckClipFile);
        const bool ok = i == clipTryAgain ? loadOggIntoBuffer(path, clipBuffers[i]) : loadWavIntoBuffer(path, clipBuffers[i]);
        if (!ok) stopProgram(0, stopCheckClipFile);
    }
    clipsLoaded = true;
}

void releaseCheckClips()
{
    if (!clipsLoaded) return;
    stopSource(soundSources[teacherSource]);
    alGetError();
    alSourcei(soundSources[teacherSource], AL_BUFFER, 0);
    alDeleteBuffers(6, clipBuffers);
    alGetError(); // a failed delete only keeps the small clips
    clipsLoaded = false;
}

void playClip(int32_t clip)
{
    stopSource(soundSources[teacherSource]);
    playBufferOnSource(soundSources[teacherSource], clipBuffers[clip]);
}

const OptionsScreenHooks realHooks = {
    .startExercise = startExerciseScreen,
    .restartClock = restartFreeGrid,
    .focusGoButton = [] { setKeyboardFocus(&optionsScreen.goButton); },
    .loadCheckClips = loadCheckClips,
    .releaseCheckClips = releaseCheckClips,
    .playClip = playClip,
    .stopTeacherSource = [] { stopSource(soundSources[teacherSource]); },
    .startCapture = startCapture,
    .stopCapture = stopCapture,
    .captureRunning = [] { return captureRunning != 0; },
    .readBlock = readCaptureBlockOrRest,
    .captureFellBehind = captureFellBehind,
    .draw = drawOptionsFrame,
};
OptionsScreenHooks hooks = realHooks;

void call(void (*f)())
{
    if (f) f();
}
bool captureIsRunning() { return hooks.captureRunning && hooks.captureRunning(); }

// ---- Controls and input -----------------------------------------------------

// Release code of key k (row r = k / 13, column j = k % 13).
int32_t keyReleaseCode(int32_t k)
{
    const int32_t r = k / 13, j = k % 13;
    if (j < 12) return 70 + 20 * r + j;
    return r == 3 ? 150 : 151 + r;
}

std::string keyReleaseHints[noteKeyControls];
std::string keyClickHints[noteKeyControls];

// Full test order (state 1): Go, the toggle, the keys of rows 0..3 (C..B),
// the C6 key, Exit, ChangeLesson.
TemplateControl dialogControls[2 + noteKeyControls + 2];
// During the check only Go, Exit and ChangeLesson.
TemplateControl checkControls[3];

void optionsAction(int32_t code);

ScreenInput dialogInput = {
    .controls = dialogControls,
    .controlCount = 2 + noteKeyControls + 2,
    .pending = &optionsScreen.pendingAction,
    .deferred = &optionsScreen.deferredAction,
    .phase = nullptr, // the screen's handlers check its states themselves
    .frameCounter = &optionsScreen.frameCount,
    .keyHelp = {"Click \"Go\" or hit <Return>", "to start exercise", "or \"Quit\" to return"},
    .returnHelp = {"Click \"Go\"", "to start exercise", "or \"Quit\" to return"},
    .action = optionsAction,
};
ScreenInput checkInput = {
    .controls = checkControls,
    .controlCount = 3,
    .pending = &optionsScreen.pendingAction,
    .deferred = &optionsScreen.deferredAction,
    .phase = nullptr,
    .frameCounter = &optionsScreen.frameCount,
    .keyHelp = {"Click \"Go\" or hit <Return>", "to start exercise", "or \"Quit\" to return"},
    .returnHelp = {"Click \"Go\"", "to start exercise", "or \"Quit\" to return"},
    .action = optionsAction,
};

bool dialogRunning() { return s.state >= optionsDialog && s.state <= optionsVerdict; }
const ScreenInput &activeInput() { return s.state == optionsDialog ? dialogInput : checkInput; }

void buildControlTable()
{
    static bool built = false;
    if (built) return;
    built = true;
    int32_t i = 0;
    dialogControls[i++] = {&s.goButton, 0, 0, optionsGoAction, 0,
                           "Release Button to start the exercice with the selected options",
                           "Click to start the exercice with the selected options", optionsGoAction};
    dialogControls[i++] = {&s.trainingModeToggle, 0, 0, optionsTrainingModeAction, 0,
                           "Release Button to activate trainingsmode options", "Click to activate trainingsmode options", 0};
    // Rows 0..3 (C..B), then the C6 key, then the second keys of C3, C4, C5.
    const int32_t order[noteKeyControls] = {
        0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
        23, 24, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 39, 40, 41, 42, 43, 44, 45, 46,
        47, 48, 49, 50, 51, 12, 25, 38};
    // The C6 key (51) comes before the second keys (12, 25, 38).
    int32_t ordered[noteKeyControls];
    int32_t n = 0;
    for (int32_t k : order)
        if (k % 13 != 12) ordered[n++] = k;
    ordered[n++] = 51;
    // One key per note: the second keys of C3, C4 and C5 (12, 25, 38, at the
    // ends of rows 0..2) are neither drawn nor reached; each of those notes
    // has its key at the start of the row above.
    for (int32_t k : ordered) {
        if (!noteKeyShown(k)) continue;
        const std::string name = keyNoteName(noteOfKey(k));
        keyClickHints[k] = (k == 12 ? "CClick to include/exclude the note " : "Click to include/exclude the note ") + name;
        keyReleaseHints[k] = "Release Button to include/exclude the note " + name;
        dialogControls[i++] = {&s.noteKeys[k], 0, 0, keyReleaseCode(k), 0, keyReleaseHints[k].c_str(),
                               keyClickHints[k].c_str(), 0};
    }
    dialogControls[i++] = {&s.exitButton, 0, 0, optionsExitAction, 0, "Release Button to exit the program",
                           "Click to exit the program", 0};
    dialogControls[i++] = {&s.changeLessonButton, 0, 0, optionsChangeLessonAction, 0,
                           "Release Button to return to the select lesson menu",
                           "Click to return to the select lesson menu", 0};
    dialogInput.controlCount = i;
    checkControls[0] = dialogControls[0];
    checkControls[1] = dialogControls[i - 2];
    checkControls[2] = dialogControls[i - 1];
}

void optionsKeyboard(unsigned char key, int x, int y)
{
    if (alertShown() || dialogRunning()) templateKeyboard(activeInput(), key, x, y);
    else clearAlertLines();
}
void optionsSpecialKey(int, int, int) {} // the screen has no text field
void optionsMouse(int button, int state, int x, int y)
{
    if (dialogRunning()) templateMouse(activeInput(), button, state, x, y);
}
void optionsMotion(int x, int y)
{
    if (dialogRunning()) templateMotion(activeInput(), x, y);
}
void optionsPassiveMotion(int x, int y)
{
    if (dialogRunning()) templatePassiveMotion(activeInput(), x, y);
}
void drawOptionsControls() { templateDrawControls(dialogInput); }

} // namespace

void drawOptionsDialogControls(bool keys)
{
    const int32_t n = dialogInput.controlCount;
    ControlRecord *toggles[2 + noteKeyControls + 2];
    for (int32_t i = 0; i < n; ++i) {
        ControlRecord *c = dialogControls[i].control;
        if (keys || c->kind != kindPictureToggle) {
            drawControl(c);
            continue;
        }
        int32_t run = 0;
        while (i < n && dialogControls[i].control->kind == kindPictureToggle) toggles[run++] = dialogControls[i++].control;
        passPictureToggles(toggles, run);
        --i;
    }
}

std::string optionsKeysSignature()
{
    ControlRecord *toggles[2 + noteKeyControls + 2];
    int32_t run = 0;
    for (int32_t i = 0; i < dialogInput.controlCount; ++i)
        if (dialogControls[i].control->kind == kindPictureToggle) toggles[run++] = dialogControls[i].control;
    return pictureTogglesSignature(toggles, run);
}

namespace {
void handleOptionsAction() { templateHandleAction(activeInput()); }

// ---- The choice -------------------------------------------------------------

void checkKeyNote(int32_t note)
{
    if (note < firstKeyNote || note > lastKeyNote) {
        writeDebugDetail("setNoteKeyChosen: note=" + std::to_string(note));
        stopProgram(0, stopNoteKeyIndex);
    }
}

void setKeyValues(int32_t note, int32_t value)
{
    for (int32_t k = 0; k < noteKeyControls; ++k)
        if (noteOfKey(k) == note) s.noteKeys[k].value = value;
}

// Removes the first entry equal to note from the list.
void removeChosenEntry(int32_t note)
{
    int32_t at = -1;
    for (int32_t i = 1; i <= maxChosenNotes && at < 0; ++i)
        if (s.chosenNotes[i] == note) at = i;
    if (at < 0) {
        writeDebugDetail("removeChosenNote: note=" + std::to_string(note));
        stopProgram(0, stopNoteNotChosen);
    }
    for (int32_t i = at; i < s.chosenNoteCount; ++i) s.chosenNotes[i] = s.chosenNotes[i + 1];
    s.chosenNotes[s.chosenNoteCount] = emptyNote;
    s.chosenNoteCount -= 1;
}

// Slots 1..8 of the stored choice from the first eight chosen notes (the
// note under check left out while its verdict is open). The done flag stays
// only while all eight slots hold a note.
void rebuildChoiceBlock(int32_t usable)
{
    LessonBlock &b = s.optionsLessonBlock;
    bool full = true;
    for (int32_t k = 0; k < 8; ++k) {
        NoteSlot &slot = b.slots[k];
        slot.note = k + 1 <= usable ? s.chosenNotes[k + 1] : emptyNote;
        slot.mean = 100.0;
        slot.standardDeviation = 100.0;
        if (slot.note == emptyNote) full = false;
    }
    if (!full) b.done = 0;
}

// A note is stored only once its check has passed: until the verdict has
// run (the first frame of state 4, which comes after a pending Go of that
// frame) the last entry is the unjudged note.
int32_t checkedNoteCount() { return s.checkOpen ? s.chosenNoteCount - 1 : s.chosenNoteCount; }

void storeChoice()
{
    setUserLessonBlock(currentUserKey, lessonTwoBlock, s.optionsLessonBlock);
}

// Every way out of the dialog: the check's capture, voices and teacher source stop.
void leaveDialog()
{
    call(hooks.stopCapture);
    stopAllVoices();
    call(hooks.stopTeacherSource);
    call(hooks.releaseCheckClips);
    shortenedTick = 0;
    setKeyboardFocus(nullptr);
    s.state = optionsEntry;
}

void optionsAction(int32_t code)
{
    switch (code) {
    case optionsGoAction: optionsGo(); break;
    case optionsExitAction:
        leaveDialog();
        currentScreen = quitScreenId;
        promptLine.clear();
        break;
    case optionsChangeLessonAction:
        leaveDialog();
        currentLesson = 0;
        currentScreen = lessonMenuScreenId;
        promptLine.clear();
        break;
    default:
        for (int32_t k = 0; k < noteKeyControls; ++k)
            if (keyReleaseCode(k) == code) {
                if (s.state == optionsDialog) toggleChosenNote(noteOfKey(k));
                s.noteKeys[k].state = stateIdle;
                break;
            }
        break;
    }
}

// ---- The check ----------------------------------------------------------------

int16_t block[recordingBlockLength];

void captureAndAnalyseBlock()
{
    if (hooks.readBlock) hooks.readBlock(block);
    else std::memset(block, 0, sizeof block);
    std::memcpy(&recordingBuffer[s.captureWritePos], block, sizeof block);
    if (s.captureWritePos < captureWrapPos) s.captureWritePos += recordingBlockLength;
    else s.captureWritePos = recordingBlockLength;
    recordingBlockIndex += 1;
    analyseWindow(s.tracker);
    samplesConsumed += recordingBlockLength;
    s.tracker.analysisPos += recordingBlockLength;
}

void analyseOptionsBlock()
{
    if (captureIsRunning()) {
        call(hooks.stopCapture);
        if (recordingBlockIndex > 0) captureAndAnalyseBlock();
    } else {
        call(hooks.stopCapture);
    }
    freeTickCount = 0;
    freeClockStart = frameTime;
}

void enterState(OptionsState state)
{
    s.state = state;
    s.frameCount = -1;
}

void listenStep(int32_t f)
{
    if (f == 0) {
        call(hooks.loadCheckClips);
        setSingleVoice(s.checkNote);
        startTimedVoiceSequence({.state = 20, .waitFrames = 2, .playFrames = 32, .voiceCount = 1});
    }
    if (f >= 0 && f <= 39) highlightAllVoices();
    if (f == 40) {
        stopAllVoices();
        if (hooks.playClip) hooks.playClip(clipTarnova);
    }
    if (f == 59) {
        call(hooks.stopTeacherSource);
        if (hooks.playClip) hooks.playClip(clipPlease);
    }
    if (f == 69) {
        for (int32_t i = 0; i < checkArraySize; ++i) {
            pitchSamples[i] = 0;
            s.checkBlockHeight[i] = 0;
            s.checkBlockRating[i] = 0;
        }
        call(hooks.startCapture);
        call(hooks.stopCapture);
        enterState(optionsSing);
    }
}

// The microphone stopped delivering sound during the answer: the check ends
// without a verdict, the note is taken out of the choice as if never added,
// and nothing is stored; the dialog says why.
void abandonCheck()
{
    call(hooks.stopCapture);
    call(hooks.stopTeacherSource);
    s.checkOpen = false;
    clearNoteKeyChosen(s.checkNote);
    removeChosenEntry(s.checkNote);
    promptLine.clear();
    showAlert(0, microphoneStoppedAlert, "The note was not checked and nothing was stored.", microphoneCheckAlert);
    freeTickCount = 0;
    freeClockStart = frameTime;
    enterState(optionsDialog);
}

void singStep(int32_t f)
{
    if (f == 0) {
        s.liveBandCents = 50;
        startLessonRecording(s.captureWritePos, s.tracker);
        call(hooks.startCapture);
    } else if (f >= 1 && f <= checkBlocks) {
        captureAndAnalyseBlock();
        if (hooks.captureFellBehind && hooks.captureFellBehind()) {
            abandonCheck();
            return;
        }
        const int32_t i = recordingBlockIndex;
        s.targetHz = noteFrequencies[s.checkNote];
        if (i >= 0 && i < checkArraySize) {
            const double hz = s.tracker.frequency;
            s.checkBlockPitch[i] = hz;
            pitchSamples[i] = hz;
            s.checkBlockHeight[i] = frequencyToStaffHeight(hz);
            s.checkBlockRating[i] = checkBlockRatingOf(hz, s.targetHz);
        }
    } else if (f == checkBlocks + 1) {
        analyseOptionsBlock();
    } else if (f == checkBlocks + 2) {
        enterState(optionsVerdict);
    }
}

void verdictStep(int32_t f)
{
    if (f == 0) {
        s.targetHz = noteFrequencies[s.checkNote];
        s.checkPassed = lastSamplesWithinTolerance(pitchSamples, 20, 50, 90, s.targetHz);
        s.checkOpen = false;
        if (hooks.playClip) hooks.playClip(s.checkPassed ? clipGood : clipTryAgain);
        if (!s.checkPassed) {
            clearNoteKeyChosen(s.checkNote);
            removeChosenEntry(s.checkNote);
        }
        rebuildChoiceBlock(s.chosenNoteCount);
        storeChoice();
    }
    if (f == 41) enterState(optionsDialog);
}

// ---- Entry and display --------------------------------------------------------

void optionsEntryFrame()
{
    call(hooks.restartClock);
    hintLine.clear();
    promptLine.clear();
    showAlert(0, "", "", "");
    call(hooks.focusGoButton);

    const int32_t L = currentLesson;
    if (alwaysShowOptionsSet || L == 2) enterState(optionsDialog);
    else if (L >= 3 && L <= 256) {
        if (lessonTwoDone(currentUserKey)) call(hooks.startExercise);
        else enterState(optionsDialog);
    } else {
        call(hooks.startExercise);
    }
}

void displayOptionsScreen()
{
    if (s.state == optionsEntry) {
        optionsEntryFrame(); // nothing is drawn
        return;
    }
    if (!dialogRunning()) return;
    const int32_t state = s.state;
    if (templateHasAction(activeInput())) handleOptionsAction();
    if (s.state == optionsEntry || currentScreen != exerciseOptionsScreenId) return; // left the screen
    runOptionsFrame(state);
}

} // namespace

const OptionsScreenHooks &realOptionsScreenHooks() { return realHooks; }
void setOptionsScreenHooks(const OptionsScreenHooks &h) { hooks = h; }

int32_t noteOfKey(int32_t key)
{
    const int32_t r = key / 13, j = key % 13;
    return firstKeyNote + 12 * r + j;
}

bool noteKeyShown(int32_t key) { return key >= 0 && key < noteKeyControls && (key % 13 != 12 || key == 51); }

void setNoteKeyChosen(int32_t note)
{
    checkKeyNote(note);
    setKeyValues(note, 0);
    s.noteKeyChosen[note] = true;
}

void clearNoteKeyChosen(int32_t note)
{
    checkKeyNote(note);
    setKeyValues(note, 1);
    s.noteKeyChosen[note] = false;
}

void resetNoteSelection()
{
    for (int32_t i = 0; i <= maxChosenNotes; ++i) s.chosenNotes[i] = emptyNote;
    for (bool &chosen : s.noteKeyChosen) chosen = false;
    s.chosenNoteCount = 0;
    s.checkOpen = false;
    // The dialog's choice is lesson 2's block, whatever lesson opens it.
    getUserLessonBlock(currentUserKey, lessonTwoBlock, s.optionsLessonBlock);
}

void preselectNote(int32_t note)
{
    if (note < firstKeyNote || note > lastKeyNote || s.chosenNoteCount >= maxChosenNotes) return;
    s.noteKeyChosen[note] = true;
    s.chosenNoteCount += 1;
    s.chosenNotes[s.chosenNoteCount] = note;
}

void createOptionsControls()
{
    buildControlTable();
    initControl(&s.goButton,
                {.kind = kindPushButton, .left = 730, .right = 793, .bottom = 140, .top = 158, .value = 1,
                 .caption = "Go"});
    initControl(&s.trainingModeToggle,
                {.kind = kindToggle, .left = 30, .right = 55, .bottom = 260, .top = 278, .value = 1,
                 .previous = &s.goButton});
    ControlRecord *previous = &s.trainingModeToggle;
    for (int32_t k = 0; k < noteKeyControls; ++k) {
        const int32_t r = k / 13, j = k % 13;
        const int32_t left = 30 + 45 * j, bottom = 300 + 90 * r;
        ControlRecord &key = s.noteKeys[k];
        const int32_t note = noteOfKey(k);
        initControl(&key,
                    {.kind = kindPictureToggle, .left = left, .right = left + noteKeyWidth, .bottom = bottom,
                     .top = bottom + noteKeyHeight, .value = s.noteKeyChosen[note] ? 0 : 1, .previous = previous});
        // Value 0 (chosen) shows the chosen picture, 1 the normal one.
        key.pictureOff = noteKeyPictures[noteKeyCount + note - firstKeyNote];
        key.pictureOn = noteKeyPictures[note - firstKeyNote];
        key.pictureWidth = images36PictureSize;
        key.pictureHeight = images36PictureSize;
        previous = &key;
    }
    initControl(&s.exitButton,
                {.kind = kindPushButton, .left = 855, .right = 918, .bottom = 116, .top = 134, .value = 1,
                 .caption = "Exit", .previous = previous});
    initControl(&s.changeLessonButton,
                {.kind = kindPushButton, .left = 730, .right = 850, .bottom = 116, .top = 134, .value = 1,
                 .caption = "ChangeLesson", .previous = &s.exitButton});
    s.changeLessonButton.next = nullptr;
    s.pendingAction = 0;
    s.deferredAction = 0;
}

void enterOptionsScreenAtEntry()
{
    s.state = optionsEntry;
    s.font = font9By15;
}

static void toggleChosenNote(int32_t note)
{
    if (!s.noteKeyChosen[note]) {
        s.chosenNoteCount += 1;
        if (s.chosenNoteCount > maxChosenNotes) {
            showAlert("Too many notes selecteded", "", "");
            s.chosenNoteCount -= 1;
        } else {
            setNoteKeyChosen(note);
            s.chosenNotes[s.chosenNoteCount] = note;
            s.checkNote = note;
            s.checkOpen = true;
            enterState(optionsListen);
        }
    } else {
        clearNoteKeyChosen(note);
        removeChosenEntry(note);
        // The stored choice follows the list at once.
        rebuildChoiceBlock(s.chosenNoteCount);
        storeChoice();
    }
    promptLine.clear();
    s.pendingAction = 0;
}

void optionsGo()
{
    stopAllVoices();
    rebuildChoiceBlock(checkedNoteCount());
    LessonBlock &b = s.optionsLessonBlock;
    bool full = true;
    for (const NoteSlot &slot : b.slots)
        if (slot.note == emptyNote) full = false;
    if (full) b.done = 1;
    if (!full) {
        storeChoice();
        showAlert("You must select 8 notes", "Please select 8 notes", "");
        promptLine.clear();
        s.pendingAction = 0;
        return;
    }
    clearAlertLines();
    // One store update: the choice, lesson 3 seeded with it, lesson 3 current.
    beginStoreUpdate();
    storeChoice();
    getUserLessonBlock(currentUserKey, lessonThreeBlock, s.nextLessonBlock);
    for (int32_t k = 0; k < 8; ++k) {
        NoteSlot &slot = s.nextLessonBlock.slots[k];
        if (slot.note != b.slots[k].note) {
            slot.note = b.slots[k].note;
            slot.mean = 100.0;
            slot.standardDeviation = 100.0;
        }
    }
    setUserLessonBlock(currentUserKey, lessonThreeBlock, s.nextLessonBlock);
    setUserCurrentLesson(currentUserKey, 3);
    endStoreUpdate();
    shownLesson = getUserCurrentLesson(currentUserKey);
    currentLesson = 0;
    leaveDialog();
    currentScreen = lessonMenuScreenId;
    promptLine.clear();
    s.pendingAction = 0;
}

static void runOptionsFrame(int32_t state)
{
    const int32_t f = s.frameCount;
    switch (state) {
    case optionsListen: listenStep(f); break;
    case optionsSing: singStep(f); break;
    case optionsVerdict: verdictStep(f); break;
    default: break;
    }
    if (hooks.draw) hooks.draw(state, f);
    tickVoiceSequencer();
    s.frameCount += 1;
}

static bool lessonTwoDone(int32_t userKey)
{
    LessonBlock block{};
    getUserLessonBlock(userKey, lessonTwoBlock, block);
    return block.done != 0;
}

const ScreenHandlers exerciseOptionsScreenHandlers = {
    .create = nullptr, // setUpExerciseOptions creates the controls before every visit
    .keyboard = optionsKeyboard,
    .specialKey = optionsSpecialKey,
    .mouse = optionsMouse,
    .motion = optionsMotion,
    .passiveMotion = optionsPassiveMotion,
    .drawControls = drawOptionsControls,
    .handleAction = handleOptionsAction,
    .display = displayOptionsScreen,
};
