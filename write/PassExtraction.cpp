#include "write/PassExtraction.h"

#include <string.h>

#include "read/Adam7.h"

namespace {

// Every step-th pixel from column first on, packed together. With the pixel
// size fixed at compile time each copy is a plain load and store: a memcpy
// call per pixel was the largest cost of an interlaced save of an indexed
// image.
template <int32_t kPixelBytes>
void GatherPixels(const uint8_t *hostRow, uint8_t *passRow, int32_t first, int32_t step, int32_t columns) {
    for (int32_t x = first; x < columns; x += step, passRow += kPixelBytes)
        memcpy(passRow, hostRow + x * kPixelBytes, kPixelBytes);
}

// Pixels of a size the host block gives that the sizes above do not cover.
void GatherPixelsOfSize(const uint8_t *hostRow, uint8_t *passRow, int32_t first, int32_t step, int32_t columns,
                        int32_t pixelBytes) {
    for (int32_t x = first; x < columns; x += step, passRow += pixelBytes)
        memcpy(passRow, hostRow + x * pixelBytes, static_cast<size_t>(pixelBytes));
}

}  // namespace

void ExtractPassPixels(const PluginState &state, const uint8_t *hostRow, uint8_t *passRow, int pass) {
    const int32_t pixelBytes = state.hostBlock->planes;
    const int32_t columns = state.hostBlock->imageColumns;
    const Adam7Pass &geometry = kAdam7[pass];
    const int32_t first = geometry.firstColumn, step = geometry.columnStep;
    switch (pixelBytes) {
        case 1: GatherPixels<1>(hostRow, passRow, first, step, columns); break;
        case 2: GatherPixels<2>(hostRow, passRow, first, step, columns); break;
        case 3: GatherPixels<3>(hostRow, passRow, first, step, columns); break;
        case 4: GatherPixels<4>(hostRow, passRow, first, step, columns); break;
        default: GatherPixelsOfSize(hostRow, passRow, first, step, columns, pixelBytes); break;
    }
}

void ExtractPassBits(const PluginState &state, const uint8_t *hostRow, uint8_t *passRow, int pass) {
    const int32_t columns = state.hostBlock->imageColumns;
    const Adam7Pass &geometry = kAdam7[pass];
    const int32_t pixels = PassExtent(columns, geometry.firstColumn, geometry.columnStep);
    memset(passRow, 0, static_cast<size_t>((pixels + 7) / 8));
    int32_t placed = 0;
    for (int32_t x = geometry.firstColumn; x < columns; x += geometry.columnStep, ++placed) {
        const int bit = (hostRow[x / 8] >> (7 - x % 8)) & 1;
        passRow[placed / 8] = static_cast<uint8_t>(passRow[placed / 8] | (bit << (7 - placed % 8)));
    }
}
