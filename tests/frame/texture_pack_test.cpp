// The pack reader on hand-made packs: block boundaries, size fields, bad input.
#include "frame/texture_pack.h"

#include "common/temp_folder.h"
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t block = texturePackBlockSize;

struct Picture {
    int w, h;
    std::vector<uint8_t> rgba;
};

Picture makePicture(int w, int h, uint32_t seed, bool noisy = false)
{
    Picture p{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 4)};
    std::mt19937 rng(seed);
    for (size_t i = 0; i < p.rgba.size(); ++i)
        p.rgba[i] = noisy ? static_cast<uint8_t>(rng()) : static_cast<uint8_t>((i * 7 + seed) % 251);
    return p;
}

std::vector<uint8_t> zlibOf(const std::vector<uint8_t> &bytes)
{
    uLongf n = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> z(n);
    compress2(z.data(), &n, bytes.data(), static_cast<uLong>(bytes.size()), 9);
    z.resize(n);
    return z;
}

// A pack built piece by piece; `pad` fills up to whole blocks at the end.
struct PackBuilder {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(texturePackMagic, texturePackMagic + 6);

    void field(const std::string &text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
    void data(const std::vector<uint8_t> &z) { bytes.insert(bytes.end(), z.begin(), z.end()); }
    // A picture whose zlib data is padded (zlib ignores what follows the
    // stream) so that its data is exactly `length` bytes long.
    void add(const Picture &p, size_t length = 0, const char *format = "%8lld")
    {
        std::vector<uint8_t> z = zlibOf(p.rgba);
        if (length) z.resize(length, 0);
        char text[16];
        std::snprintf(text, sizeof text, format, static_cast<long long>(z.size()) + p.w * p.h);
        field(text);
        data(z);
    }
    std::vector<uint8_t> padded() const
    {
        std::vector<uint8_t> out = bytes;
        out.resize((out.size() + block - 1) / block * block, 0);
        return out;
    }
};

void expectPictures(const std::vector<uint8_t> &pack, const std::vector<Picture> &pictures)
{
    ASSERT_EQ(packOpenBytes(pack.data(), pack.size()), 0);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const uint8_t *pixels = nullptr;
        ASSERT_EQ(packReadPicture(pictures[i].w, pictures[i].h, &pixels), 0) << "picture " << i;
        ASSERT_EQ(std::memcmp(pixels, pictures[i].rgba.data(), pictures[i].rgba.size()), 0)
            << "picture " << i;
    }
    EXPECT_EQ(packClose(), 0);
}

TEST(TexturePack, LayoutsAtBlockBoundaries)
{
    const Picture filler = makePicture(1, 1, 1);
    const Picture a = makePicture(12, 9, 2);
    const Picture b = makePicture(5, 3, 3);
    const size_t lengthA = zlibOf(a.rgba).size();
    struct Case {
        const char *name;
        size_t fillerLength; // places the second picture's size field
    };
    const Case cases[] = {
        {"field starts 3 bytes before the block end", block - 3 - 14},
        {"field ends exactly at the block end", block - 8 - 14},
        {"field starts exactly at a block start", block - 14},
        {"data ends exactly at the block end", block - 8 - lengthA - 14},
        {"data ends one byte after the block end", block - 8 - lengthA - 14 + 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PackBuilder pack;
        pack.add(filler, c.fillerLength);
        pack.add(a);
        pack.add(b);
        expectPictures(pack.padded(), {filler, a, b});
        // Passing over the pictures before one (not inflated) reaches it as
        // reading them does, whichever block boundary they cross.
        const std::vector<uint8_t> bytes = pack.padded();
        for (int skipped = 1; skipped <= 2; ++skipped) {
            ASSERT_EQ(packOpenBytes(bytes.data(), bytes.size()), 0);
            const Picture *order[3] = {&filler, &a, &b};
            for (int i = 0; i < skipped; ++i) ASSERT_EQ(packSkipPicture(order[i]->w, order[i]->h), 0);
            const uint8_t *pixels = nullptr;
            ASSERT_EQ(packReadPicture(order[skipped]->w, order[skipped]->h, &pixels), 0) << skipped;
            EXPECT_EQ(std::memcmp(pixels, order[skipped]->rgba.data(), order[skipped]->rgba.size()), 0) << skipped;
            EXPECT_EQ(packClose(), 0);
        }
    }
}

TEST(TexturePack, BlanksInTheSizeFieldAreIgnored)
{
    const Picture a = makePicture(4, 4, 5), b = makePicture(3, 2, 6);
    for (const char *format : {"  %06lld", "%-8lld", "%08lld"}) {
        SCOPED_TRACE(format);
        PackBuilder pack;
        pack.add(a, 0, format);
        pack.add(b, 0, format);
        expectPictures(pack.padded(), {a, b});
    }
    // Blanks between the digits: "1 2 3 4" style.
    PackBuilder pack;
    const std::vector<uint8_t> z = zlibOf(a.rgba);
    std::string digits = std::to_string(z.size() + 16);
    std::string spread;
    for (char d : digits) spread += std::string(" ") + d;
    spread = std::string(8 - spread.size(), ' ') + spread;
    pack.field(spread);
    pack.data(z);
    expectPictures(pack.padded(), {a});
}

TEST(TexturePack, PictureLargerThanThreeBlocks)
{
    const Picture big = makePicture(256, 128, 7, true); // noise does not compress
    ASSERT_GT(zlibOf(big.rgba).size(), 3 * block);
    const Picture after = makePicture(2, 2, 8);
    for (size_t lead : {size_t{0}, size_t{100}, block - 14 - 8 - 20}) {
        SCOPED_TRACE(lead);
        PackBuilder pack;
        if (lead) pack.add(makePicture(1, 1, 9), lead);
        pack.add(big);
        pack.add(after);
        std::vector<Picture> expected = {big, after};
        if (lead) expected.insert(expected.begin(), makePicture(1, 1, 9));
        expectPictures(pack.padded(), expected);
    }
}

TEST(TexturePack, BadInputEndsInItsOwnStop)
{
    const Picture p = makePicture(2, 2, 11);
    const std::vector<uint8_t> z = zlibOf(p.rgba);
    const std::string goodField = [&] {
        char t[16];
        std::snprintf(t, sizeof t, "%8zu", z.size() + 4);
        return std::string(t);
    }();
    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
        int w, h;
        int32_t stop;
        int fillers = 0; // 1 x 1 pictures read before the bad one
    };
    std::vector<Case> cases;
    auto pack = [&](const std::string &field, const std::vector<uint8_t> &data, bool pad = true,
                    size_t fillerLength = 0) {
        PackBuilder b;
        if (fillerLength) b.add(makePicture(1, 1, 1), fillerLength);
        b.field(field);
        b.data(data);
        return pad ? b.padded() : b.bytes;
    };
    {
        PackBuilder b;
        b.add(p);
        std::vector<uint8_t> bytes = b.padded();
        bytes[3] = 'X';
        cases.push_back({"4th magic byte", bytes, 2, 2, 4264});
        bytes = b.padded();
        bytes[0] = 'k';
        cases.push_back({"1st magic byte", bytes, 2, 2, 4261});
    }
    cases.push_back({"empty file", {}, 2, 2, stopPackFirstBlock});
    cases.push_back({"letter in the field", pack("   1x234", z), 2, 2, 4270});
    cases.push_back({"no digit at all", pack("        ", z), 2, 2, stopPackNoDigits});
    cases.push_back({"length 0", pack("       4", z), 2, 2, stopPackLengthNotPositive});
    cases.push_back({"negative length", pack("       3", z), 2, 2, stopPackLengthNotPositive});
    cases.push_back({"length above the area", pack("80000005", z), 2, 2, stopPackLengthTooLarge});
    {
        std::vector<uint8_t> junk(z.size(), 0x5A);
        cases.push_back({"data that is not zlib", pack(goodField, junk), 2, 2, stopPackInflateFailed});
    }
    {
        // The data holds 2 x 2 pixels but the field claims 1 x 4 plus the
        // right length: it inflates to the wrong size for a 1 x 1 picture.
        char t[24];  // room for any size_t, so the field is never cut
        std::snprintf(t, sizeof t, "%8zu", z.size() + 1);
        cases.push_back({"inflates to another size", pack(t, z), 1, 1, stopPackWrongPictureSize});
    }
    cases.push_back({"file ends inside the data", pack(goodField, z, false, block - 14 - 10), 2, 2,
                     stopPackTruncated, 1});
    // Bad bytes in a field split over two blocks (it starts 3 bytes before the end).
    cases.push_back({"bad byte before the split", pack("  x     ", z, true, block - 3 - 14), 1, 1,
                     stopPackFieldByteFirst, 1});
    cases.push_back({"bad byte after the split", pack("     x  ", z, true, block - 3 - 14), 1, 1,
                     stopPackFieldByteSecond, 1});

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        int32_t stop = packOpenBytes(c.bytes.data(), c.bytes.size());
        if (stop == 0) {
            const uint8_t *pixels;
            for (int i = 0; i < c.fillers; ++i) ASSERT_EQ(packReadPicture(1, 1, &pixels), 0);
            stop = packReadPicture(c.w, c.h, &pixels);
        }
        packClose();
        EXPECT_EQ(stop, c.stop);
    }
}

TEST(TexturePack, OpeningFiles)
{
    EXPECT_EQ(packOpenFile("/nonexistent/folder/Images6"), stopPackOpen);
    EXPECT_EQ(packOpenFile(""), stopPackAssign);
    EXPECT_EQ(packStopHint(stopPackOpen), 0);
    EXPECT_EQ(packStopHint(4264), 0);
    EXPECT_EQ(packStopHint(stopPackFieldByte), 1);

    // One picture whose data ends exactly at the end of the only block.
    PackBuilder b;
    const Picture p = makePicture(3, 3, 4);
    b.add(p, block - 14);
    std::string pathText = testTempRoot() + "pack-XXXXXX";
    char *path = pathText.data();
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::vector<uint8_t> bytes = b.padded();
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    ASSERT_EQ(packOpenFile(path), 0);
    const uint8_t *pixels = nullptr;
    EXPECT_EQ(packReadPicture(3, 3, &pixels), 0);
    EXPECT_EQ(std::memcmp(pixels, p.rgba.data(), p.rgba.size()), 0);
    // Reading on: the next block does not exist.
    EXPECT_EQ(packReadPicture(1, 1, &pixels), stopPackTruncated);
    EXPECT_EQ(packClose(), 0);
    EXPECT_EQ(packClose(), stopPackNotOpen);
    unlink(path);
}

// The program names packs with "\" separators; the log names them with "/".
TEST(TexturePack, FailureDetailLineUsesSlashes)
{
    EXPECT_EXIT(openTexturePack("\\nonexistent\\folder\\Images6"), ::testing::ExitedWithCode(stopPackOpen % 250),
                "openTexturePack: pack=/nonexistent/folder/Images6\n");
}

} // namespace
