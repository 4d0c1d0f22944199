// Every generated lesson's melody, read by the tune reader as a lesson load
// reads it, sounds what the generator meant: the pitches its "% sounding:"
// comment names item by item, and the solfege syllables of its lyric line
// name the sounding degree of the tune's key (B flat is "fa" in F).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/generated_data.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_params.h"
#include "music/abc_reader.h"
#include "music/notes.h"
#include "platform/paths.h"

namespace {

// The names the comment line of a melody file gives, in order.
std::vector<std::string> soundingNames(const std::string &path)
{
    std::ifstream in(resolveDataPath(path)); // "Lesson7" is the folder "lesson7"
    std::string line;
    const std::string mark = "% sounding:";
    while (std::getline(in, line))
        if (line.rfind(mark, 0) == 0) {
            std::istringstream words(line.substr(mark.size()));
            std::vector<std::string> names;
            for (std::string w; words >> w;) names.push_back(w);
            return names;
        }
    return {};
}

// Pitch class (0 = C) of a NoteIndex (0 = A1).
int32_t pitchClass(int32_t note) { return (note + 9) % 12; }

// The tonic's pitch class per KeyIndex (C, D, Db, E, Eb, F, G, Gb, A, Ab, B,
// Bb, C#, Cb, F#), major or relative minor alike: do is the major tonic.
constexpr int32_t tonicOfKey[keyCount] = {0, 2, 1, 4, 3, 5, 7, 6, 9, 8, 11, 10, 1, 11, 6};

const std::map<std::string, int32_t> solfegeDegrees = {{"do", 0}, {"re", 2}, {"mi", 4}, {"fa", 5}, {"so", 7},
                                                       {"si", 8}, {"la", 9}, {"ti", 11}};

TEST(GeneratedTunes, EveryLessonSoundsWhatTheGeneratorMeant)
{
    const std::string data = generatedData();
    std::vector<AbcNoteRecord> rec(abcMaxRecordIndex + 1);
    std::vector<BeatRecord> beats(abcMaxBeatIndex + 1);
    int32_t checkedLessons = 0, checkedSyllables = 0;
    std::string lastFolder;
    for (int32_t lesson = 2; lesson <= lastParamsLesson; ++lesson) {
        const std::string folder = lessonFolderName(lesson, LessonFile::melody);
        if (folder == lastFolder) continue; // lessons 25 and 27 share a folder, ...
        lastFolder = folder;
        SCOPED_TRACE("lesson " + std::to_string(lesson) + " (" + folder + ")");
        const std::string path = data + folder + "/ABC-Notes.txt";
        const std::vector<std::string> names = soundingNames(path);
        ASSERT_FALSE(names.empty()) << path << " names no sounding pitches";

        int32_t count = 0, lastBeat = 0, key = 0, minor = 0, num = 4, den = 4, tempo = 0, pickup = 0;
        std::string title, composer, source;
        readAbcTuneFile({.fileName = path,
                         .tessitura = 0,
                         .records = rec.data(),
                         .capacity = abcMaxRecordIndex,
                         .count = &count,
                         .beats = beats.data(),
                         .beatCapacity = abcMaxBeatIndex,
                         .lastBeatIndex = &lastBeat,
                         .keyIndex = &key,
                         .minor = &minor,
                         .meterNumerator = &num,
                         .meterDenominator = &den,
                         .tempo = &tempo,
                         .pickup = &pickup,
                         .title = &title,
                         .composer = &composer,
                         .source = &source});
        ASSERT_EQ(static_cast<size_t>(count), names.size());
        for (int32_t i = 0; i < count; ++i) {
            if (names[i] == "z") {
                EXPECT_EQ(rec[i].letter, 'r') << "item " << i;
                continue;
            }
            const int32_t meant = tryParseNoteName(names[i]);
            ASSERT_GE(meant, 0) << names[i];
            EXPECT_EQ(rec[i].note, meant) << "item " << i << " is meant as " << names[i] << ", sounds "
                                          << noteNameInTable(0, rec[i].note);
            const auto degree = solfegeDegrees.find(rec[i].lyric);
            if (degree != solfegeDegrees.end()) {
                ++checkedSyllables;
                EXPECT_EQ((pitchClass(rec[i].note) - tonicOfKey[key] + 12) % 12, degree->second)
                    << "item " << i << " sung as \"" << rec[i].lyric << "\" sounds " << noteNameInTable(0, rec[i].note);
            }
        }
        ++checkedLessons;
    }
    EXPECT_GT(checkedLessons, 500);
    EXPECT_GE(checkedSyllables, 17); // the syllables of lessons 40, 42 and 43
}

} // namespace
