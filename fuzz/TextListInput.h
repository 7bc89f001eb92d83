// The File Info import target's input: a list of text entries (keywords and
// texts of any length and content) and a modification time, decoded from
// the fuzzer's bytes, and a PNG file that carries the part of the list a file
// can carry.
#ifndef KORVANE_FUZZ_TEXT_LIST_INPUT_H
#define KORVANE_FUZZ_TEXT_LIST_INPUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/PngText.h"

struct TextInput {
    bool compressed = false;
    std::string keyword;  // may hold zero bytes: the module sees it up to the first
    std::vector<uint8_t> text;
};

struct TextListInput {
    bool hasTime = false;
    png_time time{};
    std::vector<TextInput> entries;
};

// Byte 0: bit 0 a time follows (year as two bytes, month, day, hour, minute,
// second). Then per entry: a kind byte (bit 0 zTXt, bit 1 the text repeats
// seventeen times), the keyword's length byte, the text's length in two
// bytes, then the keyword and the text, cut short where the input ends.
TextListInput DecodeTextListInput(const uint8_t *data, size_t size);
// The other way, for seeds: texts of at most 65535 bytes, none repeated.
std::vector<uint8_t> EncodeTextListInput(const TextListInput &list);

// The entries as a PNG reader finds them in the file PngWithTexts makes:
// each chunk's keyword runs to its first zero byte (1 to 79 bytes, or the
// chunk holds no text), its text is the rest, inflated for a zTXt, up to the
// module's length limit; the time only when libpng takes it as valid.
TextListInput FileCarriedPart(const TextListInput &list);

// A 1 by 1 gray PNG with the tIME chunk and the entries as text chunks
// before its image data, each entry written whatever its keyword.
std::vector<uint8_t> PngWithTexts(const TextListInput &list);

// The list as the module's text list; entries point into list.
std::vector<PngTextEntry> ModuleEntries(const TextListInput &list);

#endif
