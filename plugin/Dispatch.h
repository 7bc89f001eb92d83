#ifndef KORVANE_DISPATCH_H
#define KORVANE_DISPATCH_H

#include "plugin/PluginState.h"

// Runs the step that selector names on the working state.
void DispatchSelector(PluginState &state, int16_t selector);

#endif
