#include "codec/CodecRelease.h"
#include "codec/WriteIo.h"

void ReleaseWriteCodec(PluginState &state) {
    if (state.codecContext != nullptr) {
        DetachFileOutput(state.codecContext);
        png_destroy_write_struct(&state.codecContext, &state.imageInfo);
    }
    state.codecContext = nullptr;
    state.imageInfo = nullptr;
}
