#include "bench/BareLibpng.h"

#include <png.h>
#include <setjmp.h>
#include <unistd.h>

#include <cstdlib>

namespace {

void WriteToFile(png_structp png, png_bytep data, size_t length) {
    const int file = *static_cast<int *>(png_get_io_ptr(png));
    for (size_t done = 0; done < length;) {
        const ssize_t put = write(file, data + done, length - done);
        if (put <= 0) png_error(png, "write failed");
        done += static_cast<size_t>(put);
    }
}

void ReadFromFile(png_structp png, png_bytep data, size_t length) {
    const int file = *static_cast<int *>(png_get_io_ptr(png));
    for (size_t done = 0; done < length;) {
        const ssize_t got = read(file, data + done, length - done);
        if (got <= 0) png_error(png, "read failed");
        done += static_cast<size_t>(got);
    }
}

void NoFlush(png_structp) {}

int ColorType(const HostImage &image) {
    if (image.mode == kModeIndexed) return PNG_COLOR_TYPE_PALETTE;
    if (image.mode == kModeRGB) return image.planes == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    return PNG_COLOR_TYPE_GRAY;
}

void SetHeader(png_structp png, png_infop info, const HostImage &image, bool interlace) {
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.columns), static_cast<png_uint_32>(image.rows), image.depth,
                 ColorType(image), interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (image.mode == kModeIndexed) {
        png_color palette[256];
        for (int i = 0; i < 256; ++i) palette[i] = png_color{image.red[i], image.green[i], image.blue[i]};
        png_set_PLTE(png, info, palette, 256);
    }
}

// Plain C inside the jump: the row pointers come from the caller.
bool EncodeRows(const HostImage &image, int level, int filters, bool interlace, int *file, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, file, WriteToFile, NoFlush);
    png_set_compression_level(png, level);
    png_set_compression_window_bits(png, 15);
    png_set_compression_mem_level(png, 8);
    png_set_compression_strategy(png, 0);
    png_set_compression_buffer_size(png, 16384);
    SetHeader(png, info, image, interlace);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
    if (image.depth == 1) png_set_invert_mono(png);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// The module's read row format: 2- and 4-bit samples to bytes, 16-bit to
// their high byte, 1-bit gray inverted.
void ChooseTransforms(png_structp png, png_infop info) {
    const int depth = png_get_bit_depth(png, info);
    const int type = png_get_color_type(png, info);
    if (depth == 2 || depth == 4) {
        if (type == PNG_COLOR_TYPE_PALETTE) png_set_packing(png);
        else png_set_expand_gray_1_2_4_to_8(png);
    }
    if (depth == 16) png_set_strip_16(png);
    if (depth == 1 && type == PNG_COLOR_TYPE_GRAY) png_set_invert_mono(png);
}

bool DecodeRows(int *file, png_bytep *memory) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, file, ReadFromFile);
    png_read_info(png, info);
    ChooseTransforms(png, info);
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    *memory = static_cast<png_bytep>(std::calloc(interlaced ? rowBytes * height : rowBytes, 1));
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, *memory + (interlaced ? y * rowBytes : 0), nullptr);
    png_read_end(png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

// The options dialog starts on "Adaptive" (all five filters, row by row),
// and on "None" for indexed and 1-bit images.
int DefaultFilters(const HostImage &image) {
    if (image.mode == kModeIndexed || image.depth == 1) return PNG_FILTER_NONE;
    return PNG_ALL_FILTERS;
}

bool BareEncode(const HostImage &image, int level, int filters, bool interlace, int file) {
    const size_t rowBytes = static_cast<size_t>(HostImageRowBytes(image));
    png_bytepp rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * static_cast<size_t>(image.rows)));
    for (int y = 0; y < image.rows; ++y) rows[y] = const_cast<png_bytep>(image.pixels.data()) + y * rowBytes;
    const bool written = EncodeRows(image, level, filters, interlace, &file, rows);
    std::free(rows);
    return written;
}

bool BareDecode(int file) {
    png_bytep memory = nullptr;
    const bool decoded = DecodeRows(&file, &memory);
    std::free(memory);
    return decoded;
}
