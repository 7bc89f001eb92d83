#include "fuzz/ModuleChunkRules.h"

#include <zlib.h>

#include <cctype>
#include <cstring>

namespace {

uint32_t Big32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

bool Is(const char *type, const char *name) { return std::memcmp(type, name, 4) == 0; }

std::string HeaderRefusal(const uint8_t *body, uint32_t length) {
    if (length != 13) return "header length not 13";
    const uint32_t width = Big32(body), height = Big32(body + 4);
    const int depth = body[8], colorType = body[9];
    if (width == 0 || height == 0) return "width or height 0";
    if (width > 32767 || height > 32767) return "width or height above 32767";
    const bool depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    const bool pairOk = colorType == 0 || (colorType == 3 && depth <= 8) ||
                        ((colorType == 2 || colorType == 4 || colorType == 6) && depth >= 8);
    if (!depthOk || !pairOk) return "colour type and depth";
    if (body[10] != 0 || body[11] != 0 || body[12] > 1) return "compression, filter or interlace method";
    return {};
}

struct Seen {
    bool header = false, palette = false;
};

// The rule that refuses a chunk where it stands, empty when it passes.
std::string ChunkRefusal(const char *type, const uint8_t *body, uint32_t length, Seen *seen) {
    if (!seen->header) {
        if (!Is(type, "IHDR")) return "first chunk not IHDR";
        seen->header = true;
        return HeaderRefusal(body, length);
    }
    if (Is(type, "IHDR")) return "second IHDR";
    for (int i = 0; i < 4; ++i)
        if (!std::isalpha(static_cast<unsigned char>(type[i]))) return "chunk type not four letters";
    if (Is(type, "IEND")) return "IEND before the image data";
    if (Is(type, "PLTE")) {
        if (seen->palette) return "second PLTE";
        seen->palette = true;
        if (length % 3 != 0) return "PLTE length not a multiple of 3";
        if (length > 768) return "PLTE of more than 256 entries";
        return {};
    }
    if ((Is(type, "gAMA") || Is(type, "sBIT") || Is(type, "cHRM")) && seen->palette)
        return std::string(type, 4) + " after PLTE";
    if (Is(type, "hIST") && !seen->palette) return "hIST before PLTE";
    const bool known = Is(type, "gAMA") || Is(type, "sBIT") || Is(type, "cHRM") || Is(type, "tRNS") ||
                       Is(type, "bKGD") || Is(type, "pHYs") || Is(type, "oFFs") || Is(type, "hIST") ||
                       Is(type, "tIME") || Is(type, "tEXt") || Is(type, "zTXt");
    if (!known && (type[0] & 0x20) == 0) return "unknown critical chunk";
    return {};
}

}  // namespace

ChunkRuling RuleOnChunks(const uint8_t *file, size_t size) {
    ChunkRuling ruling;
    if (size < 8 || std::memcmp(file, kSignature, 8) != 0) {
        ruling.refusal = "signature";
        return ruling;
    }
    Seen seen;
    size_t at = 8;
    bool inImageData = false;
    while (true) {
        if (size - at < 12) {
            if (!inImageData) ruling.refusal = "file ends before the image data";
            ruling.imageDataEnd = inImageData ? at : 0;
            return ruling;
        }
        const uint32_t length = Big32(file + at);
        const char *type = reinterpret_cast<const char *>(file + at + 4);
        const bool imageData = Is(type, "IDAT") && seen.header;
        if (inImageData && !imageData) {
            ruling.imageDataEnd = at;
            return ruling;
        }
        inImageData = imageData;
        if (length > size - at - 12) {
            // An image data chunk cut short has no CRC to check.
            if (!inImageData) ruling.refusal = "chunk longer than the file";
            ruling.imageDataCrcMismatch = inImageData;
            ruling.imageDataCutShort = inImageData;
            ruling.imageDataEnd = at;
            return ruling;
        }
        const uint8_t *body = file + at + 8;
        const bool crcMatches = crc32(crc32(0, file + at + 4, 4), body, length) == Big32(body + length);
        if (inImageData) {
            ruling.imageDataCrcMismatch |= !crcMatches;
        } else if (!crcMatches) {
            ruling.refusal = "CRC mismatch before the image data";
            return ruling;
        } else {
            ruling.refusal = ChunkRefusal(type, body, length, &seen);
            if (!ruling.refusal.empty()) return ruling;
        }
        at += 12 + length;
    }
}

std::vector<uint8_t> ImageDataPart(const uint8_t *file, size_t size, size_t imageDataEnd) {
    static const uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    std::vector<uint8_t> part(file, file + (imageDataEnd <= size ? imageDataEnd : size));
    part.insert(part.end(), kEnd, kEnd + sizeof kEnd);
    return part;
}

std::vector<uint8_t> ImageDataPartMended(const uint8_t *file, size_t size, size_t imageDataEnd) {
    std::vector<uint8_t> part = ImageDataPart(file, size, imageDataEnd);
    if (imageDataEnd + 12 > size) return part;
    const auto length = static_cast<uint32_t>(size - imageDataEnd - 8);
    std::vector<uint8_t> chunk = {static_cast<uint8_t>(length >> 24), static_cast<uint8_t>(length >> 16),
                                  static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
    chunk.insert(chunk.end(), file + imageDataEnd + 4, file + size);
    const auto crc = static_cast<uint32_t>(crc32(0, chunk.data() + 4, length + 4));
    for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
    part.insert(part.begin() + static_cast<ptrdiff_t>(imageDataEnd), chunk.begin(), chunk.end());
    return part;
}
