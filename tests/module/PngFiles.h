// PNG files for the module to open, made with plain libpng, and plain
// libpng's own decoding of files, to compare the module's work with.
#ifndef KORVANE_TESTS_PNG_FILES_H
#define KORVANE_TESTS_PNG_FILES_H

#include <cstdint>
#include <string>
#include <vector>

struct PngPicture {
    uint32_t width = 8;
    uint32_t height = 8;
    int bitDepth = 8;
    int colorType = 0;  // PNG_COLOR_TYPE_*
    bool interlaced = false;
    std::vector<std::vector<uint8_t>> rows;  // packed as PNG stores them
    std::vector<uint8_t> palette;            // red, green, blue triples
    double gamma = 0;                        // gAMA when not 0
    bool hasPhysicalSize = false;
    uint32_t pixelsPerUnitX = 0, pixelsPerUnitY = 0;
    int unit = 1;
    std::vector<std::pair<std::string, std::string>> texts;  // tEXt before the image data
    bool hasTime = false;
    int year = 0, month = 0, day = 0;
};

// Bytes per stored row of the picture.
size_t StoredRowBytes(const PngPicture &picture);
// A picture whose samples run through every value, so that mistakes show.
PngPicture PatternPicture(uint32_t width, uint32_t height, int colorType, int bitDepth, bool interlaced);

// Writes the picture as a PNG file; the bytes of the file.
std::vector<uint8_t> EncodePng(const PngPicture &picture);

// The image as the host should receive it from the module: 8-bit samples
// (16-bit cut to their high byte, 2- and 4-bit gray scaled, palette indices
// unscaled), 1-bit images packed and inverted, de-interlaced, no gamma.
struct HostPixels {
    bool ok = false;
    int columns = 0, rows = 0, planes = 0, depth = 8;
    std::vector<uint8_t> pixels;
};
HostPixels DecodeAsHostExpects(const std::string &path);

// The names of the PNG files in a folder, sorted.
std::vector<std::string> PngNamesIn(const std::string &folder);
// The names of the PngSuite images, sorted.
std::vector<std::string> PngSuiteFiles();

// The file's chunks, in order: type and data.
struct PngChunk {
    std::string type;
    std::vector<uint8_t> data;
};
std::vector<PngChunk> ListChunks(const std::vector<uint8_t> &file);

#endif
