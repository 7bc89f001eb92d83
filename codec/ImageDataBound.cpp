#include "codec/ImageDataBound.h"

#include <png.h>

namespace {

const uint64_t kZlibWrapperBytes = 2 + 4;  // header and Adler-32 checksum
// Each row may close a block and start another, as encoders that flush at
// every row do: a block end, a stored block's 5-byte header or a flush
// marker, and the bits to the next byte.
const uint64_t kBytesPerRow = 16;
// Room for the headers of dynamic-code blocks and the like.
const uint64_t kSlackBytes = 1024;

uint64_t FilteredRowBytes(uint32_t columns, int bitDepth, int channels) {
    return 1 + (uint64_t{columns} * static_cast<uint64_t>(bitDepth * channels) + 7) / 8;
}

}  // namespace

// The filtered rows of every pass, each byte taken at 9 bits, as the fixed
// code writes the literals 144 to 255: no encoder that keeps to stored or
// fixed-code blocks where those are smaller needs more.
uint64_t LargestImageData(uint32_t width, uint32_t height, int bitDepth, int channels, int interlaceMethod) {
    uint64_t filtered = 0;
    uint64_t rows = 0;
    if (interlaceMethod == PNG_INTERLACE_NONE) {
        filtered = uint64_t{height} * FilteredRowBytes(width, bitDepth, channels);
        rows = height;
    } else {
        for (int pass = 0; pass < PNG_INTERLACE_ADAM7_PASSES; ++pass) {
            const uint32_t columns = PNG_PASS_COLS(width, pass);
            if (columns == 0) continue;
            const uint64_t passRows = PNG_PASS_ROWS(height, pass);
            filtered += passRows * FilteredRowBytes(columns, bitDepth, channels);
            rows += passRows;
        }
    }
    return kZlibWrapperBytes + filtered + (filtered + 7) / 8 + rows * kBytesPerRow + kSlackBytes;
}
