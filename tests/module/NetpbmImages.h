// Netpbm images of every mode the host holds, written exactly as pnghost
// writes them, and a private folder to save them in.
#ifndef KORVANE_TESTS_NETPBM_IMAGES_H
#define KORVANE_TESTS_NETPBM_IMAGES_H

#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "FormatHost.h"

struct NetpbmMode {
    const char *name;
    int16_t mode;
    int planes;
    const char *extension;
};

inline void PrintTo(const NetpbmMode &mode, std::ostream *out) { *out << mode.name; }

// Each mode once: indexed is a P5 of indices with a palette beside it.
const NetpbmMode kNetpbmModes[] = {
    {"bitmap", kModeBitmap, 1, "pbm"},     {"gray", kModeGrayscale, 1, "pgm"},
    {"grayalpha", kModeGrayscale, 2, "pam"}, {"rgb", kModeRGB, 3, "ppm"},
    {"rgbalpha", kModeRGB, 4, "pam"},      {"indexed", kModeIndexed, 1, "pgm"},
};

// Odd sizes: the interlace passes are uneven and a bitmap row has spare bits.
const int kNetpbmColumns = 37;
const int kNetpbmRows = 19;

inline std::string NetpbmHeader(const NetpbmMode &mode, int columns, int rows) {
    const std::string size = std::to_string(columns) + " " + std::to_string(rows) + "\n";
    if (mode.mode == kModeBitmap) return "P4\n" + size;
    if (mode.planes == 1) return "P5\n" + size + "255\n";
    if (mode.planes == 3) return "P6\n" + size + "255\n";
    return "P7\nWIDTH " + std::to_string(columns) + "\nHEIGHT " + std::to_string(rows) + "\nDEPTH " +
           std::to_string(mode.planes) + "\nMAXVAL 255\nTUPLTYPE " + (mode.planes == 2 ? "GRAYSCALE_ALPHA" : "RGB_ALPHA") +
           "\nENDHDR\n";
}

// A netpbm file of the mode: noise over a gradient, so that every row filter
// has work; a bitmap's spare bits are 0, as netpbm writes them.
inline std::string NetpbmImage(const NetpbmMode &mode, int columns = kNetpbmColumns, int rows = kNetpbmRows) {
    std::string bytes = NetpbmHeader(mode, columns, rows);
    const int rowBytes = mode.mode == kModeBitmap ? (columns + 7) / 8 : columns * mode.planes;
    uint32_t noise = 12345;
    for (int y = 0; y < rows; ++y)
        for (int i = 0; i < rowBytes; ++i) {
            noise = noise * 1103515245u + 12345u;
            uint8_t byte = static_cast<uint8_t>(i * 5 + y * 11 + (noise >> 27));
            if (mode.mode == kModeBitmap && i == rowBytes - 1 && columns % 8 != 0)
                byte &= static_cast<uint8_t>(0xFF << (8 - columns % 8));
            bytes += static_cast<char>(byte);
        }
    return bytes;
}

// 256 distinct colours as a 256 x 1 P6.
inline std::string NetpbmPalette() {
    std::string bytes = "P6\n256 1\n255\n";
    for (int i = 0; i < 256; ++i) bytes += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i * 7)};
    return bytes;
}

inline void WriteText(const std::string &path, const std::string &bytes) {
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// A private folder, removed with what is in it.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/korvane-pnghost-XXXXXX";
        path_ = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
    }
    ~TempFolder() {
        for (const std::string &name : Names()) unlink(Path(name).c_str());
        rmdir(path_.c_str());
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    std::string Path(const std::string &name) const { return path_ + "/" + name; }
    // The names in the folder, hidden ones included.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        DIR *folder = opendir(path_.c_str());
        if (folder == nullptr) return names;
        while (const dirent *entry = readdir(folder))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
        closedir(folder);
        return names;
    }

private:
    std::string path_;
};

#endif
