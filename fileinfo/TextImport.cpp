#include "fileinfo/TextImport.h"

#include "codec/ReadCodec.h"
#include "fileinfo/FileInfoHandoff.h"

// Kept apart from PublishFileInfo so that the block can be built and handed
// over without a codec behind it.
void TextToFileInfo(PluginState &state) {
    PngTextList texts = {};
    GetReadTexts(state, &texts);
    PublishFileInfo(state, texts);
}
