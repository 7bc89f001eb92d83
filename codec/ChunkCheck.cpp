#include "codec/ChunkCheck.h"

namespace {

// Three bytes an entry; past 256 entries a palette would run off the host's
// look-up tables, so such a file is refused rather than cut short.
const uint32_t kLongestPalette = 3 * 256;

// A lower-case fifth bit in the first letter marks an ancillary chunk, which
// a reader that does not know it may skip.
bool IsCritical(uint32_t type) { return (type & 0x20000000u) == 0; }

const char *CheckPalette(ChunkOrder *order, uint32_t length) {
    if (order->sawPalette) return "second PLTE";
    if (length % 3 != 0 || length > kLongestPalette) return "PLTE of a bad length";
    order->sawPalette = true;
    return nullptr;
}

const char *CheckAfterHeader(ChunkOrder *order, uint32_t type, uint32_t length) {
    switch (type) {
        case kChunkIHDR: return "second IHDR";
        case kChunkPLTE: return CheckPalette(order, length);
        case kChunkgAMA:
        case kChunksBIT:
        case kChunkcHRM: return order->sawPalette ? "colour chunk after PLTE" : nullptr;
        case kChunkhIST: return order->sawPalette ? nullptr : "hIST before PLTE";
        case kChunkIDAT: order->sawImageData = true; return nullptr;
        case kChunkIEND: return order->sawImageData ? nullptr : "IEND before the image data";
        case kChunktRNS:
        case kChunkbKGD:
        case kChunkpHYs:
        case kChunkoFFs:
        case kChunktIME:
        case kChunktEXt:
        case kChunkzTXt: return nullptr;
        default: return IsCritical(type) ? "unknown critical chunk" : nullptr;
    }
}

}  // namespace

const char *CheckChunk(ChunkOrder *order, uint32_t type, uint32_t length) {
    if (order->sawHeader) return CheckAfterHeader(order, type, length);
    if (type != kChunkIHDR || length != 13) return "IHDR is not the first chunk";
    order->sawHeader = true;
    return nullptr;
}
