// The chunks a read accepts, and where in the file: the module judges each
// chunk by its type and length before libpng sees its data, because libpng
// 1.6 lets many misplaced chunks pass with a warning.
#ifndef KORVANE_CHUNK_CHECK_H
#define KORVANE_CHUNK_CHECK_H

#include <stdint.h>

// A chunk type as its four bytes read big-endian.
constexpr uint32_t ChunkType(char a, char b, char c, char d) {
    return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) |
           uint32_t(uint8_t(d));
}

constexpr uint32_t kChunkIHDR = ChunkType('I', 'H', 'D', 'R');
constexpr uint32_t kChunkPLTE = ChunkType('P', 'L', 'T', 'E');
constexpr uint32_t kChunkIDAT = ChunkType('I', 'D', 'A', 'T');
constexpr uint32_t kChunkIEND = ChunkType('I', 'E', 'N', 'D');
constexpr uint32_t kChunkgAMA = ChunkType('g', 'A', 'M', 'A');
constexpr uint32_t kChunksBIT = ChunkType('s', 'B', 'I', 'T');
constexpr uint32_t kChunkcHRM = ChunkType('c', 'H', 'R', 'M');
constexpr uint32_t kChunktRNS = ChunkType('t', 'R', 'N', 'S');
constexpr uint32_t kChunkbKGD = ChunkType('b', 'K', 'G', 'D');
constexpr uint32_t kChunkpHYs = ChunkType('p', 'H', 'Y', 's');
constexpr uint32_t kChunkoFFs = ChunkType('o', 'F', 'F', 's');
constexpr uint32_t kChunkhIST = ChunkType('h', 'I', 'S', 'T');
constexpr uint32_t kChunktIME = ChunkType('t', 'I', 'M', 'E');
constexpr uint32_t kChunktEXt = ChunkType('t', 'E', 'X', 't');
constexpr uint32_t kChunkzTXt = ChunkType('z', 'T', 'X', 't');

// What the file has shown so far that decides where a chunk may stand.
struct ChunkOrder {
    bool sawHeader;
    bool sawPalette;
    bool sawImageData;
};

// Null when a chunk of this type and data length is accepted at this point of
// the file (and notes it in order), else the reason it is refused.
const char *CheckChunk(ChunkOrder *order, uint32_t type, uint32_t length);

#endif
