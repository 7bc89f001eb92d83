#include "bench/Images.h"

#include <cmath>

namespace {

// A fixed-seed generator, so that every run measures the same images.
struct Noise {
    uint32_t state = 2463534242u;
    int Next(int spread) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<int>(state % static_cast<uint32_t>(2 * spread + 1)) - spread;
    }
};

uint8_t Clamp(double value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

// Broad light and shade with fine grain, different per channel.
uint8_t PhotoSample(int x, int y, int channel, int side, Noise &noise) {
    const double u = x * 6.0 / side, v = y * 6.0 / side;
    const double shade = 128 + 60 * std::sin(u + channel) + 45 * std::cos(v * 1.3 - channel) + 15 * std::sin((u + v) * 4);
    return Clamp(shade + noise.Next(5));
}

void FillPhoto(HostImage *image, int colourPlanes) {
    Noise noise;
    const int side = image->columns;
    uint8_t *at = image->pixels.data();
    for (int y = 0; y < image->rows; ++y)
        for (int x = 0; x < image->columns; ++x)
            for (int plane = 0; plane < image->planes; ++plane)
                *at++ = plane < colourPlanes ? PhotoSample(x, y, plane, side, noise)
                                             : Clamp(255.0 * x / side + noise.Next(2));  // soft alpha ramp
}

// Flat areas of a few colours with straight edges, as diagrams and logos.
int GraphicIndex(int x, int y, int side) {
    const int cell = side / 16;
    const int band = (x / cell * 7 + y / cell * 13) % 24;
    const int dx = x - side / 2, dy = y - side / 2;
    const bool ring = std::abs(dx * dx + dy * dy - side * side / 9) < side * 12;
    const bool diagonal = std::abs(x - y) < side / 200 + 1;
    return ring ? 250 : diagonal ? 251 : band * 10;
}

void FillIndexed(HostImage *image) {
    for (int i = 0; i < 256; ++i) {
        image->red[i] = static_cast<uint8_t>(i * 37);
        image->green[i] = static_cast<uint8_t>(255 - i);
        image->blue[i] = static_cast<uint8_t>(i * 91);
    }
    uint8_t *at = image->pixels.data();
    for (int y = 0; y < image->rows; ++y)
        for (int x = 0; x < image->columns; ++x) *at++ = static_cast<uint8_t>(GraphicIndex(x, y, image->columns));
}

void FillBitmap(HostImage *image) {
    const int rowBytes = HostImageRowBytes(*image);
    for (int y = 0; y < image->rows; ++y)
        for (int x = 0; x < image->columns; ++x)
            if (GraphicIndex(x, y, image->columns) % 3 == 0)
                image->pixels[static_cast<size_t>(y) * rowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
}

}  // namespace

const char *KindName(ImageKind kind) {
    switch (kind) {
        case ImageKind::RGB: return "RGB";
        case ImageKind::RGBA: return "RGBA";
        case ImageKind::Gray: return "gray";
        case ImageKind::Indexed: return "indexed";
        default: return "1-bit";
    }
}

HostImage MakeImage(ImageKind kind, int16_t side) {
    HostImage image;
    image.rows = image.columns = side;
    image.mode = kind == ImageKind::Gray      ? kModeGrayscale
                 : kind == ImageKind::Indexed ? kModeIndexed
                 : kind == ImageKind::Bitmap  ? kModeBitmap
                                              : kModeRGB;
    image.depth = kind == ImageKind::Bitmap ? 1 : 8;
    image.planes = kind == ImageKind::RGB ? 3 : kind == ImageKind::RGBA ? 4 : 1;
    AllocateHostImage(&image);
    if (kind == ImageKind::Indexed) FillIndexed(&image);
    else if (kind == ImageKind::Bitmap) FillBitmap(&image);
    else FillPhoto(&image, kind == ImageKind::RGBA ? 3 : image.planes);
    return image;
}
