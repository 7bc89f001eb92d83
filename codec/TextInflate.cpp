#include "codec/TextInflate.h"

#include <stdint.h>
#include <zlib.h>

#include "plugin/GlobalBlock.h"

namespace {

voidpf AllocateForZlib(voidpf, uInt items, uInt size) {
    if (size != 0 && items > SIZE_MAX / size) return Z_NULL;
    return AllocateGlobalBlock(static_cast<size_t>(items) * size);
}

void ReleaseForZlib(voidpf, voidpf address) { ReleaseGlobalBlock(address); }

// Runs inflate until the stream ends, fails, or has filled out and one byte
// more: that byte, in a spare of its own, tells a stream of exactly limit
// bytes from a longer one.
InflateOutcome RunInflate(z_stream *stream, uint8_t *out, uint32_t limit, uint32_t *produced) {
    stream->next_out = out;
    stream->avail_out = limit;
    int status = Z_OK;
    while (status == Z_OK && stream->avail_out > 0) status = inflate(stream, Z_NO_FLUSH);
    *produced = limit - stream->avail_out;
    if (status == Z_OK) {
        uint8_t spare;
        stream->next_out = &spare;
        stream->avail_out = 1;
        status = inflate(stream, Z_NO_FLUSH);
        if (stream->avail_out == 0) return kInflateRefused;
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
