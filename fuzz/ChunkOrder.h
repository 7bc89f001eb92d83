// Where the custom mutator may put a chunk: the positions the module's chunk
// table and the PNG standard allow each type, and a file's chunks put back
// into such an order.
#ifndef KORVANE_FUZZ_CHUNK_ORDER_H
#define KORVANE_FUZZ_CHUNK_ORDER_H

#include <cstddef>
#include <string>

#include "fuzz/MutationRandom.h"
#include "fuzz/PngChunkList.h"

// An index at which a chunk of the type may be inserted: colour chunks
// (gAMA, sBIT, cHRM, iCCP, sRGB) before PLTE, PLTE after them, the chunks
// that refer to the palette (tRNS, bKGD, hIST) after it, all before the
// image data; texts and time also between image data chunks and after them.
size_t ValidPosition(const ChunkList &chunks, const std::string &type, MutationRandom &random);
// The same, but now and then anywhere at all, so that the order rules are
// tried too.
size_t InsertPosition(const ChunkList &chunks, const std::string &type, MutationRandom &random);

bool IsAncillary(const PngChunk &chunk);
// The chunks before the image data sorted into the table's order, the order
// among chunks of one rank kept.
void SortIntoTableOrder(ChunkList *chunks);
// The chunks with `header` as the one IHDR first, those before the image
// data in the table's order, one IEND last; a second PLTE, unknown critical
// chunks, types not of four letters and a hIST without a palette dropped.
ChunkList InTableOrder(const ChunkList &chunks, const PngChunk &header);

#endif
