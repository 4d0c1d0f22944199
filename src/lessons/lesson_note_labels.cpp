#include "lessons/lesson_note_labels.h"

#include <cmath>

#include "base/rounding.h"
#include "lessons/lesson_state.h"
#include "lessons/run_tallies.h"
#include "music/chords.h"
#include "music/note_labels.h"
#include "music/notes.h"
#include "music/tune_state.h"

namespace {

constexpr const char *degreeSharps[12] = {"^1", "^#1", "^2", "^#2", "^3", "^4", "^#4", "^5", "^#5", "^6", "^#6", "^7"};
constexpr const char *degreeFlats[12] = {"^1", "^b2", "^2", "^b3", "^3", "^4", "^b5", "^5", "^b6", "^6", "^b7", "^7"};
constexpr const char *relativeSharps[12] = {"(Do)", "(Di)", "(Re)", "(Ri)", "(Mi)", "(Fa)",
                                            "(Fi)", "(So)", "(Si)", "(La)", "(Li)", "(Ti)"};
constexpr const char *relativeFlats[12] = {"(Do)", "(Ra)", "(Re)", "(Me)", "(Mi)", "(Fa)",
                                           "(Se)", "(So)", "(Le)", "(La)", "(Te)", "(Ti)"};

bool usesSolfegeLyrics(int32_t type) { return type == 0 || type == 3 || type == 5 || type == 6; }

} // namespace

void setNoteStaffSlot(int32_t i, int32_t value)
{
    TimedNote &n = lessonNotes[i];
    if (value % 2 != 0) {
        if (flatSpelling == 1) {
            n.accidental = accidentalFlat;
            n.shownStaff = value + 5;
        } else {
            n.accidental = accidentalSharp;
            n.shownStaff = value - 5;
        }
    } else {
        n.accidental = accidentalNone;
        n.shownStaff = value;
    }
    ledgerLinesForShownStaff(n.shownStaff, n.ledgerCount, n.ledgerFirst);
}

std::string noteLabel(bool flat, int32_t note, int32_t i)
{
    switch (noteLabelMode) {
    case 0: return "error!";
    case 1: {
        std::string name;
        spelledNoteName(tuneKeyIndex, note, name);
        return name;
    }
    case 2: return solfegeName(flat, note);
    case 3:
    case 4: {
        const int32_t tonic = keyTonicPitchClass(tuneIsMinor == 1, tuneKeyIndex);
        const int32_t d = positiveMod12(positiveMod12(note) - tonic);
        if (noteLabelMode == 3) return flat ? degreeFlats[d] : degreeSharps[d];
        return flat ? relativeFlats[d] : relativeSharps[d];
    }
    case 5: {
        if (i <= 0) return "+0";
        int32_t j = i - 1;
        while (j > 0 && lessonNotes[j].letter == 'r') --j;
        if (lessonNotes[j].letter == 'r') return "+0";
        const int32_t d = lessonNotes[i].noteIndex - lessonNotes[j].noteIndex;
        return d >= 0 ? "+" + std::to_string(d) : std::to_string(d);
    }
    default: return lessonNotes[i].label;
    }
}

void refreshNoteLabels()
{
    for (int32_t i = 0; i <= lessonNoteCount; ++i)
        lessonNotes[i].label = noteLabel(tuneIsMinor == 1, lessonNotes[i].noteIndex, i);
}

void setNoteToleranceBand(int32_t i)
{
    TimedNote &n = lessonNotes[i];
    if (n.noteIndex < 3 || n.noteIndex > 62) return;
    const double f = noteFrequencies[n.noteIndex];
    const double factor = std::pow(2.0, pitchBandCents / 1200.0);
    n.upperHz = f * factor;
    n.lowerHz = f / factor;
}

// A note that starts or continues a slur glides into the next note: its band
// reaches that note's band on the side it moves to. (A tie joins two notes
// of one pitch, so it never widens a band.)
void extendBandToNextNote(int32_t i)
{
    TimedNote &n = lessonNotes[i];
    if (n.slurRole != slurStart && n.slurRole != slurInside) return;
    if (i + 1 >= lessonNoteCapacity) return;
    const TimedNote &next = lessonNotes[i + 1];
    if (next.noteIndex < n.noteIndex) n.lowerHz = next.lowerHz;
    else n.upperHz = next.upperHz;
}

void applyTransposition()
{
    const int32_t t = transposition;
    for (int32_t i = 0; i <= lessonNoteCount; ++i) {
        TimedNote &n = lessonNotes[i];
        const TimedNote &u = untransposedLessonNotes[i];
        n.letter = u.letter;
        n.soundingStaff = u.soundingStaff;
        n.noteIndex = u.noteIndex;
        n.shownStaff = u.shownStaff;
        n.ledgerCount = u.ledgerCount;
        n.ledgerFirst = u.ledgerFirst;
        n.accidental = u.accidental;
    }

    const int32_t key = tuneKeyIndex;
    if (isFlatKey(key)) flatSpelling = 1;
    else if (key == 0) flatSpelling = (t < 0 || tuneIsMinor == 1) ? 1 : 0;
    else flatSpelling = 0;

    if (t != 0) tuneKeyIndex = 0;
    else tuneKeyIndex = untransposedKeyIndex;

    for (int32_t i = 0; i <= lessonNoteCount; ++i) {
        TimedNote &n = lessonNotes[i];
        if (n.letter == 'r') continue;
        // Untransposed, the notes keep the spelling they were written with
        // (restored above); only a moved note is spelled anew.
        if (t != 0) {
            n.noteIndex = untransposedLessonNotes[i].noteIndex + t;
            n.soundingStaff = staffValueOfNote(n.noteIndex);
            setNoteStaffSlot(i, n.soundingStaff);
        }
        setNoteToleranceBand(i);
        if (usesSolfegeLyrics(exerciseType)) {
            n.lyric = solfegeName(flatSpelling == 1, n.noteIndex);
            n.label = noteLabel(flatSpelling == 1, n.noteIndex, i);
        }
    }
    for (int32_t i = 0; i <= lessonNoteCount; ++i) extendBandToNextNote(i);

    const int32_t s = t < 0 ? t + 12 : t;
    for (int32_t i = 0; i <= lessonChordCount; ++i) {
        TimedNote &c = lessonChords[i];
        const TimedNote &u = untransposedLessonChords[i];
        if (c.chordId != 0 && u.chordId >= basicChordFirst && u.chordId <= basicChordLast) {
            c.chordId = ((s * 5 + u.chordId - basicChordFirst) % 60) + basicChordFirst;
            c.chordText = flatSpelling == 1 ? chordSymbolFlat(c.chordId) : chordSymbolSharp(c.chordId);
        } else {
            c.chordText = u.chordText;
            c.chordId = u.chordId;
        }
    }
}

namespace {

void timeRecord(TimedNote &n)
{
    n.startMs = roundToInt32(n.startUnits * (msPerBeat / 16));
    if (n.tupletRole == 1) currentTupletCount = n.tupletCount;
    n.durationMs = tupletNoteDurationMs(n.tupletRole, n.lengthUnits, msPerBeat, currentTupletCount);
}

} // namespace

void computeNoteTimesMs()
{
    for (int32_t i = 0; i <= lessonNoteCount; ++i) {
        TimedNote &n = lessonNotes[i];
        const TimedNote &u = untransposedLessonNotes[i];
        n.startMs = u.startMs;
        n.startUnits = u.startUnits;
        n.durationMs = u.durationMs;
    }
    for (int32_t i = 0; i <= lessonNoteCount; ++i) timeRecord(lessonNotes[i]);

    // Chords come back whole from the copy (playback fields included), but
    // keep the symbol a transposition gave them.
    for (int32_t i = 0; i <= lessonChordCount; ++i) {
        const int32_t id = lessonChords[i].chordId;
        std::string text = lessonChords[i].chordText;
        lessonChords[i] = untransposedLessonChords[i];
        lessonChords[i].chordId = id;
        lessonChords[i].chordText = std::move(text);
        timeRecord(lessonChords[i]);
    }
    TimedNote &endChord = lessonChords[lessonChordCount];
    endChord.startUnits = lessonNotes[lessonNoteCount].startUnits;
    endChord.startMs = roundToInt32(msPerBeat * endChord.startUnits / 16);
    if (lessonChordCount >= 1) lessonChords[lessonChordCount - 1].durationMs = 999999;

    const int32_t points = beatRecordCount < beatRecordCapacity ? beatRecordCount : beatRecordCapacity;
    for (int32_t k = 0; k < points; ++k) {
        beatRecords[k] = beatRecordsBackup[k];
        beatRecords[k].msTime = roundToInt32(msPerBeat * beatRecords[k].time / 16);
        if (k >= 1) beatRecords[k - 1].msToNext = beatRecords[k].msTime - beatRecords[k - 1].msTime;
    }
}
