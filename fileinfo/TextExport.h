#ifndef KORVANE_TEXT_EXPORT_H
#define KORVANE_TEXT_EXPORT_H

#include "codec/PngText.h"
#include "plugin/PluginState.h"

// Fills the text list (and its modification time) from the File Info block
// in the host's image resources. Texts point into the host's memory.
void FileInfoToText(PluginState &state, PngTextList *texts);

#endif
