#include "read/PassPlacement.h"

#include <string.h>

#include "read/Adam7.h"

void PlacePassPixels(const PluginState &state, uint8_t *line, const uint8_t *passRow, int pass) {
    const int32_t pixelBytes = state.hostBlock->planes;
    const int32_t columns = state.hostBlock->imageColumns;
    const Adam7Pass &geometry = kAdam7[pass];
    for (int32_t x = geometry.firstColumn; x < columns; x += geometry.columnStep) {
        memcpy(line + x * pixelBytes, passRow, static_cast<size_t>(pixelBytes));
        passRow += pixelBytes;
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
