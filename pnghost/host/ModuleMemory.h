// How much of the system's global memory the module holds: on Linux the
// Win32 layer keeps count of its blocks; on Windows the host cannot tell the
// module's blocks from anyone else's.
#ifndef PNGHOST_MODULE_MEMORY_H
#define PNGHOST_MODULE_MEMORY_H

#include <cstddef>

// The number of global blocks alive; false where the platform cannot count.
bool CountGlobalBlocks(size_t *blocks);

#endif
