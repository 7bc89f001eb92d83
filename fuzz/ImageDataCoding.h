// The image data of a PNG file taken apart into its stored rows and put
// together again: inflated and unfiltered, then filtered with each row's
// filter byte and deflated in one of the ways encoders do.
#ifndef KORVANE_FUZZ_IMAGE_DATA_CODING_H
#define KORVANE_FUZZ_IMAGE_DATA_CODING_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/PngChunkList.h"
#include "tests/reference/RowFilters.h"

struct ImageRows {
    std::vector<StoredRow> rows;  // pass by pass; `raw` and `filter` are what is stored
    size_t bytesPerPixel = 1;
};

// How the filtered rows are deflated: zlib's level, strategy, window and
// memory level, and whether each row ends in a flush (as encoders that write
// row by row do: a stored block or a sync marker per row).
struct DeflateChoice {
    int level = 6;
    int strategy = 0;
    int windowBits = 15;
    int memLevel = 8;
    bool flushEachRow = false;
};

// The rows of the file's image data; false when the data cannot be followed
// (no header, data that does not inflate, a filter byte above 4) or when it
// would inflate to more than `largest` bytes.
bool DecodeImageRows(const ChunkList &chunks, uint64_t largest, ImageRows *image);
// Rows of zeros, filter None, of the sizes the header gives, pass by pass;
// the header must hold no more than an image of a few megabytes.
ImageRows BlankImageRows(const PngHeader &header);
// The rows filtered (a filter byte above 4 keeps the raw bytes) and deflated.
std::vector<uint8_t> EncodeImageRows(const ImageRows &image, const DeflateChoice &choice);
// The image data of a header of any size, made row by row without holding
// the image: every byte of row r is value + r × step, each row stored under
// `filter` (0 to 4), deflated in runs, so that tens of megabytes of samples
// take a few kilobytes.
std::vector<uint8_t> EncodeRunRows(const PngHeader &header, uint8_t value, uint8_t step, uint8_t filter);

#endif
