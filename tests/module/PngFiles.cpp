#include "PngFiles.h"

#include <dirent.h>
#include <png.h>

#include <algorithm>

#include <cstdio>
#include <cstring>

namespace {

int Channels(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto *out = static_cast<std::vector<uint8_t> *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// Plain C: nothing with a destructor lives across the jump.
bool EncodeInto(const PngPicture *picture, std::vector<uint8_t> *out, png_textp texts, int textCount,
                png_bytep *rowPointers) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, picture->width, picture->height, picture->bitDepth, picture->colorType,
                 picture->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture->palette.empty())
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(picture->palette.data()),
                     static_cast<int>(picture->palette.size() / 3));
    if (picture->gamma != 0) png_set_gAMA(png, info, picture->gamma);
    if (picture->hasPhysicalSize)
        png_set_pHYs(png, info, picture->pixelsPerUnitX, picture->pixelsPerUnitY, picture->unit);
    if (textCount > 0) png_set_text(png, info, texts, textCount);
    if (picture->hasTime) {
        png_time time{static_cast<png_uint_16>(picture->year), static_cast<png_byte>(picture->month),
                      static_cast<png_byte>(picture->day), 0, 0, 0};
        png_set_tIME(png, info, &time);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct DecodeTarget {
    png_uint_32 width, height;
    int bitDepth, colorType, channels;
    size_t rowBytes;
};

bool ReadHeaderAndSetUp(png_structp png, png_infop info, DecodeTarget *target) {
    png_read_info(png, info);
    target->width = png_get_image_width(png, info);
    target->height = png_get_image_height(png, info);
    target->bitDepth = png_get_bit_depth(png, info);
    target->colorType = png_get_color_type(png, info);
    target->channels = Channels(target->colorType);
    if (target->bitDepth == 16) png_set_strip_16(png);
    if (target->bitDepth == 1 && target->colorType == PNG_COLOR_TYPE_GRAY) png_set_invert_mono(png);
    if (target->bitDepth > 1 && target->bitDepth < 8) {
        if (target->colorType == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
        else png_set_packing(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    target->rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool DecodeRows(FILE *file, DecodeTarget *target, uint8_t **pixels, size_t *size) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_bytepp rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(rows);
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    ReadHeaderAndSetUp(png, info, target);
    *size = target->rowBytes * target->height;
    *pixels = static_cast<uint8_t *>(std::calloc(*size + 1, 1));
    rows = static_cast<png_bytepp>(std::calloc(target->height, sizeof(png_bytep)));
    for (png_uint_32 y = 0; y < target->height; ++y) rows[y] = *pixels + y * target->rowBytes;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    std::free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// The bits past the last column of a 1-bit row carry nothing.
void ClearPaddingBits(HostPixels *host, size_t rowBytes) {
    const int spare = static_cast<int>(rowBytes * 8) - host->columns;
    if (spare <= 0) return;
    const uint8_t keep = static_cast<uint8_t>(0xFF << spare);
    for (int y = 0; y < host->rows; ++y) host->pixels[(y + 1) * rowBytes - 1] &= keep;
}

uint32_t ReadBig32(const uint8_t *p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

}  // namespace

size_t StoredRowBytes(const PngPicture &picture) {
    return (static_cast<size_t>(picture.width) * Channels(picture.colorType) * picture.bitDepth + 7) / 8;
}

PngPicture PatternPicture(uint32_t width, uint32_t height, int colorType, int bitDepth, bool interlaced) {
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colorType = colorType;
    picture.bitDepth = bitDepth;
    picture.interlaced = interlaced;
    for (uint32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> row(StoredRowBytes(picture));
        for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(i * 7 + y * 13 + (i * y) % 5);
        picture.rows.push_back(row);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        // Indices past the palette would be refused: mask them into it.
        const int entries = 1 << bitDepth;
        for (int i = 0; i < entries; ++i)
            picture.palette.insert(picture.palette.end(), {uint8_t(i * 3), uint8_t(255 - i), uint8_t(i * 5)});
    }
    return picture;
}

std::vector<uint8_t> EncodePng(const PngPicture &picture) {
    std::vector<uint8_t> out;
    std::vector<png_text> texts(picture.texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        texts[i].compression = PNG_TEXT_COMPRESSION_NONE;
        texts[i].key = const_cast<char *>(picture.texts[i].first.c_str());
        texts[i].text = const_cast<char *>(picture.texts[i].second.c_str());
        texts[i].text_length = picture.texts[i].second.size();
    }
    std::vector<png_bytep> rowPointers;
    for (const auto &row : picture.rows) rowPointers.push_back(const_cast<png_bytep>(row.data()));
    if (!EncodeInto(&picture, &out, texts.data(), static_cast<int>(texts.size()), rowPointers.data())) out.clear();
    return out;
}

HostPixels DecodeAsHostExpects(const std::string &path) {
    HostPixels host;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return host;
    DecodeTarget target{};
    uint8_t *pixels = nullptr;
    size_t size = 0;
    host.ok = DecodeRows(file, &target, &pixels, &size);
    std::fclose(file);
    if (host.ok) {
        host.columns = static_cast<int>(target.width);
        host.rows = static_cast<int>(target.height);
        host.planes = target.channels;
        host.depth = target.bitDepth == 1 ? 1 : 8;
        host.pixels.assign(pixels, pixels + size);
        // A 1-bit palette image arrives inverted like a 1-bit gray one.
        if (target.bitDepth == 1 && target.colorType == PNG_COLOR_TYPE_PALETTE)
            for (uint8_t &byte : host.pixels) byte = static_cast<uint8_t>(~byte);
        if (host.depth == 1) ClearPaddingBits(&host, target.rowBytes);
    }
    std::free(pixels);
    return host;
}

std::vector<PngChunk> ListChunks(const std::vector<uint8_t> &file) {
    std::vector<PngChunk> chunks;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = ReadBig32(&file[at]);
        if (length > file.size() - at - 12) break;
        PngChunk chunk;
        chunk.type.assign(reinterpret_cast<const char *>(&file[at + 4]), 4);
        chunk.data.assign(file.begin() + static_cast<long>(at + 8), file.begin() + static_cast<long>(at + 8 + length));
        chunks.push_back(chunk);
        at += 12 + length;
    }
    return chunks;
}

std::vector<std::string> PngNamesIn(const std::string &folder) {
    std::vector<std::string> names;
    if (DIR *directory = opendir(folder.c_str())) {
        while (dirent *entry = readdir(directory)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) names.push_back(name);
        }
        closedir(directory);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> PngSuiteFiles() { return PngNamesIn(PNGSUITE_DIR); }
