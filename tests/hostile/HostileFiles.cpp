#include "HostileFiles.h"

#include <zlib.h>

namespace {

using Bytes = std::vector<uint8_t>;

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void Put32(Bytes *out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(Bytes *out, const char type[4], const Bytes &data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    const uLong crc = crc32(0, out->data() + typeAt, static_cast<uInt>(out->size() - typeAt));
    Put32(out, static_cast<uint32_t>(crc));
}

Bytes Header(uint32_t width, uint32_t height, int colorType, bool interlaced) {
    Bytes data;
    Put32(&data, width);
    Put32(&data, height);
    data.insert(data.end(), {8, static_cast<uint8_t>(colorType), 0, 0, static_cast<uint8_t>(interlaced ? 1 : 0)});
    return data;
}

Bytes Deflated(const Bytes &data) {
    uLongf room = compressBound(static_cast<uLong>(data.size()));
    Bytes packed(room);
    compress2(packed.data(), &room, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION);
    packed.resize(room);
    return packed;
}

Bytes GrayPixelStart() {
    Bytes file(kSignature, kSignature + 8);
    PutChunk(&file, "IHDR", Header(1, 1, 0, false));
    return file;
}

void PutGrayPixelEnd(Bytes *file) {
    PutChunk(file, "IDAT", Deflated({0, 0x80}));
    PutChunk(file, "IEND", {});
}

// Raw deflate blocks of `bytes` zero bytes, ending on a byte boundary and
// referring to nothing before them, so that copies of them can follow one
// another in a stream.
Bytes ZeroBlocks(uint32_t bytes) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    const Bytes zeros(bytes, 0);
    Bytes out(deflateBound(&stream, bytes) + 16);
    stream.next_in = const_cast<Bytef *>(zeros.data());
    stream.avail_in = bytes;
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FULL_FLUSH);
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace

std::vector<uint8_t> ManyCompressedTexts(const std::string &keyword) {
    Bytes data(keyword.begin(), keyword.end());
    data.insert(data.end(), {0, 0});  // keyword end, method deflate
    const Bytes stream = Deflated(Bytes(kInflatedTextBytes, 'a'));
    data.insert(data.end(), stream.begin(), stream.end());
    Bytes file = GrayPixelStart();
    for (int i = 0; i < kCompressedTextChunks; ++i) PutChunk(&file, "zTXt", data);
    PutGrayPixelEnd(&file);
    return file;
}

std::vector<uint8_t> ManyPlainTexts(const std::string &keyword) {
    Bytes file = GrayPixelStart();
    for (int i = 0; i < kPlainTextChunks; ++i) {
        const std::string text = keyword + '\0' + "text " + std::to_string(i);
        PutChunk(&file, "tEXt", Bytes(text.begin(), text.end()));
    }
    PutGrayPixelEnd(&file);
    return file;
}

std::vector<uint8_t> HugeDeclaredImage(int colorType, bool interlaced) {
    Bytes file(kSignature, kSignature + 8);
    PutChunk(&file, "IHDR", Header(kLargestSide, kLargestSide, colorType, interlaced));
    PutChunk(&file, "IDAT", {});
    PutChunk(&file, "IEND", {});
    return file;
}

// The zlib stream is put together from copies of one piece of blocks, then
// an empty final block and the checksum, which for n zero bytes is n mod
// 65521 over 1.
std::vector<uint8_t> EndlessImageData() {
    const uint32_t pieceBytes = 1u << 20;
    const Bytes piece = ZeroBlocks(pieceBytes);
    Bytes stream = {0x78, 0xDA};
    for (uint64_t made = 0; made < kInflatedImageDataBytes; made += pieceBytes)
        stream.insert(stream.end(), piece.begin(), piece.end());
    stream.insert(stream.end(), {0x03, 0x00});
    Put32(&stream, static_cast<uint32_t>((kInflatedImageDataBytes % 65521) << 16 | 1));
    Bytes file(kSignature, kSignature + 8);
    PutChunk(&file, "IHDR", Header(1, 1, 2, false));
    PutChunk(&file, "IDAT", stream);
    PutChunk(&file, "IEND", {});
    return file;
}

std::vector<HostileFile> AllHostileFiles() {
    return {
        {"ztxt-caption.png", ManyCompressedTexts("Caption")},
        {"ztxt-software.png", ManyCompressedTexts("Software")},
        {"text-title.png", ManyPlainTexts("Title")},
        {"text-software.png", ManyPlainTexts("Software")},
        {"huge-rgb.png", HugeDeclaredImage(2, false)},
        {"huge-rgb-adam7.png", HugeDeclaredImage(2, true)},
        {"huge-rgba.png", HugeDeclaredImage(6, false)},
        {"huge-rgba-adam7.png", HugeDeclaredImage(6, true)},
        {"endless-image-data.png", EndlessImageData()},
    };
}
