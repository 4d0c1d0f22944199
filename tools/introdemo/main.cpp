// tarnova-introdemo: developer tool that runs the program unchanged, except
// that the loading screen hands over to the introductory lesson, screen 8, as
// the lesson loader does for lesson 1, instead of to first-time setup or user
// management (their first frame comes at once after the loading and would
// leave a name field being edited). So the introduction can be seen and
// tested end to end before the lesson menu leads there. Every change of
// screen is printed on standard output as "screen N".
//
//   tarnova-introdemo        (same environment and data folder as tarnova)
#include "app/loading_screen.h"
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
        // The loading decides its next screen in its first frame (phase 0)
        // and reads it at the hand-over, seconds later.
        if (!switched && now == loadingScreenId && std::atomic_ref<int32_t>(loadingState.phase).load() >= 1) {
            std::atomic_ref<int32_t>(loadingState.nextScreen).store(introLessonScreenId);
            switched = true;
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
