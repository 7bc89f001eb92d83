// The data of one chunk the module reads for itself as the bytes pass to
// libpng, kept in global memory together with its running CRC so that the
// module uses it only when the chunk's CRC holds.
#ifndef KORVANE_CHUNK_CAPTURE_H
#define KORVANE_CHUNK_CAPTURE_H

#include <stdint.h>

struct ChunkCapture {
    uint8_t *data;  // null when no chunk is being captured
    uint32_t length;
    uint32_t filled;
    uint32_t crc;  // over the type bytes and the data so far
};

// False when the memory for length bytes cannot be had.
bool BeginCapture(ChunkCapture *capture, const uint8_t type[4], uint32_t length);
void AppendToCapture(ChunkCapture *capture, const uint8_t *bytes, uint32_t count);
bool CaptureMatchesCrc(const ChunkCapture *capture, uint32_t crc);
// Releases the data; nothing happens when no chunk is being captured.
void EndCapture(ChunkCapture *capture);

#endif
