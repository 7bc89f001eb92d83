// Every colour type the module saves, decoded again by plain libpng.
#include "WriteTestSupport.h"

namespace {

struct ColorCase {
    const char *name;
    int colorType;
    int bitDepth;
    uint32_t width;
};

const ColorCase kColorCases[] = {
    {"Gray1", PNG_COLOR_TYPE_GRAY, 1, 13},  // 13 columns: the last byte is partly padding
    {"Gray8", PNG_COLOR_TYPE_GRAY, 8, 21},
    {"Rgb", PNG_COLOR_TYPE_RGB, 8, 21},
    {"Palette", PNG_COLOR_TYPE_PALETTE, 8, 21},
    {"GrayAlpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, 21},
    {"Rgba", PNG_COLOR_TYPE_RGB_ALPHA, 8, 21},
};

// Test names show the case's name rather than its bytes.
void PrintTo(const ColorCase &test, std::ostream *out) { *out << test.name; }

struct PaletteTables {
    uint8_t red[256], green[256], blue[256];
    PaletteTables() {
        for (int i = 0; i < 256; ++i) {
            red[i] = static_cast<uint8_t>(i);
            green[i] = static_cast<uint8_t>(255 - i);
            blue[i] = static_cast<uint8_t>(i * 7);
        }
    }
};

// The host's 1-bit rows have 1 for black; the file's have 1 for white.
Rows Complemented(Rows rows) {
    for (Bytes &row : rows)
        for (uint8_t &byte : row) byte = static_cast<uint8_t>(~byte);
    return rows;
}

// Bits past the last column of 1-bit rows carry nothing and are not compared.
Rows PaddingCleared(Rows rows, uint32_t width) {
    const uint8_t lastMask = static_cast<uint8_t>(0xff00 >> (width % 8 == 0 ? 8 : width % 8));
    for (Bytes &row : rows) row.back() &= lastMask;
    return rows;
}

class WriteRoundTripTest : public WriteCodecTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(WriteRoundTripTest, PlainLibpngReadsBackTheSamePixels) {
    const ColorCase &test = GetParam();
    PngHeaderPlan plan = PlanFor(test.width, 17, test.bitDepth, test.colorType);
    PaletteTables tables;
    if (test.colorType == PNG_COLOR_TYPE_PALETTE) {
        plan.red = tables.red;
        plan.green = tables.green;
        plan.blue = tables.blue;
        plan.paletteEntries = 256;
    }
    const Rows rows = NoiseRows(plan);
    WritableFile file;
    ASSERT_TRUE(SaveToFile(file, plan, rows));

    const DecodedPng image = DecodePng(file.path());
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(image.width, plan.width);
    EXPECT_EQ(image.height, plan.height);
    EXPECT_EQ(image.bitDepth, test.bitDepth);
    EXPECT_EQ(image.colorType, test.colorType);
    EXPECT_EQ(image.interlace, PNG_INTERLACE_NONE);
    if (test.bitDepth == 1)
        EXPECT_EQ(PaddingCleared(image.rows, plan.width), PaddingCleared(Complemented(rows), plan.width));
    else
        EXPECT_EQ(image.rows, rows);
    if (test.colorType == PNG_COLOR_TYPE_PALETTE) {
        ASSERT_EQ(image.palette.size(), 256u);
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(image.palette[i].red, tables.red[i]);
            EXPECT_EQ(image.palette[i].green, tables.green[i]);
            EXPECT_EQ(image.palette[i].blue, tables.blue[i]);
        }
    } else {
        EXPECT_TRUE(image.palette.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(ColorTypes, WriteRoundTripTest, ::testing::ValuesIn(kColorCases),
                         [](const ::testing::TestParamInfo<ColorCase> &info) { return std::string(info.param.name); });

struct InterlaceCase {
    const char *name;
    int colorType;
    uint32_t width;
    uint32_t height;
};

void PrintTo(const InterlaceCase &test, std::ostream *out) { *out << test.name; }

class WriteInterlaceTest : public WriteCodecTest, public ::testing::WithParamInterface<InterlaceCase> {};

TEST_P(WriteInterlaceTest, PassRowsDecodeToTheWholeImage) {
    const InterlaceCase &test = GetParam();
    PngHeaderPlan plan = PlanFor(test.width, test.height, 8, test.colorType);
    plan.interlaceMethod = PNG_INTERLACE_ADAM7;
    const Rows rows = SmoothRows(plan);
    WritableFile file;
    ASSERT_TRUE(SaveToFile(file, plan, AdamPassRows(rows, plan.width, Channels(plan.colorType))));

    const DecodedPng image = DecodePng(file.path());
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(image.interlace, PNG_INTERLACE_ADAM7);
    EXPECT_EQ(image.rows, rows);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WriteInterlaceTest,
                         ::testing::Values(InterlaceCase{"Rgb13x11", PNG_COLOR_TYPE_RGB, 13, 11},
                                           InterlaceCase{"Rgba40x33", PNG_COLOR_TYPE_RGB_ALPHA, 40, 33},
                                           // Passes 2, 3 and 5 are empty.
                                           InterlaceCase{"Gray3x2", PNG_COLOR_TYPE_GRAY, 3, 2}),
                         [](const ::testing::TestParamInfo<InterlaceCase> &info) {
                             return std::string(info.param.name);
                         });

}  // namespace
