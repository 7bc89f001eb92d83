// Read continue: every row of the image to the host, one advance-state call
// per image row, with interlaced files put together by the module.
#include <string.h>

#include "codec/ReadCodec.h"
#include "plugin/GlobalBlock.h"
#include "plugin/HostServices.h"
#include "read/Adam7.h"
#include "read/PassPlacement.h"
#include "read/ReadHandlers.h"
#include "read/RowBuffer.h"
#include "read/RowCorrection.h"

namespace {

void ReportProgress(const PluginState &state, int32_t done, int32_t total) {
    if (state.hostBlock->progress != nullptr) state.hostBlock->progress(done, total);
}

// The host's answer to "stop?", 0 to go on.
int16_t AbortAnswer(const PluginState &state) {
    return state.hostBlock->abortTest != nullptr ? state.hostBlock->abortTest() : 0;
}

// Hands the row in the RowBuffer to the host, whose answer becomes the result.
void DeliverRow(PluginState &state, RowCorrection correct) {
    if (correct != nullptr) correct(state, static_cast<uint8_t *>(state.bufferPointer));
    state.result = state.hostBlock->advanceState();
}

void SetTransferRow(HostFormatBlock *block, int32_t r) {
    block->transferRect.top = static_cast<int16_t>(r);
    block->transferRect.bottom = static_cast<int16_t>(r + 1);
}

// The File Info block handed over at read-start has been taken by the host.
void DisposeFileInfo(PluginState &state) {
    HostFormatBlock *block = state.hostBlock;
    if (block->imageResources == nullptr) return;
    HandleSuiteDispose(block->handleServices, block->imageResources);
    block->imageResources = nullptr;
    block->imageResourcesSize = 0;
}

void SetHostRowLayout(PluginState &state) {
    HostFormatBlock *block = state.hostBlock;
    block->transferRect.left = 0;
    block->transferRect.right = block->imageColumns;
    block->columnStep = static_cast<int16_t>((block->depth * block->planes + 7) / 8);
    block->rowStep = state.rowBytes;
    block->planeStep = 1;
    block->pixelData = state.bufferPointer;
    block->firstPlane = 0;
    block->lastPlane = static_cast<int16_t>(block->planes - 1);
}

void ReadStraight(PluginState &state, RowCorrection correct) {
    HostFormatBlock *block = state.hostBlock;
    const int32_t rows = block->imageRows;
    int32_t r = 0;
    for (; r < rows && state.result == kResultNoError; ++r) {
        SetTransferRow(block, r);
        if (!ReadRow(state, static_cast<uint8_t *>(state.bufferPointer))) {
            state.result = kResultCannotRead;
            break;
        }
        DeliverRow(state, correct);
        ReportProgress(state, r, rows);
    }
    if (r == rows && state.result == kResultNoError) ReadEnd(state);
}

// The progress total of an interlaced read: the rows of passes 1 to 6 as the
// host has always counted them, then every image row of the interleave.
int32_t InterlacedProgressTotal(int32_t rows) {
    const int32_t half = rows / 2;
    int32_t total = rows;
    for (int pass = 0; pass < 6; ++pass) total += (kAdam7[pass].firstEvenRow + half) / kAdam7[pass].evenRowStep;
    return total;
}

int32_t PassRowCount(const HostFormatBlock *block, int pass) {
    const Adam7Pass &geometry = kAdam7[pass];
    if (PassExtent(block->imageColumns, geometry.firstColumn, geometry.columnStep) <= 0) return 0;
    return PassExtent(block->imageRows, geometry.firstRow, geometry.rowStep);
}

// Passes 1 to 6 fill the even rows of the store.
void ReadEvenRowPasses(PluginState &state, uint8_t *store, int32_t *count, int32_t total) {
    const PassPlacement place = state.hostBlock->depth == 1 ? PlacePassBits : PlacePassPixels;
    uint8_t *row = static_cast<uint8_t *>(state.bufferPointer);
    for (int pass = 0; pass < 6 && state.result == kResultNoError; ++pass) {
        const int32_t passRows = PassRowCount(state.hostBlock, pass);
        for (int32_t j = 0; j < passRows && state.result == kResultNoError; ++j) {
            if (ReadRow(state, row)) {
                const int32_t evenRow = kAdam7[pass].firstEvenRow + j * kAdam7[pass].evenRowStep;
                place(state, store + evenRow * state.rowBytes, row, pass);
                state.result = AbortAnswer(state);
            } else {
                state.result = kResultCannotRead;
            }
            ReportProgress(state, (*count)++, total);
        }
    }
}

// Odd rows come whole from pass 7, even rows from the store.
void InterleaveRows(PluginState &state, const uint8_t *store, RowCorrection correct, int32_t *count,
                    int32_t total) {
    HostFormatBlock *block = state.hostBlock;
    uint8_t *row = static_cast<uint8_t *>(state.bufferPointer);
    for (int32_t r = 0; r < block->imageRows && state.result == kResultNoError; ++r) {
        SetTransferRow(block, r);
        if (r % 2 == 1) {
            if (!ReadRow(state, row)) state.result = kResultCannotRead;
        } else {
            memcpy(row, store + (r / 2) * state.rowBytes, static_cast<size_t>(state.rowBytes));
        }
        if (state.result == kResultNoError) DeliverRow(state, correct);
        ReportProgress(state, ++*count, total);
    }
}

void ReadInterlaced(PluginState &state, RowCorrection correct) {
    const int32_t rows = state.hostBlock->imageRows;
    const int32_t total = InterlacedProgressTotal(rows);
    auto *store = static_cast<uint8_t *>(AllocateGlobalBlock(static_cast<size_t>((rows + 1) / 2) *
                                                              static_cast<size_t>(state.rowBytes)));
    if (store == nullptr) {
        state.result = kResultCannotRead;
        return;
    }
    int32_t count = 0;
    ReadEvenRowPasses(state, store, &count, total);
    InterleaveRows(state, store, correct, &count, total);
    ReleaseGlobalBlock(store);
    if (state.result == kResultNoError) ReadEnd(state);
}

}  // namespace

void ReadContinue(PluginState &state) {
    if (state.result != kResultNoError) return;
    if (state.codecContext == nullptr) {
        // Read-continue without a read-start that succeeded.
        RecordResult(state, kResultCannotRead);
        return;
    }
    DisposeFileInfo(state);
    const RowCorrection correct = ChooseRowCorrection(state);
    if (!AllocateRowBuffer(state)) {
        ReleaseRowBuffer(state);
        return;
    }
    SetHostRowLayout(state);
    if (state.interlace == 0)
        ReadStraight(state, correct);
    else
        ReadInterlaced(state, correct);
    state.hostBlock->pixelData = nullptr;
    ReleaseRowBuffer(state);
}
