#include "intro_fakes.h"

#include "frame/message_panel.h"
#include "base/shared.h"
#include "intro/intro_pictures.h"

#include <cstdio>

IntroWorld *world = nullptr;

static std::string num(double v)
{
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

void RecordingDraw::colour(float r, float g, float b, float a)
{
    add("colour " + num(r) + " " + num(g) + " " + num(b) + " " + num(a));
}
void RecordingDraw::quad(double x0, double y0, double x1, double y1, double z)
{
    add("quad " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) + " " + num(z));
}
void RecordingDraw::triangle(double x0, double y0, double x1, double y1, double x2, double y2, double z)
{
    add("triangle " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) + " " + num(x2) + " " +
        num(y2) + " " + num(z));
}
void RecordingDraw::line(double x0, double y0, double x1, double y1, double z)
{
    add("line " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) + " " + num(z));
}
static std::string points(const double *xy, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += " " + num(xy[2 * i]) + "," + num(xy[2 * i + 1]);
    return s;
}
void RecordingDraw::lineStrip(const double *xy, int n, double z) { add("strip" + points(xy, n) + " " + num(z)); }
void RecordingDraw::lineLoop(const double *xy, int n, double z) { add("loop" + points(xy, n) + " " + num(z)); }
void RecordingDraw::text(DrawnText kind, int32_t, std::string_view s, double x, double y)
{
    const char *k = kind == DrawnText::large ? "large" : kind == DrawnText::control ? "ctext" : "text";
    add(std::string(k) + " " + num(x) + " " + num(y) + " " + std::string(s));
}
void RecordingDraw::picture(uint32_t texture, double x0, double y0, double x1, double y1, double z)
{
    add("picture " + std::to_string(texture) + " " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1) +
        " " + num(z));
}
void RecordingDraw::pushTranslate(double x, double y) { add("translate " + num(x) + " " + num(y)); }
std::vector<std::string> RecordingDraw::matching(const std::string &prefix) const
{
    std::vector<std::string> out;
    for (const std::string &op : ops)
        if (op.rfind(prefix, 0) == 0) out.push_back(op);
    return out;
}

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
static void fakePlayClip(int32_t clip) { log("play", clip); }
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
static void fakeExtras(const IntroPageRow &, int32_t) {}
static void fakeEntry(int32_t, int32_t) {}
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
    return static_cast<uint32_t>(world->nextTexture++);
}
static void fakeClose() { --world->openPacks; }
static void fakeDelete(uint32_t) { --world->liveTextures; }

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
    installedFakes = h;
    setIntroLessonHooks(h);
    setPictureSetHooks({fakeOpen, fakeLoadTexture, fakeClose, fakeDelete});
    images1Loaded = images14Loaded = images50Loaded = images25Loaded = images49Loaded = images51Loaded =
        images44Loaded = false;
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
