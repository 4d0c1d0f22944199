// The demo tools' one change to the program: a watcher thread that, once the
// loading screen has decided its next screen in its first frame (phase 1),
// runs the tool's preparation and makes the loading hand over to the tool's
// screen instead. Every change of screen is printed on standard output as
// "screen N", and on the introduction every topic it enters as "intro topic
// N" (after its own loading), so a test waits for what it expects instead of
// a fixed time. Header only: each demo tool is one executable.
#pragma once

#include "app/loading_screen.h"
#include "app/startup.h"
#include "base/shared.h"
#include "frame/screens.h"
#include "intro/intro_lesson_screen.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

// prepare runs on the watcher thread while the loading waits for its
// hand-over: nothing else touches the users or the lesson until then. A
// nextScreen below 0 hands over nothing: the program runs as it is and only
// its screens are printed.
inline int runWithLoadingHandOver(int argc, char **argv, int32_t nextScreen, void (*prepare)())
{
    std::thread([nextScreen, prepare] {
        std::atomic_ref<int32_t> screen(currentScreen);
        int32_t shown = -1, shownTopic = 0;
        bool switched = false;
        for (;;) {
            const int32_t now = screen.load();
            // The loading decides its next screen in its first frame (phase 0)
            // and reads it at the hand-over, seconds later.
            if (!switched && nextScreen >= 0 && now == loadingScreenId &&
                std::atomic_ref<int32_t>(loadingState.phase).load() >= 1) {
                if (prepare) prepare();
                std::atomic_ref<int32_t>(loadingState.nextScreen).store(nextScreen);
                switched = true;
            }
            if (now != shown) {
                std::printf("screen %d\n", now);
                std::fflush(stdout);
                shown = now;
                shownTopic = 0;
            }
            if (now == introLessonScreenId) {
                // Progress 2..10 are topics 1..9; 0 and 1 the loading and its wait.
                const int32_t progress = std::atomic_ref<int32_t>(introLesson.progress).load();
                const int32_t topic = progress >= 2 ? progress - 1 : 0;
                if (topic != shownTopic && topic > 0) {
                    std::printf("intro topic %d\n", topic);
                    std::fflush(stdout);
                }
                shownTopic = topic;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }).detach();
    return runTarnova(argc, argv);
}
