// The lesson folders: "Introduction" and one folder per numbered lesson by
// the loader's naming rule (lessons that share a folder share its files),
// each with "ABC-Notes.txt", "ABC-Chords.txt" and "ExerciseParts.txt" in CR
// LF lines. The melody holds as many quarter notes as the lesson trains,
// with one chord symbol per note; a few lessons shape their part (shuffled,
// redrawn among white keys or the whole range, interval steps) so the
// loader's shaping runs on delivered data too.
#include "make_data.h"

#include <cstdio>
#include <filesystem>
#include <set>

#include "audio-files/audio_files.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_params.h"

namespace {

constexpr const char *scaleLetters[8] = {"C", "D", "E", "F", "G", "A", "B", "c"};
constexpr const char *scaleSounding[8] = {"C4", "D4", "E4", "F4", "G4", "A4", "B4", "C5"};
constexpr const char *scaleChords[8] = {"C", "Dm", "Em", "F", "G", "Am", "G", "C"};

int32_t notesOfLesson(int32_t lesson)
{
    return lesson >= firstParamsLesson && lesson <= lastParamsLesson ? lessonParamsTable[lesson].noteCount : 8;
}

std::string header(const std::string &title, int32_t tempo)
{
    return "X:1\r\nT:" + title + "\r\nM:4/4\r\nL:1/4\r\nQ:" + std::to_string(tempo) + "\r\nK:C\r\n";
}

// Quarter notes (or rests carrying chord symbols) in bars of four.
std::string body(int32_t notes, bool chords)
{
    std::string line;
    for (int32_t k = 0; k < notes; ++k) {
        if (chords) line += std::string("\"") + scaleChords[k % 8] + "\"z";
        else line += scaleLetters[k % 8];
        line += (k % 4 == 3 || k == notes - 1) ? (k == notes - 1 ? " |]" : " | ") : " ";
    }
    return line + "\r\n";
}

// What the scale melody of `notes` notes sounds.
std::string scaleSoundingComment(int32_t notes)
{
    std::string names;
    for (int32_t k = 0; k < notes; ++k) names += std::string(k ? " " : "") + scaleSounding[k % 8];
    return soundingComment(names);
}

// The part lines of a lesson: one fixed part over the whole melody, except
// for the lessons that show each kind of shaping.
std::string partLines(int32_t lesson, int32_t notes)
{
    const std::string last = std::to_string(notes - 1);
    switch (lesson) {
    case 30: return "0;" + last + ";s;3?51;a;27;u2.\r\n";
    case 31: return "0;" + last + ";c;20?40;a;27;d3.\r\n";
    case 32: return "0;" + last + ";r;20?40;b;27;r1.\r\n";
    case 33: return "0;" + last + ";h;3?51;a;27;n.\r\n";
    case 34: return "0;3;s;3?51;a;27;n.\r\n4;" + last + ";r;27?39;a;30;u1.\r\n";
    default: return "0;" + last + ";f;3?51;a;27;n.\r\n";
    }
}

} // namespace

std::string soundingComment(const std::string &names) { return "% sounding: " + names + "\r\n"; }

bool writeTextFile(const std::string &path, const std::string &text)
{
    std::string error;
    if (writeBytesToFile(path, std::vector<uint8_t>(text.begin(), text.end()), error)) return true;
    std::fprintf(stderr, "tarnova-make-data: %s\n", error.c_str());
    return false;
}

bool makeLessonData(const std::string &dataDir)
{
    std::set<std::string> written;
    for (int32_t lesson = 1; lesson <= lastParamsLesson; ++lesson) {
        // Lesson 8's melody folder "Lesson7" is the folder "lesson7" of its
        // other two files: the program finds it whatever the letter case.
        const std::string folder = lessonFolderName(lesson, LessonFile::parts);
        if (!written.insert(folder).second) continue;
        const std::string dir = dataDir + "/" + folder;
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (ec) {
            std::fprintf(stderr, "tarnova-make-data: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
            return false;
        }
        const int32_t notes = notesOfLesson(lesson);
        const std::string type = lesson >= 3 ? "TarnovaExercise" : "Pitch";
        const auto tempo = lessonOptionsTable[lesson].tempo;
        if (!writeTextFile(dir + "/ABC-Notes.txt", header(folder, tempo) + scaleSoundingComment(notes) + body(notes, false)) ||
            !writeTextFile(dir + "/ABC-Chords.txt", header(folder + " chords", tempo) + body(notes, true)) ||
            !writeTextFile(dir + "/ExerciseParts.txt", type + "\r\n1.0\r\n" + partLines(lesson, notes)))
            return false;
    }
    return true;
}
