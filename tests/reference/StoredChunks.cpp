#include "tests/reference/StoredChunks.h"

#include <zlib.h>

#include <cstring>

namespace {

uint32_t Big32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// Inflates a zTXt's text; false when the stream is damaged or unfinished.
bool InflateText(const uint8_t *data, size_t size, std::vector<uint8_t> *text) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = const_cast<Bytef *>(data);
    stream.avail_in = static_cast<uInt>(size);
    uint8_t piece[4096];
    int status = Z_OK;
    // Only whether it passes 255 bytes matters to the File Info.
    while (status == Z_OK && text->size() <= 255) {
        stream.next_out = piece;
        stream.avail_out = sizeof piece;
        status = inflate(&stream, Z_NO_FLUSH);
        text->insert(text->end(), piece, piece + (sizeof piece - stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END || (status == Z_OK && text->size() > 255);
}

// Keyword, then the text or compressed text after the zero byte.
bool TakeText(const uint8_t *body, uint32_t length, bool compressed, StoredText *text) {
    const auto *zero = static_cast<const uint8_t *>(std::memchr(body, 0, length));
    if (zero == nullptr) return false;
    const size_t keywordLength = static_cast<size_t>(zero - body);
    if (keywordLength < 1 || keywordLength > 79) return false;
    text->keyword.assign(reinterpret_cast<const char *>(body), keywordLength);
    const uint8_t *rest = zero + 1, *end = body + length;
    if (!compressed) {
        text->text.assign(rest, end);
        return true;
    }
    // Compression method 0, deflate, is the only one.
    return rest < end && *rest == 0 && InflateText(rest + 1, static_cast<size_t>(end - rest - 1), &text->text);
}

void TakeTime(const uint8_t *body, uint32_t length, StoredChunks *stored) {
    if (stored->hasTime || length != 7) return;
    const int month = body[2], day = body[3], hour = body[4], minute = body[5], second = body[6];
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return;
    stored->hasTime = true;
    stored->year = body[0] << 8 | body[1];
    stored->month = month;
    stored->day = day;
}

void TakePhysicalSize(const uint8_t *body, uint32_t length, StoredChunks *stored) {
    if (stored->hasPhysicalSize || length != 9) return;
    stored->hasPhysicalSize = true;
    stored->pixelsPerUnitX = Big32(body);
    stored->pixelsPerUnitY = Big32(body + 4);
    stored->unit = body[8];
}

void TakeGamma(const uint8_t *body, uint32_t length, StoredChunks *stored) {
    if (length != 4 || Big32(body) == 0) return;
    stored->hasGamma = true;
    stored->gamma = Big32(body);
}

}  // namespace

StoredChunks ReadStoredChunks(const uint8_t *file, size_t size) {
    StoredChunks stored;
    size_t at = 8;
    while (size >= 12 && at <= size - 12) {
        const uint32_t length = Big32(file + at);
        const char *type = reinterpret_cast<const char *>(file + at + 4);
        if (length > size - at - 12 || std::memcmp(type, "IDAT", 4) == 0) break;
        const uint8_t *body = file + at + 8;
        StoredText text;
        const bool compressed = std::memcmp(type, "zTXt", 4) == 0;
        if ((compressed || std::memcmp(type, "tEXt", 4) == 0) && TakeText(body, length, compressed, &text))
            stored.texts.push_back(text);
        if (std::memcmp(type, "tIME", 4) == 0) TakeTime(body, length, &stored);
        if (std::memcmp(type, "pHYs", 4) == 0) TakePhysicalSize(body, length, &stored);
        if (std::memcmp(type, "gAMA", 4) == 0) TakeGamma(body, length, &stored);
        at += 12 + length;
    }
    return stored;
}
