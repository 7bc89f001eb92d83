#include <unistd.h>

#include <cstdio>

#include "pnghost/commands/Commands.h"
#include "pnghost/host/InputFile.h"
#include "pnghost/formats/JsonReport.h"
#include "pnghost/formats/NetpbmFile.h"
#include "pnghost/host/Operations.h"
#include "pnghost/formats/PamFile.h"
#include "pnghost/host/ResultText.h"
#include "pnghost/files/StandardStreams.h"

namespace {

void PrintImage(const std::string &path, const HostImage &image) {
    std::printf("%s: %d x %d %s, %d plane%s of %d bit%s, %.4g x %.4g ppi, File Info %zu bytes\n",
                ShownName(path).c_str(),
                image.columns, image.rows, ImageModeName(image.mode), image.planes, image.planes == 1 ? "" : "s",
                image.depth, image.depth == 1 ? "" : "s", image.horizontalResolution / 65536.0,
                image.verticalResolution / 65536.0, image.resources.size());
}

std::string TooLarge(const std::string &path, const HostImage &image) {
    const double mebibytes = double(HostImageRowBytes(image)) * image.rows / (1024.0 * 1024.0);
    char text[160];
    std::snprintf(text, sizeof text, ": the image is too large for this host (%d x %d, %d plane%s: %.0f MiB)",
                  image.columns, image.rows, image.planes, image.planes == 1 ? "" : "s", mebibytes);
    return ShownName(path) + text;
}

// Opens the file and runs the module's read steps; the module's result in
// *result, or false when the file itself cannot be opened. What went wrong,
// with the file's name, in *problem.
bool OpenThroughModule(HostSession *session, const std::string &path, int16_t *result, std::string *problem) {
    std::string error;
    const int file = OpenInputFile(path, kLargestImageFile, &error);
    if (file < 0) {
        *problem = ShownName(path) + ": " + error;
        return false;
    }
    session->progressLabel = "opening " + path;
    *result = OpenWithModule(session, file);
    session->progressLabel.clear();
    close(file);
    if (session->imageTooLarge)
        *problem = TooLarge(path, session->image);
    else if (*result != kResultNoError)
        *problem = ShownName(path) + ": " + DescribeResult(*result);
    return true;
}

int OpenStatus(const HostSession &session, int16_t result) {
    if (result == kResultNoError) return 0;
    if (session.imageTooLarge) return 2;
    return result == kResultCannotRead ? 1 : 2;
}

using ImageWriter = bool (*)(const HostImage &, const std::string &, std::string *);

bool WriteIfAsked(ImageWriter write, const HostImage &image, const std::string &path) {
    std::string error;
    if (path.empty() || write(image, path, &error)) return true;
    std::fprintf(stderr, "pnghost: %s: %s\n", path.c_str(), error.c_str());
    return false;
}

}  // namespace

int OpenFile(HostSession *session, const std::string &path, std::string *problem) {
    int16_t result = kResultNoError;
    return OpenThroughModule(session, path, &result, problem) ? OpenStatus(*session, result) : 2;
}

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
