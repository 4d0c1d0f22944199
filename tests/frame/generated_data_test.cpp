// The data folder made by tarnova-make-data: every file the program opens is
// there, and the picture catalogue reads the generated packs slot by slot.
#include "app/loading_screen.h"
#include "frame/picture_catalogue.h"
#include "base/shared.h"
#include "base/stops.h"
#include "frame/texture_pack.h"
#include "platform/paths.h"
#include "sound/sound_bank.h"

#include <gtest/gtest.h>

#include "common/generated_data.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool existsInData(const std::string &path) { return fileExists(resolveDataPath(path)); }

TEST(GeneratedData, HoldsEveryFileTheProgramOpens)
{
    const std::string data = generatedData();
    EXPECT_TRUE(fs::is_directory(data + "ResourceFiles")) << "the debug log's folder";
    for (int pack : {6, 7, 8, 9}) {
        const std::string path = data + "images.prod\\Images" + std::to_string(pack);
        ASSERT_TRUE(existsInData(path)) << path;
        EXPECT_EQ(fs::file_size(resolveDataPath(path)) % texturePackBlockSize, 0u) << path;
    }
    for (const char *tune : startTuneFileNames)
        EXPECT_TRUE(existsInData(data + "sounds/" + tune)) << tune;
    for (int32_t id = 1; id <= soundIdCount; ++id) {
        if (id >= 254 && id <= 257) continue; // named, not loaded at start
        const std::string name = soundBankFileName(id);
        EXPECT_TRUE(existsInData(data + "sounds/" + name)) << id << " " << name;
    }
}

struct Upload {
    int32_t width, height, repeatWrap;
};
std::vector<Upload> uploads;

GLuint recordUpload(int32_t w, int32_t h, int32_t wrap, const uint8_t *)
{
    uploads.push_back({w, h, wrap});
    return static_cast<GLuint>(uploads.size()); // names 1, 2, 3, ... in reading order
}

TEST(GeneratedData, CatalogueFillsEverySlotFromThePacks)
{
    const std::string data = generatedData();
    imagesDir = data + "images.prod\\";
    uploads.clear();
    setTextureUploader(recordUpload);

    loadFrameAnimationPictures();
    for (int32_t s = 304; s <= 319; ++s) loadImages9Step(s);
    const GLuint firstImages6 = static_cast<GLuint>(uploads.size()) + 1;
    for (int32_t s = 4; s <= 85; ++s) loadImages6PartA(s);
    for (int32_t s = 87; s <= 185; ++s) loadImages6PartB(s);
    const GLuint firstImages7 = static_cast<GLuint>(uploads.size()) + 1;
    for (int32_t s = 187; s <= 302; ++s) loadImages7Step(s);
    setTextureUploader(nullptr);

    ASSERT_EQ(uploads.size(), 38u + 14u + 175u + 114u);
    for (const Upload &u : uploads) EXPECT_EQ(u.repeatWrap, 0);
    auto size = [&](GLuint name) {
        return std::make_pair(uploads[name - 1].width, uploads[name - 1].height);
    };
    const auto pair = [](int w, int h) { return std::make_pair(w, h); };

    for (int i = 0; i < frameAnimationCount; ++i) {
        EXPECT_EQ(frameAnimationTextures[i], static_cast<GLuint>(i + 1));
        EXPECT_EQ(size(frameAnimationTextures[i]), pair(230, 100));
    }
    for (int i = 0; i < panelIconCount; ++i) EXPECT_EQ(size(panelIconTextures[i]), pair(119, 82));

    // Images6: pictures 1..162 into slots 0..161, picture 163 into slot 174,
    // pictures 164..175 (190 x 211) into slots 162..173.
    for (int slot = 0; slot <= 161; ++slot)
        EXPECT_EQ(images6Textures[slot], firstImages6 + slot) << slot;
    EXPECT_EQ(images6Textures[174], firstImages6 + 162);
    EXPECT_EQ(size(images6Textures[174]), pair(190, 210));
    for (int slot = 162; slot <= 173; ++slot) {
        EXPECT_EQ(images6Textures[slot], firstImages6 + slot + 1) << slot;
        EXPECT_EQ(size(images6Textures[slot]), pair(190, 211)) << slot;
    }

    // Images7: the clefs first, picture 114 into slot 88, 65 and 66 empty.
    EXPECT_EQ(images7Textures[0], firstImages7);
    EXPECT_EQ(size(images7Textures[0]), pair(86, 144));
    EXPECT_EQ(size(images7Textures[1]), pair(70, 70));
    EXPECT_EQ(images7Textures[88], firstImages7 + 113);
    EXPECT_EQ(images7Textures[65], 0u);
    EXPECT_EQ(images7Textures[66], 0u);
    for (int slot = 44; slot <= 52; ++slot) EXPECT_EQ(size(images7Textures[slot]), pair(20, 28));
    for (int slot : {61, 64, 67, 87, 89, 115, 38}) EXPECT_EQ(size(images7Textures[slot]), pair(50, 67));
    EXPECT_EQ(size(images7Textures[2]), pair(95, 115));
    EXPECT_EQ(size(images7Textures[37]), pair(60, 140));
    EXPECT_EQ(size(images7Textures[41]), pair(73, 30));
    EXPECT_EQ(size(images7Textures[60]), pair(50, 199));
    for (int slot = 0; slot < images7Count; ++slot)
        if (slot != 65 && slot != 66) {
            EXPECT_NE(images7Textures[slot], 0u) << slot;
        }
}

TEST(GeneratedData, StepsOutsideTheirRangeStop)
{
    using ::testing::ExitedWithCode;
    EXPECT_EXIT(loadImages6PartA(86), ExitedWithCode(stopExitCode(5539)), "");
    EXPECT_EXIT(loadImages6PartB(186), ExitedWithCode(stopExitCode(5540)), "");
    EXPECT_EXIT(loadImages7Step(303), ExitedWithCode(stopExitCode(5541)), "");
    EXPECT_EXIT(loadImages9Step(303), ExitedWithCode(stopExitCode(5542)), "");
}

} // namespace
