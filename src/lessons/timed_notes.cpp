#include "lessons/timed_notes.h"

#include "base/rounding.h"
#include "lessons/lesson_state.h"
#include "music/chords.h"
#include "lessons/lesson_note_labels.h"
#include "music/note_labels.h"
#include "music/notes.h"
#include "music/tune_state.h"

double halfBeatMs = 250.0;
double scorePixelsPerMs = 0.12;
int32_t scoreNotesStartX = 150;
int32_t timeSignatureX = 90;

namespace {

// Lesson types whose reshaped notes carry solfege syllables as lyrics:
// Pitch, NoteOk, IntervalFirst and IntervalLast.
bool typeShowsSolfege(int32_t type) { return type == 0 || type == 3 || type == 5 || type == 6; }

int32_t msOfUnits(double units) { return roundToInt32(msPerBeat * units / 16); }

} // namespace

int32_t scoreNotesStartXForKey(int32_t key)
{
    // C, D, Db, E, Eb, F, G, Gb, A, Ab, B, Bb, C#, Cb, F#
    static constexpr int32_t startX[keyCount] = {150, 177, 218, 204, 191, 164, 164, 231,
                                                 191, 204, 218, 177, 245, 245, 231};
    return key >= 0 && key < keyCount ? startX[key] : 150;
}

bool writtenAsFlat(const TimedNote &note) { return note.shownStaff > note.soundingStaff; }

void buildTimedNotes()
{
    lessonNoteCount = abcNoteCount;
    msPerBeat = 60.0 / lessonTempo * 1000.0;
    halfBeatMs = msPerBeat / 2;
    scorePixelsPerMs = meterDenominator / 4.0 * 30.0 / halfBeatMs;
    untransposedKeyIndex = tuneKeyIndex;

    for (int32_t i = 0; i <= lessonNoteCount; ++i) {
        const AbcNoteRecord &a = abcNotes[i];
        TimedNote &n = lessonNotes[i];
        n.reachedMs = -1;
        n.intervalMark = 0;
        n.onsetPeakPos = 0;
        n.onsetPeakLevel = 0;
        n.bodyPeakLevel = 0;
        n.shiftMs = 0;
        n.stepDown = 0;
        n.startUnits = a.start;
        n.firstBeat = a.firstBeat;
        n.countChar = a.countChar;
        n.letter = a.letter;
        n.lengthUnits = a.length;
        n.shownStaff = a.writtenStaff;
        n.soundingStaff = a.soundingStaff;
        n.noteIndex = a.note;
        n.upperHz = a.upperPreset;
        n.lowerHz = a.lowerPreset;
        n.ledgerCount = a.ledgerCount;
        n.ledgerFirst = a.firstLedger;
        n.lyric = a.lyric;
        n.chordText = a.chordText;
        n.chordId = a.chordId;
        n.barKind = a.barKind;
        n.barTotal = a.barTotal;
        n.accidental = a.accidental;
        n.loudness = a.decoration;
        n.slurRole = a.slurRole;
        n.slurFirst = a.slurSpans[0].first;
        n.slurLast = a.slurSpans[0].last;
        n.tieRole = a.tieRole;
        n.beamKind = a.beamRole;
        n.beamFirst = a.beamFirst;
        n.beamLast = a.beamLast;
        n.beamTop = a.beamTop;
        n.tupletRole = a.tupletRole;
        n.tupletCount = a.tupletCount;
        n.startMs = msOfUnits(n.startUnits);
        if (n.tupletRole == 1) currentTupletCount = n.tupletCount;
        n.durationMs = tupletNoteDurationMs(n.tupletRole, n.lengthUnits, msPerBeat, currentTupletCount);
        n.label = noteLabel(writtenAsFlat(n), n.noteIndex, i);
    }
    for (int32_t i = 0; i <= lessonNoteCount; ++i) setNoteToleranceBand(i);
    for (int32_t i = 0; i <= lessonNoteCount; ++i) extendBandToNextNote(i);

    scoreNotesStartX = scoreNotesStartXForKey(tuneKeyIndex);
    timeSignatureX = scoreNotesStartX - 60;
}

void buildTimedChords()
{
    double tupletStartUnits = 0.0;
    for (int32_t i = 0; i <= lessonChordCount; ++i) {
        const AbcNoteRecord &a = abcChords[i];
        TimedNote &c = lessonChords[i];
        c.reachedMs = -1;
        c.onsetPeakPos = 0;
        c.onsetPeakLevel = 0;
        c.shiftMs = 0;
        if (i == 0) {
            c.startMs = 0;
            c.startUnits = 0.0;
        } else {
            // In ms a chord always starts where the previous one ends, so a
            // tuplet's chords sum exactly as the melody's notes do.
            const TimedNote &p = lessonChords[i - 1];
            c.startMs = p.startMs + p.durationMs;
            if (a.tupletRole == 2 || a.tupletRole == 3)
                c.startUnits = p.startUnits + roundToInt32(2.0 * p.lengthUnits / currentTupletCount);
            else if (p.tupletRole == 3)
                c.startUnits = tupletStartUnits + 2.0 * p.lengthUnits;
            else
                c.startUnits = p.startUnits + p.lengthUnits;
        }
        if (a.tupletRole == 1) {
            currentTupletCount = a.tupletCount;
            tupletStartUnits = c.startUnits;
        }
        c.lengthUnits = a.length;
        c.tupletRole = a.tupletRole;
        c.tupletCount = a.tupletCount;
        c.durationMs = tupletNoteDurationMs(c.tupletRole, c.lengthUnits, msPerBeat, currentTupletCount);
        c.chordText = a.chordText;
        c.chordId = a.chordId;
        c.loudness = a.decoration;
        c.barTotal = a.barTotal;
    }
    TimedNote &closing = lessonChords[lessonChordCount];
    closing.startUnits = lessonNotes[lessonNoteCount].startUnits;
    closing.startMs = msOfUnits(closing.startUnits);
    if (lessonChordCount >= 1) lessonChords[lessonChordCount - 1].durationMs = 999999;

    for (int32_t k = 0; k < beatRecordCount && k < beatRecordCapacity; ++k) {
        BeatRecord &b = beatRecords[k];
        b.reachedMark = -1;
        b.msTime = msOfUnits(b.time);
        if (k >= 1) beatRecords[k - 1].msToNext = b.msTime - beatRecords[k - 1].msTime;
    }
    for (int32_t k = beatRecordCount < 0 ? 0 : beatRecordCount; k < beatRecordCapacity; ++k)
        beatRecords[k].reachedMark = -1;
}

void applyIntervalToNote(int32_t i, int32_t semitones)
{
    TimedNote &n = lessonNotes[i];
    if (n.letter == 'r') return;
    int32_t note = lessonNotes[i - 1].noteIndex + semitones;
    if (note < 0) note = 0;
    if (note > noteB7) note = noteB7;
    n.noteIndex = note;
    n.soundingStaff = staffValueOfNote(note);
    setNoteStaffSlot(i, n.soundingStaff);
    setNoteToleranceBand(i);
    if (typeShowsSolfege(exerciseType)) {
        const bool flat = writtenAsFlat(n);
        n.lyric = solfegeName(flat, note);
        n.label = noteLabel(flat, note, i);
    }
    n.stepDown = semitones < 0 ? 1 : 0;
}

void setChordRootFromNote(int32_t i)
{
    static constexpr const char *sharpRoots[12] = {"C", "C#", "D", "D#", "E", "F",
                                                   "F#", "G", "G#", "A", "A#", "B"};
    static constexpr const char *flatRoots[12] = {"C", "Db", "D", "Eb", "E", "F",
                                                  "Gb", "G", "Ab", "A", "Bb", "B"};
    const TimedNote &n = lessonNotes[i];
    const int32_t p = ((n.noteIndex + 9) % 12 + 12) % 12;
    TimedNote &c = lessonChords[i];
    c.chordText = writtenAsFlat(n) ? flatRoots[p] : sharpRoots[p];
    c.chordId = chordIdFromSymbol(c.chordText);
}
