// Where a loaded module keeps its resources. On Linux a module handle is the
// load address of the shared object (dladdr's dli_fbase), and the module's
// compiled .res travels in the object as an ELF note named "Win32", type 1.
#ifndef KORVANE_WIN32_MODULE_IMAGE_H
#define KORVANE_WIN32_MODULE_IMAGE_H

#include <windows.h>

#include <cstddef>

namespace win32 {

struct ByteSpan {
    const BYTE *data = nullptr;
    size_t size = 0;
};

inline bool operator==(const ByteSpan &a, const ByteSpan &b) { return a.data == b.data && a.size == b.size; }

// The .res bytes embedded in the loaded object whose load base is `module`
// (null: the program itself); an empty span when there are none.
ByteSpan EmbeddedResources(HMODULE module);

// Searches the notes of one PT_NOTE segment for the resource note. Every
// length is checked against `size`; `alignment` is the segment's p_align.
ByteSpan FindResourceNote(const BYTE *notes, size_t size, size_t alignment);

}  // namespace win32

#endif
