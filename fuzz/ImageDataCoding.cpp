#include "fuzz/ImageDataCoding.h"

#include <zlib.h>

namespace {

// One stored row as it goes into the stream: the filter byte, then each byte
// less its predictor.
void AppendFiltered(const StoredRow &row, size_t bytesPerPixel, std::vector<uint8_t> *out) {
    out->push_back(row.filter);
    for (size_t i = 0; i < row.raw.size(); ++i)
        out->push_back(static_cast<uint8_t>(row.raw[i] - FilterPredictor(row.filter, row.raw, row.above, i,
                                                                          bytesPerPixel)));
}

bool DeflatePiece(z_stream *stream, const std::vector<uint8_t> &piece, int flush, std::vector<uint8_t> *out) {
    stream->next_in = const_cast<Bytef *>(piece.data());
    stream->avail_in = static_cast<uInt>(piece.size());
    uint8_t buffer[16384];
    int status = Z_OK;
    do {
        stream->next_out = buffer;
        stream->avail_out = sizeof buffer;
        status = deflate(stream, flush);
        if (status == Z_STREAM_ERROR) return false;
        out->insert(out->end(), buffer, buffer + (sizeof buffer - stream->avail_out));
    } while (stream->avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    return true;
}

}  // namespace

bool DecodeImageRows(const ChunkList &chunks, uint64_t largest, ImageRows *image) {
    PngHeader header;
    if (!ReadHeader(chunks, &header) || StoredImageBytes(header) > largest) return false;
    // The header that was measured, whatever other IHDR chunks follow.
    ChunkList kept = {{"IHDR", HeaderData(header)}};
    for (const PngChunk &chunk : chunks)
        if (IsType(chunk, "IDAT")) kept.push_back(chunk);
    const std::vector<uint8_t> file = WriteChunkList(kept);
    image->rows.clear();
    return ReadStoredRows(file.data(), file.size(), &image->rows, &image->bytesPerPixel);
}

ImageRows BlankImageRows(const PngHeader &header) {
    ImageRows image;
    image.bytesPerPixel = (BitsPerPixel(header) + 7) / 8;
    for (int pass = header.interlace == 0 ? 0 : 1; pass <= (header.interlace == 0 ? 0 : 7); ++pass) {
        uint32_t columns = 0, rows = 0;
        PassSize(header.width, header.height, pass, &columns, &rows);
        const auto rowBytes = static_cast<size_t>(StoredRowBytes(header, columns));
        for (uint32_t y = 0; y < rows; ++y) {
            StoredRow row;
            row.pass = pass;
            row.raw.assign(rowBytes, 0);
            image.rows.push_back(std::move(row));
        }
    }
    return image;
}

std::vector<uint8_t> EncodeImageRows(const ImageRows &image, const DeflateChoice &choice) {
    z_stream stream{};
    std::vector<uint8_t> out;
    if (deflateInit2(&stream, choice.level, Z_DEFLATED, choice.windowBits, choice.memLevel, choice.strategy) != Z_OK)
        return out;
    std::vector<uint8_t> filtered;
    const std::vector<uint8_t> *above = nullptr;
    int pass = -1;
    bool good = true;
    for (size_t r = 0; r < image.rows.size() && good; ++r) {
        StoredRow row = image.rows[r];
        // The row above is the one before in the same pass; the first row of a pass has zeros above.
        if (row.pass != pass || above == nullptr || above->size() != row.raw.size())
            row.above.assign(row.raw.size(), 0);
        else
            row.above = *above;
        pass = row.pass;
        above = &image.rows[r].raw;
        AppendFiltered(row, image.bytesPerPixel, &filtered);
        if (choice.flushEachRow || r + 1 == image.rows.size()) {
            good = DeflatePiece(&stream, filtered, r + 1 == image.rows.size() ? Z_FINISH : Z_SYNC_FLUSH, &out);
            filtered.clear();
        }
    }
    if (image.rows.empty()) good = DeflatePiece(&stream, filtered, Z_FINISH, &out);
    deflateEnd(&stream);
    if (!good) out.clear();
    return out;
}

std::vector<uint8_t> EncodeRunRows(const PngHeader &header, uint8_t value, uint8_t step, uint8_t filter) {
    z_stream stream{};
    std::vector<uint8_t> out;
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 9, Z_RLE) != Z_OK) return out;
    const size_t bytesPerPixel = (BitsPerPixel(header) + 7) / 8;
    std::vector<uint8_t> filtered;
    bool good = true;
    for (int pass = header.interlace == 0 ? 0 : 1; pass <= (header.interlace == 0 ? 0 : 7) && good; ++pass) {
        uint32_t columns = 0, rows = 0;
        PassSize(header.width, header.height, pass, &columns, &rows);
        StoredRow row;
        row.filter = filter;
        row.raw.assign(static_cast<size_t>(StoredRowBytes(header, columns)), 0);
        for (uint32_t y = 0; y < rows && good; ++y) {
            row.above.swap(row.raw);
            if (y == 0) row.above.assign(row.raw.size(), 0);
            row.raw.assign(row.above.size(), static_cast<uint8_t>(value + y * step));
            AppendFiltered(row, bytesPerPixel, &filtered);
            if (filtered.size() >= (1u << 20)) {
                good = DeflatePiece(&stream, filtered, Z_NO_FLUSH, &out);
                filtered.clear();
            }
        }
    }
    if (good) good = DeflatePiece(&stream, filtered, Z_FINISH, &out);
    deflateEnd(&stream);
    if (!good) out.clear();
    return out;
}
