#include "read/RowBuffer.h"

#include "plugin/HostServices.h"

bool AllocateRowBuffer(PluginState &state) {
    if (state.result != kResultNoError) return false;
    HostFormatBlock *block = state.hostBlock;
    state.bufferId = 0;
    state.rowBytes = ((block->imageColumns * block->depth + 7) / 8) * block->planes;

    HostBufferId id = 0;
    const int16_t code = BufferSuiteAlloc(block->bufferServices, state.rowBytes, &id);
    if (code != kResultNoError) {
        RecordResult(state, code);
        return false;
    }
    state.bufferId = id;
    state.bufferPointer = BufferSuiteLock(block->bufferServices, id, 0);
    // A row is never handed to the codec or the host without memory behind it.
    if (state.bufferPointer == nullptr) {
        RecordResult(state, kResultOutOfMemory);
        return false;
    }
    return true;
}

void ReleaseRowBuffer(PluginState &state) {
    if (state.bufferId != 0) BufferSuiteRelease(state.hostBlock->bufferServices, state.bufferId);
    state.bufferId = 0;
    state.bufferPointer = nullptr;
}
