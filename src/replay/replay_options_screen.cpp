// Screen 577: the replay options.
#include "replay/replay_options_screen.h"

#include <GL/gl.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "frame/control_drawing.h"
#include "frame/file_dialogs.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "frame/screen_frame.h"
#include "base/small_routines.h"
#include "base/stops.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "frame/timer.h"
#include "lessons/lesson_params.h"
#include "lessons/lesson_state.h"
#include "lessons/lesson_note_labels.h"
#include "music/note_labels.h"
#include "platform/paths.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/options_screen.h"
#include "store/recording_file.h"
#include "replay/replay_state.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

ReplayOptionsState replayOptions;

static ReplayOptionsHooks hooks = realReplayOptionsHooks();

const ReplayOptionsHooks &realReplayOptionsHooks()
{
    static const ReplayOptionsHooks real = {chooseRecordingSaveFile};
    return real;
}
void setReplayOptionsHooks(const ReplayOptionsHooks &h) { hooks = h; }

static ControlRecord &control(ReplayOptionsControl c) { return replayOptions.controls[c]; }

// The entries of the four pop-up lists, copied from the name tables at the
// first use (the tables may be strings built at start-up in another unit).
template <typename T, size_t N> static std::array<std::string, N> entries(const T (&table)[N])
{
    std::array<std::string, N> e;
    for (size_t i = 0; i < N; ++i) e[i] = table[i];
    return e;
}
#define LIST_ENTRIES(name, table)                                                                             \
    static const std::string *name()                                                                          \
    {                                                                                                         \
        static const auto e = entries(table);                                                                 \
        return e.data();                                                                                      \
    }
LIST_ENTRIES(voiceEntries, assistanceVoiceNames)
LIST_ENTRIES(countOffEntries, countOffModeNames)
LIST_ENTRIES(clickEntries, clickModeNames)
LIST_ENTRIES(labelEntries, noteLabelModeNames)
#undef LIST_ENTRIES

// Action codes.
constexpr int32_t replayAction = 27;
constexpr int32_t songPartVoiceAction = 28;
constexpr int32_t guitarChordsAction = 33;
constexpr int32_t pitchFieldAction = 39;
constexpr int32_t beatFieldAction = 40;
constexpr int32_t firstDisplayFlagAction = 41; // .. 47
constexpr int32_t beatClicksAction = 48;
constexpr int32_t accompanimentAction = 49;
constexpr int32_t changeLessonAction = 50;
constexpr int32_t repeatLessonAction = 51;
constexpr int32_t countOffAction = 56;
constexpr int32_t rhythmKickAction = 57;
constexpr int32_t blindExerciseAction = 58;
constexpr int32_t exportAction = 59;
constexpr int32_t textDisplayAction = 60;
constexpr int32_t overwriteConfirmedAction = 61; // "y" on the question whether to overwrite

// alertKind of the question whether an existing file may be overwritten.
constexpr int32_t overwriteQuestionAlert = 59;

// The option each toggle sets (on while the toggle's value is 0).
static uint8_t *toggleOption(ReplayOptionsControl c)
{
    switch (c) {
    case roRhythmKick: return &rhythmKick;
    case roBlindExercise: return &blindExercise;
    case roGuitarChords: return &playGuitarChords;
    case roPitchProgression: return &showPitchProgression;
    case roPitchWithAmplitude: return &showPitchWithAmplitude;
    case roAmplitudeProgression: return &showAmplitudeProgression;
    case roOnBeatHints: return &showOnBeatHints;
    case roCountingHints: return &showCountingHints;
    case roScope: return &showScope;
    case roTeacher: return &showTeacher;
    case roAccompaniment: return &playAccompaniment;
    default: return nullptr;
    }
}

// ---- Field checks ------------------------------------------------------

// The typed digits (an optional leading '+') as a number; false when the text
// is no number or too long to be one in range.
static bool readNumber(const std::string &text, long &value)
{
    if (text.empty() || text.size() > 9) return false;
    char *end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() && *end == '\0';
}

FieldCheck checkPitchSensitivity(const std::string &typed)
{
    const std::string text = typed.empty() ? "10" : typed;
    long v = 0;
    if (!readNumber(text, v) || v < 1 || v > 500)
        return {"50", 50, "-- !!! Pitch Sensitivity reset to default !!!! --"};
    return {text, static_cast<int32_t>(v), "pitch sensitivity changed to " + std::to_string(v)};
}

FieldCheck checkBeatAccuracy(const std::string &typed)
{
    const std::string text = typed.empty() ? "12" : typed;
    long v = 0;
    if (!readNumber(text, v) || v < -20 || v > 20)
        return {"12", 12, "-- !!! BeatAccuracy reset to default !!!! --"};
    return {text, static_cast<int32_t>(v), "BeatAccuracy changed to " + std::to_string(v)};
}

// ---- Set-up ------------------------------------------------------------

static void createReplayOptionsControls()
{
    auto button = [](ReplayOptionsControl c, int32_t l, int32_t r, int32_t b, int32_t t, const char *caption) {
        initControl(&control(c),
                    {.kind = kindPushButton, .left = l, .right = r, .bottom = b, .top = t, .value = 1,
                     .caption = caption});
    };
    auto toggle = [](ReplayOptionsControl c, int32_t l, int32_t b) {
        initControl(&control(c),
                    {.kind = kindToggle, .left = l, .right = l + 25, .bottom = b, .top = b + 18,
                     .value = *toggleOption(c) ? 0 : 1});
    };
    auto opener = [](ReplayOptionsControl c, int32_t l, int32_t r, int32_t b, const std::string &name) {
        initControl(&control(c),
                    {.kind = kindPopupOpener, .left = l, .right = r, .bottom = b, .top = b + 18, .value = 1,
                     .caption = name});
    };
    auto field = [](ReplayOptionsControl c, int32_t id, int32_t b, int32_t value) {
        initControl(&control(c),
                    {.id = id, .kind = kindTextField, .left = 330, .right = 370, .bottom = b, .top = b + 18, .value = 1,
                     .caption = std::to_string(value)});
    };
    button(roReplay, 668, 731, 156, 174, "Replay");
    toggle(roRhythmKick, 330, 414);
    toggle(roBlindExercise, 330, 392);
    opener(roCountOff, 330, 450, 326, countOffModeNames[countOffMode]);
    opener(roSongPartVoice, 750, 830, 350, assistanceVoiceNames[songPartVoice]);
    toggle(roGuitarChords, 750, 328);
    field(roPitchSensitivity, pitchSensitivityFieldId, 260, pitchSensitivity);
    field(roBeatAccuracy, beatAccuracyFieldId, 238, beatAccuracy);
    for (int32_t i = 0; i < 7; ++i) toggle(static_cast<ReplayOptionsControl>(roPitchProgression + i), 750, 568 - 22 * i);
    opener(roTextDisplay, 750, 920, 416, noteLabelModeNames[noteLabelMode]);
    opener(roBeatClicks, 750, 920, 306, clickModeNames[clickMode]);
    toggle(roAccompaniment, 750, 284);
    button(roChangeLesson, 668, 788, 134, 152, "ChangeLesson");
    button(roRepeatLesson, 803, 923, 134, 152, "RepeatLesson");
    button(roExport, 668, 788, 112, 130, "Export");
}

void setUpReplayOptions()
{
    if (currentLesson < 1 || currentLesson > 556) stopProgram(0, stopReplayOptionsLesson);
    const ReplayOptionDefaults d = replayDefaultsForLesson(currentLesson);
    referenceMode = d.referenceMode;
    assistanceVoice = d.assistanceVoice;
    rhythmKick = d.rhythmKick;
    blindExercise = d.blindExercise;
    pitchSensitivity = d.pitchSensitivity;
    beatAccuracy = d.beatAccuracy;
    uint8_t *flags[7] = {&showPitchProgression, &showPitchWithAmplitude, &showAmplitudeProgression,
                         &showOnBeatHints, &showCountingHints, &showScope, &showTeacher};
    for (int i = 0; i < 7; ++i) *flags[i] = d.displayFlags[i];
    countOffMode = 0;
    songPartVoice = 0;
    playGuitarChords = 0;
    clickMode = 0;
    playAccompaniment = 0;
    noteLabelMode = std::clamp(noteLabelMode, 0, 5);
    createReplayOptionsControls();
    replayOptions.font = 2;
}

// ---- Actions -----------------------------------------------------------

static void leaveScreen(int32_t screen)
{
    setKeyboardFocus(nullptr);
    replayOptions.phase = 0;
    currentScreen = screen;
}

static void applyPopupChoice(int32_t listId, int32_t item)
{
    switch (listId) {
    case songPartVoiceAction:
        songPartVoice = item;
        control(roSongPartVoice).caption = assistanceVoiceNames[item];
        break;
    case beatClicksAction:
        clickMode = item;
        control(roBeatClicks).caption = clickModeNames[item];
        break;
    case countOffAction:
        countOffMode = item;
        control(roCountOff).caption = countOffModeNames[item];
        break;
    case textDisplayAction:
        noteLabelMode = item;
        control(roTextDisplay).caption = noteLabelModeNames[item];
        refreshNoteLabels();
        break;
    default: return;
    }
    for (int i = 0; i < popupItemCount && i < maxPopupItems; ++i) popupEntries[i].value = i == item ? 0 : 1;
    promptLine.clear();
}

static void openList(ReplayOptionsControl opener, int32_t listId, const std::string *names, int count,
                     const char *prompt)
{
    openPopupList(&control(opener), listId, names, count);
    promptLine = prompt;
}

static void setStatusLine2(const std::string &text) { showAlert("", text, ""); }

static void finishEdit(int32_t fieldId, const std::string &value, unsigned char lastKey)
{
    if (fieldId == pitchSensitivityFieldId) {
        ControlRecord &field = control(roPitchSensitivity);
        if (waitTilHit) {
            field.caption = editSavedText;
            setStatusLine2("Wait til Hit disables pitch sensitivity changes in replay");
        } else {
            const FieldCheck c = checkPitchSensitivity(value);
            field.caption = c.text;
            pitchSensitivity = c.value;
            pitchBandCents = c.value;
            for (int32_t i = 0; i <= lessonNoteCount; ++i) setNoteToleranceBand(i);
            for (int32_t i = 0; i <= lessonNoteCount; ++i) extendBandToNextNote(i);
            setStatusLine2(c.message);
        }
    } else if (fieldId == beatAccuracyFieldId) {
        const FieldCheck c = checkBeatAccuracy(value);
        control(roBeatAccuracy).caption = c.text;
        beatAccuracy = c.value;
        setStatusLine2(c.message);
    } else {
        showAlert("", "Click \"Replay\" to start the replay", "with the selected options");
    }
    if (fieldId != 0 && (lastKey == keyReturn || lastKey == keyTab)) setKeyboardFocus(&control(roReplay));
}

// Only digits, '+' as the first character and the editing keys reach a field.
static bool acceptKey(int32_t, unsigned char key, const std::string &)
{
    if (key == keyBackspace || key == keyTab || key == keyLineFeed || key == keyReturn || key == keyEscape ||
        key == keyDelete)
        return true;
    if (key >= '0' && key <= '9') return true;
    return key == '+' && editCursor == 0;
}

static void writeExport(const std::string &path)
{
    std::string error;
    switch (exportRecordingAsWave(path, error)) {
    case ExportResult::exported: showInformation("File exported successfully to " + path, "", ""); break;
    case ExportResult::nothingToSave: showAlert("There is no recording to export", "", ""); break;
    case ExportResult::failed: showAlert("The recording could not be exported to " + path, error, ""); break;
    }
    alertKind = 0;
}

static void exportRecording()
{
    shortenedTick = 0;
    if (recordedSampleCount <= 0) {
        showAlert("There is no recording to export", "", "");
        alertKind = 0;
        return;
    }
    const std::string path = hooks.chooseSaveFile(documentsDir);
    if (path.empty()) return; // cancelled: nothing exported
    if (fileExists(path)) {
        replayOptions.exportPath = path;
        showAlert("The file " + path + " exists already.",
                  "Press \"y\" to overwrite it,", "any other key or a click keeps it.");
        alertKind = overwriteQuestionAlert;
        return;
    }
    writeExport(path);
}

static void replayOptionsAction(int32_t code)
{
    auto flip = [](ReplayOptionsControl c) {
        ControlRecord &t = control(c);
        t.value = t.value == 0 ? 1 : 0;
        t.state = stateIdle;
        *toggleOption(c) = t.value == 0 ? 1 : 0;
    };
    switch (code) {
    case replayAction:
        finishButtonAction(control(roReplay));
        shortenedTick = 0;
        if (currentLesson >= 1 && currentLesson <= 556) leaveScreen(replayScreenId);
        break;
    case songPartVoiceAction:
        openList(roSongPartVoice, code, voiceEntries(), 4, "Choose voice");
        break;
    case beatClicksAction: openList(roBeatClicks, code, clickEntries(), 6, "Choose Beat Clicks"); break;
    case countOffAction: openList(roCountOff, code, countOffEntries(), 5, "Choose the Count-Off type"); break;
    case textDisplayAction:
        openList(roTextDisplay, code, labelEntries(), 6, "Choose Note Text to display");
        break;
    case pitchFieldAction:
        replayOptions.pendingAction =
            startFieldEdit(&control(roPitchSensitivity), "Enter the new pitch sensitivity");
        break;
    case beatFieldAction:
        replayOptions.pendingAction = startFieldEdit(&control(roBeatAccuracy), "Enter the new BeatAccuracy");
        break;
    case guitarChordsAction: flip(roGuitarChords); break;
    case accompanimentAction: flip(roAccompaniment); break;
    case rhythmKickAction: flip(roRhythmKick); break;
    case blindExerciseAction: flip(roBlindExercise); break;
    case changeLessonAction:
        finishButtonAction(control(roChangeLesson));
        currentLesson = 0;
        leaveScreen(lessonMenuScreenId);
        break;
    case repeatLessonAction:
        finishButtonAction(control(roRepeatLesson));
        if (soundSources[teacherSource] != 0) stopSource(soundSources[teacherSource]);
        setKeyboardFocus(nullptr);
        replayOptions.phase = 0;
        lessonLoaderScreenHandlers.enter();
        currentScreen = lessonLoaderScreenId;
        break;
    case exportAction:
        finishButtonAction(control(roExport));
        exportRecording();
        break;
    case overwriteConfirmedAction:
        if (!replayOptions.exportPath.empty()) writeExport(replayOptions.exportPath);
        replayOptions.exportPath.clear();
        break;
    default:
        if (code >= firstDisplayFlagAction && code < firstDisplayFlagAction + 7)
            flip(static_cast<ReplayOptionsControl>(roPitchProgression + (code - firstDisplayFlagAction)));
        break;
    }
}

// ---- Input -------------------------------------------------------------

#define RO(c) &replayOptions.controls[c]
static TemplateControl replayOptionsControls[replayOptionsControlCount] = {
    {RO(roReplay), 0, 0, replayAction, 0, "Release Button to start the exercice with the selected options",
     "Click to start the exercice with the selected options", replayAction},
    {RO(roRhythmKick), 0, 0, rhythmKickAction, 0,
     "Release Button to set Brimble kicking the baton when a new note starts",
     "Click to set Brimble kicking the baton when a new note starts", 0},
    {RO(roBlindExercise), 0, 0, blindExerciseAction, 0,
     "Release Button to play the exercise from heart (no notes are shown)",
     "Click to play the exercise from heart (no notes are shown)", 0},
    {RO(roCountOff), countOffAction, 0, 0, 0, "Release Button to choose from the count off possibilities",
     "Click to choose from the count off possibilities", 0},
    {RO(roSongPartVoice), songPartVoiceAction, 0, 0, 0,
     "Release Button to choose the voice of the melody team-player",
     "Click to choose the voice of the melody team-player", 0},
    {RO(roGuitarChords), 0, 0, guitarChordsAction, 0, "Release Button to activate guitar chord accompaniment",
     "Click to activate guitar chord accompaniment", 0},
    {RO(roPitchSensitivity), 0, 0, pitchFieldAction, 0,
     "Release Button to set the pitch sensitivity (Pitch deviation still counted as correct)",
     "Click to set the pitch sensitivity (Pitch deviation still counted as correct)", 0},
    {RO(roBeatAccuracy), 0, 0, beatFieldAction, 0,
     "Release Button to set beat accuracy (on beat deviation still counted as correct)",
     "Click to set beat accuracy (on beat deviation still counted as correct)", 0},
    {RO(roPitchProgression), 0, 0, firstDisplayFlagAction, 0, "Release Button to set the display to plot your pitch",
     "Click to set the display to plot your pitch", 0},
    {RO(roPitchWithAmplitude), 0, 0, firstDisplayFlagAction + 1, 0,
     "Release Button to set the display to plot the loudness around the pitch",
     "Click to set the display to plot the loudness around the pitch curve", 0},
    {RO(roAmplitudeProgression), 0, 0, firstDisplayFlagAction + 2, 0,
     "Release Button to show the amplitude progression", "Click to show the amplitude progression curve", 0},
    {RO(roOnBeatHints), 0, 0, firstDisplayFlagAction + 3, 0,
     "Release Button to show On-Beat feedback (correct, too early, too late)",
     "Click to show On-Beat feedback (correct, too early, too late)", 0},
    {RO(roCountingHints), 0, 0, firstDisplayFlagAction + 4, 0, "Release Button to display how to count the notes",
     "Click to display how to count the notes", 0},
    {RO(roScope), 0, 0, firstDisplayFlagAction + 5, 0, "Release Button to see a scope-like loudness curve",
     "Click to see a scope-like loudness curve", 0},
    {RO(roTeacher), 0, 0, firstDisplayFlagAction + 6, 0, "Release Button to hide Brimble", "Click to hide Brimble",
     0},
    {RO(roTextDisplay), textDisplayAction, 0, 0, 0, "Release Button to choose Additional Text",
     "Click to choose additional text", 0},
    {RO(roBeatClicks), beatClicksAction, 0, 0, 0, "Release Button to choose accompanying click counting",
     "Click to choose accompanying click counting", 0},
    {RO(roAccompaniment), 0, 0, accompanimentAction, 0,
     "Release Button to have an accompaniment playing along with you",
     "Click to have an accompaniment playing along with you", 0},
    {RO(roChangeLesson), 0, 0, changeLessonAction, 0, "Release Button to return to the lessons choice menu",
     "Click to return to the lessons choice menu", changeLessonAction},
    {RO(roRepeatLesson), 0, 0, repeatLessonAction, 0, "Release Button to repeat lesson", "Click to repeat the lesson",
     0},
    {RO(roExport), 0, 0, exportAction, 0, "Release Button to export the recording of this exercise",
     "Click to export the recording of this exercise", 0},
};
#undef RO

static const ScreenInput replayOptionsInput = {
    .controls = replayOptionsControls,
    .controlCount = replayOptionsControlCount,
    .pending = &replayOptions.pendingAction,
    .deferred = &replayOptions.deferredAction,
    .phase = &replayOptions.phase,
    .runningPhase = 1,
    .frameCounter = &replayOptions.frameCounter,
    .keyHelp = {"Click \"Go\" or hit <Return>", "to start replay", "or \"Quit\" to select new lesson"},
    .returnHelp = {"Click \"Go\" to start replay", "or \"Quit\" to select new lesson", nullptr},
    .acceptKey = acceptKey,
    .applyPopupChoice = applyPopupChoice,
    .finishEdit = finishEdit,
    .action = replayOptionsAction,
};

static void replayOptionsKeyboard(unsigned char key, int x, int y)
{
    // The export's question: "y" overwrites, anything else dismisses it.
    if (alertShown() && alertKind == overwriteQuestionAlert && replayOptions.phase == 1) {
        const bool confirmed = key == confirmOverwriteKey || key == 'Y';
        showAlert("", "", "");
        alertKind = 0;
        if (confirmed) {
            replayOptions.pendingAction = overwriteConfirmedAction;
            replayOptions.deferredAction = overwriteConfirmedAction;
        } else {
            replayOptions.exportPath.clear();
        }
        return;
    }
    templateKeyboard(replayOptionsInput, key, x, y);
}

static void replayOptionsMouse(int button, int state, int x, int y)
{
    if (alertShown() && alertKind == overwriteQuestionAlert) replayOptions.exportPath.clear();
    templateMouse(replayOptionsInput, button, state, x, y);
}
static void replayOptionsSpecialKey(int key, int x, int y) { templateSpecialKey(replayOptionsInput, key, x, y); }
static void replayOptionsMotion(int x, int y) { templateMotion(replayOptionsInput, x, y); }
static void replayOptionsPassiveMotion(int x, int y) { templatePassiveMotion(replayOptionsInput, x, y); }
static void drawReplayOptionsControls() { templateDrawControls(replayOptionsInput); }
static void handleReplayOptionsAction() { templateHandleAction(replayOptionsInput); }

// ---- Display -----------------------------------------------------------

static const char *exerciseTypeLine(int32_t type)
{
    switch (type) {
    case 0: return "Exercise Type: Pitch";
    case 1: return "Exercise Type: Rhythm";
    case 2: return "Exercise Type: Loudness";
    case 3: return "Exercise Type: NoteOk";
    case 4: return "Exercise Type: Song";
    case 5:
    case 6: return "Exercise Type: Interval";
    default: return nullptr;
    }
}

static void drawHeading(const char *text, double x, double y, double l, double b, double r, double t)
{
    drawLabelledPanel(replayOptions.font, text, x, y, l, b, r, t);
}

static void drawLines(const char *const *lines, int count, double x, const int *ys)
{
    for (int i = 0; i < count; ++i) drawText(replayOptions.font, lines[i], x, ys[i]);
}

static void drawReplayOptionsFrame()
{
    const int32_t font = replayOptions.font;
    clearScreenFrame();
    drawFrameAnimation(replayOptions.frameCounter / 5);
    glColor4f(0, 0, 0, 0.4f);
    const char *title = currentLesson >= 0 && currentLesson <= 557 ? lessonTitleTable[currentLesson] : "";
    drawText(font, std::string("Exercise Title: ") + title, 30, 630);
    if (const char *type = exerciseTypeLine(exerciseType)) drawText(font, type, 470, 630);
    glColor4f(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 623, 930, 623, -6);

    drawHeading("Replay Overview:", 30, 595, 25, 515, 452, 588);
    static const char *const overview[] = {"You may listen to your exercise as many times",
                                           "as you wish. By changing the sensitivity",
                                           "option, you can see the score at that setting."};
    static const int overviewY[] = {568, 546, 524};
    drawLines(overview, 3, 30, overviewY);

    drawHeading("Replay Options:", 30, 485, 25, 233, 452, 478);
    static const char *const replayLines[] = {"Rhythm-Kick ....................", "Blind-Exercise .................",
                                              "CountOff .......................", "Pitch Sensitivity ..............",
                                              "Beat Accuracy .................."};
    static const int replayY[] = {414, 392, 326, 260, 238};
    drawLines(replayLines, 5, 30, replayY);

    drawHeading("Display Options:", 470, 595, 465, 410, 928, 588);
    static const char *const displayLines[] = {
        "Pitch progression .............", "Pitch with AmplitudeEnvelope ..", "Amplitude Progression .........",
        "OnBeat Hints ..................", "Counting Hints ................", "Scope .........................",
        "BrimbleTheCat ...................", "Text Display ................... "};
    static const int displayY[] = {568, 546, 524, 502, 480, 458, 436, 416};
    drawLines(displayLines, 8, 470, displayY);

    drawHeading("Sound Options:", 470, 377, 465, 233, 928, 370);
    static const char *const soundLines[] = {"SongPart Voice ................", "Play GuitarChords .............",
                                             "BeatClicks ....................", "Play Accompaignment ..........."};
    static const int soundY[] = {350, 328, 306, 284};
    drawLines(soundLines, 4, 470, soundY);

    drawHeading("Control:", 470, 187, 465, 110, 928, 180);
    static const char *const controlLines[] = {"Replay Exercise ......", "Exit Replay ..........",
                                               "Recording ............"};
    static const int controlY[] = {160, 138, 116};
    drawLines(controlLines, 3, 470, controlY);

    drawReplayOptionsControls();
    finishScreenFrame(4, "Choose the options with which you want to replay the exercise");
}

static void firstDisplay()
{
    restartFreeGrid();
    clearScreenMessages();
    const bool firstShow = replayOptions.firstShow != 0;
    replayOptions.firstShow = 0;
    setKeyboardFocus(&control(firstShow ? roReplay : roChangeLesson));
    // The recording the replay plays: a file deleted or spoilt outside the
    // program is reported here, and the replay is not started.
    std::string error;
    if (!loadReplayRecording(error)) {
        showAlert(0, "The recording of the exercise cannot be read:", error, "Repeat the lesson to record it again.");
        replayOptions.phase = 1;
        replayOptions.frameCounter = 0;
        return;
    }
    alertKind = 0;
    if (firstShow && !alwaysShowOptions()) {
        setKeyboardFocus(nullptr);
        currentScreen = replayScreenId;
        return;
    }
    replayOptions.phase = 1;
    replayOptions.frameCounter = 0;
}

static void displayReplayOptionsScreen()
{
    if (!beginScreenFrame(replayOptionsInput, firstDisplay, handleReplayOptionsAction, replayOptions.frameCounter,
                          190))
        return;
    drawReplayOptionsFrame();
    endScreenFrame(replayOptions.frameCounter, 190);
}

// The road from the score overview: the screen is built for the lesson and
// its first frame goes straight on to the replay.
static void enterReplayOptions()
{
    setUpReplayOptions();
    replayOptions.firstShow = 1;
}

void returnToReplayOptions() { replayOptions.phase = 0; }

const ScreenHandlers replayOptionsScreenHandlers = {
    .create = nullptr,
    .keyboard = replayOptionsKeyboard,
    .specialKey = replayOptionsSpecialKey,
    .mouse = replayOptionsMouse,
    .motion = replayOptionsMotion,
    .passiveMotion = replayOptionsPassiveMotion,
    .drawControls = drawReplayOptionsControls,
    .handleAction = handleReplayOptionsAction,
    .display = displayReplayOptionsScreen,
    .enter = enterReplayOptions,
};

ReplayOptionDefaults replayDefaultsForLesson(int32_t lesson)
{
    const LessonOptions &row = lessonOptionsTable[lesson];
    ReplayOptionDefaults d;
    d.referenceMode = row.referenceMode;
    d.assistanceVoice = row.assistanceVoice;
    d.rhythmKick = row.rhythmKick;
    d.blindExercise = row.blindExercise;
    d.pitchSensitivity = row.pitchSensitivity;
    d.beatAccuracy = row.beatAccuracy;
    d.displayFlags = {row.showPitchProgression, row.showPitchWithAmplitude, row.showAmplitudeProgression,
                      row.showOnBeatHints,      row.showCountingHints,      row.showScope,
                      row.showTeacher};
    return d;
}
