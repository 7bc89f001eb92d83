#include "pnghost/formats/PamFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct PamLayout {
    int depth;
    int maxval;
    const char *tupleType;
};

PamLayout LayoutFor(const HostImage &image) {
    if (image.depth == 1) return {1, 1, "BLACKANDWHITE"};
    if (image.mode == kModeIndexed) return {3, 255, "RGB"};
    switch (image.planes) {
        case 1: return {1, 255, "GRAYSCALE"};
        case 2: return {2, 255, "GRAYSCALE_ALPHA"};
        case 3: return {3, 255, "RGB"};
        default: return {4, 255, "RGB_ALPHA"};
    }
}

std::vector<uint8_t> PamRow(const HostImage &image, int32_t row, const PamLayout &layout) {
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(image.columns) * static_cast<size_t>(layout.depth));
    const uint8_t *in = image.pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(HostImageRowBytes(image));
    for (int32_t x = 0; x < image.columns; ++x) {
        if (image.depth == 1) {
            // The host's 1 is black; PAM's black is 0.
            out.push_back(((in[x / 8] >> (7 - x % 8)) & 1) != 0 ? 0 : 1);
        } else if (image.mode == kModeIndexed) {
            const uint8_t index = in[x];
            out.insert(out.end(), {image.red[index], image.green[index], image.blue[index]});
        } else {
            for (int plane = 0; plane < layout.depth; ++plane) out.push_back(in[x * image.planes + plane]);
        }
    }
    return out;
}

}  // namespace

bool WritePamFile(const HostImage &image, const std::string &path, std::string *error) {
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    const PamLayout layout = LayoutFor(image);
    std::fprintf(file, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL %d\nTUPLTYPE %s\nENDHDR\n", image.columns,
                 image.rows, layout.depth, layout.maxval, layout.tupleType);
    for (int32_t row = 0; row < image.rows; ++row) {
        const std::vector<uint8_t> bytes = PamRow(image, row, layout);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    }
    const bool written = std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !written) {
        *error = "cannot write the file";
        return false;
    }
    return true;
}
