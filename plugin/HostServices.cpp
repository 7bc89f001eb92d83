#include "plugin/HostServices.h"

#include "plugin/LocalHandle.h"
#include "plugin/ServiceChecks.h"

int16_t BufferSuiteAlloc(HostBufferSuite *suite, int32_t size, HostBufferId *id) {
    *id = 0;
    if (BufferSuiteProblem(suite) != 0) return kResultOutOfMemory;
    return suite->allocate(size, id);
}

void *BufferSuiteLock(HostBufferSuite *suite, HostBufferId id, uint8_t moveHigh) {
    if (BufferSuiteProblem(suite) != 0) return nullptr;
    return suite->lock(id, moveHigh);
}

void BufferSuiteRelease(HostBufferSuite *suite, HostBufferId id) {
    if (BufferSuiteProblem(suite) != 0) return;
    suite->free(id);
}

HostHandle HandleSuiteNew(HostHandleSuite *suite, int32_t size) {
    if (HandleSuiteProblem(suite) != 0) return LocalHandleNew(size);
    return suite->newHandle(size);
}

void HandleSuiteDispose(HostHandleSuite *suite, HostHandle handle) {
    if (HandleSuiteProblem(suite) != 0) {
        LocalHandleDispose(handle);
        return;
    }
    suite->dispose(handle);
}
