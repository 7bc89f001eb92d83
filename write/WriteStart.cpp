// Write start: the encoder on the host's file, the header chunks for the
// host's image, and the RowBuffer with the host's transfer fields.
#include "codec/WriteCodec.h"
#include "fileinfo/TextExport.h"
#include "plugin/GlobalBlock.h"
#include "plugin/ServiceChecks.h"
#include "read/HostFile.h"
#include "read/RowBuffer.h"
#include "write/WriteHandlers.h"

namespace {

// The host's 16.16 values are read with 1/65535, as they always have been,
// so that files keep the gAMA, cHRM and pHYs values they were saved with.
const float kFixedToReal = 1.5259022e-05f;
const double kInchesPerMetre = 39.37008;
const int kTextListRoom = 20;
const int kPaletteEntries = 256;

double FixedToReal(HostFixed value) { return value * static_cast<double>(kFixedToReal); }

struct PngFormat {
    int colorType;
    int bitDepth;
    int16_t planes;  // channels of the colour type: all the host is asked for
    int16_t hostDepth;
};

// The PNG colour type for the host's image mode and planes; false for a mode
// this module does not save.
bool ChooseFormat(const HostFormatBlock *block, PngFormat *format) {
    switch (block->imageMode) {
        case kModeBitmap: *format = PngFormat{PNG_COLOR_TYPE_GRAY, 1, 1, 1}; return true;
        case kModeGrayscale:
            *format = block->planes >= 2 ? PngFormat{PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2, 8}
                                         : PngFormat{PNG_COLOR_TYPE_GRAY, 8, 1, 8};
            return true;
        case kModeIndexed: *format = PngFormat{PNG_COLOR_TYPE_PALETTE, 8, 1, 8}; return true;
        case kModeRGB:
            *format = block->planes >= 4 ? PngFormat{PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, 8}
                                         : PngFormat{PNG_COLOR_TYPE_RGB, 8, 3, 8};
            return true;
        default: return false;
    }
}

// The gAMA values a PNG file can carry (libpng refuses to write others): a
// monitor gamma outside them leaves the colour description out rather than
// failing the whole save.
bool GammaFitsTheFile(double gamma) {
    const double stored = gamma * 100000.0;
    return stored >= 16.0 && stored <= 625000000.0;
}

void PlanGammaAndChromaticities(const HostFormatBlock *block, PngHeaderPlan *plan) {
    if (block->monitor.gamma == 0 || block->depth <= 1) return;
    const HostMonitor &monitor = block->monitor;
    const double gamma = 1.0 / FixedToReal(monitor.gamma);
    if (!GammaFitsTheFile(gamma)) return;
    plan->hasGamma = true;
    plan->gamma = gamma;
    plan->hasChromaticities = true;
    plan->whiteX = FixedToReal(monitor.whiteX);
    plan->whiteY = FixedToReal(monitor.whiteY);
    plan->redX = FixedToReal(monitor.redX);
    plan->redY = FixedToReal(monitor.redY);
    plan->greenX = FixedToReal(monitor.greenX);
    plan->greenY = FixedToReal(monitor.greenY);
    plan->blueX = FixedToReal(monitor.blueX);
    plan->blueY = FixedToReal(monitor.blueY);
}

uint32_t PixelsPerMetre(HostFixed perInch) {
    const double perMetre = FixedToReal(perInch) * kInchesPerMetre + 0.5;
    if (perMetre <= 0.0) return 0;
    if (perMetre >= 4294967295.0) return 4294967295u;
    return static_cast<uint32_t>(perMetre);
}

void PlanResolution(const HostFormatBlock *block, PngHeaderPlan *plan) {
    if (block->horizontalResolution == 0) return;
    plan->hasPhysicalSize = true;
    plan->pixelsPerUnitX = PixelsPerMetre(block->horizontalResolution);
    plan->pixelsPerUnitY = PixelsPerMetre(block->verticalResolution);
    plan->unit = PNG_RESOLUTION_METER;
}

// Describes the host's image to the encoder. False for an image this module
// cannot save: a mode it does not know, or a depth that does not go with the
// mode, whose rows would not match what the header declares.
bool PlanHeader(PluginState &state, PngHeaderPlan *plan) {
    HostFormatBlock *block = state.hostBlock;
    PngFormat format{};
    if (!ChooseFormat(block, &format) || block->depth != format.hostDepth) return false;
    block->planes = format.planes;
    plan->width = static_cast<uint32_t>(block->imageColumns);
    plan->height = static_cast<uint32_t>(block->imageRows);
    plan->bitDepth = format.bitDepth;
    plan->colorType = format.colorType;
    plan->interlaceMethod = state.interlace != 0 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
    if (format.colorType == PNG_COLOR_TYPE_PALETTE) {
        plan->red = block->redLookUpTable;
        plan->green = block->greenLookUpTable;
        plan->blue = block->blueLookUpTable;
        plan->paletteEntries = kPaletteEntries;
    }
    plan->filterChoice = state.filterChoice;
    PlanGammaAndChromaticities(block, plan);
    PlanResolution(block, plan);
    return true;
}

// Header chunks with the File Info as text, when the user asked for it. The
// list points into the host's image resources, which stay put until the
// header is written.
bool WriteHeaderChunks(PluginState &state, PngHeaderPlan *plan) {
    if (state.writeFileInfo == 0) return WriteHeader(state, *plan);
    PngTextList texts{};
    texts.entries = static_cast<PngTextEntry *>(AllocateGlobalBlock(kTextListRoom * sizeof(PngTextEntry)));
    if (texts.entries == nullptr) return false;
    texts.room = kTextListRoom;
    FileInfoToText(state, &texts);
    plan->texts = &texts;
    const bool written = WriteHeader(state, *plan);
    plan->texts = nullptr;
    ReleaseGlobalBlock(texts.entries);
    return written;
}

void SetHostTransfer(PluginState &state) {
    HostFormatBlock *block = state.hostBlock;
    block->pixelData = state.bufferPointer;
    block->transferRect.right = block->imageColumns;
    block->firstPlane = 0;
    block->lastPlane = static_cast<int16_t>(block->planes - 1);
    block->columnStep = block->planes;
    block->rowStep = state.rowBytes;
    block->planeStep = 1;
}

}  // namespace

void WriteStart(PluginState &state) {
    if (state.result != kResultNoError) return;
    if (!VerifyHostServices(state.hostBlock)) {
        RecordResult(state, kResultServicesMissing);
        return;
    }
    SeekHostFile(state.hostBlock->fileHandle, 0, 0);
    PngHeaderPlan plan{};
    if (!OpenForWriting(state) || !PlanHeader(state, &plan) || !WriteHeaderChunks(state, &plan)) {
        RecordResult(state, kResultWriteError);
        return;
    }
    state.writeFileInfo = 0;
    AllocateRowBuffer(state);
    SetHostTransfer(state);
}
