// The pictures read while loading: which pack, which picture into which
// texture slot with which size, at which loading step.
//
//   frameAnimationTextures  Images8  38 x 230x100   the logo animation
//   panelIconTextures       Images9  14 x 119x82    message-panel icons
//   images6Textures         Images6  175 (163 x 190x210, 12 x 190x211)
//   images7Textures         Images7  114 of eight sizes; 0 treble clef,
//                                    1 bass clef, 44-52 accidentals,
//                                    61-88 note pictures (65, 66 stay 0)
// A slot that is never loaded holds 0 (binding it binds no picture).
#pragma once
#include <GL/gl.h>
#include <cstdint>

// Numbered stops of this module.
constexpr int32_t stopImages6PartAStep = 5539; // loadImages6PartA outside steps 4..85
constexpr int32_t stopImages6PartBStep = 5540; // loadImages6PartB outside steps 87..185
constexpr int32_t stopImages7Step = 5541;      // loadImages7Step outside steps 187..302
constexpr int32_t stopImages9Step = 5542;      // loadImages9Step outside steps 304..319


constexpr int frameAnimationCount = 38;
constexpr int panelIconCount = 14;
constexpr int images6Count = 175;
constexpr int images7Count = 116;

extern GLuint frameAnimationTextures[frameAnimationCount];
extern GLuint panelIconTextures[panelIconCount];
extern GLuint images6Textures[images6Count];
extern GLuint images7Textures[images7Count];

// Step procedures of the loading screen; a step outside a procedure's range
// ends the program (5539, 5540, 5541, 5542).
void loadImages6PartA(int32_t step); // steps 4..85
void loadImages6PartB(int32_t step); // steps 87..185
void loadImages7Step(int32_t step);  // steps 187..302
void loadImages9Step(int32_t step);  // steps 304..319
// The whole Images8 pack into frameAnimationTextures (the loading screen's
// first frame).
void loadFrameAnimationPictures();

// The Images6 pictures are drawn by the replay's score view only: a screen
// that cannot show it hands their memory (about 38 MB of textures) back for
// its visit, and they are read again after it, a few per frame
// (readSomeImages6Pictures) or, where one is about to be drawn, all that are
// missing at once (reloadImages6Pictures). Both do nothing unless
// freeImages6Pictures freed them. The pack stays open from one reading to the
// next and is closed when none is missing any more.
void freeImages6Pictures();
void reloadImages6Pictures();
// Reads up to `count` more of the freed pictures, in pack order; true when
// none is missing any more.
bool readSomeImages6Pictures(int32_t count);
// Another pack is open (its reading goes on over frames): the reading a few
// per frame waits until it is closed.
bool images6ReadingWaits();
// How many a frame reads (about 10 ms on the software renderer).
constexpr int32_t images6PicturesPerFrame = 12;

// ---- The catalogue as data (no GL) --------------------------------------
enum class PictureFamily : int32_t { none, frameAnimation, panelIcons, images6, images7 };

enum class CatalogueWork : int32_t { nothing, openPack, picture, closePack };

struct CatalogueStep {
    CatalogueWork work;
    int32_t pack;          // 6, 7, 8 or 9 (0 with nothing)
    PictureFamily family;  // with picture
    int32_t slot;
    int32_t width;
    int32_t height;
};

// What a loading step does for the pack of that number (6, 7 or 9). For
// Images8, "step" is the picture index 0..37.
CatalogueStep catalogueStep(int32_t pack, int32_t step);

// The pictures of a pack in stored order (what the data generator writes).
int32_t packPictureCount(int32_t pack);
CatalogueStep packPicture(int32_t pack, int32_t index);
