// The module's own handles, shaped like the host's: a master record whose
// first field is the address of a zero-filled data block.
#ifndef KORVANE_LOCAL_HANDLE_H
#define KORVANE_LOCAL_HANDLE_H

#include "FormatHost.h"

HostHandle LocalHandleNew(int32_t size);
void LocalHandleDispose(HostHandle handle);

#endif
