// How much compressed image data an image can need at the most. A read
// bounds with it, for one row, what it hands libpng once the last row is
// whole: until then libpng inflates only what each row needs, but after the
// last row it inflates whatever data follows, looking for the stream's end.
#ifndef KORVANE_IMAGE_DATA_BOUND_H
#define KORVANE_IMAGE_DATA_BOUND_H

#include <stdint.h>

// For an image of the given header fields, channels counted as the file
// stores them.
uint64_t LargestImageData(uint32_t width, uint32_t height, int bitDepth, int channels, int interlaceMethod);

#endif
