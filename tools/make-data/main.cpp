// tarnova-make-data DIR: writes a complete data folder into DIR.
//
// Everything is written into DIR's sibling ".<name>.incomplete" and renamed
// to DIR when complete, so DIR is either whole or absent: a run stopped
// half-way (it takes minutes) leaves no partial data folder that a start
// would take for a real one. The next run removes such a leftover first. DIR
// may exist only as an empty folder; a folder with anything in it (a data
// folder with a user's results) is never touched.
#include "make_data.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool makeAll(const std::string &dir)
{
    std::error_code ec;
    fs::create_directories(dir + "/ResourceFiles", ec);
    if (!ec) fs::create_directories(dir + "/sounds", ec);
    if (!ec) fs::create_directories(dir + "/images.prod", ec);
    if (ec) {
        std::fprintf(stderr, "tarnova-make-data: cannot create folders in %s: %s\n", dir.c_str(),
                     ec.message().c_str());
        return false;
    }
    return makeSoundData(dir) && makePictureData(dir) && makeExerciseData(dir) && makeLessonData(dir) &&
           makeImages36(dir) && makeScoreViewLessons(dir) && makeIntroPictures(dir) && makeImages51(dir) &&
           makeIntroClips(dir) && makeCheckClips(dir);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: tarnova-make-data DIR\n");
        return 2;
    }
    std::string named = argv[1];
    while (named.size() > 1 && named.back() == '/') named.pop_back();
    const fs::path target = fs::absolute(fs::path(named)).lexically_normal();
    const fs::path work = target.parent_path() / ("." + target.filename().string() + ".incomplete");

    std::error_code ec;
    if (fs::exists(target, ec) && !(fs::is_directory(target, ec) && fs::is_empty(target, ec))) {
        std::fprintf(stderr,
                     "tarnova-make-data: %s exists and is not an empty folder; nothing was written (remove it, or "
                     "name a new folder)\n",
                     target.c_str());
        return 1;
    }
    fs::create_directories(target.parent_path(), ec);
    fs::remove_all(work, ec); // what an interrupted run left
    if (ec) {
        std::fprintf(stderr, "tarnova-make-data: cannot remove the leftover %s: %s\n", work.c_str(),
                     ec.message().c_str());
        return 1;
    }
    if (!makeAll(work.string())) {
        fs::remove_all(work, ec);
        return 1;
    }
    // An empty target folder is replaced by the rename.
    fs::rename(work, target, ec);
    if (ec) {
        std::fprintf(stderr, "tarnova-make-data: cannot rename %s to %s: %s\n", work.c_str(), target.c_str(),
                     ec.message().c_str());
        fs::remove_all(work, ec);
        return 1;
    }
    return 0;
}
