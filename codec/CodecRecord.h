// The module's own records that go with a read context. They live in global
// memory and the PluginState holds only their address: the host copies the
// PluginState in and out on every call, so libpng's io pointer must never
// point into it.
#ifndef KORVANE_CODEC_RECORD_H
#define KORVANE_CODEC_RECORD_H

#include <stdint.h>
#include <windows.h>

#include "codec/ChunkStream.h"
#include "codec/ReadTextList.h"

struct CodecRecord {
    HFILE fileHandle;
    ChunkStream stream;
    ReadTextList texts;
    int paletteEntries;
    // Row reading, set up by StartImage.
    uint8_t *row;  // a whole image row as libpng delivers it, even for a pass row
    uint32_t pixelBits;
    uint32_t rowsLeft;  // over every pass
    bool invertRows;
    // The most image data the stream's end can need after the last row; the
    // stream is bounded by it once the last row is whole.
    uint64_t lastRowDataBound;
};

#endif
