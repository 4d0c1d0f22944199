// Lessons whose melodies show what the replay's score view draws: beamed
// eighths and sixteenths, a key with flats and accidentals, a tie across a
// bar line and a slur, a triplet, rests, lyrics and chord symbols. Each tune
// has as many items (notes and rests) as its lesson trains notes, and its
// chord tune as many chord items, as the loader expects of every lesson; a
// lesson whose note count differs keeps the scale melody makeLessonData
// wrote.
#include "make_data.h"

#include <cstdio>
#include <cstdlib>

#include "audio-files/audio_files.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_params.h"

namespace {

struct ScoreViewTune {
    int32_t lesson;
    const char *title;
    const char *meter, *unit, *key;
    const char *melody;   // 7 items
    const char *sounding; // what the melody is meant to sound, item by item ("z" a rest)
    const char *words;    // "" none; solfege syllables name the sounding degree of the key
    const char *chords;   // 7 items, in the melody's unit
};

constexpr ScoreViewTune tunes[] = {
    {40, "Beams in B flat", "4/4", "1/8", "Bb", "B,DF^F GA B2 |]", "Bb3 D4 F4 F#4 G4 A4 Bb4", "do mi so si la ti do",
     "\"Bb\"z z z z \"F7\"z z \"Bb\"z2 |]"},
    {41, "A tie and a slur", "3/4", "1/4", "G", "G A B- | B (dc) | d3 |]", "G4 A4 B4 B4 D5 C5 D5",
     "Hold on to the glide home", "\"G\"z z \"Em\"z | z \"D\"z z | \"G\"z3 |]"},
    {42, "Triplet and rests", "2/4", "1/8", "F", "(3FGA z2 | _B c z2 |]", "F4 G4 A4 z Bb4 C5 z", "do re mi fa so",
     "\"F\"z z z \"C7\"z2 | \"Bb\"z \"C\"z z2 |]"},
    {43, "Sixteenths", "4/4", "1/16", "D", "DEFG A4 d4 z4 |]", "D4 E4 F#4 G4 A4 D5 z", "do re mi fa so do",
     "\"D\"z z z z \"A7\"z4 \"D\"z4 z4 |]"},
};

std::string tuneText(const ScoreViewTune &t, const std::string &body, const char *sounding, const std::string &words,
                     int32_t tempo)
{
    // Q counts the unit notes of L: the lesson's tempo in quarter notes.
    const int32_t perQuarter = std::atoi(t.unit + 2) / 4;
    std::string s = "X:1\r\nT:" + std::string(t.title) + "\r\nC:Tarnova\r\nM:" + t.meter + "\r\nL:" + t.unit +
                    "\r\nQ:" + std::to_string(tempo * perQuarter) + "\r\nK:" + t.key + "\r\n";
    if (sounding != nullptr) s += soundingComment(sounding);
    s += body + "\r\n";
    if (!words.empty()) s += "w:" + words + "\r\n";
    return s;
}

} // namespace

bool makeScoreViewLessons(const std::string &dataDir)
{
    for (const ScoreViewTune &t : tunes) {
        if (lessonParamsTable[t.lesson].noteCount != 7) continue;
        const std::string dir = dataDir + "/" + lessonFolderName(t.lesson, LessonFile::parts);
        const int32_t tempo = lessonOptionsTable[t.lesson].tempo;
        if (!writeTextFile(dir + "/ABC-Notes.txt", tuneText(t, t.melody, t.sounding, t.words, tempo)) ||
            !writeTextFile(dir + "/ABC-Chords.txt", tuneText(t, t.chords, nullptr, "", tempo)))
            return false;
    }
    return true;
}
