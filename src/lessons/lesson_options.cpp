#include "lessons/lesson_options.h"

#include "base/screen_id.h"
#include "base/shared.h"
#include "base/stops.h"
#include "lessons/lesson_state.h"
#include "lessons/options_screen.h"
#include "music/tune_state.h"
#include "store/store_records.h"
#include "store/users_file.h"

namespace {

constexpr LessonOptions defaultRow = {
    .referenceMode = 0, .assistanceVoice = 2, .rhythmKick = 1, .blindExercise = 0,
    .countOffMode = 1, .tempo = 60, .pitchSensitivity = 50, .beatAccuracy = 12,
    .showPitchProgression = 1, .showPitchWithAmplitude = 0, .showAmplitudeProgression = 1,
    .showOnBeatHints = 1, .showCountingHints = 1, .showScope = 1, .showTeacher = 1,
    .songPartVoice = 0, .clickMode = 0, .playAccompaniment = 0};

// The rows of lessons 2..27: referenceMode, assistanceVoice, countOffMode,
// tempo, pitchSensitivity; the other fields are the default row's.
struct BlockRow {
    int32_t referenceMode, assistanceVoice, countOffMode, tempo, pitchSensitivity;
};
constexpr int32_t noNote = 0, wholePart = 1, firstNoteOnly = 2;
constexpr int32_t mute = 0, male = 2;
constexpr int32_t noCountOff = 0, countOffOn = 1, withFirstNote = 2;
constexpr BlockRow blockRows[26] = {
    {firstNoteOnly, male, noCountOff, 35, 70}, // 2
    {firstNoteOnly, male, noCountOff, 35, 50}, // 3
    {wholePart, male, countOffOn, 35, 50},     // 4
    {wholePart, male, noCountOff, 35, 50},     // 5
    {noNote, mute, noCountOff, 50, 50},        // 6
    {wholePart, male, countOffOn, 100, 50},    // 7
    {noNote, male, countOffOn, 60, 50},        // 8
    {noNote, mute, countOffOn, 50, 50},        // 9
    {noNote, mute, countOffOn, 50, 50},        // 10
    {noNote, male, countOffOn, 70, 50},        // 11
    {wholePart, male, countOffOn, 50, 50},     // 12
    {wholePart, male, countOffOn, 35, 50},     // 13
    {noNote, male, countOffOn, 70, 50},        // 14
    {wholePart, male, countOffOn, 50, 50},     // 15
    {wholePart, male, countOffOn, 50, 50},     // 16
    {noNote, male, noCountOff, 50, 50},        // 17
    {noNote, male, countOffOn, 80, 50},        // 18
    {wholePart, male, countOffOn, 35, 50},     // 19
    {noNote, male, countOffOn, 90, 50},        // 20
    {noNote, mute, countOffOn, 60, 50},        // 21
    {noNote, male, countOffOn, 100, 50},       // 22
    {noNote, male, withFirstNote, 40, 50},     // 23
    {noNote, male, countOffOn, 100, 50},       // 24
    {noNote, mute, countOffOn, 60, 50},        // 25
    {noNote, male, countOffOn, 100, 50},       // 26
    {noNote, male, countOffOn, 100, 50},       // 27
};
// The block of lessons 2..27 starts again at these lesson indexes.
constexpr int32_t blockStarts[7] = {2, 103, 202, 303, 402, 452, 502};

constexpr std::array<LessonOptions, lastOptionsLesson + 1> buildOptionsTable()
{
    std::array<LessonOptions, lastOptionsLesson + 1> table{};
    for (LessonOptions &row : table) row = defaultRow;
    table[1].referenceMode = wholePart;
    table[1].assistanceVoice = 4; // "female"
    for (int32_t start : blockStarts) {
        for (int32_t k = 0; k < 26; ++k) {
            LessonOptions &row = table[start + k];
            row.referenceMode = blockRows[k].referenceMode;
            row.assistanceVoice = blockRows[k].assistanceVoice;
            row.countOffMode = blockRows[k].countOffMode;
            row.tempo = blockRows[k].tempo;
            row.pitchSensitivity = blockRows[k].pitchSensitivity;
        }
    }
    return table;
}

const NoteSelectionHooks realSelectionHooks = {resetNoteSelection, preselectNote, createOptionsControls};
NoteSelectionHooks selectionHooks = realSelectionHooks;

} // namespace

constinit const std::array<LessonOptions, lastOptionsLesson + 1> lessonOptionsTable = buildOptionsTable();

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

void setNoteSelectionHooks(const NoteSelectionHooks &hooks) { selectionHooks = hooks; }
const NoteSelectionHooks &noteSelectionHooks() { return selectionHooks; }
const NoteSelectionHooks &realNoteSelectionHooks() { return realSelectionHooks; }

void setUpExerciseOptions()
{
    const int32_t L = currentLesson;
    if (L < firstOptionsLesson || L > lastOptionsLesson) {
        writeDebugDetail("setUpExerciseOptions: lesson=" + std::to_string(L));
        stopProgram(0, stopOptionsLessonOutOfRange);
    }
    const LessonOptions &row = lessonOptionsTable[L];
    assistanceVoice = row.assistanceVoice;
    countOffMode = row.countOffMode;
    pitchSensitivity = row.pitchSensitivity;
    showPitchProgression = row.showPitchProgression;
    showScope = row.showScope;
    songPartVoice = row.songPartVoice;
    clickMode = row.clickMode;
    if (L == 1) lessonTempo = row.tempo; // numbered lessons take the melody's Q: tempo
    else playAccompaniment = row.playAccompaniment;

    if (selectionHooks.resetNoteSelection) selectionHooks.resetNoteSelection();
    showAmplitudeProgression = 1;
    pitchSensitivity = 50; // whatever the row holds

    // Lessons 1 and 557 have no stored block: their selection stays empty.
    // The dialog is lesson 2's note choice whatever lesson opens it, so it
    // offers lesson 2's stored notes.
    if (L >= 2 && L <= 556) {
        LessonBlock block{};
        getUserLessonBlock(currentUserKey, 0, block);
        for (const NoteSlot &slot : block.slots)
            if (slot.note >= 3 && slot.note <= 51 && selectionHooks.preselectNote)
                selectionHooks.preselectNote(slot.note);
    }
    if (selectionHooks.createOptionsControls) selectionHooks.createOptionsControls();
    enterOptionsScreenAtEntry();
}

int32_t lessonScreenFor(int32_t lesson)
{
    return lesson == 1 ? introLessonScreenId : lesson + lessonScreenOffset;
}

void openLessonOptions()
{
    if (currentLesson >= firstOptionsLesson && currentLesson <= lastOptionsLesson) {
        setUpExerciseOptions();
        currentScreen = exerciseOptionsScreenId;
    } else {
        currentScreen = lessonMenuScreenId;
    }
}
