#include <cstdio>

#include "pnghost/commands/Commands.h"
#include "pnghost/files/OpenFile.h"
#include "pnghost/files/StandardStreams.h"
#include "pnghost/formats/JsonReport.h"
#include "pnghost/formats/NetpbmFile.h"
#include "pnghost/formats/PamFile.h"
#include "pnghost/host/Operations.h"

namespace {

void PrintImage(const std::string &path, const HostImage &image) {
    std::printf("%s: %d x %d %s, %d plane%s of %d bit%s, %.4g x %.4g ppi, File Info %zu bytes\n",
                ShownName(path).c_str(),
                image.columns, image.rows, ImageModeName(image.mode), image.planes, image.planes == 1 ? "" : "s",
                image.depth, image.depth == 1 ? "" : "s", image.horizontalResolution / 65536.0,
                image.verticalResolution / 65536.0, image.resources.size());
}

using ImageWriter = bool (*)(const HostImage &, const std::string &, std::string *);

bool WriteIfAsked(ImageWriter write, const HostImage &image, const std::string &path) {
    std::string error;
    if (path.empty() || write(image, path, &error)) return true;
    std::fprintf(stderr, "pnghost: %s: %s\n", path.c_str(), error.c_str());
    return false;
}

}  // namespace

int RunOpenCommand(HostSession *session, const OpenRequest &request) {
    int16_t result = kResultNoError;
    std::string problem;
    const bool opened = OpenThroughModule(session, request.path, &result, &problem);
    if (!problem.empty()) std::fprintf(stderr, "pnghost: %s\n", problem.c_str());
    if (!opened) return 2;
    if (request.json) PrintOpenReport(stdout, *session, ShownName(request.path), result);
    if (result != kResultNoError) return OpenStatus(*session, result);
    const HostImage &image = session->image;
    if (!request.json) PrintImage(request.path, image);
    if (!request.palettePath.empty() && image.mode != kModeIndexed) {
        std::fprintf(stderr, "pnghost: %s: not written: the image is %s, not indexed\n", request.palettePath.c_str(),
                     ImageModeName(image.mode));
        return 2;
    }
    const bool written = WriteIfAsked(WriteNetpbmImage, image, request.outPath) &&
                         WriteIfAsked(WriteNetpbmPalette, image, request.palettePath) &&
                         WriteIfAsked(WritePamFile, image, request.pamPath);
    return written ? 0 : 2;
}
