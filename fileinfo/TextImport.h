#ifndef KORVANE_TEXT_IMPORT_H
#define KORVANE_TEXT_IMPORT_H

#include "plugin/PluginState.h"

// Turns the text chunks read before the image data (and the tIME chunk) into
// the File Info block and hands it to the host as the image resources.
void TextToFileInfo(PluginState &state);

#endif
