#ifndef KORVANE_ROW_CORRECTION_H
#define KORVANE_ROW_CORRECTION_H

#include "plugin/PluginState.h"

// Gamma correction of one host row in place, through the state's table.
typedef void (*RowCorrection)(const PluginState &state, uint8_t *row);

void CorrectRow(const PluginState &state, uint8_t *row);
// The same, leaving the last sample of every pixel (the alpha) alone.
void CorrectRowKeepAlpha(const PluginState &state, uint8_t *row);

// The correction a read applies to its rows, or null for none.
RowCorrection ChooseRowCorrection(const PluginState &state);

#endif
