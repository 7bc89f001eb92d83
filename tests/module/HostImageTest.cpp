// The host's image takes memory as an editor's does: a page at a time, as
// rows are written, and a new image starts zero wherever the old one was.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pnghost/host/HostImage.h"
#include "tests/win32/ResidentPages.h"

namespace {

// Up to the host's limit of 2 GiB, as a 32-bit host has room for.
TEST(HostImage, AHugeImageCostsOnlyTheRowsWritten) {
    HostImage image;
    image.mode = kModeRGB;
    image.planes = 4;
    image.rows = image.columns = 32767;
    EXPECT_FALSE(AllocateHostImage(&image)) << "4 GiB is past the host's limit";
    image.mode = kModeGrayscale;
    image.planes = 1;
    ASSERT_TRUE(AllocateHostImage(&image));
    const size_t rowBytes = static_cast<size_t>(HostImageRowBytes(image));
    ASSERT_EQ(image.pixels.size(), rowBytes * 32767);
    EXPECT_LE(ResidentPages(image.pixels.data(), image.pixels.size()), 64u);
    image.pixels[rowBytes * 100] = 7;
    EXPECT_EQ(image.pixels[rowBytes * 20000], 0);
    EXPECT_LE(ResidentPages(image.pixels.data(), image.pixels.size()), 64u);
}

TEST(HostImage, ANewImageStartsZeroEvenWhereTheOldOneHeldPixels) {
    HostImage image;
    image.mode = kModeGrayscale;
    image.planes = 1;
    image.rows = image.columns = 64;
    ASSERT_TRUE(AllocateHostImage(&image));
    for (uint8_t &sample : image.pixels) sample = 0xFF;
    image.rows = 32;
    ASSERT_TRUE(AllocateHostImage(&image));
    EXPECT_EQ(std::vector<uint8_t>(image.pixels), std::vector<uint8_t>(64 * 32, 0));
}

}  // namespace
