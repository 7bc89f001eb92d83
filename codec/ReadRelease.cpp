#include "codec/CodecRecord.h"
#include "codec/CodecRelease.h"
#include "plugin/GlobalBlock.h"

void ReleaseReadCodec(PluginState &state) {
    if (state.codecContext != nullptr) png_destroy_read_struct(&state.codecContext, &state.imageInfo, nullptr);
    CodecRecord *record = state.codecRecord;
    if (record != nullptr) {
        ReleaseChunkStream(&record->stream);
        ReleaseReadTexts(&record->texts);
        ReleaseGlobalBlock(record->row);
        ReleaseGlobalBlock(record);
    }
    state.codecContext = nullptr;
    state.imageInfo = nullptr;
    state.codecRecord = nullptr;
}
