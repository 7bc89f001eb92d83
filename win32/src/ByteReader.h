// Bounds-checked little-endian reading of resource bytes. Resource data comes
// from a file the module was linked with, but a damaged or hand-made .res must
// never make the layer read past its end: every read is checked, and after the
// first failed read every later read fails too, so a parser checks ok() once.
#ifndef KORVANE_WIN32_BYTE_READER_H
#define KORVANE_WIN32_BYTE_READER_H

#include <windows.h>

#include <cstddef>
#include <string>

namespace win32 {

// A resource type or name: a 16-bit ordinal, or a UTF-16 string.
struct ResourceName {
    bool isOrdinal = true;
    WORD ordinal = 0;
    std::u16string text;
};

class ByteReader {
public:
    ByteReader(const BYTE *data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t position() const { return position_; }
    size_t remaining() const { return ok_ ? size_ - position_ : 0; }

    WORD Word();
    DWORD Dword();
    void Skip(size_t bytes);
    // Moves to the next multiple of `alignment`, counted from the first byte.
    void AlignTo(size_t alignment);
    // 0xFFFF followed by an ordinal, or a NUL-terminated UTF-16 string.
    ResourceName NameOrOrdinal();
    // A NUL-terminated UTF-16 string.
    std::u16string String();
    // `count` UTF-16 code units.
    std::u16string Chars(size_t count);

private:
    bool Fits(size_t bytes);

    const BYTE *data_;
    size_t size_;
    size_t position_ = 0;
    bool ok_ = true;
};

}  // namespace win32

#endif
