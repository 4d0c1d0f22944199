// Lesson data for the lesson tests: tunes read into the loader's global
// arrays, lesson folders written into a private data folder, and a user
// whose stored blocks live in memory only.
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/shared.h"
#include "common/temp_folder.h"
#include "base/small_routines.h"
#include "lessons/lesson_loader.h"
#include "lessons/lesson_state.h"
#include "lessons/timed_notes.h"
#include "music/abc_reader.h"
#include "music/tune_state.h"
#include "store/store_records.h"
#include "store/users_file.h"
#include "lessons/run_tallies.h"

inline std::string writeTestFile(const std::string &path, const std::string &text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::FILE *f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

inline std::string privateFolder(const std::string &what)
{
    return testTempFolder("lessons_" + what);
}

// The melody text read as the loader reads it, then turned into timed notes.
inline void loadMelody(const std::string &text)
{
    const std::string path = writeTestFile(privateFolder("tune") + "ABC-Notes.txt", text);
    lessonTempo = 0;
    readLessonMelody(path);
    buildTimedNotes();
}

inline void loadChords(const std::string &text)
{
    const std::string path = writeTestFile(privateFolder("chords") + "ABC-Chords.txt", text);
    loadAbcChordFile(path, currentUserTessitura, abcChords, abcMaxRecordIndex, lessonChordCount);
    buildTimedChords();
}

// A user (key 1, slot 0) whose lesson blocks the tests set directly.
inline void setUpTestUser(int32_t tessitura)
{
    for (UserRecord &r : userRecords) r.key = 0;
    userRecords[0].key = 1;
    userRecords[0].tessitura = tessitura;
    for (LessonBlock &b : userRecords[0].lessonBlocks) b = emptyLessonBlock();
    currentUserKey = 1;
    currentUserTessitura = tessitura;
}

inline void storeNotes(int32_t lesson, std::initializer_list<int32_t> notes)
{
    LessonBlock &b = userRecords[0].lessonBlocks[lesson - 2];
    b = emptyLessonBlock();
    int32_t k = 0;
    for (int32_t n : notes) b.slots[k++].note = n;
}

// Writes one lesson folder's three files under dataDir (CR LF where the
// texts have it); the folder is named by the loader's rule.
inline void writeLessonFolder(const std::string &dataDir, int32_t lesson, const std::string &melody,
                              const std::string &chords, const std::string &parts)
{
    writeTestFile(dataDir + lessonFolderName(lesson, LessonFile::parts) + "/ABC-Notes.txt", melody);
    writeTestFile(dataDir + lessonFolderName(lesson, LessonFile::parts) + "/ABC-Chords.txt", chords);
    writeTestFile(dataDir + lessonFolderName(lesson, LessonFile::parts) + "/ExerciseParts.txt", parts);
}
