// Hands the File Info block built from a file's texts to the host as the
// image's resource data.
#ifndef KORVANE_FILE_INFO_HANDOFF_H
#define KORVANE_FILE_INFO_HANDOFF_H

#include "codec/PngText.h"
#include "plugin/PluginState.h"

// Builds the block from texts and, when there is one and the host gives a
// handle for it, sets the host block's image resources and their size. The
// handle held before is replaced, not disposed of: it is the host's. Without
// a block or a handle the host block is left as it was; the open goes on.
void PublishFileInfo(PluginState &state, const PngTextList &texts);

#endif
