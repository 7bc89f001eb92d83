// How much compressed image data an image can need at the most. A read
// bounds with it what it hands libpng from the last row's read on: until
// then libpng inflates only what each row needs, but once the last row is
// whole it inflates whatever data follows, looking for the stream's end.
#ifndef KORVANE_IMAGE_DATA_BOUND_H
#define KORVANE_IMAGE_DATA_BOUND_H

#include <stdint.h>

// For an image of the given header fields, channels counted as the file
// stores them.
uint64_t LargestImageData(uint32_t width, uint32_t height, int bitDepth, int channels, int interlaceMethod);

#endif
