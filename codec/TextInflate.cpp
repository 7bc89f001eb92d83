#include "codec/TextInflate.h"

#include <stdint.h>
#include <string.h>
#include <zlib.h>

#include "plugin/GlobalBlock.h"

namespace {

voidpf AllocateForZlib(voidpf, uInt items, uInt size) {
    if (size != 0 && items > SIZE_MAX / size) return Z_NULL;
    return AllocateGlobalBlock(static_cast<size_t>(items) * size);
}

void ReleaseForZlib(voidpf, voidpf address) { ReleaseGlobalBlock(address); }

// Runs inflate to the end of the stream, through a small buffer whose
// contents go to out when there is an out.
InflateOutcome RunInflate(z_stream *stream, uint8_t *out, uint32_t limit, uint32_t *produced) {
    uint8_t piece[4096];
    int status = Z_OK;
    while (status == Z_OK) {
        stream->next_out = piece;
        stream->avail_out = sizeof piece;
        status = inflate(stream, Z_NO_FLUSH);
        const uint32_t made = static_cast<uint32_t>(sizeof piece - stream->avail_out);
        if (made > limit - *produced) return kInflateRefused;
        if (out != nullptr) memcpy(out + *produced, piece, made);
        *produced += made;
    }
    if (status == Z_STREAM_END) return kInflated;
    return status == Z_MEM_ERROR ? kInflateOutOfMemory : kInflateRefused;
}

}  // namespace

InflateOutcome InflateText(const uint8_t *in, uint32_t inLength, uint8_t *out, uint32_t limit, uint32_t *produced) {
    z_stream stream{};
    stream.zalloc = AllocateForZlib;
    stream.zfree = ReleaseForZlib;
    stream.next_in = const_cast<Bytef *>(in);
    stream.avail_in = inLength;
    *produced = 0;
    const int status = inflateInit(&stream);
    if (status != Z_OK) return status == Z_MEM_ERROR ? kInflateOutOfMemory : kInflateRefused;
    const InflateOutcome outcome = RunInflate(&stream, out, limit, produced);
    inflateEnd(&stream);
    return outcome;
}
