#include "read/GammaTable.h"

#include <math.h>

namespace {

// The host's 16.16 values are read with 1/65535, the constants as held in
// single precision, so that tables match those of files already opened.
const float kFixedToReal = 1.0f / 65535.0f;
const float kSampleToUnit = 1.0f / 255.0f;

uint8_t ClampToSample(double value) {
    if (!(value > 0.0)) return 0;  // also NaN
    if (value >= 255.0) return 255;
    return static_cast<uint8_t>(value);
}

}  // namespace

void BuildGammaTable(PluginState &state, bool hasFileGamma, float fileGamma) {
    const int32_t monitorGamma = state.hostBlock->monitor.gamma;
    state.gammaApplies = 0;
    if (!hasFileGamma || fileGamma == 0.0f || monitorGamma == 0) return;

    const double exponent = 1.0 / ((monitorGamma * static_cast<double>(kFixedToReal)) * fileGamma);
    for (int i = 0; i < 256; ++i)
        state.gammaTable[i] = ClampToSample(255.0 * pow(i * static_cast<double>(kSampleToUnit), exponent));
    state.gammaApplies = 1;
}
