#include "codec/ChunkStream.h"

#include <string.h>

#include "codec/ReadText.h"

namespace {

enum { kPartSignature, kPartHeader, kPartData, kPartCrc };

const uint32_t kSignatureBytes = 8;
const uint32_t kHeaderBytes = 8;
const uint32_t kCrcBytes = 4;
const uint32_t kLongestChunk = 0x7FFFFFFFu;
const uint32_t kGammaBytes = 4;

uint32_t BigEndian(const uint8_t *bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}

// Texts the module might keep, and a gAMA of the one length it can use.
bool WantsData(uint32_t type, uint32_t length) {
    if (type == kChunktEXt) return length <= kLongestPlainTextChunk;
    if (type == kChunkzTXt) return length <= kLongestTextChunk;
    return type == kChunkgAMA && length == kGammaBytes;
}

// Copies bytes into the piece until it holds `size`; true when it does. The
// signature passes through it too: libpng checks it.
bool FillPiece(ChunkStream *stream, uint32_t size, const uint8_t **bytes, size_t *count) {
    const uint32_t wanted = size - stream->partBytes;
    const uint32_t taken = *count < wanted ? static_cast<uint32_t>(*count) : wanted;
    memcpy(stream->piece + stream->partBytes, *bytes, taken);
    stream->partBytes += taken;
    *bytes += taken;
    *count -= taken;
    if (stream->partBytes < size) return false;
    stream->partBytes = 0;
    return true;
}

const char *BeginChunk(ChunkStream *stream) {
    const uint32_t length = BigEndian(stream->piece);
    stream->type = BigEndian(stream->piece + 4);
    if (length > kLongestChunk) return "chunk length out of range";
    const char *refusal = CheckChunk(&stream->order, stream->type, length);
    if (refusal != nullptr) return refusal;
    if (WantsData(stream->type, length) && !BeginCapture(&stream->capture, stream->piece + 4, length))
        return "out of memory";
    stream->dataLeft = length;
    stream->part = length > 0 ? kPartData : kPartCrc;
    return nullptr;
}

// Image data past the bound is not handed over, so libpng never inflates
// it. The bytes that reach the bound come in one read with those before
// them; only a read that starts past it is refused, and libpng asks for more
// only once it has used up all it was given.
bool TakesImageData(ChunkStream *stream, uint32_t bytes) {
    if (stream->imageDataBound == 0) return true;
    if (stream->imageDataBytes >= stream->imageDataBound) {
        stream->imageDataRefused = true;
        return false;
    }
    stream->imageDataBytes += bytes;
    return true;
}

const char *PassData(ChunkStream *stream, const uint8_t **bytes, size_t *count) {
    const uint32_t taken = *count < stream->dataLeft ? static_cast<uint32_t>(*count) : stream->dataLeft;
    if (stream->type == kChunkIDAT && !TakesImageData(stream, taken)) return "more image data than the image can need";
    if (stream->capture.data != nullptr) AppendToCapture(&stream->capture, *bytes, taken);
    stream->dataLeft -= taken;
    *bytes += taken;
    *count -= taken;
    if (stream->dataLeft == 0) stream->part = kPartCrc;
    return nullptr;
}

// The captured chunk, its CRC found good, takes effect.
const char *UseCapture(ChunkStream *stream, ReadTextList *texts) {
    const ChunkCapture &capture = stream->capture;
    if (stream->type == kChunkgAMA) {
        const uint32_t gamma = BigEndian(capture.data);
        if (gamma != 0) stream->gamma = gamma;
        return nullptr;
    }
    const bool compressed = stream->type == kChunkzTXt;
    return AddTextChunk(texts, compressed, capture.data, capture.length) == kTextOutOfMemory ? "out of memory"
                                                                                             : nullptr;
}

// A chunk whose CRC does not hold is left alone here: libpng checks the same
// CRC and fails the read.
const char *EndChunk(ChunkStream *stream, ReadTextList *texts) {
    stream->part = kPartHeader;
    if (stream->capture.data == nullptr) return nullptr;
    const char *failure = nullptr;
    if (CaptureMatchesCrc(&stream->capture, BigEndian(stream->piece))) failure = UseCapture(stream, texts);
    EndCapture(&stream->capture);
    return failure;
}

}  // namespace

const char *FollowChunkBytes(ChunkStream *stream, ReadTextList *texts, const uint8_t *bytes, size_t count) {
    const char *failure = nullptr;
    while (count > 0 && failure == nullptr) {
        switch (stream->part) {
            case kPartSignature:
                if (FillPiece(stream, kSignatureBytes, &bytes, &count)) stream->part = kPartHeader;
                break;
            case kPartHeader:
                if (FillPiece(stream, kHeaderBytes, &bytes, &count)) failure = BeginChunk(stream);
                break;
            case kPartData: failure = PassData(stream, &bytes, &count); break;
            default:
                if (FillPiece(stream, kCrcBytes, &bytes, &count)) failure = EndChunk(stream, texts);
                break;
        }
    }
    return failure;
}

void ReleaseChunkStream(ChunkStream *stream) { EndCapture(&stream->capture); }
