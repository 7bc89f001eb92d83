#include "codec/CodecMemory.h"

#include "plugin/GlobalBlock.h"

png_voidp CodecAllocate(png_structp, png_alloc_size_t size) { return AllocateGlobalBlock(size); }

void CodecRelease(png_structp, png_voidp address) { ReleaseGlobalBlock(address); }
