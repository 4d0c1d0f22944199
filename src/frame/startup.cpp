#include "frame/startup.h"

// Filled in with the frame core.
int runTarnova(int, char **) { return 0; }
