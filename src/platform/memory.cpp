#include "platform/memory.h"

#include <malloc.h>

void keepLargeBlocksOutOfTheHeap()
{
    // Setting the threshold also stops the library from moving it.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(largeBlockBytes));
}

void returnFreeMemoryToSystem() { malloc_trim(0); }
