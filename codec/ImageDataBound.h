// How much compressed image data an image can need at the most, so that a
// read hands libpng no more than that to inflate.
#ifndef KORVANE_IMAGE_DATA_BOUND_H
#define KORVANE_IMAGE_DATA_BOUND_H

#include <stdint.h>

// For an image of the given header fields, channels counted as the file
// stores them.
uint64_t LargestImageData(uint32_t width, uint32_t height, int bitDepth, int channels, int interlaceMethod);

#endif
