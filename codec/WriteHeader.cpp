// WriteHeader: the image description and the chunks that precede the image
// data, as the save plan lists them.
#include <setjmp.h>

#include "codec/WriteCodec.h"
#include "codec/WriteIo.h"
#include "codec/WriteFilters.h"
#include "codec/WriteTexts.h"

namespace {

const int kPaletteRoom = 256;

void SetPalette(png_structp png, png_infop info, const PngHeaderPlan &plan) {
    png_color palette[kPaletteRoom];
    for (int i = 0; i < plan.paletteEntries; ++i) {
        palette[i].red = plan.red[i];
        palette[i].green = plan.green[i];
        palette[i].blue = plan.blue[i];
    }
    png_set_PLTE(png, info, palette, plan.paletteEntries);
}

// libpng stores gamma and chromaticities as value × 100000 rounded to the
// nearest integer (0.49999237 becomes 49999), which is the rounding the
// module wants, so the floating-point setters serve as they are.
void SetColorDescription(png_structp png, png_infop info, const PngHeaderPlan &plan) {
    if (plan.hasGamma) png_set_gAMA(png, info, plan.gamma);
    if (plan.hasChromaticities)
        png_set_cHRM(png, info, plan.whiteX, plan.whiteY, plan.redX, plan.redY, plan.greenX, plan.greenY,
                     plan.blueX, plan.blueY);
}

// A PNG file stores each chromaticity as an unsigned value × 100000, and a
// chromaticity lies between 0 and 1; libpng ends the save on values it
// cannot store at all.
bool ChromaticitiesInRange(const PngHeaderPlan &plan) {
    const double values[] = {plan.whiteX, plan.whiteY, plan.redX,  plan.redY,
                             plan.greenX, plan.greenY, plan.blueX, plan.blueY};
    for (double value : values)
        if (!(value >= 0.0 && value <= 1.0)) return false;
    return true;
}

bool SetChromaticitiesOn(png_structp png, png_infop trial, const PngHeaderPlan &plan) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_cHRM(png, trial, plan.whiteX, plan.whiteY, plan.redX, plan.redY, plan.greenX, plan.greenY, plan.blueX,
                 plan.blueY);
    return png_get_valid(png, trial, PNG_INFO_cHRM) != 0;
}

// libpng refuses a set it cannot turn into a colour space (a white point
// with y = 0, a colour whose x + y exceeds 1, points that coincide) by
// marking the image's whole colour description invalid, which would lose
// gAMA as well. So the set is tried on an image info of its own first;
// *taken says whether libpng took it. False when there is no memory for the
// trial. Called before any other jump buffer is set: this one is dead on
// return.
bool TryChromaticities(png_structp png, const PngHeaderPlan &plan, bool *taken) {
    *taken = false;
    if (!ChromaticitiesInRange(plan)) return true;
    png_infop trial = png_create_info_struct(png);
    if (trial == nullptr) return false;
    *taken = SetChromaticitiesOn(png, trial, plan);
    png_destroy_info_struct(png, &trial);
    return true;
}

// png_write_info puts the chunks out in the order IHDR, gAMA, cHRM, PLTE,
// pHYs, tIME, then the text chunks in list order, whatever order they are
// set in here.
bool WriteInfoChunks(png_structp png, png_infop info, const PngHeaderPlan &plan, int filterMask, png_textp texts,
                     int textCount) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_IHDR(png, info, plan.width, plan.height, plan.bitDepth, plan.colorType, plan.interlaceMethod,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (plan.paletteEntries > 0) SetPalette(png, info, plan);
    SetColorDescription(png, info, plan);
    if (plan.hasPhysicalSize) png_set_pHYs(png, info, plan.pixelsPerUnitX, plan.pixelsPerUnitY, plan.unit);
    if (plan.texts != nullptr && plan.texts->hasTime) png_set_tIME(png, info, &plan.texts->time);
    if (textCount > 0) png_set_text(png, info, texts, textCount);
    // Always a mask: libpng takes the plain values 5 to 7 for filter numbers
    // and refuses them.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filterMask);
    // The host's 1 is black, the file's 1 white.
    if (plan.bitDepth == 1) png_set_invert_mono(png);
    png_write_info(png, info);
    return true;
}

// libpng leaves out the passes of an interlaced image that hold no pixel.
uint32_t RowsToWrite(const PngHeaderPlan &plan) {
    if (plan.interlaceMethod != PNG_INTERLACE_ADAM7) return plan.height;
    uint32_t rows = 0;
    for (int pass = 0; pass < 7; ++pass)
        if (PNG_PASS_COLS(plan.width, pass) > 0) rows += PNG_PASS_ROWS(plan.height, pass);
    return rows;
}

}  // namespace

bool WriteHeader(PluginState &state, const PngHeaderPlan &plan) {
    if (plan.paletteEntries > kPaletteRoom) return false;
    png_structp png = state.codecContext;
    PngHeaderPlan checked = plan;
    if (plan.hasChromaticities && !TryChromaticities(png, plan, &checked.hasChromaticities)) return false;
    const int textCount = plan.texts != nullptr ? plan.texts->count : 0;
    png_textp texts = nullptr;
    if (textCount > 0) {
        texts = CopyTextsForLibpng(*plan.texts);
        if (texts == nullptr) return false;
    }
    const int filterMask = FilterMaskForChoice(plan.filterChoice, plan.colorType, plan.bitDepth);
    const bool written = WriteInfoChunks(png, state.imageInfo, checked, filterMask, texts, textCount);
    ReleaseTextCopies(texts);
    if (!written) return false;
    ExpectRows(png, RowsToWrite(plan));
    const size_t pixelBytes = png_get_channels(png, state.imageInfo) * static_cast<size_t>(plan.bitDepth) / 8;
    return StartRowFilterChoice(RowFilterChoiceOf(png), plan.width, plan.height, pixelBytes,
                                plan.interlaceMethod == PNG_INTERLACE_ADAM7, filterMask);
}
