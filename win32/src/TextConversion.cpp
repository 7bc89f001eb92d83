#include "TextConversion.h"

#include <cstring>

namespace win32 {

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

char16_t FoldCase(char16_t unit) { return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - 0x20) : unit; }

}  // namespace

std::string AnsiFromUtf16(const std::u16string &text) {
    std::string ansi;
    ansi.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 256) {
            ansi.push_back(static_cast<char>(unit));
            continue;
        }
        ansi.push_back('?');
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    }
    return ansi;
}

void CopyTruncated(char *destination, size_t destinationSize, const std::string &text) {
    if (destinationSize == 0) return;
    const size_t length = text.size() < destinationSize - 1 ? text.size() : destinationSize - 1;
    std::memcpy(destination, text.data(), length);
    destination[length] = '\0';
}

bool SameNameIgnoringCase(const std::u16string &resourceName, const char *name) {
    const size_t length = std::strlen(name);
    if (resourceName.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        const char16_t wanted = static_cast<unsigned char>(name[i]);
        if (FoldCase(resourceName[i]) != FoldCase(wanted)) return false;
    }
    return true;
}

}  // namespace win32
