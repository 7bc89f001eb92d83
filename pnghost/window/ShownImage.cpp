// Makes the parts of the viewer's picture of a host image, at any zoom step.
#include "pnghost/window/ShownImage.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

namespace {

struct Colour {
    uint8_t red, green, blue, alpha;
};

// How many of a pixel's planes carry its colour; any plane after them is alpha.
int ColourPlanes(const HostImage &image) { return image.mode == kModeRGB ? 3 : 1; }

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

// Adds pixel (x, y) as it shows, over the checkerboard, to a sum of blue, green and red.
void AddShownPixel(const HostImage &image, const uint8_t *row, int32_t x, int32_t y, uint32_t *sum) {
    const Colour colour = PixelColour(image, row, x);
    if (colour.alpha == 255) {  // most pixels: no blending to do
        sum[0] += colour.blue;
        sum[1] += colour.green;
        sum[2] += colour.red;
        return;
    }
    const uint8_t shade = CheckerShade(x, y);
    sum[0] += Blend(colour.blue, colour.alpha, shade);
    sum[1] += Blend(colour.green, colour.alpha, shade);
    sum[2] += Blend(colour.red, colour.alpha, shade);
}

// The image pixels [first, end) that zoomed pixel `at` shows: one pixel when
// zoomed in, a run of up to `into` when zoomed out.
struct SourceRun {
    int32_t first, end;
};

SourceRun SourceOf(int32_t at, Zoom zoom, int32_t pixels) {
    const int64_t first = int64_t{at} * zoom.into / zoom.times;
    const int64_t end = (int64_t{at} + 1) * zoom.into / zoom.times;
    return {static_cast<int32_t>(first), static_cast<int32_t>(std::min<int64_t>(std::max(end, first + 1), pixels))};
}

// One row of the part, showing the image rows `rows`: each zoomed pixel the
// rounded average of the image pixels it shows.
void ShowRow(const HostImage &image, const ShownPart &part, SourceRun rows, const std::vector<SourceRun> &columns,
             std::vector<uint32_t> *sums, uint8_t *out) {
    sums->assign(sums->size(), 0);
    const size_t rowBytes = static_cast<size_t>(HostImageRowBytes(image));
    for (int32_t y = rows.first; y < rows.end; ++y) {
        const uint8_t *row = image.pixels.data() + static_cast<size_t>(y) * rowBytes;
        for (int32_t i = 0; i < part.width; ++i)
            for (int32_t x = columns[i].first; x < columns[i].end; ++x)
                AddShownPixel(image, row, x, y, sums->data() + static_cast<size_t>(i) * 3);
    }
    for (int32_t i = 0; i < part.width; ++i) {
        const uint32_t count = static_cast<uint32_t>(columns[i].end - columns[i].first) *
                               static_cast<uint32_t>(rows.end - rows.first);
        for (int c = 0; c < 3; ++c)
            out[i * 3 + c] = static_cast<uint8_t>(((*sums)[static_cast<size_t>(i) * 3 + c] + count / 2) / count);
    }
}

}  // namespace

bool SameZoom(Zoom a, Zoom b) { return a.times == b.times && a.into == b.into; }

int64_t ZoomedLength(int32_t pixels, Zoom zoom) {
    return (int64_t{pixels} * zoom.times + zoom.into - 1) / zoom.into;
}

// Rounded half up in whole numbers, so that every platform's label is the
// same.
std::string ZoomPercent(Zoom zoom) {
    const int64_t hundredths = (20000 * int64_t{zoom.times} + zoom.into) / (2 * int64_t{zoom.into});
    std::string decimals = std::to_string(100 + hundredths % 100).substr(1);
    while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
    return std::to_string(hundredths / 100) + (decimals.empty() ? "" : "." + decimals) + "%";
}

Zoom NextZoomStep(Zoom zoom, int direction) {
    const double now = double(zoom.times) / zoom.into;
    const int steps = static_cast<int>(sizeof kZoomSteps / sizeof kZoomSteps[0]);
    if (direction > 0) {
        for (int i = 0; i < steps; ++i)
            if (double(kZoomSteps[i].times) / kZoomSteps[i].into > now) return kZoomSteps[i];
    } else {
        for (int i = steps - 1; i >= 0; --i)
            if (double(kZoomSteps[i].times) / kZoomSteps[i].into < now) return kZoomSteps[i];
    }
    return zoom;
}

Zoom FittingZoom(int32_t columns, int32_t rows, int32_t width, int32_t height) {
    Zoom fitting = kZoomSteps[0];
    for (const Zoom step : kZoomSteps)
        if (ZoomedLength(columns, step) <= width && ZoomedLength(rows, step) <= height) fitting = step;
    return fitting;
}

uint8_t CheckerShade(int32_t x, int32_t y) {
    return (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0 ? kCheckerLight : kCheckerDark;
}

bool CanShowImage(const HostImage &image, std::string *error) {
    const bool bitmap = image.mode == kModeBitmap && image.depth == 1 && image.planes == 1;
    const bool eightBit = (image.mode == kModeGrayscale || image.mode == kModeIndexed || image.mode == kModeRGB) &&
                          image.depth == 8 && image.planes >= ColourPlanes(image) &&
                          image.planes <= ColourPlanes(image) + 1;
    if (bitmap || eightBit) return true;
    *error = std::string("cannot show a ") + ImageModeName(image.mode) + " image of " + std::to_string(image.planes) +
             " planes of " + std::to_string(image.depth) + " bits";
    return false;
}

bool MakeShownPart(const HostImage &image, Zoom zoom, const ShownPart &part, ShownImage *shown, std::string *error) {
    if (!CanShowImage(image, error)) return false;
    const int32_t rowBytes = (part.width * 3 + 3) & ~3;
    std::vector<uint8_t> bgr;
    std::vector<uint32_t> sums;
    std::vector<SourceRun> columns;
    try {
        bgr.resize(static_cast<size_t>(rowBytes) * static_cast<size_t>(part.height));
        sums.resize(static_cast<size_t>(part.width) * 3);
        columns.reserve(static_cast<size_t>(part.width));
    } catch (const std::bad_alloc &) {
        *error = "no memory to show " + std::to_string(part.width) + " x " + std::to_string(part.height) + " pixels";
        return false;
    }
    for (int32_t i = 0; i < part.width; ++i) columns.push_back(SourceOf(part.left + i, zoom, image.columns));
    // Zoomed in, a run of zoomed rows shows one image row: it is made once
    // and copied (the picture is bottom-up, so the row made last lies after).
    SourceRun shownLast{-1, -1};
    for (int32_t i = 0; i < part.height; ++i) {
        uint8_t *out = bgr.data() + static_cast<size_t>(part.height - 1 - i) * static_cast<size_t>(rowBytes);
        const SourceRun rows = SourceOf(part.top + i, zoom, image.rows);
        if (rows.first == shownLast.first && rows.end == shownLast.end)
            std::memcpy(out, out + rowBytes, static_cast<size_t>(rowBytes));
        else
            ShowRow(image, part, rows, columns, &sums, out);
        shownLast = rows;
    }
    shown->width = part.width;
    shown->height = part.height;
    shown->rowBytes = rowBytes;
    shown->bgr.swap(bgr);
    return true;
}
