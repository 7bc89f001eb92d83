#include "read/PassPlacement.h"

#include <string.h>

#include "read/Adam7.h"

namespace {

// The pass row's pixels to every step-th column from first on. With the
// pixel size fixed at compile time each copy is a plain load and store
// rather than a memcpy call per pixel.
template <int32_t kPixelBytes>
void ScatterPixels(uint8_t *line, const uint8_t *passRow, int32_t first, int32_t step, int32_t columns) {
    for (int32_t x = first; x < columns; x += step, passRow += kPixelBytes)
        memcpy(line + x * kPixelBytes, passRow, kPixelBytes);
}

// Pixels of a size the host block gives that the sizes above do not cover.
void ScatterPixelsOfSize(uint8_t *line, const uint8_t *passRow, int32_t first, int32_t step, int32_t columns,
                         int32_t pixelBytes) {
    for (int32_t x = first; x < columns; x += step, passRow += pixelBytes)
        memcpy(line + x * pixelBytes, passRow, static_cast<size_t>(pixelBytes));
}

}  // namespace

void PlacePassPixels(const PluginState &state, uint8_t *line, const uint8_t *passRow, int pass) {
    const int32_t pixelBytes = state.hostBlock->planes;
    const int32_t columns = state.hostBlock->imageColumns;
    const Adam7Pass &geometry = kAdam7[pass];
    const int32_t first = geometry.firstColumn, step = geometry.columnStep;
    switch (pixelBytes) {
        case 1: ScatterPixels<1>(line, passRow, first, step, columns); break;
        case 2: ScatterPixels<2>(line, passRow, first, step, columns); break;
        case 3: ScatterPixels<3>(line, passRow, first, step, columns); break;
        case 4: ScatterPixels<4>(line, passRow, first, step, columns); break;
        default: ScatterPixelsOfSize(line, passRow, first, step, columns, pixelBytes); break;
    }
}

void PlacePassBits(const PluginState &state, uint8_t *line, const uint8_t *passRow, int pass) {
    const int32_t columns = state.hostBlock->imageColumns;
    const Adam7Pass &geometry = kAdam7[pass];
    int32_t taken = 0;
    for (int32_t x = geometry.firstColumn; x < columns; x += geometry.columnStep, ++taken) {
        const int bit = (passRow[taken / 8] >> (7 - taken % 8)) & 1;
        line[x / 8] = static_cast<uint8_t>(line[x / 8] | (bit << (7 - x % 8)));
    }
}
