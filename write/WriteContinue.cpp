// Write continue: the whole image from the host, one row per advance-state
// call, to the encoder; in Adam7 pass order when interlacing.
#include "codec/WriteCodec.h"
#include "plugin/GlobalBlock.h"
#include "read/Adam7.h"
#include "write/PassExtraction.h"
#include "write/WriteHandlers.h"

namespace {

void ReportProgress(const PluginState &state, int32_t done, int32_t total) {
    if (state.hostBlock->progress != nullptr) state.hostBlock->progress(done, total);
}

// Asks the host for image row r in the RowBuffer. The host's own code is not
// passed on: a save that stops early is a failed write.
bool FetchRow(PluginState &state, int32_t r) {
    HostFormatBlock *block = state.hostBlock;
    block->transferRect.top = static_cast<int16_t>(r);
    block->transferRect.bottom = static_cast<int16_t>(r + 1);
    state.result = block->advanceState();
    if (state.result == kResultNoError) return true;
    state.result = kResultWriteError;
    return false;
}

void WriteStraight(PluginState &state) {
    const int32_t rows = state.hostBlock->imageRows;
    for (int32_t r = 0; r < rows && state.result == kResultNoError; ++r) {
        if (FetchRow(state, r) && !WriteRow(state, static_cast<const uint8_t *>(state.bufferPointer)))
            state.result = kResultWriteError;
        ReportProgress(state, r, rows);
    }
}

int32_t InterlacedProgressTotal(int32_t rows) {
    int32_t total = 0;
    for (const Adam7Pass &pass : kAdam7) total += (rows + pass.firstRow) / pass.rowStep;
    return total;
}

void WritePasses(PluginState &state, uint8_t *passRow) {
    const HostFormatBlock *block = state.hostBlock;
    const PassExtraction extract = block->depth == 1 ? ExtractPassBits : ExtractPassPixels;
    const int32_t total = InterlacedProgressTotal(block->imageRows);
    const auto *hostRow = static_cast<const uint8_t *>(state.bufferPointer);
    int32_t count = 0;
    for (int pass = 0; pass < kAdam7Passes && state.result == kResultNoError; ++pass) {
        const Adam7Pass &geometry = kAdam7[pass];
        if (geometry.firstColumn >= block->imageColumns) continue;
        for (int32_t r = geometry.firstRow; r < block->imageRows && state.result == kResultNoError;
             r += geometry.rowStep) {
            if (FetchRow(state, r)) {
                extract(state, hostRow, passRow, pass);
                if (!WriteRow(state, passRow)) state.result = kResultWriteError;
            }
            ReportProgress(state, ++count, total);
        }
    }
}

void WriteInterlaced(PluginState &state) {
    auto *passRow = static_cast<uint8_t *>(AllocateGlobalBlock(static_cast<size_t>(state.rowBytes)));
    if (passRow == nullptr) {
        state.result = kResultWriteError;
        return;
    }
    WritePasses(state, passRow);
    ReleaseGlobalBlock(passRow);
}

}  // namespace

void WriteContinue(PluginState &state) {
    if (state.result != kResultNoError) return;
    if (state.codecContext == nullptr || state.bufferPointer == nullptr) {
        // Write-continue without a write-start that succeeded.
        RecordResult(state, kResultWriteError);
        return;
    }
    if (state.interlace == 0)
        WriteStraight(state);
    else
        WriteInterlaced(state);
    // The end goes out whatever happened, so that even a failed save leaves a
    // closed PNG stream. A complete image whose end cannot be written is a
    // failed save too: the file would be cut short.
    if (!WriteEnd(state)) RecordResult(state, kResultWriteError);
    HostFormatBlock *block = state.hostBlock;
    block->pixelData = nullptr;
    block->transferRect.top = 0;
    block->transferRect.bottom = 0;
}
