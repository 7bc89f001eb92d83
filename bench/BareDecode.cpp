// bare_decode: the least a program can do to open a PNG file with libpng,
// for the whole-process benchmark to measure `pnghost open` against: decode
// the file into one buffer holding the whole image, then exit.
//
//   bare_decode FILE.png
//
// Samples come out as pnghost's host receives them: 16-bit samples cut to
// their high byte, samples under 8 bits one to a byte (1-bit packed).
#include <png.h>
#include <setjmp.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Plain C inside the jump: the caller owns the image and row memory.
bool DecodeWholeImage(FILE *file, png_bytep *image, png_bytepp *rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_strip_16(png);
    if (png_get_bit_depth(png, info) > 1) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    *image = static_cast<png_bytep>(std::malloc(rowBytes * height));
    *rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * height));
    if (*image == nullptr || *rows == nullptr) png_error(png, "out of memory");
    for (png_uint_32 y = 0; y < height; ++y) (*rows)[y] = *image + y * rowBytes;
    png_read_image(png, *rows);
    png_read_end(png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bare_decode FILE.png\n");
        return 2;
    }
    FILE *file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 2;
    }
    png_bytep image = nullptr;
    png_bytepp rows = nullptr;
    const bool decoded = DecodeWholeImage(file, &image, &rows);
    std::fclose(file);
    std::free(rows);
    std::free(image);
    if (!decoded) std::fprintf(stderr, "bare_decode: %s: cannot decode\n", argv[1]);
    return decoded ? 0 : 1;
}
