#ifndef KORVANE_PASS_EXTRACTION_H
#define KORVANE_PASS_EXTRACTION_H

#include "plugin/PluginState.h"

// Takes the pixels of one Adam7 pass (pass index 0 to 6) out of a host row
// into the start of the pass buffer.
typedef void (*PassExtraction)(const PluginState &state, const uint8_t *hostRow, uint8_t *passRow, int pass);

// 8-bit samples: a pixel is `planes` bytes.
void ExtractPassPixels(const PluginState &state, const uint8_t *hostRow, uint8_t *passRow, int pass);
// 1-bit samples, packed most significant bit first; the bits past the last
// pixel of the pass row are 0.
void ExtractPassBits(const PluginState &state, const uint8_t *hostRow, uint8_t *passRow, int pass);

#endif
