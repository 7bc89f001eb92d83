// The buffer and handle suites as the host offers them, and the host handles
// it makes and disposes of itself.
#ifndef PNGHOST_HOST_SUITES_H
#define PNGHOST_HOST_SUITES_H

#include <cstdint>

#include "pnghost/host/HostSession.h"

HostBufferSuite ValidBufferSuite();
HostHandleSuite ValidHandleSuite();

// A host handle with a copy of bytes, as the host hands image resources over,
// and its disposal.
HostHandle NewHostHandle(HostSession *session, const void *bytes, int32_t size);
void DisposeHostHandle(HostSession *session, HostHandle handle);

#endif
