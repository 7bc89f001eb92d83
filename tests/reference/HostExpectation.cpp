#include "tests/reference/HostExpectation.h"

#include <cmath>
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

// The correction of a sample i: 255 (i c)^e, truncated, with c the single
// precision value of 1/255 and e = 1 / (monitor gamma x file gamma), the
// monitor's 16.16 value taken over 65535 and the file's gamma its stored
// value over 100000 in single precision.
bool MakeGammaTable(uint32_t fileGamma, HostFixed monitorGamma, uint8_t table[256]) {
    if (fileGamma == 0 || monitorGamma == 0) return false;
    const float gamma = static_cast<float>(fileGamma) / 100000.0f;
    const double exponent = 1.0 / ((monitorGamma * (1.0 / 65535.0)) * gamma);
    const double step = static_cast<double>(1.0f / 255.0f);
    // c is a hair above 1/255: with a steep exponent entry 255 comes out
    // above 255, and a sample holds no more than 255.
    for (int i = 0; i < 256; ++i) {
        const double corrected = 255.0 * std::pow(i * step, exponent);
        table[i] = corrected >= 255.0 ? 255 : static_cast<uint8_t>(corrected);
    }
    return true;
}

void ExpectTables(const SpngFile &file, const HostBefore &before, HostExpectation *host) {
    std::memcpy(host->red, before.red, 256);
    std::memcpy(host->green, before.green, 256);
    std::memcpy(host->blue, before.blue, 256);
    // A grayscale image has no palette: the codec passes over a PLTE chunk
    // in one, which libspng keeps.
    if ((file.colorType & 2) == 0) return;
    // An indexed image is corrected in its tables, never in its indices; a
    // 1-bit one not at all.
    const bool corrected = host->gammaCorrectsRows && host->mode == kModeIndexed;
    for (size_t i = 0; i < file.palette.size() / 3 && i < 256; ++i) {
        const uint8_t *entry = &file.palette[i * 3];
        host->red[i] = corrected ? host->gammaTable[entry[0]] : entry[0];
        host->green[i] = corrected ? host->gammaTable[entry[1]] : entry[1];
        host->blue[i] = corrected ? host->gammaTable[entry[2]] : entry[2];
    }
}

// Pixels per metre to whole pixels per inch in the integer half, held at
// the largest the integer half can take.
HostFixed InchResolution(uint32_t pixelsPerMetre) {
    const auto perInch = static_cast<uint32_t>(static_cast<double>(pixelsPerMetre) * static_cast<double>(0.0254f));
    return static_cast<HostFixed>((perInch < 32767 ? perInch : 32767) << 16);
}

}  // namespace

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
    host.gammaCorrectsRows = chunks.hasGamma && MakeGammaTable(chunks.gamma, before.monitorGamma, host.gammaTable) &&
                             host.depth == 8;
    host.alphaKept = file.colorType == 4 || file.colorType == 6;
    ExpectTables(file, before, &host);
    if (host.mode == kModeIndexed) host.gammaCorrectsRows = false;
    host.horizontalResolution = before.horizontalResolution;
    host.verticalResolution = before.verticalResolution;
    if (chunks.hasPhysicalSize && chunks.unit == 1) {
        host.horizontalResolution = InchResolution(chunks.pixelsPerUnitX);
        host.verticalResolution = InchResolution(chunks.pixelsPerUnitY);
    }
    host.fileInfo = ExpectedFileInfo(chunks);
    return host;
}
