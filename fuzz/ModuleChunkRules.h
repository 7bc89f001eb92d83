// The module's own rules for the chunks before the image data, applied to a
// file's bytes without the module: which rule, if any, refuses the file, and
// where its image data ends. They tell apart the ways the module and libspng
// may disagree.
#ifndef KORVANE_FUZZ_MODULE_CHUNK_RULES_H
#define KORVANE_FUZZ_MODULE_CHUNK_RULES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ChunkRuling {
    std::string refusal;        // empty when the chunks before the image data pass
    size_t imageDataEnd = 0;    // just past the last chunk of the first run of IDAT chunks
    bool imageDataCrcMismatch = false;  // an IDAT chunk of that run fails its CRC
    // The run ends in an IDAT chunk longer than the rest of the file, which
    // starts at imageDataEnd.
    bool imageDataCutShort = false;
};

ChunkRuling RuleOnChunks(const uint8_t *file, size_t size);

// The file up to the end of its image data, closed with an IEND chunk: all
// of it that the module has to read.
std::vector<uint8_t> ImageDataPart(const uint8_t *file, size_t size, size_t imageDataEnd);
// The same for a run of image data that ends in a chunk cut short: that
// chunk made whole from what the file holds of it, with its CRC.
std::vector<uint8_t> ImageDataPartMended(const uint8_t *file, size_t size, size_t imageDataEnd);

#endif
