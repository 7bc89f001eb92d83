// Read start: the PNG header and the chunks before the image data become the
// host's description of the image.
#include "codec/ReadCodec.h"
#include "fileinfo/TextImport.h"
#include "plugin/ServiceChecks.h"
#include "read/GammaTable.h"
#include "read/ReadHandlers.h"

namespace {

const float kMetresPerInch = 0.0254f;
const int32_t kLargestResolution = 32767;  // the integer half of a 16.16 value

struct HostDescription {
    int16_t mode;
    int16_t depth;
    int16_t planes;
    bool alpha;
};

// The host mode for a PNG colour type and bit depth; false for a colour type
// the host cannot hold.
bool DescribeForHost(int colorType, int bitDepth, HostDescription *host) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY:
            *host = bitDepth == 1 ? HostDescription{kModeBitmap, 1, 1, false}
                                  : HostDescription{kModeGrayscale, 8, 1, false};
            return true;
        case PNG_COLOR_TYPE_RGB: *host = HostDescription{kModeRGB, 8, 3, false}; return true;
        case PNG_COLOR_TYPE_PALETTE:
            *host = bitDepth == 1 ? HostDescription{kModeBitmap, 1, 1, false}
                                  : HostDescription{kModeIndexed, 8, 1, false};
            return true;
        case PNG_COLOR_TYPE_GRAY_ALPHA: *host = HostDescription{kModeGrayscale, 8, 2, true}; return true;
        case PNG_COLOR_TYPE_RGB_ALPHA: *host = HostDescription{kModeRGB, 8, 4, true}; return true;
        default: return false;
    }
}

// Palette images are corrected once, in their look-up tables; their rows
// hold indices, which must never go through the table.
void CorrectPalette(PluginState &state, int entries) {
    HostFormatBlock *block = state.hostBlock;
    if (state.gammaApplies != 0) {
        for (int i = 0; i < entries && i < 256; ++i) {
            block->redLookUpTable[i] = state.gammaTable[block->redLookUpTable[i]];
            block->greenLookUpTable[i] = state.gammaTable[block->greenLookUpTable[i]];
            block->blueLookUpTable[i] = state.gammaTable[block->blueLookUpTable[i]];
        }
    }
    state.gammaApplies = 0;
}

// Pixels per metre to the host's pixels per inch, whole inches only. A
// resolution past what the host's field holds is capped rather than wrapped.
HostFixed ResolutionFromMetres(uint32_t pixelsPerMetre) {
    int64_t perInch = static_cast<int64_t>(pixelsPerMetre * static_cast<double>(kMetresPerInch));
    if (perInch > kLargestResolution) perInch = kLargestResolution;
    return static_cast<HostFixed>(perInch * 65536);
}

void TakeResolution(HostFormatBlock *block, const PngImageHeader &header) {
    if (!header.hasPhysicalSize || header.unit != PNG_RESOLUTION_METER) return;
    block->horizontalResolution = ResolutionFromMetres(header.pixelsPerUnitX);
    block->verticalResolution = ResolutionFromMetres(header.pixelsPerUnitY);
}

bool HasTexts(const PluginState &state) {
    PngTextList texts{};
    GetReadTexts(state, &texts);
    return texts.count > 0;
}

}  // namespace

void ReadStart(PluginState &state) {
    if (state.result != kResultNoError) return;
    if (!VerifyHostServices(state.hostBlock)) {
        RecordResult(state, kResultServicesMissing);
        return;
    }
    if (!OpenForReading(state)) {
        RecordResult(state, kResultCannotRead);
        return;
    }
    PngImageHeader header{};
    DescribeImage(state, &header);
    HostFormatBlock *block = state.hostBlock;
    state.interlace = static_cast<uint32_t>(header.interlaceMethod);
    block->depth = 8;
    BuildGammaTable(state, header.hasGamma, header.gamma);

    HostDescription host{};
    if (!DescribeForHost(header.colorType, header.bitDepth, &host)) {
        RecordResult(state, kResultCannotRead);
        return;
    }
    if (header.colorType == PNG_COLOR_TYPE_PALETTE && header.bitDepth > 1) CorrectPalette(state, header.paletteEntries);
    if (host.alpha) state.alphaFlag = 1;
    block->imageMode = host.mode;
    block->depth = host.depth;
    block->planes = host.planes;
    block->imageColumns = static_cast<int16_t>(header.width);
    block->imageRows = static_cast<int16_t>(header.height);
    TakeResolution(block, header);

    if (!StartImage(state)) RecordResult(state, kResultCannotRead);
    if (state.result == kResultNoError && HasTexts(state)) TextToFileInfo(state);
}
