// Fakes for running the introductory lesson without a window or a sound
// card: a draw facade that records each frame as text, hooks that log sounds
// and count live textures and clip buffers, and a clock that advances one
// step's 46 ms per frame.
#pragma once
#include "frame/immediate_draw.h"
#include "intro/intro_lesson_screen.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecordingDraw final : ImmediateDraw {
    std::vector<std::string> ops; // the last frame (cleared by beginFrame)
    int frames = 0;
    void add(const std::string &s) { ops.push_back(s); }
    void beginFrame() override
    {
        ops.clear();
        add("begin");
    }
    void endFrame() override
    {
        add("end");
        ++frames;
    }
    void colour(float r, float g, float b, float a) override;
    void lineWidth(float w) override { add("width " + std::to_string(w)); }
    void quad(double x0, double y0, double x1, double y1, double z) override;
    void triangle(double x0, double y0, double x1, double y1, double x2, double y2, double z) override;
    void line(double x0, double y0, double x1, double y1, double z) override;
    void lineStrip(const double *xy, int n, double z) override;
    void lineLoop(const double *xy, int n, double z) override;
    void text(DrawnText kind, int32_t font, std::string_view s, double x, double y) override;
    void picture(uint32_t texture, double x0, double y0, double x1, double y1, double z) override;
    void pushTranslate(double x, double y) override;
    void pop() override { add("pop"); }
    void frameAnimation(int32_t n) override { add("animation " + std::to_string(n)); }
    void controls() override { add("controls"); }
    void popupList() override { add("popup"); }
    void lessonMessagePanel(int32_t icon, std::string_view status) override
    {
        add("panel " + std::to_string(icon) + " " + std::string(status));
    }
    // Ops of the last frame that start with prefix.
    std::vector<std::string> matching(const std::string &prefix) const;
};

struct SoundEvent {
    std::string what; // "play", "bank", "stop", "music", ...
    int32_t value;
    int32_t step;     // introStep when it happened
    int32_t progress;
};

struct IntroWorld {
    RecordingDraw draw;
    std::vector<SoundEvent> sounds;
    int32_t clock = 0;
    int32_t liveTextures = 0;
    int32_t nextTexture = 1;
    int32_t openPacks = 0;
    std::vector<std::string> packsOpened;
    int32_t liveClipBuffers = 0;
    int32_t clipsLoaded = 0;
    int32_t sampleEventTick = 259; // event 8 of the sample exercise (0: never)
};
extern IntroWorld *world;

// Installs the fakes (and fresh state: controls, picture marks) for one test.
void installIntroFakes(IntroWorld &w);
void removeIntroFakes();
// The hooks installIntroFakes installed (to replace a few of them).
const IntroLessonHooks &introFakeHooks();
// One timer tick: the clock moves on by 46 ms and the screen's display runs.
void introFrame();
// Runs frames until pred() holds; false when maxFrames pass first.
template <typename Pred> bool runIntroUntil(Pred pred, int maxFrames = 40000)
{
    for (int i = 0; i < maxFrames; ++i) {
        if (pred()) return true;
        introFrame();
    }
    return pred();
}
