// The generated data the exercise screen loads: both teacher cues decode, and
// the picture packs read back with the sizes the screen asks for.
#include <gtest/gtest.h>

#include <vector>

#include "common/generated_data.h"
#include "base/shared.h"
#include "frame/texture_pack.h"
#include "lessons/picture_sets.h"
#include "lessons/exercise_drawing.h"
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
