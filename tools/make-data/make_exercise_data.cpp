// What the exercise screen loads: the teacher's two cues in the sounds folder
// ("BrimbleDingDong.ogg" after every answer, "BrimbleWhiteNoise.ogg" five
// seconds before the singing phase of long delays) and the picture packs
// Images25 and Images49 (nine pictures of 1024 x 1024 each, kept but not
// drawn) and Images44 (3 of 128 x 128, 1 of 1024, 3 of 256, 11 of 1024;
// picture 2 is the fail icon, picture 3 the pass icon). The large pictures
// are plain panels so zlib packs them to a few kilobytes.
#include "make_data.h"
#include "picture_canvas.h"
#include "picture_pack_writer.h"
#include "sound_files.h"
#include "sound_synth.h"

#include "audio-files/audio_files.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace {

bool fail(const std::string &what)
{
    std::fprintf(stderr, "tarnova-make-data: exercise: %s\n", what.c_str());
    return false;
}

// Two bell strikes, E5 then C5, each with a few inharmonic partials.
Samples dingDong()
{
    const double seconds = 1.6;
    Samples s(static_cast<size_t>(seconds * synthRate), 0.0f);
    const double strikes[2][2] = {{0.0, 659.255}, {0.55, 523.251}};
    const double partials[4][2] = {{1.0, 1.0}, {2.0, 0.45}, {2.76, 0.25}, {5.4, 0.1}};
    for (const auto &strike : strikes) {
        const size_t start = static_cast<size_t>(strike[0] * synthRate);
        for (size_t i = start; i < s.size(); ++i) {
            const double t = static_cast<double>(i - start) / synthRate;
            double v = 0;
            for (const auto &p : partials)
                v += p[1] * std::exp(-t * (2.5 + 1.5 * p[0])) * std::sin(2 * M_PI * strike[1] * p[0] * t);
            s[i] += static_cast<float>(v * std::min(1.0, t * 400));
        }
    }
    fadeEdges(s, 0.0, 0.05);
    normalisePeak(s, 0.7);
    return s;
}

// A second of soft white noise with short fades (fixed seed).
Samples whiteNoise()
{
    Samples s(static_cast<size_t>(1.1 * synthRate));
    std::mt19937 random(0x5eed44);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (float &v : s) v = value(random);
    fadeEdges(s, 0.05, 0.1);
    normalisePeak(s, 0.35);
    return s;
}

// A plain panel: a filled background and a framed block in a second colour.
PackPicture panel(int size, const Colour &back, const Colour &front)
{
    Canvas c(size, size);
    c.fill(back);
    c.fillRect(size / 8, size / 8, size - size / 8, size - size / 8, front);
    return {size, size, c.rgba()};
}

// The feedback icons on a transparent ground: 1 a neutral disc, 2 a red
// cross (fail), 3 a green tick (pass).
PackPicture feedbackIcon(int kind)
{
    const int n = 128;
    Canvas c(n, n);
    c.fill({0, 0, 0, 0});
    if (kind == 1) {
        c.fillDisc(64, 64, 50, {0.2f, 0.4f, 0.9f, 1});
    } else if (kind == 2) {
        c.fillDisc(64, 64, 58, {1, 1, 1, 1});
        c.line(30, 30, 98, 98, 16, {0.85f, 0.1f, 0.1f, 1});
        c.line(98, 30, 30, 98, 16, {0.85f, 0.1f, 0.1f, 1});
    } else {
        c.fillDisc(64, 64, 58, {1, 1, 1, 1});
        c.polyline({{26, 66}, {54, 94}, {104, 32}}, 16, {0.1f, 0.65f, 0.15f, 1});
    }
    return {n, n, c.rgba()};
}

bool writePack(const std::string &path, const std::vector<PackPicture> &pictures)
{
    const std::vector<uint8_t> bytes = buildTexturePack(pictures);
    std::string error = "no pack built for " + path;
    return (!bytes.empty() && writeBytesToFile(path, bytes, error)) || fail(error);
}

} // namespace

bool makeExerciseData(const std::string &dataDir)
{
    std::string error;
    const std::string sounds = dataDir + "/sounds/";
    if (!writeOggVorbisFile(sounds + "BrimbleDingDong.ogg", dingDong(), synthRate, 0.4f, 0x54620001, error))
        return fail(error);
    if (!writeOggVorbisFile(sounds + "BrimbleWhiteNoise.ogg", whiteNoise(), synthRate, 0.3f, 0x54620002, error))
        return fail(error);

    const std::string images = dataDir + "/images.prod/";
    std::vector<PackPicture> large;
    for (int i = 0; i < 9; ++i)
        large.push_back(panel(1024, {0.95f, 0.95f, 0.9f, 1}, {0.3f + 0.07f * i, 0.5f, 0.7f, 1}));
    if (!writePack(images + "Images25", large)) return false;
    for (PackPicture &p : large) p = panel(1024, {0.9f, 0.95f, 0.95f, 1}, {0.7f, 0.4f, 0.3f, 1});
    if (!writePack(images + "Images49", large)) return false;

    std::vector<PackPicture> feedback;
    for (int kind = 1; kind <= 3; ++kind) feedback.push_back(feedbackIcon(kind));
    feedback.push_back(panel(1024, {1, 1, 1, 1}, {0.8f, 0.9f, 1, 1}));
    for (int i = 0; i < 3; ++i) feedback.push_back(panel(256, {1, 1, 1, 1}, {0.9f, 0.8f, 0.5f, 1}));
    for (int i = 0; i < 11; ++i) feedback.push_back(panel(1024, {1, 1, 1, 1}, {0.6f, 0.8f, 0.6f, 1}));
    return writePack(images + "Images44", feedback);
}
