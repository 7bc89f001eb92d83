// The callbacks the host offers during a read or a save: advance-state
// (pixel data moves), progress and the abort test.
#include "pnghost/host/HostCallbacks.h"

#include <algorithm>
#include <cstdio>

#include <unistd.h>

#include "pnghost/host/ActiveSession.h"

namespace {

// The host's own code for pixel data it cannot move.
const HostResult kCannotMovePixels = -1;

bool MovePixels(HostSession *session) {
    std::string error;
    bool moved = true;
    if (session->flow == PixelFlow::ToImage) moved = MoveRowsToImage(session->block, &session->image, &error);
    if (session->flow == PixelFlow::FromImage) moved = MoveRowsFromImage(session->block, session->image, &error);
    if (!moved) ReportProtocolError(session, "advance-state: " + error);
    return moved;
}

HostResult HOSTAPI AdvanceState() {
    HostSession *session = ActiveSession();
    const int32_t call = static_cast<int32_t>(session->advancedRects.size());
    session->advancedRects.push_back(session->block.transferRect);
    if (call == session->faults.advanceStateErrorCall) return session->faults.advanceStateError;
    return MovePixels(session) ? HostResult{kResultNoError} : kCannotMovePixels;
}

// Shown on a terminal only, and only when the figure changes, so that logs
// and pipes stay clean.
void ShowProgress(HostSession *session, int32_t done, int32_t total) {
    // Asked once: the module reports every row, and the answer does not change.
    static const bool onTerminal = isatty(STDERR_FILENO) != 0;
    if (total <= 0 || session->progressLabel.empty() || !onTerminal) return;
    const int percent = static_cast<int>(std::clamp<int64_t>(int64_t{done + 1} * 100 / total, 0, 100));
    if (percent == session->progressShown) return;
    session->progressShown = percent;
    std::fprintf(stderr, "\r%s: %3d%%", session->progressLabel.c_str(), percent);
}

void HOSTAPI ReportProgress(int32_t done, int32_t total) {
    HostSession *session = ActiveSession();
    session->progress.push_back({done, total});
    ShowProgress(session, done, total);
    if (session->progressWatcher != nullptr) session->progressWatcher(done, total);
}

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
