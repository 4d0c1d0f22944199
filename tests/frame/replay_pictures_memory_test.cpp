// The replay's pictures are freed for a visit to the introduction and read
// again after it: read again, they must take their memory where the freed
// ones had theirs, not from the system anew with the old memory left behind.
#include "common/generated_data.h"
#include "common/window_pixels.h"
#include "base/shared.h"
#include "frame/picture_catalogue.h"
#include "frame/texture_pack.h"
#include "platform/memory.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace {

// Memory the process holds from the system: the heap and the blocks mapped
// on their own.
double heldMb()
{
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.arena + m.hblkhd) / (1 << 20);
}

// A frame's buffer of a few hundred kB, made and freed.
void passingBlock()
{
    void *volatile block = std::malloc(300 << 10);
    std::memset(block, 1, 300 << 10);
    std::free(block);
}

// Runs in a child process (GLUT is initialised once per process): the
// pictures loaded as the loading screen loads them, one a frame, then freed
// and read again twice, images6PicturesPerFrame a frame with a screen's
// passing block in each frame. Exits with 0 when the pictures read again
// left the memory held as it was (made in the heap, each freed picture left
// a hole the next could not use: the heap grew by some 14 MB here, by 30 MB
// in the program), 1 after saying by how much it grew.
[[noreturn]] void freeAndReadAgain()
{
    keepLargeBlocksOutOfTheHeap();
    openTestWindow("replay_pictures_memory_test");
    imagesDir = generatedData() + "images.prod\\";
    // One picture a frame, each frame with a passing block (freed at the
    // heap's top, where it stays for the next frame) and leaving small blocks
    // of its own.
    std::vector<void *> frameBlocks;
    for (int32_t s = 4; s <= 185; ++s) {
        passingBlock();
        if (s <= 85) loadImages6PartA(s);
        else if (s >= 87) loadImages6PartB(s);
        for (int k = 0; k < 8; ++k) frameBlocks.push_back(std::malloc(64));
    }
    glFinish();
    returnFreeMemoryToSystem();
    const double loaded = heldMb();
    for (int visit = 1; visit <= 2; ++visit) {
        freeImages6Pictures();
        glFinish();
        // The introduction's own blocks, some of them still there after it.
        std::vector<void *> kept;
        for (int i = 0; i < 400; ++i) kept.push_back(std::malloc(96 + i % 7 * 40));
        bool done = false;
        while (!done) {
            passingBlock();
            done = readSomeImages6Pictures(images6PicturesPerFrame);
        }
        glFinish();
        returnFreeMemoryToSystem();
        const double grown = heldMb() - loaded;
        if (grown > 2.0) {
            std::fprintf(stderr, "visit %d: %.1f MB more held than with the pictures first loaded\n", visit, grown);
            _exit(1);
        }
    }
    _exit(0);
}

} // namespace

TEST(ReplayPicturesMemory, ReadAgainTheyTakeBackTheMemoryTheyGave)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(freeAndReadAgain(), ::testing::ExitedWithCode(0), "");
}
