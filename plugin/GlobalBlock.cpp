#include "plugin/GlobalBlock.h"

#include <windows.h>

void *AllocateGlobalBlock(size_t size) {
    // A movable block of size 0 is allocated discarded and cannot be locked,
    // so even an empty request gets one byte.
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size == 0 ? 1 : size);
    if (memory == nullptr) return nullptr;
    void *address = GlobalLock(memory);
    if (address == nullptr) GlobalFree(memory);
    return address;
}

void ReleaseGlobalBlock(void *address) {
    if (address == nullptr) return;
    HGLOBAL memory = GlobalHandle(address);
    GlobalUnlock(memory);
    GlobalFree(memory);
}
