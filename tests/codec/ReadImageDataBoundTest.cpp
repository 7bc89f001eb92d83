// The image data a read hands libpng from the last row on stops at the most
// that row and the stream's end can need: what wasteful encoders write still
// reads whole, and data past the last row is not inflated.
#include "codec/CodecRecord.h"
#include "codec/ImageDataBound.h"
#include "tests/codec/ReadTestSupport.h"

namespace {

// How libpng asks for image data: no more than this a read.
const uint64_t kLibpngReadPiece = 8192;

struct Shape {
    uint32_t width, height;
    int depth, colorType, interlace;
};

const Shape kShapes[] = {{1, 1, 8, 0, 0},  {1, 1, 8, 2, 1},   {3, 5, 8, 2, 1},  {100, 7, 8, 6, 0},
                         {33, 9, 1, 0, 1}, {1, 200, 16, 4, 0}, {257, 3, 2, 3, 0}, {64, 64, 16, 6, 1}};

// The filtered rows of every pass, filter byte 0 and bytes that do not
// compress.
Rows FilteredRows(const Shape &shape) {
    Rows rows;
    uint32_t seed = 7;
    for (int pass = 0; pass < (shape.interlace ? 7 : 1); ++pass) {
        const uint32_t columns = shape.interlace ? PNG_PASS_COLS(shape.width, pass) : shape.width;
        const uint32_t count = shape.interlace ? PNG_PASS_ROWS(shape.height, pass) : shape.height;
        if (columns == 0) continue;
        const size_t bytes = (size_t(columns) * shape.depth * Channels(shape.colorType) + 7) / 8;
        for (uint32_t y = 0; y < count; ++y) {
            Bytes row(1 + bytes, 0);
            for (size_t i = 1; i < row.size(); ++i) row[i] = uint8_t((seed = seed * 1103515245 + 12345) >> 16);
            rows.push_back(row);
        }
    }
    return rows;
}

// A zlib stream of the rows flushed after each one, as streaming encoders
// write; level 0 gives stored blocks, the fixed strategy 9-bit literals.
Bytes FlushedEveryRow(const Rows &rows, int level, int strategy) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, 15, 9, strategy);
    Bytes out;
    for (size_t r = 0; r < rows.size(); ++r) {
        Bytes piece(deflateBound(&stream, rows[r].size()) + 64);
        stream.next_in = const_cast<Bytef *>(rows[r].data());
        stream.avail_in = uInt(rows[r].size());
        stream.next_out = piece.data();
        stream.avail_out = uInt(piece.size());
        deflate(&stream, r + 1 == rows.size() ? Z_FINISH : Z_SYNC_FLUSH);
        out.insert(out.end(), piece.begin(), piece.end() - stream.avail_out);
    }
    deflateEnd(&stream);
    return out;
}

PngStream ImageWith(const Shape &shape, const Bytes &zlibStream) {
    PngStream png = PngStream().Header(shape.width, shape.height, shape.depth, shape.colorType, shape.interlace);
    if (shape.colorType == 3) png.Chunk("PLTE", Bytes(3 * 4, 0x40));
    return png.Chunk("IDAT", zlibStream).End();
}

uint64_t Bound(const Shape &shape) {
    return LargestImageData(shape.width, shape.height, shape.depth, Channels(shape.colorType), shape.interlace);
}

TEST(ImageDataBound, WastefulEncodersStayWithinItAndTheirFilesReadWhole) {
    for (const Shape &shape : kShapes) {
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
            SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height) + " colour type " +
                         std::to_string(shape.colorType) + (strategy == Z_FIXED ? " fixed codes" : " stored"));
            const Bytes data = FlushedEveryRow(FilteredRows(shape), strategy == Z_FIXED ? 1 : 0, strategy);
            EXPECT_LE(data.size(), Bound(shape));
            TempFile file(ImageWith(shape, data).bytes);
            ReadSession session(file.descriptor());
            ASSERT_TRUE(session.ReadAll());
            EXPECT_FALSE(session.state.codecRecord->stream.imageDataRefused);
        }
    }
}

// Rows first, then far more data in the same stream: every row arrives, the
// rest is refused before libpng has inflated more than a little of it.
TEST(ImageDataBound, DataPastTheLastRowIsNotHandedOver) {
    for (int interlace : {0, 1}) {
        const Shape shape{2, 3, 8, 0, interlace};
        Bytes rows;
        for (const Bytes &row : FilteredRows(shape)) rows.insert(rows.end(), row.begin(), row.end());
        Bytes all = rows;
        uint32_t seed = 3;
        for (int i = 0; i < 1 << 16; ++i) all.push_back(uint8_t((seed = seed * 1103515245 + 12345) >> 16));
        TempFile file(ImageWith(shape, Deflated(all)).bytes);
        ReadSession session(file.descriptor());
        ASSERT_TRUE(session.Open() && session.ReadRows()) << "interlace " << interlace;
        const ChunkStream &stream = session.state.codecRecord->stream;
        EXPECT_TRUE(stream.imageDataRefused);
        // Counted once the last row is whole, in pieces no larger than the
        // bound for one row: one piece reaches it, the next is refused.
        const uint64_t rowBound = LargestImageData(shape.width, 1, shape.depth, Channels(shape.colorType), 0);
        EXPECT_LE(stream.imageDataBytes, 2 * rowBound);
        EXPECT_FALSE(ReadEnd(session.state)) << "the end is not reached past refused data";
    }
}

// Empty stored blocks cost 5 bytes and give nothing: rows that come after
// more of them than the whole image's bound still read, the last row too,
// since until the last row is whole libpng inflates no more than each row
// needs.
TEST(ImageDataBound, RowsAfterDataThatGivesNothingStillRead) {
    const Shape shape{4, 2, 8, 0, 0};
    const Bytes rows[] = {{0, 1, 2, 3, 4}, {0, 5, 6, 7, 8}};
    for (size_t emptyBefore : {0, 1}) {
        SCOPED_TRACE("empty blocks before row " + std::to_string(emptyBefore));
        Bytes data = {0x78, 0x01};
        for (size_t r = 0; r < 2; ++r) {
            if (r == emptyBefore)
                for (int i = 0; i < 20000; ++i) data.insert(data.end(), {0x00, 0x00, 0x00, 0xFF, 0xFF});
            const uint8_t final = r == 1 ? 0x01 : 0x00;
            data.insert(data.end(), {final, uint8_t(rows[r].size()), 0x00, uint8_t(~rows[r].size()), 0xFF});
            data.insert(data.end(), rows[r].begin(), rows[r].end());
        }
        Bytes all = rows[0];
        all.insert(all.end(), rows[1].begin(), rows[1].end());
        const Bytes sum = BigEndian(uint32_t(adler32(adler32(0, Z_NULL, 0), all.data(), uInt(all.size()))));
        data.insert(data.end(), sum.begin(), sum.end());
        ASSERT_GT(data.size(), Bound(shape) + kLibpngReadPiece);
        TempFile file(ImageWith(shape, data).bytes);
        ReadSession session(file.descriptor());
        ASSERT_TRUE(session.ReadAll());
        EXPECT_FALSE(session.state.codecRecord->stream.imageDataRefused);
    }
}

}  // namespace
