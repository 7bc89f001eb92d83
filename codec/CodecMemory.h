// libpng's memory functions for the module: every block libpng and zlib ask
// for comes from the module's zero-filled global memory.
#ifndef KORVANE_CODEC_MEMORY_H
#define KORVANE_CODEC_MEMORY_H

#include <png.h>

// Null when the memory is exhausted; libpng then fails the operation in
// progress (or, for its optional allocations, goes on without the block).
png_voidp CodecAllocate(png_structp png, png_alloc_size_t size);
void CodecRelease(png_structp png, png_voidp address);

#endif
