// The resources of one module: the entries of its compiled .res file, parsed
// in place. Entries point into the bytes they were parsed from.
#ifndef KORVANE_WIN32_RESOURCE_DIRECTORY_H
#define KORVANE_WIN32_RESOURCE_DIRECTORY_H

#include "ByteReader.h"

#include <windows.h>

#include <cstddef>
#include <vector>

namespace win32 {

struct ResourceEntry {
    ResourceName type;
    ResourceName name;
    WORD language = 0;
    const BYTE *data = nullptr;
    DWORD size = 0;
};

// Parses the standard binary .res format. Returns false when the bytes are
// malformed; the entries before the damage are kept, nothing past `size` is
// ever read.
bool ParseResFile(const BYTE *bytes, size_t size, std::vector<ResourceEntry> &entries);

// Whether a resource type or name matches what a caller passed to
// FindResourceA: MAKEINTRESOURCE(id), "#id", or a name in any letter case.
bool NameMatches(const ResourceName &name, LPCSTR wanted);

// The first entry with this name and type, or null.
const ResourceEntry *FindEntry(const std::vector<ResourceEntry> &entries, LPCSTR name, LPCSTR type);

}  // namespace win32

#endif
