#ifndef KORVANE_WRITE_HANDLERS_H
#define KORVANE_WRITE_HANDLERS_H

#include "plugin/PluginState.h"

void WriteStart(PluginState &state);
void WriteContinue(PluginState &state);

#endif
