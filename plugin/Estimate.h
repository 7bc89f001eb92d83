#ifndef KORVANE_ESTIMATE_H
#define KORVANE_ESTIMATE_H

#include "plugin/PluginState.h"

// Reports the smallest and largest file size the save may produce.
void EstimateFileSize(PluginState &state);

#endif
