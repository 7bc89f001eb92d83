#include "ModuleImage.h"

#include <win32_layer.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstring>

namespace win32 {

namespace {

constexpr DWORD kResourceNoteType = 1;
constexpr char kResourceNoteName[] = "Win32";

size_t RoundUp(size_t value, size_t alignment) { return (value + alignment - 1) / alignment * alignment; }

DWORD ReadDword(const BYTE *p) {
    DWORD value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// The same address dladdr reports as dli_fbase: where the first loadable
// segment's page was mapped.
uintptr_t LoadBase(const dl_phdr_info &object) {
    const uintptr_t pageMask = ~static_cast<uintptr_t>(sysconf(_SC_PAGESIZE) - 1);
    for (int i = 0; i < object.dlpi_phnum; ++i)
        if (object.dlpi_phdr[i].p_type == PT_LOAD) return object.dlpi_addr + (object.dlpi_phdr[i].p_vaddr & pageMask);
    return 0;
}

ByteSpan ResourceNoteOf(const dl_phdr_info &object) {
    for (int i = 0; i < object.dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = object.dlpi_phdr[i];
        if (segment.p_type != PT_NOTE) continue;
        const BYTE *notes = reinterpret_cast<const BYTE *>(object.dlpi_addr + segment.p_vaddr);
        const ByteSpan found = FindResourceNote(notes, segment.p_memsz, segment.p_align);
        if (found.data != nullptr) return found;
    }
    return {};
}

struct Search {
    uintptr_t base;
    bool wantProgram;
    ByteSpan found;
};

int Visit(dl_phdr_info *object, size_t, void *context) {
    Search &search = *static_cast<Search *>(context);
    // The program itself is always reported first.
    if (!search.wantProgram && LoadBase(*object) != search.base) return 0;
    search.found = ResourceNoteOf(*object);
    return 1;
}

}  // namespace

ByteSpan FindResourceNote(const BYTE *notes, size_t size, size_t alignment) {
    const size_t padding = alignment == 8 ? 8 : 4;
    size_t position = 0;
    while (size - position >= 12) {
        const DWORD nameSize = ReadDword(notes + position);
        const DWORD descriptorSize = ReadDword(notes + position + 4);
        const DWORD type = ReadDword(notes + position + 8);
        const size_t name = position + 12;
        if (nameSize > size - name) break;
        // Offsets round up from the segment start, to which notes are aligned.
        const size_t descriptor = RoundUp(name + nameSize, padding);
        if (descriptor > size || descriptorSize > size - descriptor) break;
        if (type == kResourceNoteType && nameSize == sizeof kResourceNoteName &&
            std::memcmp(notes + name, kResourceNoteName, nameSize) == 0)
            return {notes + descriptor, descriptorSize};
        const size_t next = descriptor + RoundUp(descriptorSize, padding);
        if (next > size) break;
        position = next;
    }
    return {};
}

ByteSpan EmbeddedResources(HMODULE module) {
    Search search{reinterpret_cast<uintptr_t>(module), module == nullptr, {}};
    dl_iterate_phdr(Visit, &search);
    return search.found;
}

}  // namespace win32

HMODULE Win32ModuleFromAddress(const void *address) {
    Dl_info info{};
    if (address == nullptr || dladdr(address, &info) == 0) return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}
