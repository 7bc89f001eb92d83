#ifndef KORVANE_FILTER_FILE_H
#define KORVANE_FILTER_FILE_H

#include "plugin/PluginState.h"

// The signature probe: 0 when the host's open file begins with the PNG
// signature (and the file is left at its start), -30501 when it does not,
// -19 when it cannot be read.
void FilterFile(PluginState &state);

#endif
