// One save made from arbitrary bytes: the host image (mode, size, samples,
// palette, resolution, File Info), the person's choices in the options
// dialog and the monitor gamma; and what the file must then hold, by the
// save's rules.
#ifndef KORVANE_FUZZ_SAVE_ROUND_TRIP_CASE_H
#define KORVANE_FUZZ_SAVE_ROUND_TRIP_CASE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pnghost/FileInfoResource.h"
#include "pnghost/HostImage.h"
#include "pnghost/Operations.h"
#include "tests/reference/RowFilters.h"
#include "tests/reference/SpngFile.h"

// Input bytes, in order: mode (0 bitmap, 1 gray, 2 gray with alpha, 3
// indexed, 4 RGB, 5 RGBA), options (bit 0 interlace, bit 1 best speed, bit 2
// File Info, bits 3-5 the Filtering entry, bit 6 a save without the options
// dialog right after the open of an interlaced file), columns and rows (two
// bytes each, 1 to 300), palette entries, resolution (a byte that picks the
// kind, then four bytes each for horizontal and vertical), monitor gamma,
// File Info datasets (a count, then per dataset a kind, a length and its
// bytes), the palette, then the samples, repeated as far as the image needs.
struct SaveCase {
    HostImage image;
    SaveChoices choices;
    // Saved with the options as they stand after an interlaced open:
    // interlaced, no File Info, best size, adaptive among the first four
    // filters.
    bool withoutOptions = false;
    HostFixed monitorGamma = 0;
    int paletteEntries = 0;
    std::vector<IptcDataset> datasets;

    std::vector<uint8_t> ExpectedPalette() const;
    void ExpectedPixelsPerMetre(uint32_t *x, uint32_t *y) const;
    std::vector<SpngText> ExpectedTexts() const;
    bool ExpectedDate(int *year, int *month, int *day) const;
    int ExpectedFilter(const StoredRow &row, size_t bytesPerPixel) const;
    std::string Describe() const;
    std::string DatesGiven() const;  // the Date Created datasets, in order
};

SaveCase MakeSaveCase(const uint8_t *data, size_t size);

#endif
