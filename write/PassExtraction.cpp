#include "write/PassExtraction.h"

#include <string.h>

#include "read/Adam7.h"

void ExtractPassPixels(const PluginState &state, const uint8_t *hostRow, uint8_t *passRow, int pass) {
    const int32_t pixelBytes = state.hostBlock->planes;
    const int32_t columns = state.hostBlock->imageColumns;
    const Adam7Pass &geometry = kAdam7[pass];
    for (int32_t x = geometry.firstColumn; x < columns; x += geometry.columnStep) {
        memcpy(passRow, hostRow + x * pixelBytes, static_cast<size_t>(pixelBytes));
        passRow += pixelBytes;
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
