// Follows the file's chunk structure as the bytes pass to libpng: signature,
// then per chunk its length and type, its data and its CRC. It judges each
// chunk against the module's chunk table as soon as its type is known, and
// reads the chunks the module needs whole for itself (tEXt, zTXt, gAMA). It
// counts bytes only, so it does not matter how libpng splits its reads.
#ifndef KORVANE_CHUNK_STREAM_H
#define KORVANE_CHUNK_STREAM_H

#include <stddef.h>
#include <stdint.h>

#include "codec/ChunkCapture.h"
#include "codec/ChunkCheck.h"
#include "codec/ReadTextList.h"

struct ChunkStream {
    uint32_t part;       // which part of the file the next byte belongs to
    uint32_t partBytes;  // bytes of the signature, chunk header or CRC met so far
    uint8_t piece[8];    // the chunk header, or the CRC
    uint32_t type;
    uint32_t dataLeft;
    ChunkOrder order;
    ChunkCapture capture;
    uint32_t gamma;  // the value of the last gAMA met that is not 0; 0 when none
    // Image data bytes handed over since the bound was set, and how many may
    // be (0: no bound yet, until the last row is whole).
    uint64_t imageDataBytes;
    uint64_t imageDataBound;
    bool imageDataRefused;  // image data came past the bound and was refused
};

// A stream filled with zero bytes is at the start of a file. Null when the
// bytes are fine, else why the read must fail: a refused chunk, memory
// exhausted while keeping a text, or image data past the bound.
const char *FollowChunkBytes(ChunkStream *stream, ReadTextList *texts, const uint8_t *bytes, size_t count);
void ReleaseChunkStream(ChunkStream *stream);

#endif
