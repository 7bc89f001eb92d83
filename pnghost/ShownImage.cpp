#include "pnghost/ShownImage.h"

#include <cstddef>
#include <new>

namespace {

struct Colour {
    uint8_t red, green, blue, alpha;
};

// How many of a pixel's planes carry its colour; any plane after them is alpha.
int ColourPlanes(const HostImage &image) { return image.mode == kModeRGB ? 3 : 1; }

bool CanShow(const HostImage &image, std::string *error) {
    const bool bitmap = image.mode == kModeBitmap && image.depth == 1 && image.planes == 1;
    const bool eightBit = (image.mode == kModeGrayscale || image.mode == kModeIndexed || image.mode == kModeRGB) &&
                          image.depth == 8 && image.planes >= ColourPlanes(image) &&
                          image.planes <= ColourPlanes(image) + 1;
    if (bitmap || eightBit) return true;
    *error = std::string("cannot show a ") + ImageModeName(image.mode) + " image of " + std::to_string(image.planes) +
             " planes of " + std::to_string(image.depth) + " bits";
    return false;
}

Colour PixelColour(const HostImage &image, const uint8_t *row, int32_t x) {
    if (image.depth == 1) {
        // The host's 1 is black.
        const uint8_t value = ((row[x / 8] >> (7 - x % 8)) & 1) != 0 ? 0 : 255;
        return {value, value, value, 255};
    }
    const uint8_t *pixel = row + static_cast<size_t>(x) * static_cast<size_t>(image.planes);
    const int colourPlanes = ColourPlanes(image);
    const uint8_t alpha = image.planes > colourPlanes ? pixel[colourPlanes] : 255;
    if (image.mode == kModeRGB) return {pixel[0], pixel[1], pixel[2], alpha};
    if (image.mode == kModeIndexed) return {image.red[pixel[0]], image.green[pixel[0]], image.blue[pixel[0]], alpha};
    return {pixel[0], pixel[0], pixel[0], alpha};
}

uint8_t Blend(uint8_t value, uint8_t alpha, uint8_t shade) {
    return static_cast<uint8_t>((value * alpha + shade * (255 - alpha) + 127) / 255);
}

void ShowRow(const HostImage &image, int32_t y, uint8_t *out) {
    const uint8_t *row = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(HostImageRowBytes(image));
    for (int32_t x = 0; x < image.columns; ++x, out += 3) {
        const Colour colour = PixelColour(image, row, x);
        if (colour.alpha == 255) {  // most pixels: no blending to do
            out[0] = colour.blue;
            out[1] = colour.green;
            out[2] = colour.red;
            continue;
        }
        const uint8_t shade = CheckerShade(x, y);
        out[0] = Blend(colour.blue, colour.alpha, shade);
        out[1] = Blend(colour.green, colour.alpha, shade);
        out[2] = Blend(colour.red, colour.alpha, shade);
    }
}

}  // namespace

uint8_t CheckerShade(int32_t x, int32_t y) {
    return (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0 ? kCheckerLight : kCheckerDark;
}

bool MakeShownImage(const HostImage &image, ShownImage *shown, std::string *error) {
    if (!CanShow(image, error)) return false;
    const int32_t rowBytes = (image.columns * 3 + 3) & ~3;
    const uint64_t bytes = uint64_t(rowBytes) * uint64_t(image.rows);
    std::vector<uint8_t> bgr;
    try {
        if (bytes > bgr.max_size()) throw std::bad_alloc();
        bgr.resize(static_cast<size_t>(bytes));
    } catch (const std::bad_alloc &) {
        *error = "no memory to show an image of " + std::to_string(image.columns) + " x " + std::to_string(image.rows);
        return false;
    }
    for (int32_t y = 0; y < image.rows; ++y)
        ShowRow(image, y, bgr.data() + static_cast<size_t>(image.rows - 1 - y) * static_cast<size_t>(rowBytes));
    shown->width = image.columns;
    shown->height = image.rows;
    shown->rowBytes = rowBytes;
    shown->bgr.swap(bgr);
    return true;
}
