// The selector table: what each step of an open, a save, the probe and the
// about box does.
#include "plugin/Dispatch.h"

#include "codec/CodecRelease.h"
#include "plugin/Estimate.h"
#include "plugin/HostServices.h"
#include "plugin/ServiceChecks.h"
#include "read/FilterFile.h"
#include "read/ReadHandlers.h"
#include "ui/AboutBox.h"
#include "write/OptionsDialog.h"
#include "write/WriteHandlers.h"

namespace {

void ResetSaveOptions(PluginState &state) {
    state.interlace = kResetInterlace;
    state.filterChoice = kResetFilterChoice;
    state.compressionLevel = kResetCompressionLevel;
    state.alphaFlag = 0;
}

void ClearMaxDataSize(PluginState &state) { state.hostBlock->maxDataSize = 0; }

void ReadPrepare(PluginState &state) {
    state.interlace = 0;
    state.alphaFlag = 0;
}

void ReadStartStep(PluginState &state) {
    ReadStart(state);
    if (state.result != kResultNoError) ReleaseReadCodec(state);
}

// The File Info block handed over at read-start is the host's to keep only
// until the read ends; whatever is still attached is disposed of here.
void ReadFinish(PluginState &state) {
    HostFormatBlock *block = state.hostBlock;
    if (block->imageResources != nullptr) {
        HandleSuiteDispose(block->handleServices, block->imageResources);
        block->imageResources = nullptr;
        block->imageResourcesSize = 0;
    }
    ReleaseReadCodec(state);
}

void OptionsStart(PluginState &state) {
    ResetSaveOptions(state);
    if (!VerifyHostServices(state.hostBlock)) {
        RecordResult(state, kResultServicesMissing);
        return;
    }
    RunOptionsDialog(state);
    state.hostBlock->pixelData = nullptr;
}

void EstimateStart(PluginState &state) {
    if (!VerifyHostServices(state.hostBlock)) {
        RecordResult(state, kResultServicesMissing);
        return;
    }
    EstimateFileSize(state);
    state.hostBlock->pixelData = nullptr;
}

// Releases everything a save holds, whether it finished or failed.
void WindDownSave(PluginState &state) {
    if (state.bufferId != 0) {
        BufferSuiteRelease(state.hostBlock->bufferServices, state.bufferId);
        state.bufferId = 0;
        state.bufferPointer = nullptr;
    }
    ResetSaveOptions(state);
    state.writeFileInfo = kResetWriteFileInfo;
    ReleaseWriteCodec(state);
}

void WriteStartStep(PluginState &state) {
    WriteStart(state);
    if (state.result != kResultNoError) WindDownSave(state);
}

void Nothing(PluginState &) {}

void About(PluginState &state) { ShowAboutBox(reinterpret_cast<const HostAboutRecord *>(state.hostBlock)); }

using StepHandler = void (*)(PluginState &);

const StepHandler kSelectorTable[kSelectorCount] = {
    About,            // 0 about
    ReadPrepare,      // 1 read-prepare
    ReadStartStep,    // 2 read-start
    ReadContinue,     // 3 read-continue
    ReadFinish,       // 4 read-finish
    ClearMaxDataSize, // 5 options-prepare
    OptionsStart,     // 6 options-start
    Nothing,          // 7 options-continue
    Nothing,          // 8 options-finish
    ClearMaxDataSize, // 9 estimate-prepare
    EstimateStart,    // 10 estimate-start
    Nothing,          // 11 estimate-continue
    Nothing,          // 12 estimate-finish
    ClearMaxDataSize, // 13 write-prepare
    WriteStartStep,   // 14 write-start
    WriteContinue,    // 15 write-continue
    WindDownSave,     // 16 write-finish
    FilterFile,       // 17 filter-file
};

}  // namespace

void DispatchSelector(PluginState &state, int16_t selector) {
    if (selector < 0 || selector >= kSelectorCount) {
        state.result = kResultBadSelector;
        return;
    }
    kSelectorTable[selector](state);
}
