// Releasing the codec's records at the end of a read or a save.
#ifndef KORVANE_CODEC_RELEASE_H
#define KORVANE_CODEC_RELEASE_H

#include "plugin/PluginState.h"

// Each releases every block the codec holds and clears both references;
// calling it with nothing held does nothing.
void ReleaseReadCodec(PluginState &state);
void ReleaseWriteCodec(PluginState &state);

#endif
