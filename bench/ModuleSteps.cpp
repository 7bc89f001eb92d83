#include "bench/ModuleSteps.h"

#include <cstring>
#include <map>

#include "bench/Platform.h"
#include "pnghost/host/ActiveSession.h"
#include "pnghost/host/Desktop.h"
#include "pnghost/host/HostFileHandle.h"
#include "pnghost/host/Operations.h"
#include "resources/ResourceIds.h"

namespace {

HostSession *gSession = nullptr;
std::map<HostBufferId, size_t> gBufferSizes;
size_t gBufferBytes = 0;
size_t gPeakBufferBytes = 0;

HostResult HOSTAPI AllocateCounted(int32_t size, HostBufferId *id) {
    const HostResult result = ValidBufferSuite().allocate(size, id);
    if (result == kResultNoError) {
        gBufferSizes[*id] = static_cast<size_t>(size);
        gBufferBytes += static_cast<size_t>(size);
        if (gBufferBytes > gPeakBufferBytes) gPeakBufferBytes = gBufferBytes;
    }
    return result;
}

void HOSTAPI FreeCounted(HostBufferId id) {
    gBufferBytes -= gBufferSizes[id];
    gBufferSizes.erase(id);
    ValidBufferSuite().free(id);
}

HostResult HOSTAPI DropRow() { return kResultNoError; }

HostResult HOSTAPI CopyRowOut() {
    const HostFormatBlock &block = gSession->block;
    const HostImage &image = gSession->image;
    const size_t rowBytes = static_cast<size_t>(HostImageRowBytes(image));
    std::memcpy(block.pixelData, image.pixels.data() + static_cast<size_t>(block.transferRect.top) * rowBytes, rowBytes);
    return kResultNoError;
}

void HOSTAPI NoProgress(int32_t, int32_t) {}
uint8_t HOSTAPI NeverAbort() { return 0; }

// A fresh block with the lean callbacks and the counting buffer suite.
void PrepareBlock(HostSession *session, int file, HostAdvanceStateProc advance) {
    ResetHostBlock(session);
    session->block.fileHandle = HostFileHandle(file);
    session->block.advanceState = advance;
    session->block.progress = NoProgress;
    session->block.abortTest = NeverAbort;
    session->bufferSuite.allocate = AllocateCounted;
    session->bufferSuite.free = FreeCounted;
    gSession = session;
    gBufferBytes = gPeakBufferBytes = 0;
}

}  // namespace

ModuleRun ModuleOpen(HostSession *session, int file) {
    PrepareBlock(session, file, DropRow);
    const size_t baseline = LiveGlobalBytes();
    ResetPeakGlobalBytes();
    ModuleRun run;
    const double start = ClockSeconds();
    int16_t result = RunSteps(session, {kSelectorFilterFile, kSelectorReadPrepare, kSelectorReadStart});
    if (result == kResultNoError) {
        result = CallSelector(session, kSelectorReadContinue);
        const int16_t finish = CallSelector(session, kSelectorReadFinish);
        if (result == kResultNoError) result = finish;
    }
    run.seconds = ClockSeconds() - start;
    run.ok = result == kResultNoError;
    run.peakBytes = PeakGlobalBytes() - baseline + gPeakBufferBytes;
    return run;
}

ModuleRun ModuleSave(HostSession *session, bool interlace, bool fast, int file) {
    PrepareBlock(session, file, CopyRowOut);
    DescribeImageToModule(session);
    if (interlace) QueuePersonAction(PersonAction::Click, IDC_INTERLACE);
    if (fast) QueuePersonAction(PersonAction::Click, IDC_BEST_SPEED);
    QueuePersonAction(PersonAction::Enter);
    ModuleRun run;
    int16_t result = RunSteps(session, {kSelectorOptionsPrepare, kSelectorOptionsStart, kSelectorOptionsContinue,
                                        kSelectorOptionsFinish, kSelectorEstimatePrepare, kSelectorEstimateStart,
                                        kSelectorEstimateContinue, kSelectorEstimateFinish, kSelectorWritePrepare});
    ForgetPersonActions();
    if (result != kResultNoError) return run;
    const size_t baseline = LiveGlobalBytes();
    ResetPeakGlobalBytes();
    const double start = ClockSeconds();
    result = CallSelector(session, kSelectorWriteStart);
    if (result == kResultNoError) {
        result = CallSelector(session, kSelectorWriteContinue);
        const int16_t finish = CallSelector(session, kSelectorWriteFinish);
        if (result == kResultNoError) result = finish;
    }
    run.seconds = ClockSeconds() - start;
    run.ok = result == kResultNoError;
    run.peakBytes = PeakGlobalBytes() - baseline + gPeakBufferBytes;
    return run;
}
