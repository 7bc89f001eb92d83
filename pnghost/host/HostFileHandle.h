// The file handle a host gives the module for a file it has open: what the
// module's _lread, _lwrite and _llseek calls take.
#ifndef PNGHOST_HOST_FILE_HANDLE_H
#define PNGHOST_HOST_FILE_HANDLE_H

#include <cstdint>

// The handle behind a C runtime descriptor, -1 for a bad descriptor.
int32_t HostFileHandle(int descriptor);

#endif
