// The callbacks the host offers during a read or a save: advance-state
// (pixel data moves), progress and the abort test.
#include "pnghost/ActiveSession.h"

namespace {

HostResult HOSTAPI AdvanceState() {
    HostSession *session = ActiveSession();
    const int32_t call = static_cast<int32_t>(session->advancedRects.size());
    session->advancedRects.push_back(session->block.transferRect);
    if (call == session->faults.advanceStateErrorCall) return session->faults.advanceStateError;
    return kResultNoError;
}

void HOSTAPI ReportProgress(int32_t done, int32_t total) { ActiveSession()->progress.push_back({done, total}); }

uint8_t HOSTAPI TestAbort() {
    HostSession *session = ActiveSession();
    const int32_t call = session->abortTests++;
    return session->faults.abortFromCall >= 0 && call >= session->faults.abortFromCall ? 1 : 0;
}

}  // namespace

void InstallHostCallbacks(HostSession *session) {
    session->block.advanceState = AdvanceState;
    session->block.progress = ReportProgress;
    session->block.abortTest = TestAbort;
}
