#include "pnghost/formats/NetpbmFile.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "pnghost/host/InputFile.h"

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE *)>;

File OpenFile(const std::string &path, const char *mode, std::string *error) {
    File file(std::fopen(path.c_str(), mode), std::fclose);
    if (file == nullptr) *error = std::strerror(errno);
    return file;
}

bool Fail(std::string *error, const std::string &why) {
    *error = why;
    return false;
}

// The header of a netpbm file, whichever kind.
struct NetpbmHeader {
    char kind = 0;  // '4', '5', '6' or '7'
    long width = 0;
    long height = 0;
    long depth = 0;  // samples per pixel
    long maxval = 0;
    std::string tupleType;
};

// Skips white space and comments (from # to the end of the line).
void SkipSpace(FILE *file) {
    int c;
    while ((c = std::getc(file)) != EOF) {
        if (c == '#') {
            while ((c = std::getc(file)) != EOF && c != '\n') {}
        } else if (!std::isspace(c)) {
            std::ungetc(c, file);
            return;
        }
    }
}

bool ReadNumber(FILE *file, long *value) {
    SkipSpace(file);
    *value = 0;
    int c = std::getc(file);
    if (!std::isdigit(c)) return false;
    for (; std::isdigit(c); c = std::getc(file)) {
        if (*value > 1000000) return false;
        *value = *value * 10 + (c - '0');
    }
    // One white space character ends the number; after the last header
    // number it is the only byte before the raster.
    return std::isspace(c);
}

// P4, P5, P6: numbers separated by white space and comments.
bool ReadPlainHeader(FILE *file, NetpbmHeader *header) {
    header->depth = header->kind == '6' ? 3 : 1;
    header->maxval = 1;
    if (!ReadNumber(file, &header->width) || !ReadNumber(file, &header->height)) return false;
    return header->kind == '4' || ReadNumber(file, &header->maxval);
}

// P7: lines of KEY VALUE up to ENDHDR.
bool ReadPamHeader(FILE *file, NetpbmHeader *header) {
    char line[256];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        char key[32] = {};
        char value[200] = {};
        if (line[0] == '#' || std::sscanf(line, "%31s %199s", key, value) < 1) continue;
        const std::string name = key;
        if (name == "ENDHDR") return true;
        if (name == "WIDTH") header->width = std::atol(value);
        else if (name == "HEIGHT") header->height = std::atol(value);
        else if (name == "DEPTH") header->depth = std::atol(value);
        else if (name == "MAXVAL") header->maxval = std::atol(value);
        else if (name == "TUPLTYPE") header->tupleType = value;
    }
    return false;
}

bool ReadHeader(FILE *file, NetpbmHeader *header, std::string *error) {
    const int p = std::getc(file);
    header->kind = static_cast<char>(std::getc(file));
    if (p != 'P' || header->kind < '4' || header->kind > '7') return Fail(error, "not a P4, P5, P6 or P7 netpbm file");
    const bool read = header->kind == '7' ? ReadPamHeader(file, header) : ReadPlainHeader(file, header);
    if (!read) return Fail(error, "damaged netpbm header");
    if (header->width < 1 || header->width > 32767 || header->height < 1 || header->height > 32767)
        return Fail(error, "the image must be 1 to 32767 pixels wide and high");
    if (header->kind != '4' && header->maxval != 255)
        return Fail(error, "only 8-bit samples (MAXVAL 255) can be opened, not MAXVAL " +
                               std::to_string(header->maxval));
    return true;
}

// The image mode and planes of a P7 tuple type.
bool PamMode(const NetpbmHeader &header, HostImage *image, std::string *error) {
    struct Tuple {
        const char *name;
        int planes;
        int16_t mode;
    };
    static const Tuple kTuples[] = {{"GRAYSCALE", 1, kModeGrayscale},
                                    {"GRAYSCALE_ALPHA", 2, kModeGrayscale},
                                    {"RGB", 3, kModeRGB},
                                    {"RGB_ALPHA", 4, kModeRGB}};
    for (const Tuple &tuple : kTuples)
        if (header.tupleType == tuple.name && header.depth == tuple.planes) {
            image->mode = tuple.mode;
            image->planes = static_cast<int16_t>(tuple.planes);
            return true;
        }
    return Fail(error, "P7 TUPLTYPE '" + header.tupleType + "' with DEPTH " + std::to_string(header.depth) +
                           " cannot be opened (GRAYSCALE, RGB, GRAYSCALE_ALPHA or RGB_ALPHA can)");
}

bool TakeMode(const NetpbmHeader &header, HostImage *image, std::string *error) {
    image->depth = 8;
    switch (header.kind) {
        case '4':
            image->mode = kModeBitmap;
            image->depth = 1;
            image->planes = 1;
            return true;
        case '5':
            image->mode = kModeGrayscale;
            image->planes = 1;
            return true;
        case '6':
            image->mode = kModeRGB;
            image->planes = 3;
            return true;
        default: return PamMode(header, image, error);
    }
}

bool WriteAll(FILE *file, const void *bytes, size_t size, std::string *error) {
    if (size > 0 && std::fwrite(bytes, 1, size, file) != size) return Fail(error, std::strerror(errno));
    return true;
}

bool CloseWritten(File file, std::string *error) {
    const bool written = std::ferror(file.get()) == 0;
    if (std::fclose(file.release()) != 0 || !written) return Fail(error, "cannot write the file");
    return true;
}

std::string HeaderFor(const HostImage &image) {
    const std::string size = std::to_string(image.columns) + " " + std::to_string(image.rows) + "\n";
    if (image.depth == 1) return "P4\n" + size;
    if (image.planes == 1 && image.mode != kModeRGB) return "P5\n" + size + "255\n";
    if (image.planes == 3 && image.mode == kModeRGB) return "P6\n" + size + "255\n";
    const char *tuple = image.planes == 2 && image.mode == kModeGrayscale ? "GRAYSCALE_ALPHA"
                        : image.planes == 4 && image.mode == kModeRGB   ? "RGB_ALPHA"
                                                                        : nullptr;
    if (tuple == nullptr) return "";
    return "P7\nWIDTH " + std::to_string(image.columns) + "\nHEIGHT " + std::to_string(image.rows) + "\nDEPTH " +
           std::to_string(image.planes) + "\nMAXVAL 255\nTUPLTYPE " + tuple + "\nENDHDR\n";
}

}  // namespace

// Opened as every input is, so a FIFO or a device is refused, not waited on.
bool LooksLikeNetpbm(const std::string &path) {
    std::string error;
    const int file = OpenInputFile(path, kLargestImageFile, &error);
    if (file < 0) return false;
    char magic[2] = {};
    const bool read = ::read(file, magic, sizeof magic) == sizeof magic;
    close(file);
    return read && magic[0] == 'P' && magic[1] >= '4' && magic[1] <= '7';
}

bool ReadNetpbmImage(const std::string &path, HostImage *image, std::string *error) {
    File file(OpenInputStream(path, kLargestImageFile, error), std::fclose);
    if (file == nullptr) return false;
    NetpbmHeader header;
    if (!ReadHeader(file.get(), &header, error) || !TakeMode(header, image, error)) return false;
    image->columns = static_cast<int16_t>(header.width);
    image->rows = static_cast<int16_t>(header.height);
    if (!AllocateHostImage(image)) return Fail(error, "the image is too large for this host");
    if (std::fread(image->pixels.data(), 1, image->pixels.size(), file.get()) != image->pixels.size())
        return Fail(error, "the file ends before the last row");
    return true;
}

bool ReadNetpbmPalette(const std::string &path, HostImage *image, std::string *error) {
    File file(OpenInputStream(path, kLargestPaletteFile, error), std::fclose);
    if (file == nullptr) return false;
    NetpbmHeader header;
    if (!ReadHeader(file.get(), &header, error)) return false;
    if (header.kind != '6' || header.width * header.height > 256)
        return Fail(error, "a palette is a P6 of at most 256 pixels");
    uint8_t entries[256][3] = {};
    const size_t count = static_cast<size_t>(header.width * header.height);
    if (std::fread(entries, 3, count, file.get()) != count) return Fail(error, "the file ends before the last entry");
    for (size_t i = 0; i < 256; ++i) {
        image->red[i] = entries[i][0];
        image->green[i] = entries[i][1];
        image->blue[i] = entries[i][2];
    }
    return true;
}

bool WriteNetpbmImage(const HostImage &image, const std::string &path, std::string *error) {
    const std::string header = HeaderFor(image);
    if (header.empty())
        return Fail(error, "no netpbm format holds mode " + std::to_string(image.mode) + " with " +
                               std::to_string(image.planes) + " planes of " + std::to_string(image.depth) + " bits");
    File file = OpenFile(path, "wb", error);
    if (file == nullptr) return false;
    if (!WriteAll(file.get(), header.data(), header.size(), error)) return false;
    // The bits past a bitmap's last column carry nothing; netpbm writes them 0.
    const bool written = image.depth == 1
                             ? WriteAll(file.get(), PixelsWithoutSpareBits(image).data(), image.pixels.size(), error)
                             : WriteAll(file.get(), image.pixels.data(), image.pixels.size(), error);
    if (!written) return false;
    return CloseWritten(std::move(file), error);
}

bool WriteNetpbmPalette(const HostImage &image, const std::string &path, std::string *error) {
    uint8_t entries[256][3];
    for (size_t i = 0; i < 256; ++i) {
        entries[i][0] = image.red[i];
        entries[i][1] = image.green[i];
        entries[i][2] = image.blue[i];
    }
    File file = OpenFile(path, "wb", error);
    if (file == nullptr) return false;
    const std::string header = "P6\n256 1\n255\n";
    if (!WriteAll(file.get(), header.data(), header.size(), error) ||
        !WriteAll(file.get(), entries, sizeof entries, error))
        return false;
    return CloseWritten(std::move(file), error);
}
