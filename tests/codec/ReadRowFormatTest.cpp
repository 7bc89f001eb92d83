// The read row format: what one stored row becomes, by bit depth and colour
// type, in a buffer of exactly the host's row size.
#include "tests/codec/ReadTestSupport.h"

namespace {

struct RowCase {
    const char *name;
    uint32_t width;
    int depth;
    int colorType;
    Bytes stored;  // the row's bytes as stored, after filter type 0
    Bytes read;
};

// Palette and transparency chunks fitting the colour type, so that a row
// that turned tRNS into alpha would show.
PngStream ImageFor(const RowCase &test) {
    PngStream stream = PngStream().Header(test.width, 1, test.depth, test.colorType);
    if (test.colorType == 3) stream.Chunk("PLTE", Bytes(16 * 3, 9)).Chunk("tRNS", {0, 0, 0});
    if (test.colorType == 0) stream.Chunk("tRNS", {0, 0});
    if (test.colorType == 2) stream.Chunk("tRNS", Bytes(6, 0));
    Bytes row{0};
    row.insert(row.end(), test.stored.begin(), test.stored.end());
    return stream.Image(row).End();
}

TEST(ReadRowFormat, EachDepthAndColourTypeReadsAsTheHostWantsIt) {
    const RowCase cases[] = {
        {"1-bit gray is inverted", 16, 1, 0, {0x0F, 0xF0}, {0xF0, 0x0F}},
        {"1-bit palette is inverted", 16, 1, 3, {0x0F, 0xF0}, {0xF0, 0x0F}},
        {"1-bit gray, partial byte", 3, 1, 0, {0xA0}, {0x5F}},
        {"2-bit gray is scaled", 4, 2, 0, {0x87}, {170, 0, 85, 255}},
        {"2-bit palette stays an index", 4, 2, 3, {0x87}, {2, 0, 1, 3}},
        {"4-bit gray is scaled", 3, 4, 0, {0x5F, 0x10}, {85, 255, 17}},
        {"4-bit palette stays an index", 3, 4, 3, {0x5F, 0x10}, {5, 15, 1}},
        {"8-bit gray", 2, 8, 0, {0, 200}, {0, 200}},
        {"8-bit RGB", 1, 8, 2, {1, 2, 3}, {1, 2, 3}},
        {"8-bit gray and alpha", 1, 8, 4, {7, 8}, {7, 8}},
        {"8-bit RGBA", 1, 8, 6, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"16-bit gray keeps the high byte", 2, 16, 0, {0x12, 0xFF, 0x00, 0x80}, {0x12, 0x00}},
        {"16-bit RGB", 1, 16, 2, {0x12, 0xFF, 0x34, 0x80, 0xFF, 0xFF}, {0x12, 0x34, 0xFF}},
        {"16-bit gray and alpha", 1, 16, 4, {0xAB, 0xCD, 0x01, 0xFF}, {0xAB, 0x01}},
        {"16-bit RGBA", 1, 16, 6, {1, 0xFF, 2, 0xFF, 3, 0xFF, 4, 0xFF}, {1, 2, 3, 4}},
    };
    for (const RowCase &test : cases) {
        SCOPED_TRACE(test.name);
        TempFile file(ImageFor(test).bytes);
        ReadSession session(file.descriptor());
        ASSERT_TRUE(session.ReadAll());
        ASSERT_EQ(session.rows.size(), 1u);
        EXPECT_EQ(session.rows[0], test.read);
    }
}

TEST(ReadRowFormat, NoRowIsReadPastTheLastOne) {
    TempFile file(GrayPixel().Image({0, 7}).End().bytes);
    ReadSession session(file.descriptor());
    ASSERT_TRUE(session.Open() && session.ReadRows());
    uint8_t row[8] = {};
    EXPECT_FALSE(ReadRow(session.state, row));
    EXPECT_TRUE(ReadEnd(session.state));
}

}  // namespace
