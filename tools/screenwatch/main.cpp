// tarnova-screenwatch: developer tool that runs the program unchanged and
// prints every change of screen on standard output as "screen N", so a
// measured run in the rig (tools/memory-per-screen) knows which screen it
// is measuring.
//
//   tarnova-screenwatch      (same environment and data folder as tarnova)
#include "../common/demo_handover.h"

int main(int argc, char **argv) { return runWithLoadingHandOver(argc, argv, -1, nullptr); }
