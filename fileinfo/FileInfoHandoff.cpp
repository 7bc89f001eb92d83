#include "fileinfo/FileInfoHandoff.h"

#include <string.h>

#include "fileinfo/FileInfoBlock.h"
#include "plugin/GlobalBlock.h"
#include "plugin/HostServices.h"

namespace {

// Copies the block into a new handle of the host's, or gives null.
HostHandle CopyToHostHandle(HostHandleSuite *suite, const uint8_t *block, size_t length) {
    HostHandle handle = HandleSuiteNew(suite, static_cast<int32_t>(length));
    if (handle == nullptr) return nullptr;
    if (handle->data == nullptr) {
        HandleSuiteDispose(suite, handle);
        return nullptr;
    }
    memcpy(handle->data, block, length);
    return handle;
}

}  // namespace

void PublishFileInfo(PluginState &state, const PngTextList &texts) {
    // Sized from the texts themselves: each may hold 255 bytes, so no fixed
    // area is large enough for every file.
    const size_t length = MeasureFileInfoBlock(texts);
    if (length == 0) return;
    auto *area = static_cast<uint8_t *>(AllocateGlobalBlock(length));
    if (area == nullptr) return;
    AssembleFileInfoBlock(texts, area, length);
    HostFormatBlock *block = state.hostBlock;
    HostHandle handle = CopyToHostHandle(block->handleServices, area, length);
    ReleaseGlobalBlock(area);
    if (handle == nullptr) return;
    block->imageResources = handle;
    block->imageResourcesSize = static_cast<int32_t>(length);
}
