// Memory back to the system. The C library keeps the memory of freed large
// blocks (a texture of 1024 x 1024 is 5 MB with its mipmaps) in its heap for
// the next allocation; the resident set of the process then stays at its
// highest however much a screen frees when it is left.
#pragma once

// Hands the free memory of the heap back to the system (the pages stay
// reserved, no longer resident). Costs a walk over the heap: call it when a
// screen has been left, not per frame.
void returnFreeMemoryToSystem();
