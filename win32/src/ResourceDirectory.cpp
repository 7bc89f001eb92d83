#include "ResourceDirectory.h"

#include "TextConversion.h"

#include <cstdlib>

namespace win32 {

namespace {

// The file starts with an empty entry that only marks the format.
bool IsFormatMarker(const ResourceEntry &entry) {
    return entry.size == 0 && entry.type.isOrdinal && entry.type.ordinal == 0 && entry.name.isOrdinal &&
           entry.name.ordinal == 0;
}

// Parses one entry starting at the reader's position (DWORD-aligned). The
// header is read through its own reader bounded by HeaderSize, the data is
// checked against what remains of the file.
bool ParseEntry(ByteReader &file, const BYTE *bytes, ResourceEntry &entry) {
    const size_t start = file.position();
    const DWORD dataSize = file.Dword();
    const DWORD headerSize = file.Dword();
    if (!file.ok() || headerSize < 8 || headerSize - 8 > file.remaining()) return false;
    ByteReader header(bytes + start, headerSize);
    header.Skip(8);
    entry.type = header.NameOrOrdinal();
    entry.name = header.NameOrOrdinal();
    header.AlignTo(4);
    header.Skip(4 + 2);  // DataVersion, MemoryFlags
    entry.language = header.Word();
    header.Skip(4 + 4);  // Version, Characteristics
    if (!header.ok()) return false;
    file.Skip(headerSize - 8);
    if (dataSize > file.remaining()) return false;
    entry.data = bytes + file.position();
    entry.size = dataSize;
    file.Skip(dataSize);
    return true;
}

}  // namespace

bool ParseResFile(const BYTE *bytes, size_t size, std::vector<ResourceEntry> &entries) {
    ByteReader file(bytes, size);
    while (file.remaining() > 0) {
        ResourceEntry entry;
        if (!ParseEntry(file, bytes, entry)) return false;
        if (!IsFormatMarker(entry)) entries.push_back(entry);
        // The padding after the last entry may be missing from the file.
        if (file.remaining() < 4) break;
        file.AlignTo(4);
    }
    return true;
}

bool NameMatches(const ResourceName &name, LPCSTR wanted) {
    if (IS_INTRESOURCE(wanted))
        return name.isOrdinal && name.ordinal == static_cast<WORD>(reinterpret_cast<uintptr_t>(wanted));
    if (wanted[0] == '#') {
        char *end = nullptr;
        const unsigned long ordinal = std::strtoul(wanted + 1, &end, 10);
        return *end == '\0' && end != wanted + 1 && name.isOrdinal && name.ordinal == ordinal;
    }
    return !name.isOrdinal && SameNameIgnoringCase(name.text, wanted);
}

const ResourceEntry *FindEntry(const std::vector<ResourceEntry> &entries, LPCSTR name, LPCSTR type) {
    for (const ResourceEntry &entry : entries)
        if (NameMatches(entry.type, type) && NameMatches(entry.name, name)) return &entry;
    return nullptr;
}

}  // namespace win32
