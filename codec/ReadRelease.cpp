#include "codec/CodecRelease.h"

void ReleaseReadCodec(PluginState &state) {
    if (state.codecContext != nullptr) png_destroy_read_struct(&state.codecContext, &state.imageInfo, nullptr);
    state.codecContext = nullptr;
    state.imageInfo = nullptr;
}
