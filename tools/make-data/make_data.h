// The data generator: writes a complete data folder (sounds, texture packs,
// ResourceFiles, lesson folders) so the program runs on a fresh machine.
#pragma once
#include <string>

// Each returns false after printing why to standard error.
bool makeSoundData(const std::string &dataDir);   // dataDir + "/sounds/..."
bool makePictureData(const std::string &dataDir); // dataDir + "/images.prod/..."
// The exercise screen's cue sounds and picture packs 25, 44 and 49.
bool makeExerciseData(const std::string &dataDir);
bool makeLessonData(const std::string &dataDir);  // dataDir + "/Introduction", "/Lesson1" ...
bool makeScoreViewLessons(const std::string &dataDir); // lessons 40..43: tunes the score view shows
bool makeImages36(const std::string &dataDir);    // dataDir + "/images.prod/Images36"

// The introductory lesson (make_intro_*.cpp): its own packs, its voice clips
// and loading music; Images51 (make_images51.cpp).
bool makeIntroPictures(const std::string &dataDir);
bool makeIntroClips(const std::string &dataDir);
bool makeImages51(const std::string &dataDir);
// The sung-note check's four spoken clips (make_check_clips.cpp).
bool makeCheckClips(const std::string &dataDir);

// Writes a text file as it stands (make_lessons.cpp); false after printing why.
bool writeTextFile(const std::string &path, const std::string &text);
// A melody's comment line naming what each of its items is meant to sound
// ("C4 Bb4 z ...", "z" a rest), which the data test reads the tune against.
std::string soundingComment(const std::string &names);
