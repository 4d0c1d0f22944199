#include "platform/memory.h"

#include <malloc.h>

void returnFreeMemoryToSystem() { malloc_trim(0); }
