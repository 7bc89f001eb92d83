#include "codec/CodecRelease.h"

void ReleaseWriteCodec(PluginState &state) {
    if (state.codecContext != nullptr) png_destroy_write_struct(&state.codecContext, &state.imageInfo);
    state.codecContext = nullptr;
    state.imageInfo = nullptr;
}
