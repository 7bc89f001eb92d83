#include "fuzz/PngChunkList.h"

#include <zlib.h>

#include <algorithm>
#include <utility>

#include "tests/reference/RowFilters.h"

namespace {

const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// The indices [first, last) of the first run of IDAT chunks; both kNoChunk
// when there is none.
void ImageDataRun(const ChunkList &chunks, size_t *first, size_t *last) {
    *first = FindChunk(chunks, "IDAT");
    *last = *first;
    if (*first == kNoChunk) return;
    while (*last < chunks.size() && IsType(chunks[*last], "IDAT")) ++*last;
}

}  // namespace

uint32_t Big32(const uint8_t *bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

void Put32(std::vector<uint8_t> *out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

void Put16(std::vector<uint8_t> *out, uint32_t value) {
    out->push_back(static_cast<uint8_t>(value >> 8));
    out->push_back(static_cast<uint8_t>(value));
}

std::vector<uint8_t> Deflated(const std::vector<uint8_t> &bytes, int level) {
    uLongf room = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> packed(room);
    compress2(packed.data(), &room, bytes.data(), static_cast<uLong>(bytes.size()), level);
    packed.resize(room);
    return packed;
}

ChunkList ReadChunkList(const uint8_t *file, size_t size) {
    return ListChunks(std::vector<uint8_t>(file, file + size));
}

size_t WrittenSize(const ChunkList &chunks) {
    size_t size = sizeof kSignature;
    for (const PngChunk &chunk : chunks) size += kChunkFrame + chunk.data.size();
    return size;
}

std::vector<uint8_t> WriteChunkList(const ChunkList &chunks) {
    std::vector<uint8_t> file(kSignature, kSignature + sizeof kSignature);
    file.reserve(WrittenSize(chunks));
    for (const PngChunk &chunk : chunks) {
        Put32(&file, static_cast<uint32_t>(chunk.data.size()));
        const size_t typeAt = file.size();
        file.insert(file.end(), chunk.type.begin(), chunk.type.end());
        file.insert(file.end(), chunk.data.begin(), chunk.data.end());
        Put32(&file, static_cast<uint32_t>(crc32(0, file.data() + typeAt, static_cast<uInt>(file.size() - typeAt))));
    }
    return file;
}

bool IsType(const PngChunk &chunk, const char *type) { return chunk.type == type; }

size_t FindChunk(const ChunkList &chunks, const char *type, size_t from) {
    for (size_t i = from; i < chunks.size(); ++i)
        if (IsType(chunks[i], type)) return i;
    return kNoChunk;
}

size_t LastChunk(const ChunkList &chunks, const char *type) {
    for (size_t i = chunks.size(); i > 0; --i)
        if (IsType(chunks[i - 1], type)) return i - 1;
    return kNoChunk;
}

void InsertAt(ChunkList &chunks, size_t at, PngChunk chunk) {
    chunks.insert(chunks.begin() + static_cast<ptrdiff_t>(std::min(at, chunks.size())), std::move(chunk));
}

bool ReadHeader(const ChunkList &chunks, PngHeader *header) {
    const size_t at = FindChunk(chunks, "IHDR");
    if (at == kNoChunk || chunks[at].data.size() != 13) return false;
    const uint8_t *body = chunks[at].data.data();
    *header = {Big32(body), Big32(body + 4), body[8], body[9], body[10], body[11], body[12]};
    return true;
}

std::vector<uint8_t> HeaderData(const PngHeader &header) {
    std::vector<uint8_t> data;
    Put32(&data, header.width);
    Put32(&data, header.height);
    data.insert(data.end(), {header.depth, header.colorType, header.compression, header.filter, header.interlace});
    return data;
}

uint32_t BitsPerPixel(const PngHeader &header) {
    const uint32_t channels = header.colorType == 2 ? 3 : header.colorType == 4 ? 2 : header.colorType == 6 ? 4 : 1;
    return channels * header.depth;
}

uint64_t StoredRowBytes(const PngHeader &header, uint32_t columns) {
    return (uint64_t{columns} * BitsPerPixel(header) + 7) / 8;
}

uint64_t StoredImageBytes(const PngHeader &header) {
    if (header.interlace == 0) return uint64_t{header.height} * (1 + StoredRowBytes(header, header.width));
    uint64_t bytes = 0;
    for (int pass = 1; pass <= 7; ++pass) {
        uint32_t columns = 0, rows = 0;
        PassSize(header.width, header.height, pass, &columns, &rows);
        bytes += uint64_t{rows} * (1 + StoredRowBytes(header, columns));
    }
    return bytes;
}

uint32_t PaletteEntries(const ChunkList &chunks) {
    const size_t at = FindChunk(chunks, "PLTE");
    return at == kNoChunk ? 0 : static_cast<uint32_t>(chunks[at].data.size() / 3);
}

std::vector<uint8_t> JoinedImageData(const ChunkList &chunks) {
    size_t first = 0, last = 0;
    ImageDataRun(chunks, &first, &last);
    std::vector<uint8_t> data;
    for (size_t i = first; first != kNoChunk && i < last; ++i)
        data.insert(data.end(), chunks[i].data.begin(), chunks[i].data.end());
    return data;
}

void PutImageData(ChunkList *chunks, const std::vector<uint8_t> &data, size_t pieces) {
    size_t first = 0, last = 0;
    ImageDataRun(*chunks, &first, &last);
    if (first == kNoChunk) {
        first = FindChunk(*chunks, "IEND");
        last = first = first == kNoChunk ? chunks->size() : first;
    }
    if (pieces == 0) pieces = 1;
    ChunkList run(pieces);
    for (size_t i = 0; i < pieces; ++i) {
        // Piece i takes bytes [i * size / pieces, (i + 1) * size / pieces), counted in 64 bits.
        const auto begin = static_cast<size_t>(uint64_t{i} * data.size() / pieces);
        const auto end = static_cast<size_t>(uint64_t{i + 1} * data.size() / pieces);
        run[i] = {"IDAT", std::vector<uint8_t>(data.begin() + static_cast<ptrdiff_t>(begin),
                                               data.begin() + static_cast<ptrdiff_t>(end))};
    }
    chunks->erase(chunks->begin() + static_cast<ptrdiff_t>(first), chunks->begin() + static_cast<ptrdiff_t>(last));
    chunks->insert(chunks->begin() + static_cast<ptrdiff_t>(first), run.begin(), run.end());
}
