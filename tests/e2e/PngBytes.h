// Reading a PNG file's bytes directly, independently of libpng and of the
// module: its chunks, its header, and the filter type of each row.
#ifndef KORVANE_TESTS_E2E_PNG_BYTES_H
#define KORVANE_TESTS_E2E_PNG_BYTES_H

#include <cstdint>
#include <string>
#include <vector>

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

struct PngHeader {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
};

bool HasPngSignature(const std::vector<uint8_t> &file);
// The chunks in file order; stops at the first chunk that runs past the end.
std::vector<Chunk> Chunks(const std::vector<uint8_t> &file);
// False when there is no well-formed IHDR first.
bool ReadHeader(const std::vector<uint8_t> &file, PngHeader *header);
// The second byte of the zlib stream in the first IDAT: its top two bits are
// the compression level class (0 fastest .. 3 maximum).
int ZlibLevelClass(const std::vector<uint8_t> &file);
// The filter type byte of each row of a non-interlaced image, from the
// inflated image data; empty when the data cannot be inflated.
std::vector<int> RowFilters(const std::vector<uint8_t> &file);
// The (keyword, text) pairs of the tEXt chunks.
std::vector<std::pair<std::string, std::string>> TextChunks(const std::vector<uint8_t> &file);

#endif
