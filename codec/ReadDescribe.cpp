// What the read found in the chunks: the image header, and the texts and
// modification time.
#include "codec/CodecRecord.h"
#include "codec/ReadCodec.h"

namespace {

const float kGammaScale = 100000.0f;

}  // namespace

void DescribeImage(const PluginState &state, PngImageHeader *header) {
    const png_structp png = state.codecContext;
    const png_infop info = state.imageInfo;
    const CodecRecord *record = state.codecRecord;
    *header = PngImageHeader{};
    header->width = png_get_image_width(png, info);
    header->height = png_get_image_height(png, info);
    header->bitDepth = png_get_bit_depth(png, info);
    header->colorType = png_get_color_type(png, info);
    header->interlaceMethod = png_get_interlace_type(png, info);
    // The module's own reading of gAMA: libpng drops a gamma it finds out of
    // its range, or when another colour chunk is malformed.
    header->hasGamma = record->stream.gamma != 0;
    header->gamma = static_cast<float>(record->stream.gamma) / kGammaScale;
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &x, &y, &unit) != 0) {
        header->hasPhysicalSize = true;
        header->pixelsPerUnitX = x;
        header->pixelsPerUnitY = y;
        header->unit = unit;
    }
    header->paletteEntries = record->paletteEntries;
}

void GetReadTexts(const PluginState &state, PngTextList *texts) {
    *texts = PngTextList{};
    const CodecRecord *record = state.codecRecord;
    if (record == nullptr) return;
    texts->entries = record->texts.entries;
    texts->count = record->texts.count;
    texts->room = record->texts.room;
    png_timep time = nullptr;
    if (png_get_tIME(state.codecContext, state.imageInfo, &time) != 0) {
        texts->hasTime = true;
        texts->time = *time;
    }
}
