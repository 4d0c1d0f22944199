// The introductory lesson's picture sets (texture packs) with their loaded
// marks, and the pictures of Images0 that the lesson's loading reads one per
// frame. A loader does nothing while its mark is set, a free procedure
// nothing while it is clear; freeing deletes every name and zeroes it, so a
// later free never deletes names that another screen holds.
//
// This module is the one owner of the packs the introduction shares with the
// exercise screen (Images25 and Images49 checked, the verdict pictures of
// Images44) and with the lesson menu (the first picture of Images51, the
// menu's backdrop): their names and marks are the one loaded state of the
// run, so a pack is never held twice. Every screen loads what it draws when
// it is entered and frees it when it is left.
#pragma once
#include <cstdint>
#include <string>

struct PictureSize {
    int16_t width;
    int16_t height;
};

// Pack contents, in stored order (the packs store no sizes).
constexpr int32_t images0PictureCount = 48;
extern const PictureSize images0Sizes[images0PictureCount]; // picture 1..48 at [0..47]
constexpr int32_t images1PictureCount = 46;                 // 190 x 210 each
constexpr int32_t images14PictureCount = 3;                 // 190 x 210 each
constexpr int32_t images50PictureCount = 15;                // 14 of 1024, then 1 of 256
constexpr int32_t images25PictureCount = 9;                 // 1024 each
constexpr int32_t images49PictureCount = 9;                 // 1024 each
constexpr int32_t images51PictureCount = 48;
extern const int16_t images51Sides[images51PictureCount];   // square pictures
constexpr int32_t images44PictureCount = 18;
extern const int16_t images44Sides[images44PictureCount];   // square pictures
constexpr int32_t teacherPictureSide = 190;
constexpr int32_t teacherPictureHeight = 210;

// Texture names. Index 0 of the 1-based arrays stays 0.
extern uint32_t images0FirstTexture;             // the 758 x 409 picture, never drawn (stays 0)
extern uint32_t teacherFigureTextures[30];       // Images0 pictures 2..31
extern uint32_t introPictureTextures[18];        // [1..17]: Images0 pictures 32..48; only [1] and [17]
                                                 // are drawn, the others stay 0
extern uint32_t walkInTextures[images1PictureCount];
extern uint32_t teacherExtraTextures[images14PictureCount];
extern uint32_t slideTextures[images50PictureCount + 1];  // [1..15]
extern uint32_t images25Textures[images25PictureCount + 1];
extern uint32_t images49Textures[images49PictureCount + 1];
extern uint32_t diagramTextures[images51PictureCount + 1]; // [1..48]
extern uint32_t images44Textures[images44PictureCount + 1]; // [1..18]

// The shared loaded marks: the whole set is loaded.
extern bool images1Loaded, images14Loaded, images50Loaded, images25Loaded, images49Loaded,
    images51Loaded, images44Loaded;
// Pictures of Images51 loaded (any of them), and pictures loaded from the
// start of Images44 (0, 3 the verdict pictures, or all 18).
extern int32_t images51PicturesLoaded, images44PicturesLoaded;

// What the sets call outside themselves; tests install fakes.
struct PictureSetHooks {
    void (*openPack)(const std::string &path);
    uint32_t (*loadTexture)(int32_t width, int32_t height); // repeat off, alpha on
    void (*closePack)();
    void (*deleteTexture)(uint32_t name);
    // For a picture never drawn smaller than its size (no mipmap levels);
    // nullptr: loadTexture.
    uint32_t (*loadUnscaledTexture)(int32_t width, int32_t height) = nullptr;
    // Passes over the next picture unread; nullptr: loads and deletes it.
    void (*skipPicture)(int32_t width, int32_t height) = nullptr;
};
const PictureSetHooks &realPictureSetHooks();
void setPictureSetHooks(const PictureSetHooks &hooks);

void loadImages1Textures();
void loadImages14Textures();
void loadImages25Textures();
void loadImages49Textures();
void loadImages51Textures();
void loadImages44Textures();
// The first picture of Images51 alone (diagramTextures[1], the lesson menu's
// backdrop) and the first three of Images44 alone (images44Textures[1..3],
// the verdict pictures); nothing while at least those are loaded.
void loadImages51MenuPicture();
void loadImages44VerdictPictures();
// Opens and closes a pack without loading a picture: a missing or damaged
// pack stops as the pack reader stops (the exercise's Images25, Images49).
void checkPicturePack(const char *pack);
// Picture by picture: bit p - 1 of the mask stands for picture p. A load
// reads the missing wanted pictures in one pass over the pack (the ones
// before them passed over, not inflated); a free deletes the loaded ones.
void loadImages51Pictures(uint64_t wanted);
void freeImages51Pictures(uint64_t unwanted);
void loadImages50Pictures(uint32_t wanted); // 1..14 the slides, 15 the 256 x 256 picture
void freeImages50Pictures(uint32_t unwanted);
void loadAllImages50();
void freeImages1Textures();
void freeImages14Textures();
void freeImages50Textures();
void freeImages25Textures();
void freeImages49Textures();
void freeImages51Textures(); // whatever of it is loaded
void freeImages44Textures();

// Images0, one picture per loading step.
void openImages0();
void loadImages0Picture(int32_t picture); // 1..48, in order
void closeImages0();
void deleteImages0Textures();             // every name made, zeroed
// Closes whatever pack a loading left open (Quit in the middle of a set).
void closeOpenPicturePack();
