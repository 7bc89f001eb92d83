// LoadStringA: string tables are RT_STRING resources of 16 strings each; the
// string with id N is number N % 16 of block N / 16 + 1, stored as a WORD
// length followed by that many UTF-16 units (length 0: no such string).
#include "ByteReader.h"
#include "TextConversion.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

constexpr UINT kStringsPerBlock = 16;
constexpr UINT kLargestStringId = 0xFFFF;

bool FindTableString(HINSTANCE instance, UINT id, std::u16string &text) {
    if (id > kLargestStringId) return false;
    const LPCSTR block = MAKEINTRESOURCEA(id / kStringsPerBlock + 1);
    HRSRC resource = FindResourceA(instance, block, RT_STRING);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(instance, resource)));
    if (data == nullptr) return false;
    win32::ByteReader reader(data, SizeofResource(instance, resource));
    for (UINT index = 0; index < id % kStringsPerBlock; ++index) reader.Skip(size_t{reader.Word()} * 2);
    text = reader.Chars(reader.Word());
    return reader.ok() && !text.empty();
}

}  // namespace

int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax) {
    if (buffer == nullptr || bufferMax <= 0) return 0;
    buffer[0] = '\0';
    std::u16string text;
    if (!FindTableString(instance, id, text)) return 0;
    const std::string ansi = win32::AnsiFromUtf16(text);
    win32::CopyTruncated(buffer, static_cast<size_t>(bufferMax), ansi);
    return static_cast<int>(std::strlen(buffer));
}
