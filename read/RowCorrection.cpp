#include "read/RowCorrection.h"

namespace {

int32_t SamplesInRow(const PluginState &state) {
    return int32_t{state.hostBlock->planes} * state.hostBlock->imageColumns;
}

}  // namespace

void CorrectRow(const PluginState &state, uint8_t *row) {
    const int32_t samples = SamplesInRow(state);
    for (int32_t i = 0; i < samples; ++i) row[i] = state.gammaTable[row[i]];
}

void CorrectRowKeepAlpha(const PluginState &state, uint8_t *row) {
    const int32_t planes = state.hostBlock->planes;
    const int32_t samples = SamplesInRow(state);
    for (int32_t pixel = 0; pixel < samples; pixel += planes)
        for (int32_t i = pixel; i < pixel + planes - 1; ++i) row[i] = state.gammaTable[row[i]];
}

RowCorrection ChooseRowCorrection(const PluginState &state) {
    if (state.gammaApplies == 0 || state.hostBlock->depth != 8) return nullptr;
    return state.alphaFlag != 0 ? CorrectRowKeepAlpha : CorrectRow;
}
