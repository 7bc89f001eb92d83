// The values the custom mutator gives the fields of the chunks of the
// module's chunk table (and of the others libpng knows): mostly values valid
// for the image, with the boundaries the module keeps (texts of 255 and 256
// bytes, keywords of 79 and 80, resolutions whose inch value has a fraction
// on either side of one half), and in a small share values outside the valid
// sets.
#ifndef KORVANE_FUZZ_CHUNK_CONTENTS_H
#define KORVANE_FUZZ_CHUNK_CONTENTS_H

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/MutationRandom.h"
#include "fuzz/PngChunkList.h"

// What a chunk's data must fit: the image's header and palette size.
struct ChunkContext {
    PngHeader header;
    uint32_t paletteEntries = 0;
};

// A chunk type to insert: those of the module's table most often, then the
// ones libpng knows and skips here, unknown ancillary and critical ones.
std::string PickChunkType(MutationRandom *random);
// Data for a chunk of the type, mostly valid for the context.
std::vector<uint8_t> MakeChunkData(const std::string &type, const ChunkContext &context, MutationRandom *random);
// One field of the chunk changed to another value of its type.
void EditChunkData(PngChunk *chunk, const ChunkContext &context, MutationRandom *random);

// A header the module and libspng take: a colour type with one of its
// depths, 1 to 9 columns and rows most often, interlaced or not.
PngHeader PickValidHeader(MutationRandom *random);
// True for a header both decoders take: a depth of its colour type, 1 to
// 32767 columns and rows, the methods 0 (interlace 0 or 1).
bool IsValidHeader(const PngHeader &header);
// One header field changed: to another valid value, or (when `outside`)
// to one outside the valid sets.
void EditHeader(PngHeader *header, bool outside, MutationRandom *random);

#endif
