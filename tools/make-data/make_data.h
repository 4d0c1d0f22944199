// The data generator: writes a complete data folder (sounds, texture packs,
// ResourceFiles, lesson folders) so the program runs on a fresh machine.
#pragma once
#include <string>

// Each returns false after printing why to standard error.
bool makeSoundData(const std::string &dataDir);   // dataDir + "/sounds/..."
bool makePictureData(const std::string &dataDir); // dataDir + "/images.prod/..."

// The introductory lesson (make_intro_*.cpp): its own packs, its voice clips
// and loading music; Images51 (make_images51.cpp); stand-ins for the packs and
// clips it shares with the exercise and the lesson menu, written only where
// the folder has none (make_shared_lesson_standins.cpp).
bool makeIntroPictures(const std::string &dataDir);
bool makeIntroClips(const std::string &dataDir);
bool makeImages51(const std::string &dataDir);
bool makeSharedLessonStandIns(const std::string &dataDir);
