// The chunks before a PNG file's image data that the host's resolution and
// File Info come from, read as the codec takes them: tEXt and zTXt alike
// (zTXt inflated), keywords of 1 to 79 bytes, a tEXt without the zero byte
// after its keyword dropped, a zTXt of another method than deflate or that
// does not inflate dropped; the first valid tIME; the first pHYs of 9 bytes,
// whatever its values; the last gAMA of 4 bytes with a value other than 0
// (the codec reads it itself: libpng drops values out of its range and
// weighs gAMA against sRGB, iCCP and cHRM). libspng drops more (keywords with spaces at either
// end or control bytes, texts with a zero byte, pHYs values above 2^31 - 1),
// so these are worked out from the bytes.
#ifndef KORVANE_TESTS_REFERENCE_STORED_CHUNKS_H
#define KORVANE_TESTS_REFERENCE_STORED_CHUNKS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct StoredText {
    std::string keyword;
    std::vector<uint8_t> text;
};

struct StoredChunks {
    std::vector<StoredText> texts;
    bool hasTime = false;
    int year = 0, month = 0, day = 0;
    bool hasPhysicalSize = false;
    uint32_t pixelsPerUnitX = 0, pixelsPerUnitY = 0;
    int unit = 0;
    bool hasGamma = false;
    uint32_t gamma = 0;  // the gAMA value, times 100000
};

StoredChunks ReadStoredChunks(const uint8_t *file, size_t size);

#endif
