#include "tests/reference/SpngFile.h"

#include <spng.h>

#include <algorithm>
#include <cstdint>

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

// A getter's answer: a chunk that is simply absent is no error, anything
// else is libspng's verdict on the file, and the first one is kept (after
// it libspng answers every call with "non-recoverable state").
bool Found(int answer, SpngFile *file) {
    if (answer == 0) return true;
    if (answer != SPNG_ECHUNKAVAIL && file->error == 0) file->error = answer;
    return false;
}

void ReadColour(spng_ctx *ctx, SpngFile *file) {
    spng_plte plte{};
    if (Found(spng_get_plte(ctx, &plte), file))
        for (uint32_t i = 0; i < plte.n_entries; ++i)
            file->palette.insert(file->palette.end(),
                                 {plte.entries[i].red, plte.entries[i].green, plte.entries[i].blue});
    file->hasGamma = Found(spng_get_gama_int(ctx, &file->gamma), file);
    spng_chrm_int chrm{};
    file->hasChromaticities = Found(spng_get_chrm_int(ctx, &chrm), file);
    const uint32_t values[8] = {chrm.white_point_x, chrm.white_point_y, chrm.red_x,  chrm.red_y,
                                chrm.green_x,       chrm.green_y,       chrm.blue_x, chrm.blue_y};
    for (int i = 0; i < 8; ++i) file->chromaticities[i] = values[i];
}

void ReadTexts(spng_ctx *ctx, SpngFile *file) {
    uint32_t count = 0;
    if (!Found(spng_get_text(ctx, nullptr, &count), file) || count == 0) return;
    std::vector<spng_text> texts(count);
    if (!Found(spng_get_text(ctx, texts.data(), &count), file)) return;
    for (const spng_text &text : texts) {
        SpngText kept;
        kept.type = text.type;
        kept.keyword = text.keyword;
        kept.text.assign(text.text, text.text + text.length);
        file->texts.push_back(kept);
    }
}

// The chunks before the image data: libspng has read only those until the
// image is decoded.
void ReadChunksBeforeImage(spng_ctx *ctx, SpngFile *file) {
    ReadColour(ctx, file);
    spng_phys phys{};
    if (Found(spng_get_phys(ctx, &phys), file)) {
        file->hasPhysicalSize = true;
        file->pixelsPerUnitX = phys.ppu_x;
        file->pixelsPerUnitY = phys.ppu_y;
        file->unit = phys.unit_specifier;
    }
    spng_time time{};
    if (Found(spng_get_time(ctx, &time), file)) {
        file->hasTime = true;
        file->year = time.year;
        file->month = time.month;
        file->day = time.day;
        file->hour = time.hour;
        file->minute = time.minute;
        file->second = time.second;
    }
    ReadTexts(ctx, file);
}

// Where the pixels of each interlace pass stand in a row.
const uint32_t kPassFirstColumn[7] = {0, 4, 0, 2, 0, 1, 0};
const uint32_t kPassColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};

void DecodeRows(spng_ctx *ctx, SpngFile *file, const SpngRowSink &sink) {
    if (file->width > kWidestDecodedRow) {
        file->rowsNotDecoded = true;
        return;
    }
    size_t size = 0;
    file->error = spng_decoded_image_size(ctx, SPNG_FMT_RAW, &size);
    if (file->error != 0) return;
    file->error = spng_decode_image(ctx, nullptr, 0, SPNG_FMT_RAW, SPNG_DECODE_PROGRESSIVE);
    std::vector<uint8_t> row(size / file->height);
    const bool interlaced = file->interlace != 0;
    // libspng puts the pixels of an interlaced row below 8 bits in by
    // setting bits: such a row starts clear.
    const bool clearEachRow = interlaced && file->bitDepth < 8;
    while (file->error == 0) {
        spng_row_info info{};
        if (spng_get_row_info(ctx, &info) != 0) return;
        if (clearEachRow) std::fill(row.begin(), row.end(), 0);
        const int answer = spng_decode_row(ctx, row.data(), row.size());
        if (answer != 0 && answer != SPNG_EOI) {
            file->error = answer;
            return;
        }
        const SpngRow decoded{info.row_num, interlaced ? kPassFirstColumn[info.pass] : 0,
                              interlaced ? kPassColumnStep[info.pass] : 1, row.data()};
        if ((sink && !sink(*file, decoded)) || answer == SPNG_EOI) return;
    }
}

}  // namespace

SpngFile DecodeWithSpng(const uint8_t *bytes, size_t size, const SpngRowSink &sink) {
    SpngFile file;
    spng_ctx *ctx = spng_ctx_new(0);
    if (ctx == nullptr) {
        file.error = SPNG_EMEM;
        return file;
    }
    // A damaged ancillary chunk is a damaged file, as a critical one is.
    spng_set_crc_action(ctx, SPNG_CRC_ERROR, SPNG_CRC_ERROR);
    // No chunk is longer than 2^31 - 1 bytes. The count of chunks stays at
    // 1000: libspng 0.7 takes no higher one (see fuzz/OpenDiffClasses.cpp).
    spng_set_chunk_limits(ctx, INT32_MAX, SIZE_MAX);
    file.error = spng_set_png_buffer(ctx, bytes, size);
    if (file.error == 0 && ReadHeader(ctx, &file)) {
        ReadChunksBeforeImage(ctx, &file);
        if (file.error == 0) DecodeRows(ctx, &file, sink);
    }
    spng_ctx_free(ctx);
    return file;
}

std::string SpngErrorText(int error) { return std::to_string(error) + " (" + spng_strerror(error) + ")"; }

bool IsSpngLimit(int error) { return error == SPNG_EMEM || error == SPNG_EOVERFLOW; }
