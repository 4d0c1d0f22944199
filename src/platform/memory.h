// Memory back to the system. The C library keeps the memory of freed large
// blocks (a texture of 1024 x 1024 is 5 MB with its mipmaps) in its heap for
// the next allocation; the resident set of the process then stays at its
// highest however much a screen frees when it is left.
#pragma once

#include <cstddef>

// Blocks of at least this size get a mapping of their own.
constexpr std::size_t largeBlockBytes = std::size_t{1} << 20;
// Free memory at the top of the heap the C library keeps rather than hands
// back at each free. The renderer allocates and frees its per-frame buffers
// (a few hundred kB) at the top of the heap: below this, every frame would
// shrink the heap and grow it again, a system call, a flush of every
// processor's address cache and fresh zeroed pages each time.
constexpr std::size_t heapTopSlackBytes = std::size_t{8} << 20;

// From now on every block of largeBlockBytes or more (textures, picture read
// areas, sound buffers) is mapped on its own and handed back to the system
// when it is freed. By default the C library raises that threshold to the
// size of each large block freed, so later large blocks come from the heap,
// where a freed one stays resident until a trim and leaves a hole that blocks
// of other sizes fit badly. Fixing that threshold also fixes the library's
// trim threshold, which it would otherwise have raised with it: it is set to
// heapTopSlackBytes, and a screen left hands the rest back
// (returnFreeMemoryToSystem). Call once at start, before the first allocation
// of that size.
void keepLargeBlocksOutOfTheHeap();

// Pictures that are freed and read again while the program runs are made
// with blocks of at least this size mapped on their own (a picture of
// 190 x 210 holds 215 kB with its mipmaps).
constexpr std::size_t pictureBlockBytes = std::size_t{128} << 10;

// Until the call with `apart` false, every block of pictureBlockBytes or more
// is mapped on its own, as the large ones always are (the heap's free top is
// held for the while, since the library maps only what the top cannot hold). A picture's texture
// made in the heap and freed leaves a hole of exactly its size, held apart
// from its neighbours by the small blocks made between them; the renderer
// asks for a texture's memory aligned, which takes a little more than the
// block it gives, so a picture of that size read again never fits such a
// hole: it grows the heap, and the holes stay behind for every later
// screen's passing blocks to make resident again. Mapped on their own, freed
// pictures hand their memory straight back and leave no hole.
void mapPictureBlocksApart(bool apart);

// Hands the free memory of the heap back to the system (the pages stay
// reserved, no longer resident). Costs a walk over the heap: call it when a
// screen has been left, not per frame.
void returnFreeMemoryToSystem();
