// The texts and the time a PNG file stores before its image data, read from
// the chunks as the codec takes them: tEXt and zTXt alike (zTXt inflated),
// keywords of 1 to 79 bytes, a tEXt without the zero byte after its keyword
// dropped, a zTXt of another method than deflate or that does not inflate
// dropped, the first valid tIME. libspng drops more (keywords with spaces at
// either end or control bytes, texts with a zero byte), so the File Info is
// worked out from these.
#ifndef KORVANE_TESTS_REFERENCE_STORED_TEXTS_H
#define KORVANE_TESTS_REFERENCE_STORED_TEXTS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct StoredText {
    std::string keyword;
    std::vector<uint8_t> text;
};

struct StoredTexts {
    std::vector<StoredText> texts;
    bool hasTime = false;
    int year = 0, month = 0, day = 0;
};

StoredTexts ReadStoredTexts(const uint8_t *file, size_t size);

#endif
