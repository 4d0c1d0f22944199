#include "frame/texture_pack.h"

#include "base/rounding.h"
#include "base/stops.h"
#include "frame/gl_draw.h"
#include "platform/paths.h"

#include <GL/glu.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <vector>

// ---- Reader state: one pack open at a time ------------------------------

static FILE *packFile = nullptr;
static const uint8_t *packBytes = nullptr; // reading from memory instead
static size_t packBytesSize = 0;
static size_t packBytesOffset = 0;
static bool packIsOpen = false;
static uint32_t packOpening = 0; // counts the openings (and closings) of packs

static uint8_t blockBuffer[texturePackBlockSize];
static int32_t readPos = 0; // 0: the next block must be read before going on

// Areas reused for every picture of the open pack: each grows to the largest
// picture read and is handed back when the pack closes (sized for the largest
// picture any pack may hold, they would keep 16 MB for the whole run).
static std::vector<uint8_t> compressedArea;
static std::vector<uint8_t> pictureArea;

// Reads `count` bytes of the stream (whole blocks only) into dst.
static bool readRawBlocks(uint8_t *dst, size_t count)
{
    if (packFile) return std::fread(dst, 1, count, packFile) == count;
    if (packBytesSize - packBytesOffset < count) return false;
    std::memcpy(dst, packBytes + packBytesOffset, count);
    packBytesOffset += count;
    return true;
}

static bool readBlockIntoBuffer() { return readRawBlocks(blockBuffer, texturePackBlockSize); }

static void resetReader()
{
    ++packOpening;
    if (packFile) std::fclose(packFile);
    packFile = nullptr;
    packBytes = nullptr;
    packBytesSize = packBytesOffset = 0;
    packIsOpen = false;
    readPos = 0;
    std::vector<uint8_t>().swap(compressedArea);
    std::vector<uint8_t>().swap(pictureArea);
}

static int32_t checkMagic()
{
    if (!readBlockIntoBuffer()) {
        resetReader();
        return stopPackFirstBlock;
    }
    for (int k = 0; k < 6; ++k)
        if (blockBuffer[k] != static_cast<uint8_t>(texturePackMagic[k])) {
            resetReader();
            return stopPackMagicBase + k + 1;
        }
    readPos = 6;
    packIsOpen = true;
    return 0;
}

int32_t packOpenFile(const std::string &path)
{
    resetReader();
    if (path.empty()) return stopPackAssign;
    packFile = std::fopen(path.c_str(), "rb");
    if (!packFile) return stopPackOpen;
    return checkMagic();
}

int32_t packOpenBytes(const uint8_t *data, size_t size)
{
    resetReader();
    packBytes = data;
    packBytesSize = data ? size : 0;
    return checkMagic();
}

bool texturePackOpen() { return packIsOpen; }

uint32_t texturePackOpening() { return packOpening; }

int32_t packClose()
{
    bool wasOpen = packIsOpen;
    resetReader();
    return wasOpen ? 0 : stopPackNotOpen;
}

int32_t packStopHint(int32_t stopNumber)
{
    if (stopNumber == stopPackAssign || stopNumber == stopPackOpen ||
        stopNumber == stopPackFirstBlock ||
        (stopNumber > stopPackMagicBase && stopNumber <= stopPackMagicBase + 6))
        return 0;
    return 1;
}

// Takes one size-field byte into the digit value; false for a byte that is
// neither a digit nor a blank.
static bool takeFieldByte(uint8_t c, int64_t &value, int &digits)
{
    if (c == ' ') return true;
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    ++digits;
    return true;
}

// Reads the next picture's size field and zlib data; inflates them into the
// picture area unless `inflate` is false.
static int32_t readPicture(int32_t width, int32_t height, const uint8_t **pixels, bool inflate)
{
    if (!packIsOpen) return stopPackNotOpen;
    if (pixels) *pixels = nullptr;

    if (readPos == 0 && !readBlockIntoBuffer()) return stopPackTruncated;

    // The size field: 8 bytes, possibly split over two blocks.
    int64_t value = 0;
    int digits = 0;
    if (readPos + 8 < texturePackBlockSize) {
        for (int i = 0; i < 8; ++i)
            if (!takeFieldByte(blockBuffer[readPos + i], value, digits)) return stopPackFieldByte;
        readPos += 8;
    } else {
        int inFirst = texturePackBlockSize - readPos;
        for (int i = 0; i < inFirst; ++i)
            if (!takeFieldByte(blockBuffer[readPos + i], value, digits))
                return stopPackFieldByteFirst;
        if (!readBlockIntoBuffer()) return stopPackTruncated;
        readPos = 0;
        for (int i = 0; i < 8 - inFirst; ++i)
            if (!takeFieldByte(blockBuffer[i], value, digits)) return stopPackFieldByteSecond;
        readPos = 8 - inFirst;
    }
    if (digits == 0) return stopPackNoDigits;

    const int64_t pixelCount = static_cast<int64_t>(width) * height;
    const int64_t length = value - pixelCount;
    if (length <= 0) return stopPackLengthNotPositive;
    if (length > texturePackMaxCompressed) return stopPackLengthTooLarge;

    // The zlib data: the rest of this block, whole blocks straight into the
    // area, then the head of one more block.
    if (compressedArea.size() < static_cast<size_t>(length)) compressedArea.resize(static_cast<size_t>(length));
    uint8_t *area = compressedArea.data();
    const int64_t rest = texturePackBlockSize - readPos;
    if (rest < length) {
        std::memcpy(area, blockBuffer + readPos, static_cast<size_t>(rest));
        int64_t done = rest;
        readPos = 0;
        while (length - done >= texturePackBlockSize) {
            if (!readRawBlocks(area + done, texturePackBlockSize)) return stopPackTruncated;
            done += texturePackBlockSize;
        }
        const int64_t missing = length - done;
        if (missing > 0) {
            if (!readBlockIntoBuffer()) return stopPackTruncated;
            std::memcpy(area + done, blockBuffer, static_cast<size_t>(missing));
            readPos = static_cast<int32_t>(missing);
        }
    } else {
        std::memcpy(area, blockBuffer + readPos, static_cast<size_t>(length));
        readPos += static_cast<int32_t>(length);
        if (readPos == texturePackBlockSize) readPos = 0;
    }

    if (!inflate) return 0;

    // Inflate; the result must be exactly width x height RGBA pixels.
    if (width <= 0 || height <= 0 || pixelCount * 4 > texturePackMaxPicture)
        return stopPackWrongPictureSize;
    // One byte more than the picture: data that fills it is too long.
    const size_t room = static_cast<size_t>(pixelCount) * 4 + 1;
    if (pictureArea.size() < room) pictureArea.resize(room);
    uLongf produced = static_cast<uLongf>(room);
    int z = uncompress(pictureArea.data(), &produced, area, static_cast<uLong>(length));
    if (z == Z_BUF_ERROR && produced == static_cast<uLongf>(room))
        return stopPackWrongPictureSize; // more data than the picture holds
    if (z != Z_OK) return stopPackInflateFailed;
    if (static_cast<int64_t>(produced) != pixelCount * 4) return stopPackWrongPictureSize;
    if (pixels) *pixels = pictureArea.data();
    return 0;
}

int32_t packReadPicture(int32_t width, int32_t height, const uint8_t **pixels)
{
    return readPicture(width, height, pixels, true);
}

int32_t packSkipPicture(int32_t width, int32_t height) { return readPicture(width, height, nullptr, false); }

// ---- GL uploader --------------------------------------------------------

static bool canBuildNpotMipmaps()
{
    static int known = -1;
    if (known < 0) {
        const char *version = reinterpret_cast<const char *>(glGetString(GL_VERSION));
        known = (version && version[0] >= '2' && version[0] <= '9') ? 1 : 0;
    }
    return known == 1;
}

// The largest side a texture may have here; GLU scales a larger picture down
// to fit, so such a picture still shows instead of leaving an empty texture.
static bool fitsTextureLimit(int32_t width, int32_t height)
{
    static GLint largest = 0;
    if (largest <= 0) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return largest <= 0 || (width <= largest && height <= largest);
}

static std::vector<uint8_t> mipmapLevels[2]; // reused for every picture

// One mipmap level below a w x h picture: each pixel the average of the 2 x 2
// (or 1 x 2, 2 x 1) pixels it covers, rounded to nearest.
static void halveRgba(const uint8_t *src, int32_t w, int32_t h, std::vector<uint8_t> &dst,
                      int32_t nw, int32_t nh)
{
    dst.resize(static_cast<size_t>(nw) * nh * 4);
    const int32_t sx = w > 1 ? 2 : 1, sy = h > 1 ? 2 : 1;
    for (int32_t y = 0; y < nh; ++y)
        for (int32_t x = 0; x < nw; ++x)
            for (int c = 0; c < 4; ++c) {
                uint32_t sum = 0;
                for (int32_t dy = 0; dy < sy; ++dy)
                    for (int32_t dx = 0; dx < sx; ++dx)
                        sum += src[((static_cast<size_t>(y) * sy + dy) * w + x * sx + dx) * 4 + c];
                dst[(static_cast<size_t>(y) * nw + x) * 4 + c] =
                    static_cast<uint8_t>(roundToInt32(static_cast<double>(sum) / (sx * sy)));
            }
}

static bool uploadWithoutMipmaps = false; // loadNextTextureWithoutMipmaps is uploading

static GLuint uploadToGl(int32_t width, int32_t height, int32_t repeatWrap, const uint8_t *rgba)
{
    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Clamping to the edge, not to the border colour: linear filtering would
    // otherwise darken every picture's outline.
    const GLint wrap = repeatWrap == 1 ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (uploadWithoutMipmaps && fitsTextureLimit(width, height)) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    } else if (canBuildNpotMipmaps() && fitsTextureLimit(width, height)) {
        // The mipmap chain at the picture's own size, each level a 2 x 2 box
        // average of the one above: no rescaling to a power of two, and far
        // cheaper than asking a software renderer to build it.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        int32_t w = width, h = height;
        const uint8_t *above = rgba;
        for (int level = 1; w > 1 || h > 1; ++level) {
            const int32_t nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
            std::vector<uint8_t> &below = mipmapLevels[level & 1];
            halveRgba(above, w, h, below, nw, nh);
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, nw, nh, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         below.data());
            above = below.data();
            w = nw;
            h = nh;
        }
    } else {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
    glDisable(GL_TEXTURE_2D);
    notePictureInk(name, width, height, rgba, repeatWrap == 1);
    return name;
}

static TextureUploader textureUploader = uploadToGl;

void setTextureUploader(TextureUploader uploader)
{
    textureUploader = uploader ? uploader : uploadToGl;
}

static std::string openPackPath; // for the detail line of a failure

// Names the pack in the debug log, then ends the program with the stop.
static void stopOnPackFailure(int32_t stop, const char *procedure)
{
    if (stop == 0) return;
    writeDebugDetail(std::string(procedure) + ": pack=" + nativePath(openPackPath));
    stopProgram(packStopHint(stop), stop);
}

void openTexturePack(const std::string &path)
{
    openPackPath = path;
    stopOnPackFailure(path.empty() ? stopPackAssign : packOpenFile(resolveDataPath(path)),
                      "openTexturePack");
}

GLuint loadNextTexture(int32_t width, int32_t height, int32_t repeatWrap, int32_t)
{
    const uint8_t *pixels = nullptr;
    stopOnPackFailure(packReadPicture(width, height, &pixels), "loadNextTexture");
    return textureUploader(width, height, repeatWrap, pixels);
}

GLuint loadNextTextureWithoutMipmaps(int32_t width, int32_t height)
{
    uploadWithoutMipmaps = true;
    const GLuint name = loadNextTexture(width, height, 0);
    uploadWithoutMipmaps = false;
    return name;
}

void skipNextTexture(int32_t width, int32_t height)
{
    stopOnPackFailure(packSkipPicture(width, height), "skipNextTexture");
}

void closeTexturePack()
{
    stopOnPackFailure(packClose(), "closeTexturePack");
    std::vector<uint8_t>().swap(mipmapLevels[0]);
    std::vector<uint8_t>().swap(mipmapLevels[1]);
}
