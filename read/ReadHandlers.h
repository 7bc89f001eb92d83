#ifndef KORVANE_READ_HANDLERS_H
#define KORVANE_READ_HANDLERS_H

#include "plugin/PluginState.h"

void ReadStart(PluginState &state);
void ReadContinue(PluginState &state);

#endif
