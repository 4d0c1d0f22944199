// Values that several modules share: folders, window size, the active screen,
// the frame clock, the exercise speed factor and the sound file names. Each is
// set by the module named beside it; the others only read.
#pragma once
#include <cstdint>
#include <string>

// Folders, set once at start-up (paths use "\" as written; open files through
// resolveDataPath in platform/paths.h).
extern std::string userDataDir;    // application data + "\Quellbrook\Tarnova\"
extern std::string userDataDirAlt; // the same text, built a second time
extern std::string resourceDir;    // copy of userDataDir
extern std::string soundsDir;      // resourceDir + "sounds/"
extern std::string imagesDir;      // resourceDir + "images.prod\"
extern std::string documentsDir;   // initial folder of the export dialogs
extern std::string debugLogPath;   // userDataDir + "ResourceFiles\debug.txt"

// Builds every folder value above from the application-data and documents
// folders (start-up step 1 and 5).
void setUpFolders(const std::string &appDataFolder, const std::string &documents);

extern int32_t currentScreen; // the active ScreenId; takes effect at the next callback
extern int32_t unsupportedReason; // why screen 1 is shown: 1 = no usable sound device
// The program's window as it opens; every screen is laid out in it, and
// whatever a screen draws lies inside it.
constexpr int32_t mainWindowWidth = 1124;
constexpr int32_t mainWindowHeight = 765;
extern int32_t windowWidth;   // mainWindowWidth until the first reshape
extern int32_t windowHeight;  // mainWindowHeight until the first reshape

extern int32_t frameTime;      // ms at the start of the frame; animation time base
extern int32_t nextTimerDelay; // delay chosen by the last tick (< 20: catch-up tick)

extern double exerciseSpeedFactor; // 1.0 at start; set by the lesson loader

constexpr int soundCount = 279;
extern std::string soundFileNames[soundCount + 1]; // full path per SoundId 1..279
