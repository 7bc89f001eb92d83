#include "tests/reference/SpngFile.h"

#include <spng.h>

namespace {

bool ReadHeader(spng_ctx *ctx, SpngFile *file) {
    spng_ihdr ihdr{};
    file->error = spng_get_ihdr(ctx, &ihdr);
    if (file->error != 0) return false;
    file->width = ihdr.width;
    file->height = ihdr.height;
    file->bitDepth = ihdr.bit_depth;
    file->colorType = ihdr.color_type;
    file->interlace = ihdr.interlace_method;
    return true;
}

// The chunks before the image data: libspng has read only those until the
// image is decoded.
void ReadChunksBeforeImage(spng_ctx *ctx, SpngFile *file) {
    spng_plte plte{};
    if (spng_get_plte(ctx, &plte) == 0)
        for (uint32_t i = 0; i < plte.n_entries; ++i)
            file->palette.insert(file->palette.end(),
                                 {plte.entries[i].red, plte.entries[i].green, plte.entries[i].blue});
    spng_phys phys{};
    if (spng_get_phys(ctx, &phys) == 0) {
        file->hasPhysicalSize = true;
        file->pixelsPerUnitX = phys.ppu_x;
        file->pixelsPerUnitY = phys.ppu_y;
        file->unit = phys.unit_specifier;
    }
    spng_time time{};
    if (spng_get_time(ctx, &time) == 0) {
        file->hasTime = true;
        file->year = time.year;
        file->month = time.month;
        file->day = time.day;
        file->hour = time.hour;
        file->minute = time.minute;
        file->second = time.second;
    }
    uint32_t count = 0;
    if (spng_get_text(ctx, nullptr, &count) != 0 || count == 0) return;
    std::vector<spng_text> texts(count);
    if (spng_get_text(ctx, texts.data(), &count) != 0) return;
    for (const spng_text &text : texts) {
        SpngText kept;
        kept.type = text.type;
        kept.keyword = text.keyword;
        kept.text.assign(text.text, text.text + text.length);
        file->texts.push_back(kept);
    }
}

void DecodeRows(spng_ctx *ctx, SpngFile *file) {
    size_t size = 0;
    file->error = spng_decoded_image_size(ctx, SPNG_FMT_RAW, &size);
    if (file->error != 0) return;
    file->tooLargeToDecode = size > kLargestDecodedImage;
    if (file->tooLargeToDecode) return;
    file->rows.resize(size);
    file->error = spng_decode_image(ctx, file->rows.data(), size, SPNG_FMT_RAW, 0);
    if (file->error != 0) file->rows.clear();
    file->rowBytes = file->height == 0 ? 0 : size / file->height;
}

}  // namespace

SpngFile DecodeWithSpng(const uint8_t *bytes, size_t size) {
    SpngFile file;
    spng_ctx *ctx = spng_ctx_new(0);
    if (ctx == nullptr) {
        file.error = SPNG_EMEM;
        return file;
    }
    // A damaged ancillary chunk is a damaged file, as a critical one is.
    spng_set_crc_action(ctx, SPNG_CRC_ERROR, SPNG_CRC_ERROR);
    file.error = spng_set_png_buffer(ctx, bytes, size);
    if (file.error == 0 && ReadHeader(ctx, &file)) {
        ReadChunksBeforeImage(ctx, &file);
        DecodeRows(ctx, &file);
    }
    spng_ctx_free(ctx);
    return file;
}

std::string SpngErrorText(int error) { return std::to_string(error) + " (" + spng_strerror(error) + ")"; }
