#include "intro_fakes.h"

#include "frame/controls.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "intro/intro_pages.h"
#include "lessons/picture_sets.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

IntroWorld *world = nullptr;

static void log(const char *what, int32_t value)
{
    world->sounds.push_back({what, value, introLesson.step, introLesson.progress});
}

static int32_t fakeElapsed() { return world->clock; }
static void fakeStartMusic() { log("music", 1); }
static void fakeStopMusic() { log("music", 0); }
static void fakeMakeBuffers()
{
    world->liveClipBuffers += 214;
    log("buffers", 214);
}
static void fakeLoadClip(int32_t) { ++world->clipsLoaded; }
static void fakeFreeClip(int32_t) { ++world->clipsFreed; }
static void fakePlayClip(int32_t clip)
{
    log("play", clip);
    if (!introClipHeld(clip)) log("notHeld", clip);
}
static void fakeBank(int32_t id) { log("bank", id); }
static void fakeStop(IntroSource s) { log("stop", static_cast<int32_t>(s)); }
static void fakeQuitMusic() { log("quitMusic", 0); }
static void fakeRelease() { log("release", 0); }
static void fakeDeleteBuffers()
{
    world->liveClipBuffers -= 214;
    log("buffers", -214);
}
static void fakeStopCapture() {}
static void fakeTick() {}
static void fakeExtras(ImmediateDraw &draw, const IntroPageRow &row, int32_t step)
{
    if (world->drawPages) drawIntroRowExtras(draw, row, step);
}
static void fakeEntry(int32_t, int32_t) {}
static void fakeHoldReplayPictures(bool held) { world->replayPicturesHeld = held; }
static int32_t fakeSample(int32_t tick)
{
    return world->sampleEventTick != 0 && tick == world->sampleEventTick ? 8 : 0;
}

static void fakeOpen(const std::string &path)
{
    ++world->openPacks;
    world->packsOpened.push_back(path.substr(path.find("Images")));
}
static uint32_t fakeLoadTexture(int32_t, int32_t)
{
    ++world->liveTextures;
    world->liveNames.insert(static_cast<uint32_t>(world->nextTexture));
    return static_cast<uint32_t>(world->nextTexture++);
}
static void fakeSkip(int32_t, int32_t) { ++world->picturesSkipped; }
static void fakeClose() { --world->openPacks; }
static void fakeDelete(uint32_t name)
{
    --world->liveTextures;
    world->liveNames.erase(name);
}

static IntroLessonHooks installedFakes{};
const IntroLessonHooks &introFakeHooks() { return installedFakes; }

void installIntroFakes(IntroWorld &w)
{
    world = &w;
    IntroLessonHooks h{};
    h.draw = &w.draw;
    h.elapsedMs = fakeElapsed;
    h.startLoadingMusic = fakeStartMusic;
    h.stopLoadingMusic = fakeStopMusic;
    h.makeClipBuffers = fakeMakeBuffers;
    h.loadClip = fakeLoadClip;
    h.freeClip = fakeFreeClip;
    h.playClip = fakePlayClip;
    h.playBankSound = fakeBank;
    h.stopSource = fakeStop;
    h.quitStopMusic = fakeQuitMusic;
    h.releaseSources = fakeRelease;
    h.deleteClipBuffers = fakeDeleteBuffers;
    h.stopCapture = fakeStopCapture;
    h.tickVoices = fakeTick;
    h.drawRowExtras = fakeExtras;
    h.entryStep = fakeEntry;
    h.sampleExercise = fakeSample;
    h.holdReplayPictures = fakeHoldReplayPictures;
    installedFakes = h;
    setIntroLessonHooks(h);
    setPictureSetHooks({fakeOpen, fakeLoadTexture, fakeClose, fakeDelete, nullptr, fakeSkip});
    images1Loaded = images14Loaded = images50Loaded = images25Loaded = images49Loaded = images51Loaded =
        images44Loaded = false;
    images51PicturesLoaded = images44PicturesLoaded = 0;
    // Names left by an earlier test (the sets load only what is not there).
    std::fill(std::begin(diagramTextures), std::end(diagramTextures), 0u);
    std::fill(std::begin(slideTextures), std::end(slideTextures), 0u);
    setKeyboardFocus(nullptr);
    introLesson = IntroLessonState{};
    introLessonScreenHandlers.create();
    resetMessageState();
    windowHeight = 765;
    nextTimerDelay = 46;
    currentScreen = introLessonScreenId;
}

void removeIntroFakes()
{
    setIntroLessonHooks(realIntroLessonHooks());
    setPictureSetHooks(realPictureSetHooks());
    world = nullptr;
}

void introFrame()
{
    world->clock += 46;
    introLessonScreenHandlers.display();
}
