// Texture packs: files "Images<N>" holding a sequence of zlib-compressed RGBA
// pictures. The reader is sequential and size-blind: the caller names each
// picture's width and height in the pack's stored order.
//
// File layout, read in blocks of 32,768 bytes, one continuous byte stream:
//   offset 0: "KVDRLM"
//   then per picture: an 8-byte size field (ASCII digits and blanks; the
//   digits form V = L + W*H), followed by L bytes of zlib data that inflate to
//   W*H*4 bytes of RGBA, top row first. Fields and data may cross block ends.
//   After the last picture the file is padded to a whole number of blocks.
//
// Two layers: a pure reader (no GL; returns stop numbers so tests can check
// every bad input), and the GL uploader built on it, which ends the program
// through stopProgram on any failure.
#pragma once
#include <GL/gl.h>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int32_t texturePackBlockSize = 32768;
constexpr int32_t texturePackMaxCompressed = 8000000; // zlib bytes per picture
constexpr int32_t texturePackMaxPicture = 7999999;    // inflated bytes per picture
constexpr char texturePackMagic[7] = "KVDRLM";

// Stop numbers of the pack reader.
constexpr int32_t stopPackAssign = 4252;         // path cannot be used
constexpr int32_t stopPackOpen = 4253;           // file cannot be opened
constexpr int32_t stopPackFirstBlock = 4254;     // first block cannot be read
constexpr int32_t stopPackLengthNotPositive = 4255; // size field gives L <= 0
constexpr int32_t stopPackLengthTooLarge = 4256;    // L above the compressed area
constexpr int32_t stopPackInflateFailed = 4257;     // zlib data does not inflate
constexpr int32_t stopPackWrongPictureSize = 4258;  // inflated size != W*H*4
constexpr int32_t stopPackTruncated = 4259;         // a later block is missing or short
constexpr int32_t stopPackMagicBase = 4260;      // + 1..6: first differing magic byte
constexpr int32_t stopPackNoDigits = 4267;       // size field holds no digit at all
constexpr int32_t stopPackNotOpen = 4268;        // read or close without an open pack
constexpr int32_t stopPackFieldByte = 4270;      // bad byte, field inside one block
constexpr int32_t stopPackFieldByteFirst = 4271; // bad byte, first of two blocks
constexpr int32_t stopPackFieldByteSecond = 4272; // bad byte, second of two blocks

// ---- Pure reader -------------------------------------------------------
// Each returns 0 on success or one of the stop numbers above.
int32_t packOpenFile(const std::string &path);
// Reads from memory instead of a file (the bytes must outlive the reading).
int32_t packOpenBytes(const uint8_t *data, size_t size);
// Reads, checks and inflates the next picture; *pixels then points at
// width*height*4 bytes that stay valid until the next call.
int32_t packReadPicture(int32_t width, int32_t height, const uint8_t **pixels);
// Passes over the next picture: its size field and data are read and checked
// as packReadPicture checks them, but not inflated (a picture further on is
// reached without the cost of the ones before it).
int32_t packSkipPicture(int32_t width, int32_t height);
int32_t packClose();
// A pack is open (a reading goes on, possibly over several frames).
bool texturePackOpen();
// Changes at every opening and closing of a pack: a reading that keeps its
// pack open over several frames finds whether it is still the one open.
uint32_t texturePackOpening();
// The hint a stop carries in the debug log: 0 for opening, 1 for reading.
int32_t packStopHint(int32_t stopNumber);

// ---- GL uploader --------------------------------------------------------
// Opens the pack (path as the program writes it, resolved on disk).
void openTexturePack(const std::string &path);
// Reads the next picture and returns a new mipmapped texture of it (MODULATE;
// repeatWrap 1 repeats in both directions, anything else clamps). Every
// texture has four components; hasAlpha is accepted for the lessons' callers
// and changes nothing.
GLuint loadNextTexture(int32_t width, int32_t height, int32_t repeatWrap, int32_t hasAlpha = 1);
// The same (clamped) for a picture that is only ever drawn at its own size or
// larger: such a draw samples the picture itself, never a mipmap level, so
// the texture holds the picture alone (a quarter less memory) and filters
// linearly both ways, which draws the same pixels.
GLuint loadNextTextureWithoutMipmaps(int32_t width, int32_t height);
// Passes over the next picture (packSkipPicture), stopping as loadNextTexture.
void skipNextTexture(int32_t width, int32_t height);
void closeTexturePack();

// Where loadNextTexture sends the pixels. The default builds a GL texture;
// tests install a recorder. nullptr restores the default.
using TextureUploader = GLuint (*)(int32_t width, int32_t height, int32_t repeatWrap,
                                   const uint8_t *rgba);
void setTextureUploader(TextureUploader uploader);
