// Which chunk sequences an open accepts: every row of the module's chunk
// table, including the places where libpng 1.6 alone would let a file pass.
#include "tests/codec/ReadTestSupport.h"

namespace {

const Bytes kPalette = {1, 2, 3, 4, 5, 6};

PngStream PaletteImage() { return PngStream().Header(1, 1, 8, 3); }
PngStream RgbPixel() { return PngStream().Header(1, 1, 8, 2); }

struct ChunkCase {
    const char *name;
    Bytes file;
    bool opens;
};

Bytes WithEighthSignatureByte(uint8_t value) {
    Bytes file = GrayPixel().Image({0, 0}).End().bytes;
    file[7] = value;
    return file;
}

// The open stops after the first IDAT's length and type.
Bytes IdatHeaderOnly() {
    Bytes file = GrayPixel().bytes;
    file.insert(file.end(), {0, 0, 0, 9, 'I', 'D', 'A', 'T'});
    return file;
}

std::vector<ChunkCase> ChunkCases() {
    return {
        {"plain gray pixel", GrayPixel().Image({0, 0}).End().bytes, true},
        {"eighth signature byte differs", WithEighthSignatureByte(0x0B), false},
        {"gAMA before IHDR", PngStream().Chunk("gAMA", BigEndian(45455)).Header(1, 1, 8, 0).Image({0, 0}).bytes, false},
        {"IHDR of 12 bytes", PngStream().Chunk("IHDR", Bytes(12, 1)).bytes, false},
        {"second IHDR", GrayPixel().Header(1, 1, 8, 0).Image({0, 0}).bytes, false},
        {"gAMA sBIT cHRM before PLTE",
         RgbPixel()
             .Chunk("gAMA", BigEndian(45455))
             .Chunk("sBIT", {8, 8, 8})
             .Chunk("cHRM", Bytes(32, 0))
             .Chunk("PLTE", kPalette)
             .Image({0, 0, 0, 0})
             .bytes,
         true},
        {"gAMA after PLTE",
         RgbPixel().Chunk("PLTE", kPalette).Chunk("gAMA", BigEndian(45455)).Image({0, 0, 0, 0}).bytes, false},
        {"sBIT after PLTE", RgbPixel().Chunk("PLTE", kPalette).Chunk("sBIT", {8, 8, 8}).Image({0, 0, 0, 0}).bytes,
         false},
        {"cHRM after PLTE", RgbPixel().Chunk("PLTE", kPalette).Chunk("cHRM", Bytes(32, 0)).Image({0, 0, 0, 0}).bytes,
         false},
        {"PLTE of 7 bytes", PaletteImage().Chunk("PLTE", Bytes(7, 1)).Image({0, 0}).bytes, false},
        {"second PLTE", RgbPixel().Chunk("PLTE", kPalette).Chunk("PLTE", kPalette).Image({0, 0, 0, 0}).bytes, false},
        {"PLTE of 256 entries", PaletteImage().Chunk("PLTE", Bytes(768, 1)).Image({0, 0}).bytes, true},
        {"PLTE of 257 entries in an RGB image", RgbPixel().Chunk("PLTE", Bytes(771, 1)).Image({0, 0, 0, 0}).bytes,
         false},
        {"palette image without PLTE", PaletteImage().Image({0, 0}).bytes, false},
        {"hIST before PLTE", PaletteImage().Chunk("hIST", {0, 1, 0, 1}).Chunk("PLTE", kPalette).Image({0, 0}).bytes,
         false},
        {"hIST after PLTE", PaletteImage().Chunk("PLTE", kPalette).Chunk("hIST", {0, 1, 0, 1}).Image({0, 0}).bytes,
         true},
        {"tRNS bKGD pHYs oFFs tIME anywhere after IHDR",
         PaletteImage()
             .Chunk("tRNS", {7})
             .Chunk("bKGD", {9})
             .Chunk("pHYs", Bytes(9, 1))
             .Chunk("oFFs", Bytes(9, 0))
             .Chunk("tIME", {7, 0xD0, 1, 2, 3, 4, 5})
             .Chunk("PLTE", kPalette)
             .Image({0, 0})
             .bytes,
         true},
        {"unknown ancillary chunk skipped", GrayPixel().Chunk("quIx", Text("anything")).Image({0, 0}).bytes, true},
        {"unknown critical chunk", GrayPixel().Chunk("QUIX", Text("anything")).Image({0, 0}).bytes, false},
        {"unknown ancillary chunk with a bad CRC",
         GrayPixel().Chunk("quIx", Text("anything"), false).Image({0, 0}).bytes, false},
        {"tEXt with a bad CRC", GrayPixel().Chunk("tEXt", Text("Title\0x"), false).Image({0, 0}).bytes, false},
        {"tEXt without a zero byte", GrayPixel().Chunk("tEXt", Text("no keyword end")).Image({0, 0}).bytes, true},
        {"gAMA of 3 bytes", GrayPixel().Chunk("gAMA", {0, 0, 1}).Image({0, 0}).bytes, true},
        {"gAMA of value 0", GrayPixel().Chunk("gAMA", BigEndian(0)).Image({0, 0}).bytes, true},
        {"iCCP sRGB iTXt sPLT eXIf sCAL pCAL of garbage",
         GrayPixel()
             .Chunk("iCCP", Text("x"))
             .Chunk("sRGB", {9, 9})
             .Chunk("iTXt", Text("k"))
             .Chunk("sPLT", {})
             .Chunk("eXIf", {1})
             .Chunk("sCAL", {0})
             .Chunk("pCAL", {0})
             .Image({0, 0})
             .bytes,
         true},
        {"IEND before IDAT", GrayPixel().End().Image({0, 0}).bytes, false},
        {"IDAT header only", IdatHeaderOnly(), true},
        {"width 32767", PngStream().Header(32767, 1, 8, 0).Image({0}).bytes, true},
        {"width 32768", PngStream().Header(32768, 1, 8, 0).Image({0}).bytes, false},
        {"height 32768", PngStream().Header(1, 32768, 8, 0).Image({0}).bytes, false},
        {"height 0", PngStream().Header(1, 0, 8, 0).Image({0}).bytes, false},
        {"bit depth 3", PngStream().Header(1, 1, 3, 0).Image({0}).bytes, false},
        {"colour type 2 depth 4", PngStream().Header(1, 1, 4, 2).Image({0}).bytes, false},
        {"colour type 3 depth 16", PngStream().Header(1, 1, 16, 3).Image({0}).bytes, false},
        {"colour type 4 depth 2", PngStream().Header(1, 1, 2, 4).Image({0}).bytes, false},
        {"colour type 6 depth 16", PngStream().Header(1, 1, 16, 6).Image({0}).bytes, true},
        {"colour type 5", PngStream().Header(1, 1, 8, 5).Image({0}).bytes, false},
        {"interlace method 2", PngStream().Header(1, 1, 8, 0, 2).Image({0}).bytes, false},
        {"compression method 1", PngStream().Chunk("IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 1, 0, 0}).Image({0}).bytes,
         false},
        {"filter method 1", PngStream().Chunk("IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 0, 1, 0}).Image({0}).bytes, false},
        {"file ends before IDAT", GrayPixel().bytes, false},
    };
}

TEST(ReadChunkTable, EachChunkIsAcceptedOrRefusedWhereItStands) {
    for (const ChunkCase &test : ChunkCases()) {
        SCOPED_TRACE(test.name);
        TempFile file(test.file);
        ReadSession session(file.descriptor());
        EXPECT_EQ(session.Open(), test.opens);
    }
}

TEST(ReadChunkTable, ChunksAfterTheImageDataAreJudgedByReadEnd) {
    const struct {
        const char *type;
        bool goodCrc;
        bool ends;
        int texts;
    } cases[] = {{"quIx", true, true, 0},   {"QUIX", true, false, 0}, {"tIME", true, true, 0},  {"tEXt", true, true, 1},
                 {"tEXt", false, false, 0}, {"zTXt", true, true, 1},  {"zTXt", false, false, 0}};
    for (const auto &test : cases) {
        SCOPED_TRACE(std::string(test.type) + (test.goodCrc ? "" : " with a bad CRC"));
        const std::string type = test.type;
        const Bytes data = type == "zTXt"   ? Bytes{'K', 0, 0, 0x78, 0x9C, 3, 0, 0, 0, 0, 1}
                           : type == "tIME" ? Bytes{7, 0xD0, 1, 2, 3, 4, 5}
                                            : Bytes{'K', 0, 'x'};
        TempFile file(GrayPixel().Image({0, 7}).Chunk(test.type, data, test.goodCrc).End().bytes);
        ReadSession session(file.descriptor());
        ASSERT_TRUE(session.Open() && session.ReadRows());
        EXPECT_EQ(ReadEnd(session.state), test.ends);
        EXPECT_EQ(session.Texts().count, test.texts);
    }
}

TEST(ReadChunkTable, DescribeImageReportsHeaderGammaResolutionAndPalette) {
    const struct {
        const char *name;
        PngStream file;
        bool hasGamma;
        float gamma;
    } cases[] = {
        {"gAMA", PaletteImage().Chunk("gAMA", BigEndian(45455)), true, 0.45455f},
        {"gAMA libpng finds out of range", PaletteImage().Chunk("gAMA", BigEndian(5)), true, 0.00005f},
        {"gAMA then one of value 0", PaletteImage().Chunk("gAMA", BigEndian(220000)).Chunk("gAMA", BigEndian(0)), true,
         2.2f},
        {"gAMA of 3 bytes", PaletteImage().Chunk("gAMA", {0, 0, 1}), false, 0},
        {"gAMA with a garbage cHRM", PaletteImage().Chunk("gAMA", BigEndian(45455)).Chunk("cHRM", Bytes(32, 0xFF)),
         true, 0.45455f},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        PngStream stream = test.file;
        stream.Chunk("PLTE", kPalette).Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x14, 1}).Image({0, 0});
        TempFile file(stream.bytes);
        ReadSession session(file.descriptor());
        ASSERT_TRUE(session.Open());
        const PngImageHeader &header = session.header;
        EXPECT_EQ(header.width, 1u);
        EXPECT_EQ(header.colorType, 3);
        EXPECT_EQ(header.hasGamma, test.hasGamma);
        EXPECT_FLOAT_EQ(header.gamma, test.gamma);
        EXPECT_TRUE(header.hasPhysicalSize);
        EXPECT_EQ(header.pixelsPerUnitX, 2835u);
        EXPECT_EQ(header.pixelsPerUnitY, 2836u);
        EXPECT_EQ(header.unit, 1);
        EXPECT_EQ(header.paletteEntries, 2);
        const HostFormatBlock &block = session.block;
        EXPECT_EQ(Bytes(block.redLookUpTable, block.redLookUpTable + 3), (Bytes{1, 4, 0xEE}));
        EXPECT_EQ(Bytes(block.greenLookUpTable, block.greenLookUpTable + 3), (Bytes{2, 5, 0xEE}));
        EXPECT_EQ(Bytes(block.blueLookUpTable, block.blueLookUpTable + 3), (Bytes{3, 6, 0xEE}));
    }
}

}  // namespace
