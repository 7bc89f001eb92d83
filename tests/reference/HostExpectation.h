// What the host must receive when the module opens a file, worked out by the
// rules of the host's image model from libspng's decoding of it (mode, size,
// planes, the palette in the look-up tables, the gamma correction of the
// samples) and from the chunks the resolution and the File Info come from.
// RowComparison.h holds the host's rows against the file's with it.
#ifndef KORVANE_TESTS_REFERENCE_HOST_EXPECTATION_H
#define KORVANE_TESTS_REFERENCE_HOST_EXPECTATION_H

#include <cstdint>
#include <vector>

#include "FormatHost.h"
#include "tests/reference/SpngFile.h"
#include "tests/reference/StoredChunks.h"

// What the host holds before the open and the module may leave as it is,
// and the editor's monitor gamma (0: none).
struct HostBefore {
    uint8_t red[256], green[256], blue[256];
    HostFixed horizontalResolution, verticalResolution;
    HostFixed monitorGamma = 0;
};

struct HostExpectation {
    bool describable = false;  // false: the host image model has no mode for the file
    int16_t mode = 0, depth = 8, planes = 1, rows = 0, columns = 0;
    uint8_t red[256], green[256], blue[256];
    HostFixed horizontalResolution = 0, verticalResolution = 0;
    std::vector<uint8_t> fileInfo;  // the whole image resource data, empty when none
    // The samples of 8-bit rows go through the gamma table, the alpha plane
    // of gray and RGB with alpha excepted.
    bool gammaCorrectsRows = false, alphaKept = false;
    uint8_t gammaTable[256];
};

HostExpectation ExpectOnOpen(const SpngFile &file, const StoredChunks &chunks, const HostBefore &before);

// The File Info block that the texts and the time before the image data
// make; empty when no text has a keyword of the table.
std::vector<uint8_t> ExpectedFileInfo(const StoredChunks &stored);

#endif
