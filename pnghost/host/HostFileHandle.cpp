// On Linux the Win32 layer's file calls take the descriptor itself.
#include "pnghost/host/HostFileHandle.h"

int32_t HostFileHandle(int descriptor) { return descriptor; }
