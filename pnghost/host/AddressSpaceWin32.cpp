#include <windows.h>

#include "pnghost/host/AddressSpace.h"

// The user address space not yet reserved: the room the image has, counted
// after the program, its libraries and the module are in place.
uint64_t LargestImageBytes() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 0;
    return status.ullAvailVirtual;
}
