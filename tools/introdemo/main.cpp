// tarnova-introdemo: developer tool that runs the program unchanged, except
// that once the loading screen has handed over (to first-time setup or user
// management) it switches to the introductory lesson, screen 8, as the lesson
// loader does for lesson 1. So the introduction can be seen and tested end to
// end before the lesson menu leads there. Every change of screen is printed
// on standard output as "screen N".
//
//   tarnova-introdemo        (same environment and data folder as tarnova)
#include "frame/screens.h"
#include "base/shared.h"
#include "app/startup.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

static void watchScreens()
{
    std::atomic_ref<int32_t> screen(currentScreen);
    int32_t shown = -1;
    bool switched = false;
    for (;;) {
        const int32_t now = screen.load();
        if (!switched && (now == setupScreenId || now == userManagementScreenId)) {
            screen.store(introLessonScreenId);
            switched = true;
            continue;
        }
        if (now != shown) {
            std::printf("screen %d\n", now);
            std::fflush(stdout);
            shown = now;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int main(int argc, char **argv)
{
    std::thread(watchScreens).detach();
    return runTarnova(argc, argv);
}
