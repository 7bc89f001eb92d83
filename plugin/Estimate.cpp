#include "plugin/Estimate.h"

#include <algorithm>

namespace {

// The products reach past 32 bits for the largest images (32767 rows of
// 32767 columns at 24 planes); the host's fields are signed 32-bit, so the
// figures are worked out in 64 bits and capped, never wrapped.
int32_t ClampToField(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, INT32_MAX));
}

}  // namespace

void EstimateFileSize(PluginState &state) {
    HostFormatBlock *block = state.hostBlock;
    const int64_t rowBits = int64_t{block->imageColumns} * block->depth * block->planes;
    const int64_t rowBytes = (rowBits + 7) / 8;
    const int64_t imageBytes = int64_t{block->imageRows} * rowBytes;
    state.rowBytes = ClampToField(rowBytes);
    block->maxDataBytes = ClampToField(imageBytes);
    block->minDataBytes = ClampToField(imageBytes / 3);
}
