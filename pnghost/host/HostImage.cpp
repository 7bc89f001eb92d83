#include "pnghost/host/HostImage.h"

#include <cstring>

#include "pnghost/host/AddressSpace.h"

namespace {

bool Refuse(std::string *error, const std::string &why) {
    *error = why;
    return false;
}

bool CheckTransfer(const HostFormatBlock &block, const HostImage &image, std::string *error) {
    const HostRect &rect = block.transferRect;
    if (block.pixelData == nullptr) return Refuse(error, "no pixel data pointer");
    if (rect.top < 0 || rect.bottom > image.rows || rect.top >= rect.bottom)
        return Refuse(error, "rows " + std::to_string(rect.top) + " to " + std::to_string(rect.bottom) +
                                 " outside the image");
    if (rect.left < 0 || rect.right > image.columns || rect.left >= rect.right)
        return Refuse(error, "columns outside the image");
    if (block.firstPlane < 0 || block.lastPlane >= image.planes || block.firstPlane > block.lastPlane)
        return Refuse(error, "planes " + std::to_string(block.firstPlane) + " to " + std::to_string(block.lastPlane) +
                                 " outside the image's " + std::to_string(image.planes));
    if (image.depth == 1 && rect.left % 8 != 0) return Refuse(error, "a 1-bit row must start on a byte");
    return true;
}

// Calls move(imageByte, bufferByte) for every sample the transfer covers, in
// whatever layout the module chose (depth 8).
template <typename Move>
void ForEachSample(const HostFormatBlock &block, const HostImage &image, Move move) {
    const HostRect &rect = block.transferRect;
    const int32_t rowBytes = HostImageRowBytes(image);
    auto *buffer = static_cast<uint8_t *>(block.pixelData);
    for (int32_t row = rect.top; row < rect.bottom; ++row) {
        uint8_t *bufferRow = buffer + static_cast<int64_t>(row - rect.top) * block.rowStep;
        const int64_t imageRow = int64_t{row} * rowBytes;
        for (int32_t x = rect.left; x < rect.right; ++x)
            for (int32_t plane = block.firstPlane; plane <= block.lastPlane; ++plane)
                move(imageRow + int64_t{x} * image.planes + plane,
                     bufferRow + (x - rect.left) * block.columnStep + (plane - block.firstPlane) * block.planeStep);
    }
}

// True when each row of the transfer is one run of bytes on both sides: all
// the image's planes side by side (plane step 1, column step the plane
// count) and the columns one after another. 1-bit rows are always runs.
bool MovesWholeRows(const HostFormatBlock &block, const HostImage &image) {
    if (image.depth == 1) return true;
    return block.planeStep == 1 && block.firstPlane == 0 && block.lastPlane == image.planes - 1 &&
           block.columnStep == image.planes;
}

// Calls move(imageRun, bufferRun, bytes) once for each row of the transfer.
template <typename Move>
void ForEachRow(const HostFormatBlock &block, const HostImage &image, Move move) {
    const HostRect &rect = block.transferRect;
    const int64_t rowBytes = HostImageRowBytes(image);
    const int64_t start = image.depth == 1 ? rect.left / 8 : int64_t{rect.left} * image.planes;
    const int64_t bytes = image.depth == 1 ? (rect.right - rect.left + 7) / 8
                                           : int64_t{rect.right - rect.left} * image.planes;
    auto *buffer = static_cast<uint8_t *>(block.pixelData);
    for (int32_t row = rect.top; row < rect.bottom; ++row)
        move(int64_t{row} * rowBytes + start, buffer + static_cast<int64_t>(row - rect.top) * block.rowStep,
             static_cast<size_t>(bytes));
}

}  // namespace

int32_t HostImageRowBytes(const HostImage &image) {
    return image.depth == 1 ? (image.columns + 7) / 8 : int32_t{image.columns} * image.planes;
}

const char *ImageModeName(int16_t mode) {
    switch (mode) {
        case kModeBitmap: return "bitmap";
        case kModeGrayscale: return "grayscale";
        case kModeIndexed: return "indexed";
        case kModeRGB: return "RGB";
        default: return "other";
    }
}

bool AllocateHostImage(HostImage *image) {
    image->pixels.clear();
    const int64_t bytes = int64_t{HostImageRowBytes(*image)} * image->rows;
    if (bytes < 0 || static_cast<uint64_t>(bytes) > LargestImageBytes()) return false;
    try {
        image->pixels = ImagePixels(static_cast<size_t>(bytes));
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}

std::vector<uint8_t> PixelsWithoutSpareBits(const HostImage &image) {
    std::vector<uint8_t> pixels = image.pixels;
    const int32_t rowBytes = HostImageRowBytes(image);
    const int spare = rowBytes * 8 - image.columns;
    if (image.depth != 1 || spare <= 0) return pixels;
    for (int32_t y = 0; y < image.rows; ++y)
        pixels[static_cast<size_t>(y + 1) * static_cast<size_t>(rowBytes) - 1] &= static_cast<uint8_t>(0xFF << spare);
    return pixels;
}

bool MoveRowsToImage(const HostFormatBlock &block, HostImage *image, std::string *error) {
    if (!CheckTransfer(block, *image, error)) return false;
    if (MovesWholeRows(block, *image)) {
        ForEachRow(block, *image, [&](int64_t at, const uint8_t *from, size_t bytes) {
            std::memcpy(image->pixels.data() + at, from, bytes);
        });
        return true;
    }
    ForEachSample(block, *image, [&](int64_t at, const uint8_t *from) { image->pixels[static_cast<size_t>(at)] = *from; });
    return true;
}

bool MoveRowsFromImage(const HostFormatBlock &block, const HostImage &image, std::string *error) {
    if (!CheckTransfer(block, image, error)) return false;
    if (MovesWholeRows(block, image)) {
        ForEachRow(block, image, [&](int64_t at, uint8_t *to, size_t bytes) {
            std::memcpy(to, image.pixels.data() + at, bytes);
        });
        return true;
    }
    ForEachSample(block, image, [&](int64_t at, uint8_t *to) { *to = image.pixels[static_cast<size_t>(at)]; });
    return true;
}
