#include "tests/reference/RowFilters.h"

#include <zlib.h>

#include <cstdlib>
#include <string>

namespace {

uint32_t Big32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

struct Header {
    uint32_t width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
};

// The header and the image data chunks joined, up to a chunk that runs past
// the end of the file.
bool Chunks(const uint8_t *file, size_t size, Header *header, std::vector<uint8_t> *data) {
    size_t at = 8;
    bool haveHeader = false;
    while (at + 12 <= size) {
        const uint32_t length = Big32(file + at);
        const std::string type(reinterpret_cast<const char *>(file + at + 4), 4);
        if (length > size - at - 12) break;
        const uint8_t *body = file + at + 8;
        if (type == "IHDR" && length == 13) {
            *header = {Big32(body), Big32(body + 4), body[8], body[9], body[12]};
            haveHeader = true;
        }
        if (type == "IDAT") data->insert(data->end(), body, body + length);
        at += 12 + length;
    }
    return haveHeader;
}

// True when the stream ends as it should; out holds what inflated either way.
bool Inflate(const std::vector<uint8_t> &data, std::vector<uint8_t> *out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = const_cast<Bytef *>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    uint8_t piece[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = piece;
        stream.avail_out = sizeof piece;
        status = inflate(&stream, Z_NO_FLUSH);
        out->insert(out->end(), piece, piece + (sizeof piece - stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END;
}

int Channels(int colorType) { return colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1; }

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

const int kPassFirstColumn[7] = {0, 4, 0, 2, 0, 1, 0}, kPassColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};
const int kPassFirstRow[7] = {0, 0, 4, 0, 2, 0, 1}, kPassRowStep[7] = {8, 8, 8, 4, 4, 2, 2};

uint32_t Reduced(uint32_t size, int first, int step) {
    return size > static_cast<uint32_t>(first) ? (size - first + step - 1) / step : 0;
}

bool TakeRows(const std::vector<uint8_t> &stream, size_t *at, int pass, uint32_t width, uint32_t height,
              size_t bitsPerPixel, std::vector<StoredRow> *rows) {
    if (width == 0 || height == 0) return true;
    const size_t rowBytes = (width * bitsPerPixel + 7) / 8, bpp = (bitsPerPixel + 7) / 8;
    std::vector<uint8_t> above(rowBytes, 0);
    for (uint32_t y = 0; y < height; ++y) {
        if (stream.size() - *at < rowBytes + 1 || stream[*at] > 4) return false;
        StoredRow row;
        row.pass = pass;
        row.filter = stream[*at];
        row.filtered.assign(stream.begin() + *at + 1, stream.begin() + *at + 1 + rowBytes);
        row.above = above;
        row.raw.resize(rowBytes);
        for (size_t i = 0; i < rowBytes; ++i)
            row.raw[i] = static_cast<uint8_t>(row.filtered[i] + FilterPredictor(row.filter, row.raw, above, i, bpp));
        above = row.raw;
        rows->push_back(std::move(row));
        *at += rowBytes + 1;
    }
    return true;
}

bool SplitRows(const Header &header, const std::vector<uint8_t> &stream, std::vector<StoredRow> *rows,
               size_t *bytesPerPixel) {
    const size_t bitsPerPixel = static_cast<size_t>(header.depth) * Channels(header.colorType);
    *bytesPerPixel = (bitsPerPixel + 7) / 8;
    size_t at = 0;
    if (header.interlace == 0) return TakeRows(stream, &at, 0, header.width, header.height, bitsPerPixel, rows);
    for (int pass = 1; pass <= 7; ++pass) {
        uint32_t columns = 0, lines = 0;
        PassSize(header.width, header.height, pass, &columns, &lines);
        if (!TakeRows(stream, &at, pass, columns, lines, bitsPerPixel, rows)) return false;
    }
    return true;
}

}  // namespace

uint8_t FilterPredictor(int filter, const std::vector<uint8_t> &raw, const std::vector<uint8_t> &above, size_t i,
                        size_t bytesPerPixel) {
    const size_t bpp = bytesPerPixel;
    const int a = i >= bpp ? raw[i - bpp] : 0, b = above[i], c = i >= bpp ? above[i - bpp] : 0;
    switch (filter) {
        case 1: return static_cast<uint8_t>(a);
        case 2: return static_cast<uint8_t>(b);
        case 3: return static_cast<uint8_t>((a + b) / 2);
        case 4: return Paeth(a, b, c);
        default: return 0;
    }
}

void PassSize(uint32_t width, uint32_t height, int pass, uint32_t *columns, uint32_t *rows) {
    if (pass == 0) {
        *columns = width;
        *rows = height;
        return;
    }
    *columns = Reduced(width, kPassFirstColumn[pass - 1], kPassColumnStep[pass - 1]);
    *rows = *columns == 0 ? 0 : Reduced(height, kPassFirstRow[pass - 1], kPassRowStep[pass - 1]);
}

bool ReadStoredRows(const uint8_t *file, size_t size, std::vector<StoredRow> *rows, size_t *bytesPerPixel) {
    Header header;
    std::vector<uint8_t> data, stream;
    if (!Chunks(file, size, &header, &data) || !Inflate(data, &stream)) return false;
    return SplitRows(header, stream, rows, bytesPerPixel);
}

bool ReadStoredRowsSoFar(const uint8_t *file, size_t size, std::vector<StoredRow> *rows, size_t *bytesPerPixel) {
    Header header;
    std::vector<uint8_t> data, stream;
    if (!Chunks(file, size, &header, &data)) return false;
    Inflate(data, &stream);
    SplitRows(header, stream, rows, bytesPerPixel);
    return true;
}

bool RowsArriveWhole(const uint8_t *file, size_t size, bool *streamEnds) {
    Header header;
    std::vector<uint8_t> data, stream;
    if (!Chunks(file, size, &header, &data)) return false;
    *streamEnds = Inflate(data, &stream);
    std::vector<StoredRow> rows;
    size_t bytesPerPixel = 0;
    return SplitRows(header, stream, &rows, &bytesPerPixel);
}

int ChosenFilter(const StoredRow &row, size_t bytesPerPixel, unsigned candidates) {
    uint64_t sums[5];
    for (int filter = 0; filter < 5; ++filter) {
        sums[filter] = 0;
        for (size_t i = 0; i < row.raw.size(); ++i) {
            const auto value =
                static_cast<int8_t>(row.raw[i] - FilterPredictor(filter, row.raw, row.above, i, bytesPerPixel));
            sums[filter] += static_cast<uint64_t>(std::abs(static_cast<int>(value)));
        }
    }
    int best = 0;
    bool shared = false;
    for (int filter = 1; filter < 5; ++filter) {
        if ((candidates & (1u << filter)) == 0) continue;
        if (sums[filter] < sums[best]) {
            best = filter;
            shared = false;
        } else if (sums[filter] == sums[best]) {
            shared = true;
        }
    }
    return shared ? 0 : best;
}
