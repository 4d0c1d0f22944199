// tarnova-make-data DIR: writes a complete data folder into DIR.
#include "make_data.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarnova-make-data DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir + "/ResourceFiles", ec);
    std::filesystem::create_directories(dir + "/sounds", ec);
    std::filesystem::create_directories(dir + "/images.prod", ec);
    if (ec) {
        std::fprintf(stderr, "tarnova-make-data: cannot create folders in %s: %s\n", dir.c_str(),
                     ec.message().c_str());
        return 1;
    }
    if (!makeSoundData(dir)) return 1;
    if (!makePictureData(dir)) return 1;
    if (!makeExerciseData(dir)) return 1;
    if (!makeLessonData(dir) || !makeImages36(dir)) return 1;
    if (!makeScoreViewLessons(dir)) return 1;
    if (!makeIntroPictures(dir)) return 1;
    if (!makeImages51(dir)) return 1;
    if (!makeIntroClips(dir)) return 1;
    if (!makeCheckClips(dir)) return 1;
    return 0;
}
