// What the viewer paints: each kind of host image as the 24-bit picture the
// window copies from, pixel by pixel, as a person would see it, at actual
// size and zoomed; and the zoom steps.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "pnghost/window/ShownImage.h"

namespace {

struct Rgb {
    uint8_t red, green, blue;
};

struct ShownCase {
    const char *what;
    int16_t mode, depth, planes, columns, rows;
    std::vector<uint8_t> pixels;  // the host's rows, top row first
    int32_t x, y;                 // the pixel looked at
    Rgb seen;
};

// The look-up tables of the indexed cases: entry i is (i, 255 - i, 7).
HostImage MakeImage(const ShownCase &shown) {
    HostImage image;
    image.mode = shown.mode;
    image.depth = shown.depth;
    image.planes = shown.planes;
    image.columns = shown.columns;
    image.rows = shown.rows;
    image.pixels = shown.pixels;
    for (int i = 0; i < 256; ++i) {
        image.red[i] = static_cast<uint8_t>(i);
        image.green[i] = static_cast<uint8_t>(255 - i);
        image.blue[i] = 7;
    }
    return image;
}

std::vector<uint8_t> Repeated(size_t count, std::vector<uint8_t> pixel) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < count; ++i) bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    return bytes;
}

const ShownCase kCases[] = {
    {"a bitmap's 1 is black", kModeBitmap, 1, 1, 9, 1, {0x80, 0x00}, 0, 0, {0, 0, 0}},
    {"a bitmap's 0 is white", kModeBitmap, 1, 1, 9, 1, {0x80, 0x00}, 1, 0, {255, 255, 255}},
    {"a bitmap's ninth pixel is the next byte's top bit", kModeBitmap, 1, 1, 9, 1, {0x00, 0x80}, 8, 0, {0, 0, 0}},
    {"gray shows as its own level", kModeGrayscale, 8, 1, 1, 1, {90}, 0, 0, {90, 90, 90}},
    {"an index shows its look-up table entry", kModeIndexed, 8, 1, 2, 1, {0, 200}, 1, 0, {200, 55, 7}},
    {"RGB keeps its planes' order", kModeRGB, 8, 3, 1, 1, {10, 20, 30}, 0, 0, {10, 20, 30}},
    {"opaque alpha shows the colour", kModeRGB, 8, 4, 1, 1, {10, 20, 30, 255}, 0, 0, {10, 20, 30}},
    {"clear alpha shows the light square at the corner", kModeRGB, 8, 4, 1, 1, {10, 20, 30, 0}, 0, 0,
     {255, 255, 255}},
    {"clear alpha shows the dark square beside it", kModeGrayscale, 8, 2, 9, 1, Repeated(9, {0, 0}), 8, 0,
     {204, 204, 204}},
    {"the squares alternate down the columns too", kModeGrayscale, 8, 2, 1, 9, Repeated(9, {0, 0}), 0, 8,
     {204, 204, 204}},
    {"and come back light diagonally", kModeGrayscale, 8, 2, 9, 9, Repeated(81, {0, 0}), 8, 8, {255, 255, 255}},
    {"half alpha blends, rounded", kModeGrayscale, 8, 2, 1, 1, {0, 128}, 0, 0, {127, 127, 127}},
    {"an index's alpha blends its entry", kModeIndexed, 8, 2, 1, 1, {255, 51}, 0, 0, {255, 204, 205}},
    {"rows keep their places", kModeGrayscale, 8, 1, 1, 3, {1, 2, 3}, 0, 2, {3, 3, 3}},
};

class ShownImageTest : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownImageTest, ShowsThePixelAsAPersonSeesIt) {
    const ShownCase &shown = GetParam();
    ShownImage picture;
    std::string error;
    const ShownPart whole{0, 0, shown.columns, shown.rows};
    ASSERT_TRUE(MakeShownPart(MakeImage(shown), kActualSize, whole, &picture, &error)) << error;
    ASSERT_EQ(picture.width, shown.columns);
    ASSERT_EQ(picture.height, shown.rows);
    // Bottom-up rows, blue first, each row padded to four bytes.
    ASSERT_EQ(picture.rowBytes % 4, 0);
    ASSERT_EQ(picture.bgr.size(), static_cast<size_t>(picture.rowBytes) * static_cast<size_t>(shown.rows));
    const size_t at = static_cast<size_t>(shown.rows - 1 - shown.y) * static_cast<size_t>(picture.rowBytes) +
                      static_cast<size_t>(shown.x) * 3;
    EXPECT_EQ(picture.bgr[at + 2], shown.seen.red);
    EXPECT_EQ(picture.bgr[at + 1], shown.seen.green);
    EXPECT_EQ(picture.bgr[at + 0], shown.seen.blue);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ShownImageTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ShownCase> &info) {
                             std::string name = info.param.what;
                             for (char &ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// Images the module never hands over are refused with a reason, not shown
// as noise.
TEST(ShownImage, RefusesWhatItCannotShow) {
    const ShownCase kRefused[] = {
        {"CMYK", kModeCMYK, 8, 4, 1, 1, {0, 0, 0, 0}, 0, 0, {}},
        {"16-bit gray", kModeGrayscale, 16, 1, 1, 1, {0, 0}, 0, 0, {}},
        {"RGB of five planes", kModeRGB, 8, 5, 1, 1, {0, 0, 0, 0, 0}, 0, 0, {}},
    };
    for (const ShownCase &refused : kRefused) {
        ShownImage picture;
        std::string error;
        EXPECT_FALSE(MakeShownPart(MakeImage(refused), kActualSize, ShownPart{0, 0, 1, 1}, &picture, &error))
            << refused.what;
        EXPECT_NE(error.find("cannot show"), std::string::npos) << refused.what << ": " << error;
    }
}

// Zoomed in, each pixel is a square of its own colour; zoomed out, each
// square of pixels one pixel of their rounded average, the image's last
// column and row averaging only the pixels there are.
TEST(ShownImage, ZoomedPartsShowWhatTheImageLooksLike) {
    struct ZoomCase {
        const char *what;
        Zoom zoom;
        ShownPart part;
        std::vector<uint8_t> levels;  // the part's gray levels, top row first
    };
    // Four columns, two rows: 10 20 30 41 over 50 60 70 80.
    ShownCase gray{"", kModeGrayscale, 8, 1, 4, 2, {10, 20, 30, 41, 50, 60, 70, 80}, 0, 0, {}};
    const ZoomCase kZoomed[] = {
        {"3x repeats each pixel", {3, 1}, {2, 0, 3, 1}, {10, 20, 20}},
        {"3x repeats each row", {3, 1}, {0, 2, 1, 2}, {10, 50}},
        {"1/2 averages squares", {1, 2}, {0, 0, 2, 1}, {35, 55}},
        {"1/3 averages the pixels left at the edge", {1, 3}, {1, 0, 1, 1}, {61}},
        {"a part off the corner", {2, 1}, {7, 3, 1, 1}, {80}},
    };
    for (const ZoomCase &zoomed : kZoomed) {
        ShownImage picture;
        std::string error;
        ASSERT_TRUE(MakeShownPart(MakeImage(gray), zoomed.zoom, zoomed.part, &picture, &error)) << error;
        std::vector<uint8_t> levels;
        for (int32_t y = 0; y < picture.height; ++y)
            for (int32_t x = 0; x < picture.width; ++x)
                levels.push_back(picture.bgr[static_cast<size_t>(picture.height - 1 - y) *
                                                 static_cast<size_t>(picture.rowBytes) +
                                             static_cast<size_t>(x) * 3]);
        EXPECT_EQ(levels, zoomed.levels) << zoomed.what;
    }
}

TEST(ShownImage, ZoomStepsFitAndClimbTheLadder) {
    struct FitCase {
        int32_t columns, rows, width, height;
        Zoom fitted;
    };
    const FitCase kFits[] = {
        {32, 32, 784, 500, {12, 1}},      {32, 32, 784, 512, {16, 1}},   {1000, 700, 784, 500, {1, 2}},
        {20000, 20000, 784, 500, {1, 48}}, {784, 500, 784, 500, {1, 1}},   {40000, 40000, 784, 500, {1, 64}},
    };
    for (const FitCase &fit : kFits) {
        const Zoom zoom = FittingZoom(fit.columns, fit.rows, fit.width, fit.height);
        EXPECT_TRUE(SameZoom(zoom, fit.fitted)) << fit.columns << " x " << fit.rows << " gave " << ZoomPercent(zoom);
    }
    EXPECT_TRUE(SameZoom(NextZoomStep(kActualSize, 1), Zoom{2, 1}));
    EXPECT_TRUE(SameZoom(NextZoomStep(kActualSize, -1), Zoom{1, 2}));
    EXPECT_TRUE(SameZoom(NextZoomStep(Zoom{32, 1}, 1), Zoom{32, 1}));
    EXPECT_TRUE(SameZoom(NextZoomStep(Zoom{1, 64}, -1), Zoom{1, 64}));
    const char *const kLabels[] = {"1.56%", "2.08%", "3.13%", "4.17%", "6.25%", "8.33%", "12.5%",
                                   "16.67%", "25%",  "33.33%", "50%",  "100%", "200%", "300%",
                                   "400%",  "600%", "800%",  "1200%", "1600%", "2400%", "3200%"};
    static_assert(sizeof kLabels / sizeof kLabels[0] == sizeof kZoomSteps / sizeof kZoomSteps[0], "a label a step");
    for (size_t i = 0; i < sizeof kLabels / sizeof kLabels[0]; ++i) EXPECT_EQ(ZoomPercent(kZoomSteps[i]), kLabels[i]);
    EXPECT_EQ(ZoomedLength(7, Zoom{1, 2}), 4);
}

}  // namespace
