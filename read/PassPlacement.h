#ifndef KORVANE_PASS_PLACEMENT_H
#define KORVANE_PASS_PLACEMENT_H

#include "plugin/PluginState.h"

// Places the pixels of one reduced row of pass 1 to 6 (pass index 0 to 5) at
// their columns in a line of the even-row store.
typedef void (*PassPlacement)(const PluginState &state, uint8_t *line, const uint8_t *passRow, int pass);

// 8-bit samples: a pixel is `planes` bytes.
void PlacePassPixels(const PluginState &state, uint8_t *line, const uint8_t *passRow, int pass);
// 1-bit samples, packed most significant bit first; the line starts zeroed
// and every column is written by exactly one pass, so bits are OR-ed in.
void PlacePassBits(const PluginState &state, uint8_t *line, const uint8_t *passRow, int pass);

#endif
