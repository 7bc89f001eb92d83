// On Windows _lread and _lwrite take the system's file handle, which the C
// runtime keeps behind each descriptor.
#include "pnghost/host/HostFileHandle.h"

#include <io.h>

int32_t HostFileHandle(int descriptor) {
    // A 32-bit process: the handle value fits the host's 32-bit field.
    return static_cast<int32_t>(_get_osfhandle(descriptor));
}
