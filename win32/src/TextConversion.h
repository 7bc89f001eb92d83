// Resources hold UTF-16 text; the module sees the "A" functions' 8-bit text.
#ifndef KORVANE_WIN32_TEXT_CONVERSION_H
#define KORVANE_WIN32_TEXT_CONVERSION_H

#include <cstddef>
#include <string>

namespace win32 {

// Western code page: code points below 256 become that byte, any other
// character (a surrogate pair counting as one) becomes '?'.
std::string AnsiFromUtf16(const std::u16string &text);

// Copies text into a fixed buffer, truncating, always NUL-terminated.
void CopyTruncated(char *destination, size_t destinationSize, const std::string &text);

// Case-insensitive comparison of resource names, which Windows folds to
// upper case; only ASCII letters fold.
bool SameNameIgnoringCase(const std::u16string &resourceName, const char *name);

}  // namespace win32

#endif
