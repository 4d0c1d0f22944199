#include "platform/memory.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

// A large block freed leaves the resident set at once, also after other
// large blocks were freed (the C library's own rule would keep the later
// ones in its heap).
TEST(Memory, LargeBlocksFreedLeaveTheProcessAtOnce)
{
    keepLargeBlocksOutOfTheHeap();
    for (std::size_t bytes : {largeBlockBytes, 4 * largeBlockBytes + 64, 4 * largeBlockBytes, 2 * largeBlockBytes}) {
        const std::size_t before = mallinfo2().hblkhd;
        void *volatile block = std::malloc(bytes);
        ASSERT_NE(block, nullptr);
        std::memset(block, 1, bytes);
        EXPECT_GE(mallinfo2().hblkhd, before + bytes) << bytes << " bytes not mapped on their own";
        std::free(block);
        EXPECT_EQ(mallinfo2().hblkhd, before) << bytes << " bytes still held after the free";
    }
}

// A block below the large size freed at the top of the heap leaves the heap
// as it was: the next frame's buffers of that size reuse it instead of
// growing the heap again (a shrink and a grow per frame cost the renderer's
// frames several milliseconds).
TEST(Memory, FreedBlocksAtTheHeapTopStayForTheNextFrame)
{
    keepLargeBlocksOutOfTheHeap();
    for (std::size_t bytes : {std::size_t{256} << 10, largeBlockBytes - 4096}) {
        void *volatile block = std::malloc(bytes);
        ASSERT_NE(block, nullptr);
        std::memset(block, 1, bytes);
        const std::size_t heap = mallinfo2().arena;
        std::free(block);
        EXPECT_EQ(mallinfo2().arena, heap) << bytes << " bytes handed back at the free";
    }
    // A screen's end still hands the free top back.
    void *volatile block = std::malloc(largeBlockBytes - 4096);
    std::memset(block, 1, largeBlockBytes - 4096);
    const std::size_t heap = mallinfo2().arena;
    std::free(block);
    returnFreeMemoryToSystem();
    EXPECT_LT(mallinfo2().arena, heap);
}
