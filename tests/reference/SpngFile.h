// A PNG file as libspng decodes it: an independent decoder whose findings the
// module's opens and saves are compared with. Nothing here uses libpng.
#ifndef KORVANE_TESTS_REFERENCE_SPNG_FILE_H
#define KORVANE_TESTS_REFERENCE_SPNG_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SpngText {
    int type = 0;         // SPNG_TEXT, SPNG_ZTXT or SPNG_ITXT
    std::string keyword;  // at most 79 bytes, no terminator
    std::vector<uint8_t> text;
};

struct SpngFile {
    int error = 0;  // 0 when the whole file decoded, else libspng's error code
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    std::vector<uint8_t> palette;  // red, green, blue triples
    bool hasPhysicalSize = false;
    uint32_t pixelsPerUnitX = 0, pixelsPerUnitY = 0;
    int unit = 0;
    // Texts and time found before the image data.
    std::vector<SpngText> texts;
    bool hasTime = false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // The image's rows as the file stores them unfiltered and put together:
    // samples packed below 8 bits, 16-bit samples most significant byte first.
    std::vector<uint8_t> rows;
    size_t rowBytes = 0;
    // The image is larger than kLargestDecodedImage: described, not decoded,
    // so error says nothing of its image data.
    bool tooLargeToDecode = false;
};

// The fuzzers keep to small memory.
const size_t kLargestDecodedImage = 16u << 20;

SpngFile DecodeWithSpng(const uint8_t *bytes, size_t size);
std::string SpngErrorText(int error);

#endif
