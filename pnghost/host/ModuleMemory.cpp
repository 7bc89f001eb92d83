#include "pnghost/host/ModuleMemory.h"

#include "win32_layer.h"

bool CountGlobalBlocks(size_t *blocks) {
    *blocks = Win32LiveGlobalBlocks();
    return true;
}
