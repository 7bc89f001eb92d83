// Windows keeps global blocks in the process heap with everyone else's.
#include "pnghost/host/ModuleMemory.h"

bool CountGlobalBlocks(size_t *) { return false; }
