#include "platform/memory.h"

#include <cstdlib>
#include <malloc.h>

void keepLargeBlocksOutOfTheHeap()
{
    // Setting the threshold also stops the library from moving it, and from
    // moving the trim threshold, which would stay at its 128 kB default.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(largeBlockBytes));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(heapTopSlackBytes));
}

// The free top of the heap, taken while picture blocks are mapped apart.
static void *heapTopTaken = nullptr;

void mapPictureBlocksApart(bool apart)
{
    if (heapTopTaken != nullptr) {
        std::free(heapTopTaken);
        heapTopTaken = nullptr;
    }
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(apart ? pictureBlockBytes : largeBlockBytes));
    if (!apart) return;
    // The library maps a block on its own only when the heap's top cannot
    // hold it, and the top keeps up to heapTopSlackBytes free between frames:
    // that free top is taken for the while (no page of it is touched), so a
    // picture's block is mapped. Blocks of that size seldom lie free below it.
    const std::size_t top = mallinfo2().keepcost;
    if (top >= pictureBlockBytes) heapTopTaken = std::malloc(top - 4096);
}

void returnFreeMemoryToSystem() { malloc_trim(0); }
