#include "platform/memory.h"

#include <malloc.h>

void keepLargeBlocksOutOfTheHeap()
{
    // Setting the threshold also stops the library from moving it, and from
    // moving the trim threshold, which would stay at its 128 kB default.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(largeBlockBytes));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(heapTopSlackBytes));
}

void returnFreeMemoryToSystem() { malloc_trim(0); }
