// A PNG file as libspng decodes it: an independent decoder whose findings the
// module's opens and saves are compared with. Nothing here uses libpng.
#ifndef KORVANE_TESTS_REFERENCE_SPNG_FILE_H
#define KORVANE_TESTS_REFERENCE_SPNG_FILE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SpngText {
    int type = 0;         // SPNG_TEXT, SPNG_ZTXT or SPNG_ITXT
    std::string keyword;  // at most 79 bytes, no terminator
    std::vector<uint8_t> text;
};

struct SpngFile {
    int error = 0;  // 0 when the whole file decoded, else libspng's first error
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    std::vector<uint8_t> palette;  // red, green, blue triples
    bool hasPhysicalSize = false;
    uint32_t pixelsPerUnitX = 0, pixelsPerUnitY = 0;
    int unit = 0;
    bool hasGamma = false, hasChromaticities = false;
    uint32_t gamma = 0;                 // the gAMA value, times 100000
    uint32_t chromaticities[8] = {};    // white x, y, red x, y, green x, y, blue x, y, times 100000
    // Texts and time found before the image data.
    std::vector<SpngText> texts;
    bool hasTime = false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // The image is wider than kWidestDecodedRow: its rows were not decoded,
    // so error says nothing of its image data.
    bool rowsNotDecoded = false;
};

// The widest image whose rows are decoded: the host holds at most 32767
// columns, and one row of the widest PNG takes libspng gigabytes.
const uint32_t kWidestDecodedRow = 32767;

// One stored row as libspng delivers it, unfiltered: samples packed below
// 8 bits, 16-bit samples most significant byte first, each pixel at its
// column. A row of an interlaced file carries the columns of its pass only
// (firstColumn, firstColumn + columnStep, ...); the rest are left over from
// earlier rows.
struct SpngRow {
    uint32_t row = 0;
    uint32_t firstColumn = 0, columnStep = 1;
    const uint8_t *bytes = nullptr;
};

// Told of each row as it is decoded, with what is known of the file so far;
// returns false to stop the decoding (a difference found), which then ends
// without an error of libspng's.
using SpngRowSink = std::function<bool(const SpngFile &, const SpngRow &)>;

// Decodes row by row, holding one row at a time, so images of any size are
// decoded. libspng's limits of chunk size and cache are raised as far as
// they go.
SpngFile DecodeWithSpng(const uint8_t *bytes, size_t size, const SpngRowSink &sink = {});
std::string SpngErrorText(int error);
// True for the errors that are a limit of libspng's rather than a defect of
// the file (its count of chunks aside, which has a class of its own).
bool IsSpngLimit(int error);

#endif
