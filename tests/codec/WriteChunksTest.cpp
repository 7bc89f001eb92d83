// The chunks a save puts in the file: which, in what order, with what
// contents, and how the image data is compressed and cut into chunks.
#include <cstring>

#include "WriteTestSupport.h"

namespace {

std::vector<Chunk> SaveAndParse(const PngHeaderPlan &plan, const Rows &rows, uint32_t compressionLevel = 9) {
    WritableFile file;
    EXPECT_TRUE(SaveToFile(file, plan, rows, compressionLevel));
    return ParseChunks(file.Contents());
}

Bytes BigEndianBytes(std::initializer_list<uint32_t> values) {
    Bytes bytes;
    for (uint32_t value : values)
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
    return bytes;
}

PngTextEntry TextEntry(const char *keyword, const std::string &text, int compression = -1) {
    return {compression, keyword, reinterpret_cast<const uint8_t *>(text.data()), static_cast<uint32_t>(text.size())};
}

Bytes TextChunkData(const std::string &keyword, const std::string &text) {
    Bytes data(keyword.begin(), keyword.end());
    data.push_back(0);
    data.insert(data.end(), text.begin(), text.end());
    return data;
}

using WriteChunksTest = WriteCodecTest;

TEST_F(WriteChunksTest, HeaderChunksComeInOrderWithTheirValues) {
    uint8_t red[4] = {1, 2, 3, 4}, green[4] = {5, 6, 7, 8}, blue[4] = {9, 10, 11, 12};
    const std::string software = "Image Host", author = "Someone", note = "x";
    PngTextEntry entries[3] = {TextEntry("Software", software), TextEntry("Author", author),
                               TextEntry("Comment", note)};
    PngTextList texts{entries, 3, 3, true, {2024, 2, 29, 23, 59, 60}};
    PngHeaderPlan plan = PlanFor(5, 4, 8, PNG_COLOR_TYPE_PALETTE);
    plan.red = red;
    plan.green = green;
    plan.blue = blue;
    plan.paletteEntries = 4;
    plan.hasGamma = true;
    plan.gamma = 1 / 2.0000305;
    plan.hasChromaticities = true;
    plan.whiteX = 0.3127, plan.whiteY = 0.329, plan.redX = 0.64, plan.redY = 0.33;
    plan.greenX = 0.3, plan.greenY = 0.6, plan.blueX = 0.15, plan.blueY = 0.06;
    plan.hasPhysicalSize = true;
    plan.pixelsPerUnitX = 2835;  // 72 dpi
    plan.pixelsPerUnitY = 5669;  // 144 dpi
    plan.unit = PNG_RESOLUTION_METER;
    plan.texts = &texts;
    const std::vector<Chunk> chunks = SaveAndParse(plan, Rows(4, Bytes(5, 3)));

    EXPECT_EQ(ChunkTypes(chunks), (std::vector<std::string>{"IHDR", "gAMA", "cHRM", "PLTE", "pHYs", "tIME", "tEXt",
                                                            "tEXt", "tEXt", "IDAT", "IEND"}));
    ASSERT_EQ(chunks.size(), 11u);
    EXPECT_EQ(chunks[0].data, (Bytes{0, 0, 0, 5, 0, 0, 0, 4, 8, 3, 0, 0, 0}));
    EXPECT_EQ(chunks[1].data, BigEndianBytes({49999}));
    EXPECT_EQ(chunks[2].data, BigEndianBytes({31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000}));
    EXPECT_EQ(chunks[3].data, (Bytes{1, 5, 9, 2, 6, 10, 3, 7, 11, 4, 8, 12}));
    Bytes physical = BigEndianBytes({2835, 5669});
    physical.push_back(1);
    EXPECT_EQ(chunks[4].data, physical);
    EXPECT_EQ(chunks[5].data, (Bytes{0x07, 0xe8, 2, 29, 23, 59, 60}));
    EXPECT_EQ(chunks[6].data, TextChunkData("Software", "Image Host"));
    EXPECT_EQ(chunks[7].data, TextChunkData("Author", "Someone"));
    EXPECT_EQ(chunks[8].data, TextChunkData("Comment", "x"));
}

TEST_F(WriteChunksTest, APlainPlanWritesOnlyTheImage) {
    const PngTextList noTexts{nullptr, 0, 0, false, {}};
    for (const PngTextList *texts : {static_cast<const PngTextList *>(nullptr), &noTexts}) {
        PngHeaderPlan plan = PlanFor(3, 3, 8, PNG_COLOR_TYPE_GRAY);
        plan.texts = texts;
        EXPECT_EQ(ChunkTypes(SaveAndParse(plan, Rows(3, Bytes(3)))),
                  (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    }
}

// Gamma and chromaticities are stored × 100000, rounded to the nearest.
TEST_F(WriteChunksTest, GammaIsRoundedToTheNearestHundredThousandth) {
    const struct {
        double gamma;
        uint32_t stored;
    } cases[] = {{0.49999237, 49999}, {1 / 2.2, 45455}, {0.454546, 45455}, {0.45454, 45454}, {1.0, 100000}};
    for (const auto &test : cases) {
        SCOPED_TRACE(test.gamma);
        PngHeaderPlan plan = PlanFor(2, 2, 8, PNG_COLOR_TYPE_GRAY);
        plan.hasGamma = true;
        plan.gamma = test.gamma;
        const std::vector<Chunk> chunks = SaveAndParse(plan, Rows(2, Bytes(2)));
        const Chunk *gamma = FindChunk(chunks, "gAMA");
        ASSERT_NE(gamma, nullptr);
        EXPECT_EQ(gamma->data, BigEndianBytes({test.stored}));
    }
}

TEST_F(WriteChunksTest, TextsKeepListOrderAndFullLength) {
    std::vector<std::string> values;
    std::vector<std::string> keywords;
    for (int i = 0; i < 20; ++i) {
        keywords.push_back("Key" + std::to_string(i));
        values.push_back(std::string(i * 7, static_cast<char>('a' + i)));  // the first one empty
    }
    values[5] = std::string("before\0after\0", 13);
    std::vector<PngTextEntry> entries;
    for (int i = 0; i < 20; ++i) entries.push_back(TextEntry(keywords[i].c_str(), values[i]));
    PngTextList texts{entries.data(), 24, 20, false, {}};
    PngHeaderPlan plan = PlanFor(2, 2, 8, PNG_COLOR_TYPE_GRAY);
    plan.texts = &texts;
    const std::vector<Chunk> chunks = SaveAndParse(plan, Rows(2, Bytes(2)));

    std::vector<Bytes> written;
    for (const Chunk &chunk : chunks)
        if (chunk.type == "tEXt") written.push_back(chunk.data);
    ASSERT_EQ(written.size(), 20u);
    values[5] = "before after ";
    for (int i = 0; i < 20; ++i) EXPECT_EQ(written[i], TextChunkData(keywords[i], values[i])) << i;
    EXPECT_EQ(FindChunk(chunks, "tIME"), nullptr);
}

// An entry marked compressed goes out as zTXt, its text deflated.
TEST_F(WriteChunksTest, CompressedEntryBecomesZtxt) {
    const std::string text(500, 'z');
    PngTextEntry entries[1] = {TextEntry("Description", text, 0)};
    PngTextList texts{entries, 1, 1, false, {}};
    PngHeaderPlan plan = PlanFor(2, 2, 8, PNG_COLOR_TYPE_GRAY);
    plan.texts = &texts;
    const std::vector<Chunk> chunks = SaveAndParse(plan, Rows(2, Bytes(2)));
    const Chunk *chunk = FindChunk(chunks, "zTXt");
    ASSERT_NE(chunk, nullptr);
    const size_t keywordEnd = std::strlen("Description");
    ASSERT_GT(chunk->data.size(), keywordEnd + 2);
    EXPECT_EQ(std::string(chunk->data.begin(), chunk->data.begin() + keywordEnd), "Description");
    EXPECT_EQ(chunk->data[keywordEnd + 1], 0);  // deflate
    Bytes inflated(text.size());
    uLongf inflatedSize = inflated.size();
    ASSERT_EQ(uncompress(inflated.data(), &inflatedSize, &chunk->data[keywordEnd + 2],
                         chunk->data.size() - keywordEnd - 2),
              Z_OK);
    EXPECT_EQ(std::string(inflated.begin(), inflated.end()), text);
}

TEST_F(WriteChunksTest, ImageDataChunksHoldSixteenKilobytesButTheLast) {
    const PngHeaderPlan plan = PlanFor(512, 512, 8, PNG_COLOR_TYPE_RGB);
    const std::vector<Chunk> chunks = SaveAndParse(plan, NoiseRows(plan), 1);
    std::vector<size_t> sizes;
    for (const Chunk &chunk : chunks)
        if (chunk.type == "IDAT") sizes.push_back(chunk.data.size());
    ASSERT_GT(sizes.size(), 40u);
    for (size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 16384u) << i;
    EXPECT_GT(sizes.back(), 0u);
    EXPECT_LE(sizes.back(), 16384u);
}

// The zlib header: CMF 0x78 is deflate with a 32K window; FLEVEL, the top two
// bits of the next byte, is 0 for the fastest level and 3 for the best.
TEST_F(WriteChunksTest, CompressionLevelIsOneOrNine) {
    const struct {
        uint32_t level;
        int flevel;
    } cases[] = {{1, 0}, {9, 3}, {5, 3}, {0, 3}, {2, 3}};
    const PngHeaderPlan plan = PlanFor(128, 128, 8, PNG_COLOR_TYPE_RGB);
    for (const auto &test : cases) {
        SCOPED_TRACE(test.level);
        const Bytes stream = ImageDataStream(SaveAndParse(plan, SmoothRows(plan), test.level));
        ASSERT_GE(stream.size(), 2u);
        EXPECT_EQ(stream[0], 0x78);
        EXPECT_EQ(stream[1] >> 6, test.flevel);
    }
}

Bytes Deflate(const Bytes &data, int level, int strategy) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy) != Z_OK) return {};
    Bytes out(deflateBound(&z, data.size()));
    z.next_in = const_cast<uint8_t *>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return status == Z_STREAM_END ? out : Bytes{};
}

// Deflate's output depends on every setting: the stream must be what zlib
// makes of the filtered rows with window 15, memory level 8 and the default
// strategy, not with Z_FILTERED, libpng's own choice for filtered rows
// (which only the slower levels tell apart).
TEST_F(WriteChunksTest, ImageDataIsDeflatedWithTheDefaultStrategy) {
    const PngHeaderPlan plan = PlanFor(200, 150, 8, PNG_COLOR_TYPE_RGB);
    for (uint32_t level : {1u, 9u}) {
        SCOPED_TRACE(level);
        const std::vector<Chunk> chunks = SaveAndParse(plan, SmoothRows(plan), level);
        const Bytes filtered = InflateImageData(chunks, plan.height * (RowBytes(plan) + 1));
        ASSERT_FALSE(filtered.empty());
        const Bytes stream = ImageDataStream(chunks);
        EXPECT_EQ(stream, Deflate(filtered, static_cast<int>(level), Z_DEFAULT_STRATEGY));
        if (level == 9) {
            EXPECT_NE(stream, Deflate(filtered, static_cast<int>(level), Z_FILTERED));
        }
    }
}

}  // namespace
