// Every PngSuite image through the codec. The corrupt x*.png files must fail
// by the last row; every other file must deliver all its rows, equal to
// plain libpng's decode of the stored samples turned into the read row
// format here, pass by pass for interlaced files.
#include <dirent.h>

#include <csetjmp>

#include "tests/codec/ReadTestSupport.h"

namespace {

// The stored samples of every pixel, as plain libpng decodes them with only
// interlace handling.
struct StoredImage {
    uint32_t width = 0, height = 0;
    int depth = 0, colorType = 0, channels = 0;
    std::vector<std::vector<uint16_t>> samples;  // per row, width * channels
};

uint16_t SampleAt(const Bytes &row, int depth, size_t index) {
    if (depth == 16) return uint16_t(row[2 * index] << 8 | row[2 * index + 1]);
    if (depth == 8) return row[index];
    const size_t bit = index * depth;
    return uint16_t((row[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1));
}

bool DecodeStored(FILE *input, StoredImage *image) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, input);
    png_read_info(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    image->width = png_get_image_width(png, info);
    image->height = png_get_image_height(png, info);
    image->depth = png_get_bit_depth(png, info);
    image->colorType = png_get_color_type(png, info);
    image->channels = png_get_channels(png, info);
    std::vector<Bytes> rows(image->height, Bytes(png_get_rowbytes(png, info)));
    std::vector<png_bytep> pointers;
    for (Bytes &row : rows) pointers.push_back(row.data());
    png_read_image(png, pointers.data());
    png_destroy_read_struct(&png, &info, nullptr);
    for (const Bytes &row : rows) {
        std::vector<uint16_t> samples;
        for (size_t i = 0; i < size_t(image->width) * image->channels; ++i)
            samples.push_back(SampleAt(row, image->depth, i));
        image->samples.push_back(samples);
    }
    return true;
}

// Row y's pixels firstColumn, firstColumn + step, ... in the read row format.
Bytes ExpectedRow(const StoredImage &image, uint32_t y, uint32_t firstColumn, uint32_t step) {
    Bytes row;
    int bit = 0;
    for (uint32_t x = firstColumn; x < image.width; x += step) {
        for (int c = 0; c < image.channels; ++c) {
            const uint16_t sample = image.samples[y][size_t(x) * image.channels + c];
            if (image.depth == 1) {
                if (bit % 8 == 0) row.push_back(0);
                row.back() |= uint8_t((sample ^ 1) << (7 - bit % 8));
                ++bit;
            } else if (image.depth == 16) {
                row.push_back(uint8_t(sample >> 8));
            } else if (image.depth < 8 && image.colorType != 3) {
                row.push_back(uint8_t(sample * 255 / ((1 << image.depth) - 1)));
            } else {
                row.push_back(uint8_t(sample));
            }
        }
    }
    return row;
}

Rows ExpectedRows(const StoredImage &image, int interlaceMethod) {
    Rows rows;
    for (int pass = 0; pass < 7; ++pass) {
        const bool whole = interlaceMethod == 0;
        if (whole && pass > 0) break;
        if (!whole && PNG_PASS_COLS(image.width, pass) == 0) continue;
        const uint32_t firstRow = whole ? 0 : PNG_PASS_START_ROW(pass),
                       rowStep = whole ? 1 : 1u << PNG_PASS_ROW_SHIFT(pass);
        const uint32_t firstColumn = whole ? 0 : PNG_PASS_START_COL(pass),
                       columnStep = whole ? 1 : 1u << PNG_PASS_COL_SHIFT(pass);
        for (uint32_t y = firstRow; y < image.height; y += rowStep)
            rows.push_back(ExpectedRow(image, y, firstColumn, columnStep));
    }
    return rows;
}

// The padding bits after the last pixel of a 1-bit row are not pixels.
void MaskPadding(Rows *rows, const Rows &expected, const std::vector<uint32_t> &widths) {
    for (size_t i = 0; i < rows->size() && i < expected.size(); ++i)
        if (widths[i] % 8 != 0) (*rows)[i].back() &= uint8_t(0xFF00 >> (widths[i] % 8));
}

std::vector<std::string> SuiteFiles() {
    std::vector<std::string> names;
    if (DIR *directory = opendir(PNGSUITE_DIR)) {
        while (const dirent *entry = readdir(directory)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
                names.push_back(name.substr(0, name.size() - 4));
        }
        closedir(directory);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ReadPngSuite : public ::testing::TestWithParam<std::string> {};

TEST_P(ReadPngSuite, ReadsAsPlainLibpngDecodesOrFailsWhenCorrupt) {
    const std::string path = std::string(PNGSUITE_DIR) + "/" + GetParam() + ".png";
    TempFile file(ReadWholeFile(path));
    ReadSession session(file.descriptor());
    if (GetParam()[0] == 'x') {
        EXPECT_FALSE(session.Open() && session.ReadRows());
        return;
    }
    ASSERT_TRUE(session.Open() && session.ReadRows());
    EXPECT_TRUE(ReadEnd(session.state));
    FILE *input = fopen(path.c_str(), "rb");
    ASSERT_NE(input, nullptr);
    StoredImage image;
    const bool decoded = DecodeStored(input, &image);
    fclose(input);
    ASSERT_TRUE(decoded);
    const Rows expected = ExpectedRows(image, session.header.interlaceMethod);
    if (image.depth == 1) MaskPadding(&session.rows, expected, RowWidths(session.header));
    EXPECT_EQ(session.rows, expected);
}

INSTANTIATE_TEST_SUITE_P(Images, ReadPngSuite, ::testing::ValuesIn(SuiteFiles()),
                         [](const ::testing::TestParamInfo<std::string> &info) { return info.param; });

TEST(ReadPngSuiteFiles, AreThere) { EXPECT_GT(SuiteFiles().size(), 150u); }

}  // namespace
