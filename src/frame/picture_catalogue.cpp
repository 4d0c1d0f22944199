#include "frame/picture_catalogue.h"

#include "base/shared.h"
#include "base/stops.h"
#include "frame/texture_pack.h"
#include "platform/memory.h"

#include <algorithm>

GLuint frameAnimationTextures[frameAnimationCount];
GLuint panelIconTextures[panelIconCount];
GLuint images6Textures[images6Count];
GLuint images7Textures[images7Count];

static CatalogueStep nothing() { return {CatalogueWork::nothing, 0, PictureFamily::none, 0, 0, 0}; }

static CatalogueStep picture(int32_t pack, PictureFamily family, int32_t slot, int32_t w, int32_t h)
{
    return {CatalogueWork::picture, pack, family, slot, w, h};
}

static CatalogueStep images6Step(int32_t step)
{
    const auto f = PictureFamily::images6;
    if (step == 4) return {CatalogueWork::openPack, 6, f, 0, 0, 0};
    if (step >= 5 && step <= 85) return picture(6, f, step - 5, 190, 210);
    if (step >= 87 && step <= 167) return picture(6, f, step - 6, 190, 210);
    if (step == 172) return picture(6, f, 174, 190, 210);
    if (step >= 173 && step <= 184) return picture(6, f, step - 11, 190, 211);
    if (step == 185) return {CatalogueWork::closePack, 6, f, 0, 0, 0};
    return nothing(); // 86 and 168..171
}

static CatalogueStep images7Step(int32_t step)
{
    const auto f = PictureFamily::images7;
    if (step == 187) return {CatalogueWork::openPack, 7, f, 0, 0, 0};
    if (step == 188) return picture(7, f, 0, 86, 144);  // treble clef
    if (step == 189) return picture(7, f, 1, 70, 70);   // bass clef
    if (step >= 190 && step <= 204) return picture(7, f, step - 188, 95, 115);
    if (step >= 205 && step <= 225) return picture(7, f, step - 188, 60, 140);
    if (step >= 226 && step <= 229) return picture(7, f, step - 165, 50, 67);
    if (step >= 230 && step <= 250) return picture(7, f, step - 163, 50, 67);
    if (step >= 251 && step <= 277) return picture(7, f, step - 162, 50, 67);
    if (step >= 278 && step <= 280) return picture(7, f, step - 240, 50, 67);
    if (step >= 281 && step <= 283) return picture(7, f, step - 240, 73, 30);
    if (step >= 284 && step <= 298) return picture(7, f, step - 240, 20, 28);
    if (step >= 299 && step <= 300) return picture(7, f, step - 240, 50, 199);
    if (step == 301) return picture(7, f, 88, 50, 67);
    if (step == 302) return {CatalogueWork::closePack, 7, f, 0, 0, 0};
    return nothing();
}

static CatalogueStep images9Step(int32_t step)
{
    const auto f = PictureFamily::panelIcons;
    if (step == 304) return {CatalogueWork::openPack, 9, f, 0, 0, 0};
    if (step >= 305 && step <= 318) return picture(9, f, step - 305, 119, 82);
    if (step == 319) return {CatalogueWork::closePack, 9, f, 0, 0, 0};
    return nothing();
}

CatalogueStep catalogueStep(int32_t pack, int32_t step)
{
    switch (pack) {
    case 6: return images6Step(step);
    case 7: return images7Step(step);
    case 9: return images9Step(step);
    case 8:
        if (step >= 0 && step < frameAnimationCount)
            return picture(8, PictureFamily::frameAnimation, step, 230, 100);
        return nothing();
    default: return nothing();
    }
}

static void stepRange(int32_t pack, int32_t &first, int32_t &last)
{
    switch (pack) {
    case 6: first = 4; last = 185; break;
    case 7: first = 187; last = 302; break;
    case 8: first = 0; last = frameAnimationCount - 1; break;
    case 9: first = 304; last = 319; break;
    default: first = 1; last = 0; break;
    }
}

int32_t packPictureCount(int32_t pack)
{
    int32_t first, last, count = 0;
    stepRange(pack, first, last);
    for (int32_t s = first; s <= last; ++s)
        if (catalogueStep(pack, s).work == CatalogueWork::picture) ++count;
    return count;
}

CatalogueStep packPicture(int32_t pack, int32_t index)
{
    int32_t first, last, n = 0;
    stepRange(pack, first, last);
    for (int32_t s = first; s <= last; ++s) {
        CatalogueStep c = catalogueStep(pack, s);
        if (c.work != CatalogueWork::picture) continue;
        if (n++ == index) return c;
    }
    return nothing();
}

static GLuint *familySlots(PictureFamily family)
{
    switch (family) {
    case PictureFamily::frameAnimation: return frameAnimationTextures;
    case PictureFamily::panelIcons: return panelIconTextures;
    case PictureFamily::images6: return images6Textures;
    case PictureFamily::images7: return images7Textures;
    default: return nullptr;
    }
}

static void packPath(int32_t pack, std::string &path)
{
    path = imagesDir + "Images" + std::to_string(pack);
}

// The Images6 pictures are freed for a visit to the introduction and read
// again after it: each is made mapped on its own (see mapPictureBlocksApart),
// so those read again take the memory the freed ones handed back.
static GLuint loadImages6Picture(const CatalogueStep &c)
{
    mapPictureBlocksApart(true);
    const GLuint name = loadNextTexture(c.width, c.height, 0);
    mapPictureBlocksApart(false);
    return name;
}

static void doStep(const CatalogueStep &c)
{
    std::string path;
    switch (c.work) {
    case CatalogueWork::openPack:
        packPath(c.pack, path);
        openTexturePack(path);
        break;
    case CatalogueWork::picture:
        familySlots(c.family)[c.slot] =
            c.family == PictureFamily::images6 ? loadImages6Picture(c) : loadNextTexture(c.width, c.height, 0);
        break;
    case CatalogueWork::closePack: closeTexturePack(); break;
    case CatalogueWork::nothing: break;
    }
}

void loadImages6PartA(int32_t step)
{
    if (step < 4 || step > 85) stopProgram(0, stopImages6PartAStep);
    doStep(catalogueStep(6, step));
}

void loadImages6PartB(int32_t step)
{
    if (step < 87 || step > 185) stopProgram(0, stopImages6PartBStep);
    doStep(catalogueStep(6, step));
}

static bool images6Freed = false;
static int32_t images6Read = 0; // of the freed pictures, those read again (pack order)
// The reading keeps the pack open from one frame to the next; another opening
// in between closes it, and the next frame opens it again.
static bool images6PackKept = false;
static uint32_t images6PackOpening = 0;

static bool images6PackStillOpen()
{
    return images6PackKept && texturePackOpen() && texturePackOpening() == images6PackOpening;
}

static void closeImages6Pack()
{
    if (images6PackStillOpen()) closeTexturePack();
    images6PackKept = false;
}

void freeImages6Pictures()
{
    closeImages6Pack();
    for (GLuint &name : images6Textures)
        if (name != 0) {
            glDeleteTextures(1, &name);
            name = 0;
            images6Freed = true;
        }
    images6Read = 0;
}

bool images6ReadingWaits() { return texturePackOpen() && !images6PackStillOpen(); }

bool readSomeImages6Pictures(int32_t count)
{
    if (!images6Freed) return true;
    const int32_t total = packPictureCount(6);
    const int32_t end = std::min(total, images6Read + count);
    if (!images6PackStillOpen()) {
        std::string path;
        packPath(6, path);
        openTexturePack(path);
        for (int32_t i = 0; i < images6Read; ++i) {
            const CatalogueStep c = packPicture(6, i);
            skipNextTexture(c.width, c.height);
        }
        images6PackKept = true;
        images6PackOpening = texturePackOpening();
    }
    for (int32_t i = images6Read; i < end; ++i) {
        const CatalogueStep c = packPicture(6, i);
        images6Textures[c.slot] = loadImages6Picture(c);
    }
    images6Read = end;
    images6Freed = end < total;
    if (!images6Freed) closeImages6Pack();
    return !images6Freed;
}

void reloadImages6Pictures() { readSomeImages6Pictures(images6Count); }

void loadImages7Step(int32_t step)
{
    if (step < 187 || step > 302) stopProgram(0, stopImages7Step);
    doStep(catalogueStep(7, step));
}

void loadImages9Step(int32_t step)
{
    if (step < 304 || step > 319) stopProgram(0, stopImages9Step);
    doStep(catalogueStep(9, step));
}

void loadFrameAnimationPictures()
{
    openTexturePack(imagesDir + "Images8");
    for (int32_t i = 0; i < frameAnimationCount; ++i) doStep(catalogueStep(8, i));
    closeTexturePack();
}
