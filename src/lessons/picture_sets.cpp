#include "lessons/picture_sets.h"

#include "base/shared.h"
#include "frame/texture_pack.h"

#include <GL/gl.h>

const PictureSize images0Sizes[images0PictureCount] = {
    {758, 409},
    // 2..31: bodies and mouths of the teacher figures
    {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210},
    {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210},
    {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210},
    {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210}, {190, 210},
    // 32..48
    {152, 207}, {87, 130}, {749, 95}, {124, 95}, {350, 414}, {347, 481}, {365, 456}, {482, 286},
    {480, 360}, {868, 57}, {217, 436}, {450, 641}, {843, 251}, {668, 555}, {193, 59}, {152, 207},
    {85, 82},
};

const int16_t images51Sides[images51PictureCount] = {
    1024, 1024, 1024, 256,  256,  256,  1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024,
    1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024,
    1024, 1024, 1024, 1024, 1024, 1024, 1024, 256,  128,  128,  128,  128,  128,  128,  128,  128,
};
const int16_t images44Sides[images44PictureCount] = {128,  128,  128,  1024, 256,  256,
                                                     256,  1024, 1024, 1024, 1024, 1024,
                                                     1024, 1024, 1024, 1024, 1024, 1024};

uint32_t images0FirstTexture = 0;
uint32_t teacherFigureTextures[30] = {};
uint32_t introPictureTextures[18] = {};
uint32_t walkInTextures[images1PictureCount] = {};
uint32_t teacherExtraTextures[images14PictureCount] = {};
uint32_t slideTextures[images50PictureCount + 1] = {};
uint32_t images25Textures[images25PictureCount + 1] = {};
uint32_t images49Textures[images49PictureCount + 1] = {};
uint32_t diagramTextures[images51PictureCount + 1] = {};
uint32_t images44Textures[images44PictureCount + 1] = {};

bool images1Loaded = false, images14Loaded = false, images50Loaded = false, images25Loaded = false,
     images49Loaded = false, images51Loaded = false, images44Loaded = false;
int32_t images51PicturesLoaded = 0, images44PicturesLoaded = 0;

static bool packIsOpen = false;

static void realOpen(const std::string &path) { openTexturePack(path); }
static uint32_t realLoad(int32_t width, int32_t height) { return loadNextTexture(width, height, 0, 1); }
static uint32_t realLoadUnscaled(int32_t width, int32_t height) { return loadNextTextureWithoutMipmaps(width, height); }
static void realSkip(int32_t width, int32_t height) { skipNextTexture(width, height); }
static void realClose() { closeTexturePack(); }
static void realDelete(uint32_t name)
{
    GLuint n = name;
    glDeleteTextures(1, &n);
}

static const PictureSetHooks realHooks = {realOpen, realLoad, realClose, realDelete, realLoadUnscaled, realSkip};
static PictureSetHooks hooks = realHooks;

const PictureSetHooks &realPictureSetHooks() { return realHooks; }
void setPictureSetHooks(const PictureSetHooks &h) { hooks = h; }

static void openPack(const std::string &path)
{
    hooks.openPack(path);
    packIsOpen = true;
}

static void closePack()
{
    hooks.closePack();
    packIsOpen = false;
}

void closeOpenPicturePack()
{
    if (packIsOpen) closePack();
}

static std::string packPath(const char *pack)
{
    return std::string(pack) == "Images44" ? userDataDirAlt + "images.prod\\" + pack : imagesDir + pack;
}

// Loads a whole set of equal-sized or listed pictures into names[first..].
static void loadSet(const char *pack, bool &mark, uint32_t *names, int32_t count, const int16_t *sides,
                    int32_t width, int32_t height)
{
    if (mark) return;
    openPack(packPath(pack));
    for (int32_t i = 0; i < count; ++i)
        names[i] = sides != nullptr ? hooks.loadTexture(sides[i], sides[i]) : hooks.loadTexture(width, height);
    closePack();
    mark = true;
}

static void deleteNames(uint32_t *names, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        if (names[i] != 0) hooks.deleteTexture(names[i]);
        names[i] = 0;
    }
}

// The first `wanted` pictures of a square-picture set; a set loaded only in
// part is read again from its start (the pack reads in order only).
static uint32_t loadUnscaled(int32_t width, int32_t height)
{
    return hooks.loadUnscaledTexture != nullptr ? hooks.loadUnscaledTexture(width, height)
                                                : hooks.loadTexture(width, height);
}

static void loadFirstPictures(const char *pack, int32_t &loaded, bool &whole, uint32_t *names, int32_t count,
                              const int16_t *sides, int32_t wanted, bool unscaled = false)
{
    if (loaded >= wanted) return;
    deleteNames(names, loaded);
    openPack(packPath(pack));
    for (int32_t i = 0; i < wanted; ++i)
        names[i] = unscaled ? loadUnscaled(sides[i], sides[i]) : hooks.loadTexture(sides[i], sides[i]);
    closePack();
    loaded = wanted;
    whole = wanted == count;
}

static void freeFirstPictures(int32_t &loaded, bool &whole, uint32_t *names)
{
    deleteNames(names, loaded);
    loaded = 0;
    whole = false;
}

static void freeSet(bool &mark, uint32_t *names, int32_t count)
{
    if (!mark) return;
    deleteNames(names, count);
    mark = false;
}

void loadImages1Textures() { loadSet("Images1", images1Loaded, walkInTextures, images1PictureCount, nullptr, 190, 210); }
void loadImages14Textures() { loadSet("Images14", images14Loaded, teacherExtraTextures, images14PictureCount, nullptr, 190, 210); }
void loadImages25Textures() { loadSet("Images25", images25Loaded, images25Textures + 1, images25PictureCount, nullptr, 1024, 1024); }
void loadImages49Textures() { loadSet("Images49", images49Loaded, images49Textures + 1, images49PictureCount, nullptr, 1024, 1024); }
// Images51 and Images50 hold pictures drawn only in parts of the introduction:
// they are loaded and freed picture by picture. A load reads the pack from
// its start and passes over the pictures before the wanted ones without
// inflating them, so a picture late in the pack costs little more than its
// own reading.
static void passOver(int32_t width, int32_t height)
{
    if (hooks.skipPicture != nullptr) hooks.skipPicture(width, height);
    else hooks.deleteTexture(hooks.loadTexture(width, height));
}

static int32_t countLoaded(const uint32_t *names, int32_t count)
{
    int32_t n = 0;
    for (int32_t i = 0; i < count; ++i) n += names[i] != 0;
    return n;
}

// A pack loaded and freed picture by picture: picture p (1..count) by bit
// p - 1 of a mask, into names[p].
struct PictureByPicture {
    const char *pack;
    uint32_t *names;
    int32_t count;
    int32_t (*side)(int32_t p);  // the pictures are square
    bool (*unscaled)(int32_t p); // drawn at its own size or larger: no mipmap levels
};

static bool wantedAndMissing(const PictureByPicture &set, uint64_t wanted, int32_t p)
{
    return (wanted >> (p - 1) & 1) != 0 && set.names[p] == 0;
}

// False when every wanted picture was there already (the pack is not opened).
static bool loadPictures(const PictureByPicture &set, uint64_t wanted)
{
    int32_t last = 0;
    for (int32_t p = 1; p <= set.count; ++p)
        if (wantedAndMissing(set, wanted, p)) last = p;
    if (last == 0) return false;
    openPack(packPath(set.pack));
    for (int32_t p = 1; p <= last; ++p) {
        const int32_t side = set.side(p);
        if (!wantedAndMissing(set, wanted, p)) passOver(side, side);
        else set.names[p] = set.unscaled(p) ? loadUnscaled(side, side) : hooks.loadTexture(side, side);
    }
    closePack();
    return true;
}

static void freePictures(const PictureByPicture &set, uint64_t unwanted)
{
    for (int32_t p = 1; p <= set.count; ++p)
        if ((unwanted >> (p - 1) & 1) != 0 && set.names[p] != 0) {
            hooks.deleteTexture(set.names[p]);
            set.names[p] = 0;
        }
}

static int32_t images51Side(int32_t p) { return images51Sides[p - 1]; }
// Every Images51 picture is drawn at its own size (the diagrams, icons and the
// menu's backdrop).
static bool alwaysUnscaled(int32_t) { return true; }
static const PictureByPicture images51 = {"Images51", diagramTextures, images51PictureCount, images51Side,
                                          alwaysUnscaled};

static void markImages51()
{
    images51PicturesLoaded = countLoaded(diagramTextures + 1, images51PictureCount);
    images51Loaded = images51PicturesLoaded == images51PictureCount;
}

void loadImages51Pictures(uint64_t wanted)
{
    if (loadPictures(images51, wanted)) markImages51();
}

void freeImages51Pictures(uint64_t unwanted)
{
    freePictures(images51, unwanted);
    markImages51();
}

void loadImages51Textures() { loadImages51Pictures(~uint64_t{0}); }
void loadImages51MenuPicture() { loadImages51Pictures(1); }
void freeImages51Textures() { freeImages51Pictures(~uint64_t{0}); }

// The slides (1..14) are drawn at 1024 x 1024 or wider.
static int32_t slideSide(int32_t p) { return p <= 14 ? 1024 : 256; }
static bool slideUnscaled(int32_t p) { return p <= 14; }
static const PictureByPicture images50 = {"Images50", slideTextures, images50PictureCount, slideSide,
                                          slideUnscaled};

static void markImages50()
{
    images50Loaded = countLoaded(slideTextures + 1, images50PictureCount) == images50PictureCount;
}

void loadImages50Pictures(uint32_t wanted)
{
    if (loadPictures(images50, wanted)) markImages50();
}

void freeImages50Pictures(uint32_t unwanted)
{
    freePictures(images50, unwanted);
    markImages50();
}

void loadImages44Textures()
{
    loadFirstPictures("Images44", images44PicturesLoaded, images44Loaded, images44Textures + 1, images44PictureCount,
                      images44Sides, images44PictureCount);
}
void loadImages44VerdictPictures()
{
    loadFirstPictures("Images44", images44PicturesLoaded, images44Loaded, images44Textures + 1, images44PictureCount,
                      images44Sides, 3);
}
void freeImages44Textures() { freeFirstPictures(images44PicturesLoaded, images44Loaded, images44Textures + 1); }

void checkPicturePack(const char *pack)
{
    openPack(packPath(pack));
    closePack();
}

void loadAllImages50() { loadImages50Pictures(~uint32_t{0}); }

void freeImages1Textures() { freeSet(images1Loaded, walkInTextures, images1PictureCount); }
void freeImages14Textures() { freeSet(images14Loaded, teacherExtraTextures, images14PictureCount); }
void freeImages50Textures() { freeImages50Pictures(~uint32_t{0}); }
void freeImages25Textures() { freeSet(images25Loaded, images25Textures + 1, images25PictureCount); }
void freeImages49Textures() { freeSet(images49Loaded, images49Textures + 1, images49PictureCount); }

void openImages0() { openPack(imagesDir + "Images0"); }

void loadImages0Picture(int32_t picture)
{
    const PictureSize s = images0Sizes[picture - 1];
    // Picture 1 and pictures 33..47 are never drawn (about 12 MB of
    // textures): passed over, their data still read and checked in order.
    if (picture == 1 || (picture >= 33 && picture <= 47)) {
        passOver(s.width, s.height);
        return;
    }
    const uint32_t name = hooks.loadTexture(s.width, s.height);
    if (picture == 1) images0FirstTexture = name;
    else if (picture <= 31) teacherFigureTextures[picture - 2] = name;
    else introPictureTextures[picture - 31] = name;
}

void closeImages0() { closePack(); }

static void deleteName(uint32_t &name)
{
    if (name != 0) hooks.deleteTexture(name);
    name = 0;
}

void deleteImages0Textures()
{
    deleteName(images0FirstTexture);
    for (uint32_t &n : teacherFigureTextures) deleteName(n);
    for (int i = 1; i <= 17; ++i) deleteName(introPictureTextures[i]);
}
