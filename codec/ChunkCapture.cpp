#include "codec/ChunkCapture.h"

#include <string.h>
#include <zlib.h>

#include "plugin/GlobalBlock.h"

bool BeginCapture(ChunkCapture *capture, const uint8_t type[4], uint32_t length) {
    capture->data = static_cast<uint8_t *>(AllocateGlobalBlock(length));
    if (capture->data == nullptr) return false;
    capture->length = length;
    capture->filled = 0;
    capture->crc = crc32(crc32(0, Z_NULL, 0), type, 4);
    return true;
}

void AppendToCapture(ChunkCapture *capture, const uint8_t *bytes, uint32_t count) {
    memcpy(capture->data + capture->filled, bytes, count);
    capture->filled += count;
    capture->crc = crc32(capture->crc, bytes, count);
}

bool CaptureMatchesCrc(const ChunkCapture *capture, uint32_t crc) { return capture->crc == crc; }

void EndCapture(ChunkCapture *capture) {
    ReleaseGlobalBlock(capture->data);
    *capture = ChunkCapture{};
}
