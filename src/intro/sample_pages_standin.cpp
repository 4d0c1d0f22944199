// Stand-in until the sample exercise's pages are built: draws nothing.
#include "intro/sample_pages.h"

void drawSampleRowExtras(int32_t, int32_t) {}
