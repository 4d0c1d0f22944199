// The texture pack Images36 of the options dialog: the note keys C2..C6 at
// rest (pictures 1..49) and chosen (50..98), each with its note name, ten
// spare pictures (99..108), all 128 x 128, and the 512 x 512 backdrop (109).
#include "make_data.h"
#include "picture_canvas.h"
#include "picture_pack_writer.h"

#include <cstdio>

#include "audio-files/audio_files.h"
#include "lessons/lesson_one_screen.h"
#include "music/notes.h"

namespace {

const Colour ink = {0.08f, 0.08f, 0.1f, 1};

Canvas drawNoteKey(int32_t note, bool chosen)
{
    const int32_t size = images36PictureSize;
    Canvas c(size, size);
    const std::string name = noteNameInTable(namesSharps, note);
    const bool black = name.size() > 1 && name[1] == '#';
    const Colour face = chosen ? Colour{0.2f, 0.7f, 0.25f, 1}
                               : (black ? Colour{0.15f, 0.15f, 0.18f, 1} : Colour{0.97f, 0.97f, 0.94f, 1});
    const Colour text = black && !chosen ? Colour{1, 1, 1, 1} : ink;
    c.fillRect(8, 8, size - 8, size - 8, ink);
    c.fillRect(12, 12, size - 12, size - 12, face);
    const int scale = 5;
    const int width = Canvas::textWidth(name, scale);
    c.text((size - width) / 2.0, size / 2.0 - 3.5 * scale, name, scale, text);
    return c;
}

Canvas drawSpare()
{
    Canvas c(images36PictureSize, images36PictureSize);
    c.fillRect(8, 8, 120, 120, {0.85f, 0.85f, 0.85f, 1});
    return c;
}

// A staff with a few notes on a pale ground.
Canvas drawBackdrop()
{
    const int32_t size = optionsBackdropSize;
    Canvas c(size, size);
    c.fill({0.93f, 0.95f, 1.0f, 1});
    for (int k = 0; k < 5; ++k) c.line(40, 200 + 24 * k, 472, 200 + 24 * k, 2, ink);
    const double heads[5][2] = {{110, 296}, {190, 284}, {270, 272}, {350, 260}, {430, 248}};
    for (const auto &h : heads) {
        c.fillEllipse(h[0], h[1], 14, 10, -0.35, ink);
        c.line(h[0] + 12, h[1] - 3, h[0] + 12, h[1] - 70, 3, ink);
    }
    c.text(40, 420, "CHOOSE YOUR NOTES", 4, {0.1f, 0.3f, 0.6f, 1});
    return c;
}

} // namespace

bool makeImages36(const std::string &dataDir)
{
    std::vector<PackPicture> pictures;
    auto add = [&](const Canvas &c) { pictures.push_back({c.width, c.height, c.rgba()}); };
    for (int32_t k = 0; k < noteKeyCount; ++k) add(drawNoteKey(noteC2 + k, false));
    for (int32_t k = 0; k < noteKeyCount; ++k) add(drawNoteKey(noteC2 + k, true));
    for (int32_t k = 2 * noteKeyCount; k < images36SmallPictures; ++k) add(drawSpare());
    add(drawBackdrop());

    const std::string path = dataDir + "/images.prod/Images36";
    const std::vector<uint8_t> bytes = buildTexturePack(pictures);
    std::string error = "no pack built for " + path;
    if (bytes.empty() || !writeBytesToFile(path, bytes, error)) {
        std::fprintf(stderr, "tarnova-make-data: %s\n", error.c_str());
        return false;
    }
    return true;
}
