#include "tests/reference/HostExpectation.h"

#include <cstring>

namespace {

struct ModeOfFile {
    int16_t mode, depth, planes;
};

// The colour types and depths the host's image model can take.
bool MapHeader(const SpngFile &file, ModeOfFile *mode) {
    const int d = file.bitDepth;
    switch (file.colorType) {
        case 0: *mode = d == 1 ? ModeOfFile{kModeBitmap, 1, 1} : ModeOfFile{kModeGrayscale, 8, 1}; return true;
        case 2: *mode = {kModeRGB, 8, 3}; return true;
        case 3: *mode = d == 1 ? ModeOfFile{kModeBitmap, 1, 1} : ModeOfFile{kModeIndexed, 8, 1}; return true;
        case 4: *mode = {kModeGrayscale, 8, 2}; return true;
        case 6: *mode = {kModeRGB, 8, 4}; return true;
        default: return false;
    }
}

// One stored sample as the host takes it.
uint8_t HostSample(const uint8_t *row, size_t index, const SpngFile &file) {
    switch (file.bitDepth) {
        case 16: return row[index * 2];
        case 8: return row[index];
        default: {
            const int perByte = 8 / file.bitDepth;
            const int shift = 8 - file.bitDepth * (1 + static_cast<int>(index % perByte));
            const uint8_t value = (row[index / perByte] >> shift) & ((1 << file.bitDepth) - 1);
            if (file.colorType == 3) return value;
            return static_cast<uint8_t>(value * (file.bitDepth == 2 ? 85 : 17));
        }
    }
}

std::vector<uint8_t> HostPixels(const SpngFile &file, const HostExpectation &host) {
    const size_t rowBytes = static_cast<size_t>(ExpectedRowBytes(host.depth, host.planes, host.columns));
    std::vector<uint8_t> pixels(rowBytes * static_cast<size_t>(host.rows));
    for (uint32_t y = 0; y < file.height; ++y) {
        const uint8_t *stored = file.rows.data() + y * file.rowBytes;
        uint8_t *out = pixels.data() + y * rowBytes;
        if (host.depth == 1) {
            for (size_t i = 0; i < rowBytes; ++i) out[i] = static_cast<uint8_t>(~stored[i]);
            continue;
        }
        for (size_t i = 0; i < rowBytes; ++i) out[i] = HostSample(stored, i, file);
    }
    ClearSpareBits(&pixels, host.depth, host.rows, host.columns);
    return pixels;
}

void ExpectTables(const SpngFile &file, const HostBefore &before, HostExpectation *host) {
    std::memcpy(host->red, before.red, 256);
    std::memcpy(host->green, before.green, 256);
    std::memcpy(host->blue, before.blue, 256);
    // A grayscale image has no palette: the codec passes over a PLTE chunk
    // in one, which libspng keeps.
    if ((file.colorType & 2) == 0) return;
    for (size_t i = 0; i < file.palette.size() / 3 && i < 256; ++i) {
        host->red[i] = file.palette[i * 3];
        host->green[i] = file.palette[i * 3 + 1];
        host->blue[i] = file.palette[i * 3 + 2];
    }
}

// Pixels per metre to whole pixels per inch in the integer half, held at
// the largest the integer half can take.
HostFixed InchResolution(uint32_t pixelsPerMetre) {
    const auto perInch = static_cast<uint32_t>(static_cast<double>(pixelsPerMetre) * static_cast<double>(0.0254f));
    return static_cast<HostFixed>((perInch < 32767 ? perInch : 32767) << 16);
}

}  // namespace

int32_t ExpectedRowBytes(int16_t depth, int16_t planes, int16_t columns) {
    return ((columns * depth + 7) / 8) * planes;
}

void ClearSpareBits(std::vector<uint8_t> *pixels, int16_t depth, int16_t rows, int16_t columns) {
    if (depth != 1 || columns % 8 == 0) return;
    const int32_t rowBytes = ExpectedRowBytes(depth, 1, columns);
    const auto keep = static_cast<uint8_t>(0xFF << (8 - columns % 8));
    for (int32_t y = 0; y < rows; ++y) (*pixels)[static_cast<size_t>((y + 1) * rowBytes - 1)] &= keep;
}

HostExpectation ExpectOnOpen(const SpngFile &file, const StoredChunks &chunks, const HostBefore &before) {
    HostExpectation host;
    ModeOfFile mode{};
    if (!MapHeader(file, &mode)) return host;
    host.describable = true;
    host.mode = mode.mode;
    host.depth = mode.depth;
    host.planes = mode.planes;
    host.rows = static_cast<int16_t>(file.height);
    host.columns = static_cast<int16_t>(file.width);
    if (!file.rows.empty()) host.pixels = HostPixels(file, host);
    ExpectTables(file, before, &host);
    host.horizontalResolution = before.horizontalResolution;
    host.verticalResolution = before.verticalResolution;
    if (chunks.hasPhysicalSize && chunks.unit == 1) {
        host.horizontalResolution = InchResolution(chunks.pixelsPerUnitX);
        host.verticalResolution = InchResolution(chunks.pixelsPerUnitY);
    }
    host.fileInfo = ExpectedFileInfo(chunks);
    return host;
}
