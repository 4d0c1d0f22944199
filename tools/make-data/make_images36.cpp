// The texture pack Images36 of the options dialog: the note keys C2..C6 at
// rest (pictures 1..49) and chosen (50..98), each with its full note name
// inside the key, ten spare pictures (99..108), all 128 x 128, and the
// 512 x 512 backdrop (109).
#include "make_data.h"
#include "picture_canvas.h"
#include "picture_pack_writer.h"

#include <cstdio>

#include "audio-files/audio_files.h"
#include "lessons/lesson_one_screen.h"
#include "music/notes.h"

namespace {

const Colour ink = {0.08f, 0.08f, 0.1f, 1};

// A key fills the lower left noteKeyWidth x noteKeyHeight of its picture
// (the key's rectangle on the screen); the rest stays transparent. Its label
// is the full note name in two lines, the letter with its accidental over the
// octave ("C#" over "4"), both inside the key.
Canvas drawNoteKey(int32_t note, bool chosen)
{
    const int32_t size = images36PictureSize;
    Canvas c(size, size);
    const std::string name = noteNameInTable(namesSharps, note);
    const bool black = name.size() > 1 && name[1] == '#';
    const Colour face = chosen ? Colour{0.2f, 0.7f, 0.25f, 1}
                               : (black ? Colour{0.15f, 0.15f, 0.18f, 1} : Colour{0.97f, 0.97f, 0.94f, 1});
    const Colour text = black && !chosen ? Colour{1, 1, 1, 1} : ink;
    const double top = size - noteKeyHeight; // canvas rows run down
    c.fillRect(0, top, noteKeyWidth, size, ink);
    c.fillRect(2, top + 2, noteKeyWidth - 2, size - 2, face);
    const std::string pitch = name.substr(0, black ? 2 : 1), octave = name.substr(black ? 2 : 1);
    const int scale = 2;
    c.text((noteKeyWidth - Canvas::textWidth(pitch, scale)) / 2.0, top + 10, pitch, scale, text);
    c.text((noteKeyWidth - Canvas::textWidth(octave, scale)) / 2.0, top + 30, octave, scale, text);
    return c;
}

Canvas drawSpare()
{
    Canvas c(images36PictureSize, images36PictureSize);
    c.fillRect(8, 8, 120, 120, {0.85f, 0.85f, 0.85f, 1});
    return c;
}

// A staff with a few notes on a pale ground, in the corner of the picture
// that shows between the keys and the list of chosen notes: drawn from
// (650, 340), the backdrop keeps left of x 940 and below y 655; the rest of
// the picture is transparent.
Canvas drawBackdrop()
{
    const int32_t size = optionsBackdropSize;
    Canvas c(size, size);
    const double right = optionsBackdropShownWidth, top = size - optionsBackdropShownHeight;
    c.fillRect(0, top, right, size, {0.93f, 0.95f, 1.0f, 1});
    for (int k = 0; k < 5; ++k) c.line(20, top + 90 + 20 * k, right - 20, top + 90 + 20 * k, 2, ink);
    const double heads[4][2] = {{70, 170}, {130, 160}, {190, 150}, {250, 140}};
    for (const auto &h : heads) {
        c.fillEllipse(h[0], top + h[1], 12, 8.5, -0.35, ink);
        c.line(h[0] + 10, top + h[1] - 3, h[0] + 10, top + h[1] - 60, 3, ink);
    }
    c.text((right - Canvas::textWidth("CHOOSE YOUR NOTES", 2)) / 2, top + 250, "CHOOSE YOUR NOTES", 2,
           {0.1f, 0.3f, 0.6f, 1});
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
