#include <unistd.h>

#include <cstdio>

#include "pnghost/Commands.h"
#include "pnghost/InputFile.h"
#include "pnghost/Operations.h"
#include "pnghost/PamFile.h"
#include "pnghost/ResultText.h"

namespace {

const char *ModeName(int16_t mode) {
    switch (mode) {
        case kModeBitmap: return "bitmap";
        case kModeGrayscale: return "grayscale";
        case kModeIndexed: return "indexed";
        case kModeRGB: return "RGB";
        default: return "other";
    }
}

void PrintImage(const std::string &path, const HostImage &image) {
    std::printf("%s: %d x %d %s, %d plane%s of %d bit%s, %.4g x %.4g ppi, File Info %zu bytes\n", path.c_str(),
                image.columns, image.rows, ModeName(image.mode), image.planes, image.planes == 1 ? "" : "s",
                image.depth, image.depth == 1 ? "" : "s", image.horizontalResolution / 65536.0,
                image.verticalResolution / 65536.0, image.resources.size());
}

void PrintTooLarge(const std::string &path, const HostImage &image) {
    const double mebibytes = double(HostImageRowBytes(image)) * image.rows / (1024.0 * 1024.0);
    std::fprintf(stderr, "pnghost: %s: the image is too large for this host (%d x %d, %d plane%s: %.0f MiB)\n",
                 path.c_str(), image.columns, image.rows, image.planes, image.planes == 1 ? "" : "s", mebibytes);
}

}  // namespace

int OpenFile(HostSession *session, const std::string &path) {
    std::string error;
    const int file = OpenInputFile(path, &error);
    if (file < 0) {
        std::fprintf(stderr, "pnghost: %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }
    session->progressLabel = "opening " + path;
    const int16_t result = OpenWithModule(session, file);
    session->progressLabel.clear();
    close(file);
    if (session->imageTooLarge) {
        PrintTooLarge(path, session->image);
        return 2;
    }
    if (result != kResultNoError) {
        std::fprintf(stderr, "pnghost: %s: %s\n", path.c_str(), DescribeResult(result).c_str());
        return result == kResultCannotRead ? 1 : 2;
    }
    return 0;
}

int RunOpenCommand(HostSession *session, const std::string &path, const std::string &pamPath) {
    const int status = OpenFile(session, path);
    if (status != 0) return status;
    PrintImage(path, session->image);
    std::string error;
    if (!pamPath.empty() && !WritePamFile(session->image, pamPath, &error)) {
        std::fprintf(stderr, "pnghost: %s: %s\n", pamPath.c_str(), error.c_str());
        return 2;
    }
    return 0;
}
