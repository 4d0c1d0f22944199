// tarnova-introdemo: developer tool that runs the program unchanged, except
// that the loading screen hands over to the introductory lesson, screen 8, as
// the lesson loader does for lesson 1, instead of to first-time setup or user
// management (their first frame comes at once after the loading and would
// leave a name field being edited). So the introduction can be seen and
// tested end to end before the lesson menu leads there. Every change of
// screen is printed on standard output as "screen N".
//
//   tarnova-introdemo        (same environment and data folder as tarnova)
#include "../common/demo_handover.h"

int main(int argc, char **argv)
{
    return runWithLoadingHandOver(argc, argv, introLessonScreenId, nullptr);
}
