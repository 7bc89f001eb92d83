#ifndef KORVANE_ROW_BUFFER_H
#define KORVANE_ROW_BUFFER_H

#include "plugin/PluginState.h"

// Obtains and locks the RowBuffer, one host row of row bytes, through the
// host's buffer services. False when the result was already set or no buffer
// could be had (the result then holds the host's code); a buffer that was
// allocated is kept in the state for the caller's clean-up either way.
bool AllocateRowBuffer(PluginState &state);
// Frees the RowBuffer if one is held.
void ReleaseRowBuffer(PluginState &state);

#endif
