#include "PngBytes.h"

#include <zlib.h>

namespace {

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t BigEndian(const uint8_t *bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

int Channels(int colorType) {
    switch (colorType) {
        case 2: return 3;
        case 4: return 2;
        case 6: return 4;
        default: return 1;
    }
}

std::vector<uint8_t> ImageData(const std::vector<uint8_t> &file) {
    std::vector<uint8_t> data;
    for (const Chunk &chunk : Chunks(file))
        if (chunk.type == "IDAT") data.insert(data.end(), chunk.data.begin(), chunk.data.end());
    return data;
}

bool Inflate(const std::vector<uint8_t> &in, size_t expected, std::vector<uint8_t> *out) {
    out->assign(expected, 0);
    uLongf size = static_cast<uLongf>(expected);
    const int status = uncompress(out->data(), &size, in.data(), static_cast<uLong>(in.size()));
    return status == Z_OK && size == expected;
}

}  // namespace

bool HasPngSignature(const std::vector<uint8_t> &file) {
    return file.size() >= 8 && std::equal(kSignature, kSignature + 8, file.begin());
}

std::vector<Chunk> Chunks(const std::vector<uint8_t> &file) {
    std::vector<Chunk> chunks;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = BigEndian(&file[at]);
        if (length > file.size() - at - 12) break;
        Chunk chunk;
        chunk.type.assign(reinterpret_cast<const char *>(&file[at + 4]), 4);
        chunk.data.assign(file.begin() + static_cast<long>(at + 8), file.begin() + static_cast<long>(at + 8 + length));
        chunks.push_back(chunk);
        at += 12 + length;
    }
    return chunks;
}

bool ReadHeader(const std::vector<uint8_t> &file, PngHeader *header) {
    const std::vector<Chunk> chunks = Chunks(file);
    if (chunks.empty() || chunks[0].type != "IHDR" || chunks[0].data.size() != 13) return false;
    const uint8_t *data = chunks[0].data.data();
    header->width = BigEndian(data);
    header->height = BigEndian(data + 4);
    header->bitDepth = data[8];
    header->colorType = data[9];
    header->interlace = data[12];
    return true;
}

int ZlibLevelClass(const std::vector<uint8_t> &file) {
    for (const Chunk &chunk : Chunks(file))
        if (chunk.type == "IDAT" && chunk.data.size() >= 2) return chunk.data[1] >> 6;
    return -1;
}

std::vector<int> RowFilters(const std::vector<uint8_t> &file) {
    std::vector<int> filters;
    PngHeader header;
    if (!ReadHeader(file, &header) || header.interlace != 0) return filters;
    const size_t rowBytes =
        1 + (size_t{header.width} * static_cast<size_t>(Channels(header.colorType) * header.bitDepth) + 7) / 8;
    std::vector<uint8_t> rows;
    if (!Inflate(ImageData(file), rowBytes * header.height, &rows)) return filters;
    for (uint32_t y = 0; y < header.height; ++y) filters.push_back(rows[y * rowBytes]);
    return filters;
}

std::vector<std::pair<std::string, std::string>> TextChunks(const std::vector<uint8_t> &file) {
    std::vector<std::pair<std::string, std::string>> texts;
    for (const Chunk &chunk : Chunks(file)) {
        if (chunk.type != "tEXt") continue;
        const std::string data(chunk.data.begin(), chunk.data.end());
        const size_t zero = data.find('\0');
        if (zero != std::string::npos) texts.emplace_back(data.substr(0, zero), data.substr(zero + 1));
    }
    return texts;
}
