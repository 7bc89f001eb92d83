// Valid PNG files of every kind the module treats differently, for the
// targets that open files: each colour type and depth, plain and
// interlaced, with and without transparency and a gamma, opened under no
// monitor gamma and several; each ancillary chunk of the chunk table alone,
// repeated and in each place it may stand; resolutions, texts at the lengths
// the module cuts or keeps, images 1 to 9 pixels wide and high, and image
// data in thousands of chunks.
#ifndef KORVANE_FUZZ_FILE_KIND_SEEDS_H
#define KORVANE_FUZZ_FILE_KIND_SEEDS_H

#include <cstdint>
#include <string>
#include <vector>

// The monitor gammas a seed is opened under; both open targets offer these.
enum class SeedMonitor { None, Gamma10, Gamma18, Gamma22 };

// A colour type with one of its depths.
struct PictureFormat {
    int colorType, depth;
};
// Every colour type with each of its depths.
extern const PictureFormat kPictureFormats[15];
// "COLOURTYPE-DEPTH", then "-interlaced" for an interlaced picture.
std::string FormatName(const PictureFormat &format, bool interlaced);

struct FileSeed {
    std::string name;
    std::vector<uint8_t> file;
    SeedMonitor monitor = SeedMonitor::None;
};

std::vector<FileSeed> FileKindSeeds();

// An RGB noise image of over 8 MB as libpng writes it, in image data chunks
// of libpng's 8 KiB: over a thousand of them.
std::vector<uint8_t> LargeLibpngFile();

#endif
