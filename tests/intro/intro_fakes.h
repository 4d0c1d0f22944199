// Fakes for running the introductory lesson without a window or a sound
// card: a draw facade that records each frame as text, hooks that log sounds
// and count live textures and clip buffers, and a clock that advances one
// step's 46 ms per frame.
#pragma once
#include "common/recording_draw.h"
#include "intro/intro_lesson_screen.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

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
    std::set<uint32_t> liveNames; // the texture names made and not deleted
    int32_t picturesSkipped = 0;  // passed over unread
    int32_t nextTexture = 1;
    int32_t openPacks = 0;
    std::vector<std::string> packsOpened;
    int32_t liveClipBuffers = 0;
    int32_t clipsLoaded = 0; // reads of a clip, the loading's checks included
    int32_t clipsFreed = 0;
    int32_t sampleEventTick = 259; // event 8 of the sample exercise (0: never)
    bool drawPages = false;        // the pages' own content (intro_pages.h) instead of nothing
    bool replayPicturesHeld = true; // the program's loading read them
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
