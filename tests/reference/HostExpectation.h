// What the host must receive when the module opens a file, worked out by the
// rules of the host's image model from libspng's decoding of it (mode, size,
// planes, every sample, the palette in the look-up tables) and from the
// chunks the resolution and the File Info come from.
#ifndef KORVANE_TESTS_REFERENCE_HOST_EXPECTATION_H
#define KORVANE_TESTS_REFERENCE_HOST_EXPECTATION_H

#include <cstdint>
#include <vector>

#include "FormatHost.h"
#include "tests/reference/SpngFile.h"
#include "tests/reference/StoredChunks.h"

// What the host holds before the open and the module may leave as it is.
struct HostBefore {
    uint8_t red[256], green[256], blue[256];
    HostFixed horizontalResolution, verticalResolution;
};

struct HostExpectation {
    bool describable = false;  // false: the host image model has no mode for the file
    int16_t mode = 0, depth = 8, planes = 1, rows = 0, columns = 0;
    // Rows one after another, planes side by side; 1-bit rows packed eight
    // pixels to the byte with the bits past the last column 0.
    std::vector<uint8_t> pixels;
    uint8_t red[256], green[256], blue[256];
    HostFixed horizontalResolution = 0, verticalResolution = 0;
    std::vector<uint8_t> fileInfo;  // the whole image resource data, empty when none
};

HostExpectation ExpectOnOpen(const SpngFile &file, const StoredChunks &chunks, const HostBefore &before);

// The File Info block that the texts and the time before the image data
// make; empty when no text has a keyword of the table.
std::vector<uint8_t> ExpectedFileInfo(const StoredChunks &stored);

// Bytes of one host row; clears the bits past the last column of 1-bit rows.
int32_t ExpectedRowBytes(int16_t depth, int16_t planes, int16_t columns);
void ClearSpareBits(std::vector<uint8_t> *pixels, int16_t depth, int16_t rows, int16_t columns);

#endif
