// The generated data the exercise screen loads: both teacher cues decode, and
// the picture packs read back with the sizes the screen asks for.
#include <gtest/gtest.h>

#include <vector>

#include "common/generated_data.h"
#include "base/shared.h"
#include "frame/texture_pack.h"
#include "lessons/picture_sets.h"
#include "lessons/exercise_drawing.h"
#include "lessons/lesson_one_screen.h"
#include "sound/sound_layer.h"

namespace {

std::vector<std::pair<int32_t, int32_t>> uploads;

GLuint recordUpload(int32_t w, int32_t h, int32_t, const uint8_t *)
{
    uploads.emplace_back(w, h);
    return static_cast<GLuint>(uploads.size());
}

TEST(ExerciseData, TeacherCuesDecode)
{
    const std::string data = generatedData();
    std::vector<uint8_t> area(4000000);
    for (const char *name : {"BrimbleDingDong.ogg", "BrimbleWhiteNoise.ogg"}) {
        int32_t size = 0, rate = 0;
        ALenum format = 0;
        decodeOggFile((data + "sounds/" + name).c_str(), area.data(), static_cast<int32_t>(area.size()), size,
                      rate, format);
        EXPECT_EQ(rate, 44100) << name;
        EXPECT_GT(size, 44100 * 2) << name; // at least a second
    }
}

std::vector<uint32_t> deleted;

// The screen loads only what it draws, the three verdict pictures of
// Images44 (Images25 and Images49 are opened and closed: a missing or spoilt
// pack still stops), and leaving frees them.
TEST(ExerciseData, PicturePacksHoldTheSizesTheScreenReads)
{
    const std::string data = generatedData();
    imagesDir = data + "images.prod\\";
    userDataDirAlt = data;
    uploads.clear();
    deleted.clear();
    setTextureUploader(recordUpload);
    PictureSetHooks h = realPictureSetHooks();
    h.deleteTexture = [](uint32_t name) { deleted.push_back(name); };
    setPictureSetHooks(h);
    loadExercisePicturePack(25);
    loadExercisePicturePack(49);
    loadExercisePicturePack(44);
    loadExercisePicturePack(44); // loaded: nothing more
    EXPECT_EQ(uploads, (std::vector<std::pair<int32_t, int32_t>>{{128, 128}, {128, 128}, {128, 128}}));
    EXPECT_EQ(images44PicturesLoaded, 3);
    freeExercisePictures();
    EXPECT_EQ(deleted, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(images44PicturesLoaded, 0);
    setPictureSetHooks(realPictureSetHooks());
    setTextureUploader(nullptr);
}

} // namespace

// The options dialog's pictures (Images36): each note key has its body and
// label inside the key's rectangle (the lower left noteKeyWidth x
// noteKeyHeight of its 128 x 128 picture) and is transparent elsewhere, so
// keys 45 pixels apart do not cover each other; a label holds the full name
// ("C#4": the '#' and the octave show); the backdrop leaves the count line
// and the list of chosen notes uncovered.
TEST(ExerciseData, NoteKeysAndBackdropStayInTheirPlaces)
{
    const std::string data = generatedData();
    ASSERT_EQ(packOpenFile(data + "images.prod/Images36"), 0);
    const int32_t side = images36PictureSize;
    std::vector<std::vector<uint8_t>> keys;
    const uint8_t *pixels = nullptr;
    for (int32_t p = 0; p < 2 * noteKeyCount; ++p) {
        ASSERT_EQ(packReadPicture(side, side, &pixels), 0) << p;
        keys.emplace_back(pixels, pixels + side * side * 4);
    }
    for (int32_t p = 2 * noteKeyCount; p < images36SmallPictures; ++p) ASSERT_EQ(packReadPicture(side, side, &pixels), 0);
    ASSERT_EQ(packReadPicture(optionsBackdropSize, optionsBackdropSize, &pixels), 0);
    const std::vector<uint8_t> backdrop(pixels, pixels + optionsBackdropSize * optionsBackdropSize * 4);
    packClose();

    // Rows are stored top first: the key is rows side - noteKeyHeight .. side.
    auto inKey = [&](int32_t x, int32_t row) { return x < noteKeyWidth && row >= side - noteKeyHeight; };
    for (int32_t p = 0; p < 2 * noteKeyCount; ++p)
        for (int32_t row = 0; row < side; ++row)
            for (int32_t x = 0; x < side; ++x) {
                const uint8_t alpha = keys[p][(size_t(row) * side + x) * 4 + 3];
                if (inKey(x, row)) ASSERT_EQ(alpha, 255) << "picture " << p << " at " << x << "," << row;
                else ASSERT_EQ(alpha, 0) << "picture " << p << " at " << x << "," << row;
            }
    // Label ink on the chosen (green) keys, inside the key's frame.
    auto ink = [&](int32_t note) {
        const std::vector<uint8_t> &k = keys[noteKeyCount + note - 3];
        int n = 0;
        for (int32_t row = side - noteKeyHeight + 2; row < side - 2; ++row)
            for (int32_t x = 2; x < noteKeyWidth - 2; ++x) n += k[(size_t(row) * side + x) * 4 + 1] < 80;
        return n;
    };
    auto differs = [&](int32_t a, int32_t b) { return keys[noteKeyCount + a - 3] != keys[noteKeyCount + b - 3]; };
    for (int32_t note = 3; note <= 51; ++note) {
        EXPECT_GT(ink(note), 20) << note;
        if (note + 12 <= 51) {
            EXPECT_TRUE(differs(note, note + 12)) << "the octave of note " << note;
        }
    }
    for (int32_t c = 3; c <= 39; c += 12)
        for (int32_t sharp : {1, 3, 6, 8, 10}) EXPECT_GT(ink(c + sharp), ink(c + sharp - 1)) << "the '#' of " << c + sharp;

    // The backdrop, drawn from (650, 340): nothing right of x 940 (the list of
    // chosen notes starts at 950) nor above y 655 (the count line at 665).
    for (int32_t row = 0; row < optionsBackdropSize; ++row)
        for (int32_t x = 0; x < optionsBackdropSize; ++x) {
            const int32_t windowX = 650 + x, windowY = 340 + optionsBackdropSize - 1 - row;
            if (windowX >= 940 || windowY >= 655) {
                ASSERT_EQ(backdrop[(size_t(row) * optionsBackdropSize + x) * 4 + 3], 0) << x << "," << row;
            }
        }
}
