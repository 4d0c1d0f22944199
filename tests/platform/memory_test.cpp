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
