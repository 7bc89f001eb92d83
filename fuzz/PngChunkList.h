// A PNG file as the custom mutator edits it: its chunks in order, each a type
// and its data, and the file written back from them with every length and CRC
// made right.
#ifndef KORVANE_FUZZ_PNG_CHUNK_LIST_H
#define KORVANE_FUZZ_PNG_CHUNK_LIST_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/module/PngFiles.h"

using ChunkList = std::vector<PngChunk>;

// The header fields as they stand in IHDR, valid or not.
struct PngHeader {
    uint32_t width = 1, height = 1;
    uint8_t depth = 8, colorType = 0, compression = 0, filter = 0, interlace = 0;
};

const size_t kNoChunk = static_cast<size_t>(-1);
// The bytes of a chunk besides its data: length, type and CRC.
const size_t kChunkFrame = 12;

// The chunks of a file after its signature, as far as they are whole.
ChunkList ReadChunkList(const uint8_t *file, size_t size);
// The signature, then every chunk with its length and CRC.
std::vector<uint8_t> WriteChunkList(const ChunkList &chunks);
// The bytes of the file WriteChunkList makes.
size_t WrittenSize(const ChunkList &chunks);

// The first chunk of the type from index `from` on, or kNoChunk.
size_t FindChunk(const ChunkList &chunks, const char *type, size_t from = 0);
size_t LastChunk(const ChunkList &chunks, const char *type);
bool IsType(const PngChunk &chunk, const char *type);
// The chunk put at index `at`, or last when `at` is past the end.
void InsertAt(ChunkList &chunks, size_t at, PngChunk chunk);

// The first IHDR of 13 bytes; false when there is none.
bool ReadHeader(const ChunkList &chunks, PngHeader *header);
std::vector<uint8_t> HeaderData(const PngHeader &header);
// Bits per pixel, and the bytes of one stored row without its filter byte.
uint32_t BitsPerPixel(const PngHeader &header);
uint64_t StoredRowBytes(const PngHeader &header, uint32_t columns);
// The bytes of every stored row of every pass, filter bytes included.
uint64_t StoredImageBytes(const PngHeader &header);
// The entries of the first PLTE, 0 without one.
uint32_t PaletteEntries(const ChunkList &chunks);

// The first run of IDAT chunks joined, and that run put back as `pieces`
// chunks (some empty when there are more pieces than bytes) where it stood,
// or before IEND, or at the end, in a file without one.
std::vector<uint8_t> JoinedImageData(const ChunkList &chunks);
void PutImageData(ChunkList *chunks, const std::vector<uint8_t> &data, size_t pieces);

uint32_t Big32(const uint8_t *bytes);
void Put32(std::vector<uint8_t> *out, uint32_t value);
void Put16(std::vector<uint8_t> *out, uint32_t value);
// The bytes as one zlib stream, compressed at zlib's `level`.
std::vector<uint8_t> Deflated(const std::vector<uint8_t> &bytes, int level);

#endif
