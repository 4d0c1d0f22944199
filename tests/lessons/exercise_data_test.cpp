// The generated data the exercise screen loads: both teacher cues decode, and
// the three picture packs read back with the sizes the screen asks for.
#include <gtest/gtest.h>

#include <vector>

#include "common/generated_data.h"
#include "base/shared.h"
#include "frame/texture_pack.h"
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

TEST(ExerciseData, PicturePacksHoldTheSizesTheScreenReads)
{
    const std::string data = generatedData();
    imagesDir = data + "images.prod\\";
    userDataDirAlt = data;
    uploads.clear();
    setTextureUploader(recordUpload);
    loadExercisePicturePack(25);
    loadExercisePicturePack(49);
    loadExercisePicturePack(44);
    loadExercisePicturePack(25); // once per run
    setTextureUploader(nullptr);
    ASSERT_EQ(uploads.size(), 9u + 9u + 18u);
    for (int i = 0; i < 18; ++i) EXPECT_EQ(uploads[i], std::make_pair(1024, 1024));
    const int32_t feedback[18] = {128, 128, 128, 1024, 256, 256, 256, 1024, 1024,
                                  1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(uploads[18 + i].first, feedback[i]) << i;
}

} // namespace
