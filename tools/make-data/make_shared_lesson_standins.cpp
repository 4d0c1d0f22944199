// Stand-ins for data the introductory lesson loads but other parts of the
// program own: the packs Images25, Images49 and Images44 (shared with the
// exercise screen and the lesson menu) and the exercise's clips
// "BrimbleDingDong.ogg" and "BrimbleWhiteNoise.ogg". Each is written only
// when the data folder has no such file yet, so the owner's generator step
// wins whatever order the steps run in.
#include "intro_art.h"
#include "make_data.h"
#include "sound_files.h"
#include "sound_synth.h"

#include "intro/intro_pictures.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

static bool missing(const std::string &path) { return !std::filesystem::exists(path); }

static bool standInPack(const std::string &dataDir, const std::string &name, int count, const int16_t *sides)
{
    if (!missing(dataDir + "/images.prod/" + name)) return true;
    std::vector<PackPicture> pictures;
    for (int p = 1; p <= count; ++p) {
        const int side = sides != nullptr ? sides[p - 1] : 1024;
        const Canvas c = labelledPicture(name == "Images25" ? "IMAGES25" : name == "Images49" ? "IMAGES49" : "IMAGES44",
                                         p, side, side, p * 7);
        pictures.push_back({c.width, c.height, c.rgba()});
    }
    return writePack(dataDir, name, pictures);
}

// Two soft bell tones, high then low.
static Samples dingDong()
{
    Samples s(static_cast<size_t>(1.2 * synthRate), 0.0f);
    const double tones[2][2] = {{0.0, 880.0}, {0.45, 698.46}};
    for (const auto &t : tones)
        for (size_t i = static_cast<size_t>(t[0] * synthRate); i < s.size(); ++i) {
            const double x = static_cast<double>(i) / synthRate - t[0];
            s[i] += static_cast<float>(0.4 * std::exp(-3.5 * x) *
                                       (std::sin(2 * M_PI * t[1] * x) + 0.3 * std::sin(4 * M_PI * t[1] * x)));
        }
    fadeEdges(s, 0.003, 0.05);
    normalisePeak(s, 0.7);
    return s;
}

static Samples whiteNoise()
{
    Samples s(static_cast<size_t>(1.0 * synthRate));
    uint64_t state = 0x5eed;
    for (float &v : s) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        v = static_cast<float>((static_cast<double>(state >> 11) / 9007199254740992.0) * 2 - 1) * 0.3f;
    }
    fadeEdges(s, 0.02, 0.05);
    return s;
}

bool makeSharedLessonStandIns(const std::string &dataDir)
{
    if (!standInPack(dataDir, "Images25", images25PictureCount, nullptr)) return false;
    if (!standInPack(dataDir, "Images49", images49PictureCount, nullptr)) return false;
    if (!standInPack(dataDir, "Images44", images44PictureCount, images44Sides)) return false;
    const std::string sounds = dataDir + "/sounds/";
    std::string error;
    if (missing(sounds + "BrimbleDingDong.ogg") &&
        !writeOggVorbisFile(sounds + "BrimbleDingDong.ogg", dingDong(), synthRate, 0.2f, 0x54620001, error))
        return std::fprintf(stderr, "tarnova-make-data: %s\n", error.c_str()), false;
    if (missing(sounds + "BrimbleWhiteNoise.ogg") &&
        !writeOggVorbisFile(sounds + "BrimbleWhiteNoise.ogg", whiteNoise(), synthRate, 0.2f, 0x54620003, error))
        return std::fprintf(stderr, "tarnova-make-data: %s\n", error.c_str()), false;
    return true;
}
