// The only road to the host's buffer and handle suites. Each wrapper checks
// silently that its suite is usable before calling into it.
#ifndef KORVANE_HOST_SERVICES_H
#define KORVANE_HOST_SERVICES_H

#include "FormatHost.h"

// Sets *id to 0 first; -108 without calling the host when the suite is
// unusable, else the host's own answer.
int16_t BufferSuiteAlloc(HostBufferSuite *suite, int32_t size, HostBufferId *id);
void *BufferSuiteLock(HostBufferSuite *suite, HostBufferId id, uint8_t moveHigh);
void BufferSuiteRelease(HostBufferSuite *suite, HostBufferId id);

// Without usable handle services the module's own handles stand in, and a
// handle is disposed of by whichever allocator the same test picked.
HostHandle HandleSuiteNew(HostHandleSuite *suite, int32_t size);
void HandleSuiteDispose(HostHandleSuite *suite, HostHandle handle);

#endif
