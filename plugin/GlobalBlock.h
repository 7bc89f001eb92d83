// Zero-filled movable global memory, locked at once and released from its
// address alone: the module's allocator for everything that is not a host
// buffer or a host handle.
#ifndef KORVANE_GLOBAL_BLOCK_H
#define KORVANE_GLOBAL_BLOCK_H

#include <stddef.h>

void *AllocateGlobalBlock(size_t size);
void ReleaseGlobalBlock(void *address);

#endif
