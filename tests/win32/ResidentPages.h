// How much of a range of memory is really in memory: the pages the system
// has given it, which a lazily zero-filled block has only once touched.
#ifndef KORVANE_TESTS_RESIDENT_PAGES_H
#define KORVANE_TESTS_RESIDENT_PAGES_H

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <vector>

inline size_t ResidentPages(const void *data, size_t size) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<uintptr_t>(data) / page * page;
    const size_t pages = (reinterpret_cast<uintptr_t>(data) + size - start + page - 1) / page;
    std::vector<unsigned char> resident(pages);
    if (mincore(reinterpret_cast<void *>(start), pages * page, resident.data()) != 0) return SIZE_MAX;
    size_t count = 0;
    for (unsigned char flags : resident) count += flags & 1;
    return count;
}

#endif
