// Every row width from one pixel to past eight words, for every pixel size
// the module moves: rows copied, inverted, spread over the Adam7 passes and
// gathered back must come out as plain libpng decodes them, whatever the
// width leaves over at a row's end.
#include <fcntl.h>
#include <png.h>

#include "PngFiles.h"
#include "SweepFixture.h"
#include "TempFile.h"
#include "pnghost/host/Operations.h"

namespace {

const uint32_t kWidestRow = 70;

struct PixelFormat {
    int colorType;
    int bitDepth;
};

const PixelFormat kOpenFormats[] = {
    {PNG_COLOR_TYPE_GRAY, 1}, {PNG_COLOR_TYPE_PALETTE, 1},    {PNG_COLOR_TYPE_GRAY, 8},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 8}, {PNG_COLOR_TYPE_RGB, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 8},
};

HostImage NoiseImage(int16_t mode, int16_t planes, int16_t columns, int16_t rows) {
    HostImage image;
    image.mode = mode;
    image.planes = planes;
    image.columns = columns;
    image.rows = rows;
    AllocateHostImage(&image);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint8_t>(i * 151 + i / 3);
    return image;
}

}  // namespace

class WidthSweep : public SweepTest {};

TEST_F(WidthSweep, OpenedRowsOfEveryWidthMatchLibpng) {
    session.monitor.gamma = 0;
    for (const PixelFormat &format : kOpenFormats) {
        for (bool interlaced : {false, true}) {
            for (uint32_t width = 1; width <= kWidestRow && !HasFailure(); ++width) {
                SCOPED_TRACE("colour type " + std::to_string(format.colorType) + " depth " +
                             std::to_string(format.bitDepth) + (interlaced ? " interlaced" : "") + " width " +
                             std::to_string(width));
                TempFile file(EncodePng(PatternPicture(width, 9, format.colorType, format.bitDepth, interlaced)));
                ASSERT_EQ(OpenWithModule(&session, file.descriptor()), kResultNoError);
                const HostPixels expected = DecodeAsHostExpects(file.path());
                ASSERT_TRUE(expected.ok);
                EXPECT_TRUE(PixelsWithoutSpareBits(session.image) == expected.pixels);
                EXPECT_EQ(LeftBehind(), "");
            }
        }
    }
}

TEST_F(WidthSweep, InterlacedSavesOfEveryWidthMatchTheImage) {
    const struct {
        int16_t mode;
        int16_t planes;
    } kinds[] = {{kModeGrayscale, 1}, {kModeGrayscale, 2}, {kModeIndexed, 1}, {kModeRGB, 3}, {kModeRGB, 4}};
    SaveChoices interlace;
    interlace.interlace = true;
    for (const auto &kind : kinds) {
        for (int16_t width = 1; width <= 20 && !HasFailure(); ++width) {
            SCOPED_TRACE("mode " + std::to_string(kind.mode) + " planes " + std::to_string(kind.planes) + " width " +
                         std::to_string(width));
            session.image = NoiseImage(kind.mode, kind.planes, width, 11);
            const HostImage saved = session.image;
            TempFile file(std::string{});
            const int descriptor = open(file.path().c_str(), O_RDWR);
            ASSERT_EQ(SaveWithModule(&session, descriptor, interlace), kResultNoError);
            close(descriptor);
            const HostPixels decoded = DecodeAsHostExpects(file.path());
            ASSERT_TRUE(decoded.ok);
            EXPECT_TRUE(decoded.pixels == saved.pixels);
            EXPECT_EQ(LeftBehind(), "");
        }
    }
}
