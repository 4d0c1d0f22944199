#include "base/shared.h"

#include "base/screen_id.h"

std::string userDataDir;
std::string userDataDirAlt;
std::string resourceDir;
std::string soundsDir;
std::string imagesDir;
std::string documentsDir;
std::string debugLogPath;

int32_t currentScreen = loadingScreenId;
int32_t unsupportedReason = 0;
int32_t windowWidth = mainWindowWidth;
int32_t windowHeight = mainWindowHeight;
int32_t frameTime = 0;
int32_t nextTimerDelay = 0;
double exerciseSpeedFactor = 1.0;
std::string soundFileNames[soundCount + 1];

void setUpFolders(const std::string &appDataFolder, const std::string &documents)
{
    userDataDir = appDataFolder + "\\Quellbrook" + "\\Tarnova\\";
    debugLogPath = userDataDir + "ResourceFiles\\" + "debug.txt";
    documentsDir = documents;
    userDataDirAlt = appDataFolder + "\\Quellbrook" + "\\Tarnova" + "\\";
    resourceDir = userDataDir;
    soundsDir = resourceDir + "sounds/";
    imagesDir = resourceDir + "images.prod\\";
}
