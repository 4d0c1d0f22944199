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
#include "common/temp_folder.h"

#include <csignal>
#include <sys/wait.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool existsInData(const std::string &path) { return fileExists(resolveDataPath(path)); }

// Files under folder (a folder still being written: entries may come and go).
int filesUnder(const fs::path &folder)
{
    int n = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_regular_file(ec)) ++n;
    return n;
}

// The generator writes beside its target and renames the folder into place
// when it is complete: stopped half-way it leaves no data folder (a start
// would take a partial one for a real one), and the next run removes what
// the stopped one left and makes a whole one. A folder that holds anything
// (a data folder with a user's results) is refused and left as it was.
TEST(DataGenerator, StoppedHalfWayLeavesNoDataFolderAndTheNextRunMakesAWholeOne)
{
    const fs::path generator = fs::read_symlink("/proc/self/exe").parent_path() / "tarnova-make-data";
    ASSERT_TRUE(fs::exists(generator)) << generator;
    const fs::path root = testTempFolder("make-data");
    const fs::path target = root / "Tarnova";
    const fs::path leftover = root / ".Tarnova.incomplete";

    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::execl(generator.c_str(), generator.c_str(), target.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    bool ended = false;
    for (int waited = 0; waited < 3000 && filesUnder(leftover) < 100; ++waited) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            ended = true;
            break;
        }
        ::usleep(100000);
    }
    ASSERT_FALSE(ended) << "the generator ended before it was stopped (status " << status << ")";
    ::kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    EXPECT_FALSE(fs::exists(target)) << "a partial data folder of " << filesUnder(target) << " files";
    EXPECT_GE(filesUnder(leftover), 100);

    const std::string again = generator.string() + " '" + target.string() + "' > /dev/null";
    ASSERT_EQ(std::system(again.c_str()), 0);
    EXPECT_FALSE(fs::exists(leftover));
    // As many files as the tests' own data folder, less its stamp.
    EXPECT_EQ(filesUnder(target), filesUnder(generatedData()) - 1);

    const fs::path used = root / "Used";
    fs::create_directories(used / "ResourceFiles");
    std::ofstream(used / "ResourceFiles" / "UsersFile") << "results";
    const std::string into = generator.string() + " '" + used.string() + "' > /dev/null 2>&1";
    EXPECT_NE(std::system(into.c_str()), 0);
    EXPECT_EQ(filesUnder(used), 1);
    EXPECT_FALSE(fs::exists(root / ".Used.incomplete"));
}

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

std::vector<uint64_t> uploadedPixels; // a hash of each upload's pixels, in order

GLuint hashUpload(int32_t w, int32_t h, int32_t, const uint8_t *rgba)
{
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 0; i < static_cast<size_t>(w) * h * 4; ++i) hash = (hash ^ rgba[i]) * 1099511628211ull;
    uploadedPixels.push_back(hash);
    return static_cast<GLuint>(uploadedPixels.size());
}

// The replay's pictures handed back for a screen's visit come back, read
// again a few per frame (the last frame reading fewer) or the missing ones at
// once, with the same picture in every slot; reading again when nothing was
// freed reads nothing. Read a few per frame, the pack stays open from frame
// to frame (one opening for the whole reading); another pack read between two
// frames makes the reading wait and then go on where it was.
TEST(GeneratedData, Images6FreedAndReadAgainHoldTheSamePictures)
{
    imagesDir = generatedData() + "images.prod\\";
    uploadedPixels.clear();
    setTextureUploader(hashUpload);
    for (int32_t s = 4; s <= 85; ++s) loadImages6PartA(s);
    for (int32_t s = 87; s <= 185; ++s) loadImages6PartB(s);
    std::vector<uint64_t> first;
    for (GLuint name : images6Textures) first.push_back(uploadedPixels.at(name - 1));
    const auto held = [] { return std::count_if(std::begin(images6Textures), std::end(images6Textures), [](GLuint n) { return n != 0; }); };

    enum Reading { someEachFrame, someWithAnotherPackBetween, allAtOnce };
    for (const Reading reading : {someEachFrame, someWithAnotherPackBetween, allAtOnce}) {
        SCOPED_TRACE(reading);
        const size_t before = uploadedPixels.size();
        freeImages6Pictures();
        EXPECT_EQ(held(), 0);
        const uint32_t openings = texturePackOpening();
        size_t others = 0; // pictures of the other pack
        if (reading == allAtOnce) {
            readSomeImages6Pictures(50);
            reloadImages6Pictures();
        } else {
            for (int32_t frame = 1; frame <= 14; ++frame) {
                EXPECT_FALSE(images6ReadingWaits()) << frame;
                EXPECT_FALSE(readSomeImages6Pictures(images6PicturesPerFrame)) << frame;
                EXPECT_EQ(held(), frame * images6PicturesPerFrame);
                EXPECT_TRUE(texturePackOpen()) << frame;
                if (reading == someWithAnotherPackBetween && frame == 5) {
                    openTexturePack(imagesDir + "Images9");
                    EXPECT_TRUE(images6ReadingWaits());
                    loadNextTexture(119, 82, 0);
                    closeTexturePack();
                    ++others;
                }
            }
            EXPECT_TRUE(readSomeImages6Pictures(images6PicturesPerFrame)); // the last 7
            if (reading == someEachFrame) {
                EXPECT_EQ(texturePackOpening() - openings, 2u); // opened and closed once
            }
        }
        ASSERT_EQ(uploadedPixels.size(), before + images6Count + others);
        for (int slot = 0; slot < images6Count; ++slot) {
            EXPECT_GT(images6Textures[slot], static_cast<GLuint>(before)) << slot;
            EXPECT_EQ(uploadedPixels.at(images6Textures[slot] - 1), first[slot]) << slot;
        }
        EXPECT_TRUE(readSomeImages6Pictures(images6PicturesPerFrame));
        reloadImages6Pictures();
        EXPECT_EQ(uploadedPixels.size(), before + images6Count + others);
        EXPECT_FALSE(texturePackOpen());
    }
    setTextureUploader(nullptr);
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
