#ifndef KORVANE_GAMMA_TABLE_H
#define KORVANE_GAMMA_TABLE_H

#include "plugin/PluginState.h"

// Builds the table that corrects samples of a file with gamma fileGamma for
// the host's monitor gamma, when both are known (non-zero); otherwise marks
// the table as not applying.
void BuildGammaTable(PluginState &state, bool hasFileGamma, float fileGamma);

#endif
