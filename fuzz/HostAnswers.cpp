#include "fuzz/HostAnswers.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "win32_layer.h"

namespace {

// Codes hosts answer with: their own, the out-of-memory code, the one a
// stop gives, and one at the end of the range.
const int16_t kHostCodes[4] = {-4242, -108, 1, -32768};

// Counted from StartCounting on.
unsigned long gGlobalAllocationsBefore = 0;

// Up to this place a broken-suite answer breaks a suite; from it on it
// leaves a callback out.
const int32_t kFirstCallbackPlace = 15;

// The host's file fails in the run under way.
bool gFileFails = false;

int32_t CallsOf(HostAnswerKind kind, const HostCalls &calls) {
    switch (kind) {
        case HostAnswerKind::Stop: return calls.abortTests;
        case HostAnswerKind::AdvanceFails: return calls.advances;
        case HostAnswerKind::BufferRefused: return calls.bufferAllocations;
        case HostAnswerKind::LockFails: return calls.bufferLocks;
        case HostAnswerKind::HandleRefused: return calls.moduleHandles;
        case HostAnswerKind::MemoryRefused: return calls.globalAllocations;
        case HostAnswerKind::SuiteBroken:  // offered from the start
        case HostAnswerKind::FileFails:
        case HostAnswerKind::HostSteps:
        case HostAnswerKind::CallbackLeftOut: return 1;
        case HostAnswerKind::None: break;
    }
    return 0;
}

void OfferBroken(HostFaults *faults, int32_t place) {
    static const SuiteOffer kOffers[5] = {SuiteOffer::Missing, SuiteOffer::TooOld, SuiteOffer::TooNew,
                                          SuiteOffer::TooFewRoutines, SuiteOffer::NullRoutine};
    const SuiteOffer offer = kOffers[(place / 3) % 5];
    switch (place % 3) {
        case 0: faults->bufferOffer = offer; break;
        case 1: faults->withoutAdvanceState = true; break;
        default: faults->handleOffer = offer; break;
    }
}

}  // namespace

HostAnswer ReadHostAnswer(uint8_t byte) {
    static const HostAnswerKind kKinds[8] = {
        HostAnswerKind::None,      HostAnswerKind::Stop,          HostAnswerKind::AdvanceFails,
        HostAnswerKind::BufferRefused, HostAnswerKind::LockFails, HostAnswerKind::HandleRefused,
        HostAnswerKind::MemoryRefused, HostAnswerKind::SuiteBroken};
    HostAnswer answer;
    answer.kind = kKinds[byte & 7];
    answer.place = byte >> 3;
    answer.code = kHostCodes[(byte >> 3) & 3];
    if (answer.kind == HostAnswerKind::None && answer.place != 0)
        answer.kind = answer.place % 2 != 0 ? HostAnswerKind::FileFails : HostAnswerKind::HostSteps;
    if (answer.kind == HostAnswerKind::SuiteBroken && answer.place >= kFirstCallbackPlace)
        answer.kind = HostAnswerKind::CallbackLeftOut;
    return answer;
}

bool LeavesOutProgress(const HostAnswer &answer) { return answer.place % 2 != 0; }

std::string HostAnswerName(const HostAnswer &answer) {
    static const char *const kNames[] = {"no host answer",        "the person stops",
                                         "advance-state fails",   "a buffer refused",
                                         "a lock without address", "a handle refused",
                                         "the system's memory refused", "a suite offered broken",
                                         "the host's file fails", "the host's own steps",
                                         "a callback left out"};
    return kNames[static_cast<int>(answer.kind)];
}

void StartCounting(HostSession *session) {
    session->abortTests = 0;
    session->bufferAllocations = 0;
    session->bufferLocks = 0;
    session->moduleHandles = 0;
    session->advancedRects.clear();
    session->progress.clear();
    gGlobalAllocationsBefore = Win32GlobalAllocationCount();
}

HostCalls CountedCalls(const HostSession &session) {
    HostCalls calls;
    calls.abortTests = session.abortTests;
    calls.advances = static_cast<int32_t>(session.advancedRects.size());
    calls.bufferAllocations = session.bufferAllocations;
    calls.bufferLocks = session.bufferLocks;
    calls.moduleHandles = session.moduleHandles;
    calls.globalAllocations = static_cast<int32_t>(Win32GlobalAllocationCount() - gGlobalAllocationsBefore);
    return calls;
}

HostRun TakeHostRun(const HostSession &session, int16_t result) {
    HostRun run;
    run.result = result;
    run.rows = session.advancedRects;
    run.progress = session.progress;
    run.calls = CountedCalls(session);
    return run;
}

bool SameRows(const HostRun &run, const HostRun &plain, size_t count) {
    if (run.rows.size() < count || plain.rows.size() < count) return false;
    return std::equal(run.rows.begin(), run.rows.begin() + static_cast<ptrdiff_t>(count), plain.rows.begin(),
                      [](const HostRect &a, const HostRect &b) {
                          return a.top == b.top && a.bottom == b.bottom && a.left == b.left && a.right == b.right;
                      });
}

bool SameReports(const HostRun &run, const HostRun &plain, size_t count) {
    if (run.progress.size() < count || plain.progress.size() < count) return false;
    return std::equal(run.progress.begin(), run.progress.begin() + static_cast<ptrdiff_t>(count),
                      plain.progress.begin(), [](const ProgressReport &a, const ProgressReport &b) {
                          return a.done == b.done && a.total == b.total;
                      });
}

int32_t ArmHostAnswer(HostSession *session, const HostAnswer &answer, const HostCalls &plain) {
    const int32_t calls = CallsOf(answer.kind, plain);
    // Every call of a short run can be chosen; in a long one, a share.
    const int32_t call = calls <= 32 ? answer.place : static_cast<int32_t>(int64_t{answer.place} * calls / 32);
    HostFaults &faults = session->faults;
    switch (answer.kind) {
        case HostAnswerKind::Stop: faults.abortFromCall = call; break;
        case HostAnswerKind::AdvanceFails:
            faults.advanceStateErrorCall = call;
            faults.advanceStateError = answer.code;
            break;
        case HostAnswerKind::BufferRefused:
            faults.refuseBuffers = answer.code;
            faults.refuseBufferCall = call;
            break;
        case HostAnswerKind::LockFails: faults.nullLockCall = call; break;
        case HostAnswerKind::HandleRefused: faults.refuseHandleCall = call; break;
        case HostAnswerKind::MemoryRefused: Win32FailGlobalAllocation(static_cast<unsigned long>(call) + 1); break;
        case HostAnswerKind::SuiteBroken: OfferBroken(&faults, answer.place); return 0;
        case HostAnswerKind::FileFails: gFileFails = true; return 0;
        case HostAnswerKind::HostSteps: return 0;
        case HostAnswerKind::CallbackLeftOut:
            (LeavesOutProgress(answer) ? faults.withoutProgress : faults.withoutAbortTest) = true;
            return 0;
        case HostAnswerKind::None: return -1;
    }
    return call < calls ? call : -1;
}

void DisarmHostAnswer(HostSession *session) {
    HostFaults &faults = session->faults;
    faults.abortFromCall = -1;
    faults.advanceStateErrorCall = -1;
    faults.refuseBuffers = 0;
    faults.refuseBufferCall = -1;
    faults.nullLockCall = -1;
    faults.refuseHandleCall = -1;
    faults.bufferOffer = SuiteOffer::Valid;
    faults.handleOffer = SuiteOffer::Valid;
    faults.withoutAdvanceState = false;
    faults.withoutProgress = false;
    faults.withoutAbortTest = false;
    Win32FailGlobalAllocation(0);
    gFileFails = false;
}

int FileAsHostOpensIt(int descriptor) {
    if (!gFileFails || descriptor < 0) return descriptor;
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    const int writeOnly = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    close(descriptor);
    return writeOnly;
}
