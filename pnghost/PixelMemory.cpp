#include "pnghost/PixelMemory.h"

#include <cstdlib>

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace {

#ifndef _WIN32
// From this size on a block gets pages of its own, which read as zero and
// cost nothing until written. Smaller ones come from calloc.
const std::size_t kMappedBytes = std::size_t{1} << 20;
#endif

}  // namespace

// On Windows calloc takes large blocks from the system's zeroed pages
// already.
void *AllocateZeroedBytes(std::size_t bytes) {
#ifndef _WIN32
    if (bytes >= kMappedBytes) {
        void *memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        return memory == MAP_FAILED ? nullptr : memory;
    }
#endif
    return std::calloc(bytes, 1);
}

void ReleaseZeroedBytes(void *memory, std::size_t bytes) {
#ifndef _WIN32
    if (bytes >= kMappedBytes) {
        munmap(memory, bytes);
        return;
    }
#else
    (void)bytes;
#endif
    std::free(memory);
}
