// Inflating the zlib stream of a compressed text chunk, with zlib's memory
// taken from the module's global memory.
#ifndef KORVANE_TEXT_INFLATE_H
#define KORVANE_TEXT_INFLATE_H

#include <stdint.h>

enum InflateOutcome {
    kInflated,
    kInflateRefused,  // damaged or unfinished stream, or more than the limit
    kInflateOutOfMemory
};

// Inflates inLength bytes of in into out, which has room for limit bytes. A
// stream that would inflate to more than limit bytes is refused as soon as
// that shows, without inflating the rest. *produced is the count of
// inflated bytes.
InflateOutcome InflateText(const uint8_t *in, uint32_t inLength, uint8_t *out, uint32_t limit, uint32_t *produced);

#endif
