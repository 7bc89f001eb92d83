// The host's image model: what the editor holds of a document, and the moves
// of pixel rows between it and a module's buffer during advance-state.
#ifndef PNGHOST_HOST_IMAGE_H
#define PNGHOST_HOST_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "FormatHost.h"
#include "pnghost/host/PixelMemory.h"

struct HostImage {
    int16_t mode = kModeRGB;
    int16_t depth = 8;
    int16_t planes = 3;
    int16_t rows = 0;
    int16_t columns = 0;
    // Rows one after another, the planes of a pixel side by side; a 1-bit
    // image is packed eight pixels to the byte, first pixel in the top bit.
    ImagePixels pixels;
    uint8_t red[256] = {};
    uint8_t green[256] = {};
    uint8_t blue[256] = {};
    HostFixed horizontalResolution = 72 << 16;
    HostFixed verticalResolution = 72 << 16;
    std::vector<uint8_t> resources;  // the image resource data (File Info among it)
};

int32_t HostImageRowBytes(const HostImage &image);
// "bitmap", "grayscale", "indexed", "RGB", or "other" for the modes PNG has
// no use for.
const char *ImageModeName(int16_t mode);
// Sizes the pixels for the image's rows, columns, depth and planes, zeroed.
// False, with no pixels, when the image does not fit in this host's memory
// (a 32-bit host without 4 GiB of addresses cannot hold a 32767 by 32767 RGB
// image).
bool AllocateHostImage(HostImage *image);

// The image's pixels with the bits past the last column of each 1-bit row
// cleared: they carry nothing, and images are compared without them.
std::vector<uint8_t> PixelsWithoutSpareBits(const HostImage &image);

// Copy the rows of the block's transfer rectangle from the module's buffer
// into the image (after a read step), or from the image into the buffer (for
// a save). False with a reason when the block asks for rows, columns or
// planes the image does not have.
bool MoveRowsToImage(const HostFormatBlock &block, HostImage *image, std::string *error);
bool MoveRowsFromImage(const HostFormatBlock &block, const HostImage &image, std::string *error);

#endif
