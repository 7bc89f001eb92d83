// The host's buffer suite (pixel buffers) and handle suite (relocatable
// blocks handed between host and module).
#include "pnghost/host/HostSuites.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pnghost/host/ActiveSession.h"

namespace {

HostResult HOSTAPI AllocateBuffer(int32_t size, HostBufferId *bufferId) {
    HostSession *session = ActiveSession();
    *bufferId = 0;
    const HostFaults &faults = session->faults;
    const int32_t call = session->bufferAllocations++;
    if (faults.refuseBuffers != 0 && (faults.refuseBufferCall < 0 || call == faults.refuseBufferCall))
        return faults.refuseBuffers;
    if (size < 0) return kResultOutOfMemory;
    const HostBufferId id = session->nextBufferId++;
    // One spare byte, so that even an empty buffer has an address.
    session->buffers[id].assign(static_cast<size_t>(size) + 1, 0);
    *bufferId = id;
    return kResultNoError;
}

void *HOSTAPI LockBuffer(HostBufferId bufferId, uint8_t) {
    HostSession *session = ActiveSession();
    auto found = session->buffers.find(bufferId);
    if (found == session->buffers.end()) {
        ReportProtocolError(session, "lock of unknown buffer " + std::to_string(bufferId));
        return nullptr;
    }
    if (session->bufferLocks++ == session->faults.nullLockCall) return nullptr;
    return found->second.data();
}

void HOSTAPI UnlockBuffer(HostBufferId) {}

void HOSTAPI FreeBuffer(HostBufferId bufferId) {
    HostSession *session = ActiveSession();
    if (session->buffers.erase(bufferId) == 0)
        ReportProtocolError(session, "free of unknown buffer " + std::to_string(bufferId));
}

int32_t HOSTAPI BufferSpace() { return 256 * 1024 * 1024; }

HostHandle HOSTAPI NewHandle(int32_t size) {
    if (size < 0) return nullptr;
    auto *handle = static_cast<HostHandle>(std::calloc(1, sizeof(HostHandleRecord)));
    if (handle == nullptr) return nullptr;
    handle->data = std::calloc(1, static_cast<size_t>(size) + 1);
    if (handle->data == nullptr) {
        std::free(handle);
        return nullptr;
    }
    ActiveSession()->handles[handle] = size;
    return handle;
}

// The handle suite's new, as the module calls it.
HostHandle HOSTAPI NewHandleForModule(int32_t size) {
    HostSession *session = ActiveSession();
    if (session->moduleHandles++ == session->faults.refuseHandleCall) return nullptr;
    return NewHandle(size);
}

void HOSTAPI DisposeHandle(HostHandle handle) {
    HostSession *session = ActiveSession();
    if (session->handles.erase(handle) == 0) {
        ReportProtocolError(session, "dispose of a handle the host did not make");
        return;
    }
    std::free(handle->data);
    std::free(handle);
}

int32_t HOSTAPI GetHandleSize(HostHandle handle) {
    HostSession *session = ActiveSession();
    auto found = session->handles.find(handle);
    return found == session->handles.end() ? 0 : found->second;
}

HostResult HOSTAPI SetHandleSize(HostHandle handle, int32_t size) {
    HostSession *session = ActiveSession();
    auto found = session->handles.find(handle);
    if (found == session->handles.end() || size < 0) return kResultOutOfMemory;
    void *data = std::realloc(handle->data, static_cast<size_t>(size) + 1);
    if (data == nullptr) return kResultOutOfMemory;
    handle->data = data;
    found->second = size;
    return kResultNoError;
}

}  // namespace

HostBufferSuite ValidBufferSuite() {
    return HostBufferSuite{kBufferSuiteVersion, kBufferSuiteRoutines, AllocateBuffer, LockBuffer,
                           UnlockBuffer,        FreeBuffer,           BufferSpace};
}

HostHandleSuite ValidHandleSuite() {
    return HostHandleSuite{kHandleSuiteVersion, kHandleSuiteRoutines, NewHandleForModule, DisposeHandle, GetHandleSize,
                           SetHandleSize};
}

HostHandle NewHostHandle(HostSession *session, const void *bytes, int32_t size) {
    HostSession *previous = ActiveSession();
    SetActiveSession(session);
    HostHandle handle = NewHandle(size);
    SetActiveSession(previous);
    if (handle != nullptr && size > 0) std::memcpy(handle->data, bytes, static_cast<size_t>(size));
    return handle;
}

void DisposeHostHandle(HostSession *session, HostHandle handle) {
    HostSession *previous = ActiveSession();
    SetActiveSession(session);
    DisposeHandle(handle);
    SetActiveSession(previous);
}
