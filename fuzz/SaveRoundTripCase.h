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

#include "pnghost/host/HostImage.h"
#include "pnghost/host/Operations.h"
#include "tests/reference/RowFilters.h"
#include "tests/reference/SpngFile.h"

// Input bytes, in order: mode (below 0xE0: 0 bitmap, 1 gray, 2 gray with
// alpha, 3 indexed, 4 RGB, 5 RGBA by bits 0-2 modulo 6, with 0 to 3 planes
// more from bits 3-4 for gray and RGB; from 0xE0 a mode the module refuses,
// modes 4 to 9 or a mode with a depth that does not go with it), options
// (bit 0 interlace, bit 1 best speed, bit 2 File Info, bits 3-5 the
// Filtering entry, bit 6 a save without the options dialog right after the
// open of an interlaced file, bit 7 a large image), columns and rows (two
// bytes each, 1 to 300, or to 2100 when large), palette entries, resolution
// (a byte that picks the kind, then four bytes each for horizontal and
// vertical), the monitor (gamma by bits 0-2, chromaticities by bits 6-7;
// with bit 3 a gamma of any value from four bytes that follow, with bit 4
// eight chromaticities of any value from 32 bytes after), with File Info
// the resource layout (bit 0 a resource before the File Info, bit 1 one
// after it, bit 2 the datasets in two File Info blocks, bits 3-4 all set: a
// host signature other than 8BIM, bits 5-6 every resource's name 0 to 3
// letters long, bit 7 the other resources' data of odd length) and the
// datasets (a count,
// then per dataset a kind, a length and its bytes), the palette, then the
// samples, repeated as far as the image needs.
struct SaveDataset {
    int record = 2;  // another record ends the module's walk of the datasets
    int number = 0;
    std::string text;
};

// What the module's walk of the File Info blocks makes of them.
struct ExpectedCaptions {
    std::vector<SpngText> texts;
    bool dated = false;
    int year = 0, month = 0, day = 0;
};

struct SaveCase {
    HostImage image;
    SaveChoices choices;
    // Saved with the options as they stand after an interlaced open:
    // interlaced, no File Info, best size, adaptive among the first four
    // filters.
    bool withoutOptions = false;
    // The module refuses the image's mode or depth: the save must end with
    // -20 and write nothing.
    bool refused = false;
    HostMonitor monitor{};
    uint32_t hostSignature = HOST_FOURCC('8', 'B', 'I', 'M');
    int paletteEntries = 0;
    std::vector<std::vector<SaveDataset>> fileInfoBlocks;

    std::vector<uint8_t> ExpectedPalette() const;
    void ExpectedPixelsPerMetre(uint32_t *x, uint32_t *y) const;
    ExpectedCaptions ExpectedFileInfoChunks() const;
    // Empty when the file's texts and tIME are those the File Info gives,
    // else the first difference.
    std::string CheckFileInfoChunks(const SpngFile &file) const;
    // The gAMA and cHRM values (times 100000) the monitor gives; false when
    // the chunk is left out.
    bool ExpectedGamma(uint32_t *gamma) const;
    bool ExpectedChromaticities(uint32_t values[8]) const;
    // The zlib header's level field: 0 for Best Speed, 3 for Best Size.
    int ExpectedCompressionLevelField() const;
    int ExpectedFilter(const StoredRow &row, size_t bytesPerPixel) const;
    std::string Describe() const;
    std::string DatesGiven() const;  // the Date Created datasets, in order
};

SaveCase MakeSaveCase(const uint8_t *data, size_t size);

#endif
