#include "ByteReader.h"

namespace win32 {

bool ByteReader::Fits(size_t bytes) {
    if (ok_ && bytes <= size_ - position_) return true;
    ok_ = false;
    return false;
}

WORD ByteReader::Word() {
    if (!Fits(2)) return 0;
    const BYTE *p = data_ + position_;
    position_ += 2;
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

DWORD ByteReader::Dword() {
    const DWORD low = Word();
    const DWORD high = Word();
    return ok_ ? (low | (high << 16)) : 0;
}

void ByteReader::Skip(size_t bytes) {
    if (Fits(bytes)) position_ += bytes;
}

void ByteReader::AlignTo(size_t alignment) {
    const size_t misalignment = position_ % alignment;
    if (misalignment != 0) Skip(alignment - misalignment);
}

ResourceName ByteReader::NameOrOrdinal() {
    ResourceName name;
    const size_t start = position_;
    if (Word() == 0xFFFF) {
        name.ordinal = Word();
        return name;
    }
    if (!ok_) return name;
    position_ = start;
    name.isOrdinal = false;
    name.text = String();
    return name;
}

std::u16string ByteReader::String() {
    std::u16string text;
    for (WORD unit = Word(); ok_ && unit != 0; unit = Word()) text.push_back(static_cast<char16_t>(unit));
    return ok_ ? text : std::u16string();
}

std::u16string ByteReader::Chars(size_t count) {
    if (count > remaining() / 2) {
        ok_ = false;
        return {};
    }
    std::u16string text;
    text.reserve(count);
    for (size_t i = 0; i < count; ++i) text.push_back(static_cast<char16_t>(Word()));
    return text;
}

}  // namespace win32
