#include <cstdio>

#include "pnghost/commands/Commands.h"
#include "pnghost/files/OpenFile.h"
#include "pnghost/files/SafeSaveFile.h"
#include "pnghost/files/SaveToFile.h"
#include "pnghost/files/StandardStreams.h"
#include "pnghost/formats/NetpbmFile.h"
#include "pnghost/host/InputFile.h"
#include "pnghost/host/Operations.h"

namespace {

int Complain(const std::string &path, const std::string &what) {
    std::fprintf(stderr, "pnghost: %s: %s\n", ShownName(path).c_str(), what.c_str());
    return kSaveError;
}

bool ReadResourcesFile(const std::string &path, std::vector<uint8_t> *bytes, std::string *error) {
    FILE *file = OpenInputStream(path, kLargestResourcesFile, error);
    if (file == nullptr) return false;
    uint8_t piece[65536];
    size_t got;
    while ((got = std::fread(piece, 1, sizeof piece, file)) > 0) bytes->insert(bytes->end(), piece, piece + got);
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    if (!read) *error = "cannot read";
    return read;
}

// A netpbm image into the host, as the editor holds an image it made itself:
// 72 ppi, no image resources; with a palette, a P5's values are indices.
int TakeNetpbm(HostSession *session, const SaveRequest &request) {
    session->image = HostImage{};
    HostImage &image = session->image;
    std::string error;
    if (!ReadNetpbmImage(request.inPath, &image, &error)) return Complain(request.inPath, error);
    if (request.palettePath.empty()) return kSaved;
    if (image.mode != kModeGrayscale || image.planes != 1)
        return Complain(request.inPath, "only a P5 can be made indexed with --palette");
    image.mode = kModeIndexed;
    if (!ReadNetpbmPalette(request.palettePath, &image, &error)) return Complain(request.palettePath, error);
    return kSaved;
}

// A PNG into the host through the module, with every service offered: the
// services the command line withholds, and its faults, are the save's.
int TakePng(HostSession *session, const SaveRequest &request) {
    if (!request.palettePath.empty()) return Complain(request.inPath, "--palette goes with a P5 input, not a PNG");
    const HostFaults faults = session->faults;
    session->faults = HostFaults{};
    std::string problem;
    const int status = OpenFile(session, request.inPath, &problem);
    session->faults = faults;
    if (!problem.empty()) std::fprintf(stderr, "pnghost: %s\n", problem.c_str());
    return status == 0 ? kSaved : kSaveError;
}

// The resolution and the image resources the command line sets.
int SetUpImage(HostImage *image, const SaveRequest &request) {
    if (request.dpi > 0) image->horizontalResolution = image->verticalResolution = request.dpi << 16;
    if (request.resourcesPath.empty() && request.datasets.empty()) return kSaved;
    image->resources.clear();
    std::string error;
    if (!request.resourcesPath.empty() && !ReadResourcesFile(request.resourcesPath, &image->resources, &error))
        return Complain(request.resourcesPath, error);
    if (!request.datasets.empty()) {
        const std::vector<uint8_t> fileInfo = BuildFileInfoResource(request.datasets);
        image->resources.insert(image->resources.end(), fileInfo.begin(), fileInfo.end());
    }
    return kSaved;
}

// With the PNG on standard output, what is said goes to standard error.
int SaveImage(HostSession *session, const SaveRequest &request, SaveFile *out) {
    std::string report;
    const int status = SaveIntoFile(session, out, request.choices, &report);
    if (status == kSaved) std::fprintf(out->toStandardOutput ? stderr : stdout, "%s\n", report.c_str());
    else std::fprintf(stderr, "pnghost: %s\n", report.c_str());
    return status;
}

}  // namespace

// OUT is looked at first, so that a destination that cannot be saved to is
// refused before the input is read and the dialog shown.
int RunSaveCommand(HostSession *session, const SaveRequest &request) {
    SaveFile out;
    std::string error;
    if (!BeginSave(request.outPath, &out, &error)) return Complain(request.outPath, error);
    int status = LooksLikeNetpbm(request.inPath) ? TakeNetpbm(session, request) : TakePng(session, request);
    if (status == kSaved) status = SetUpImage(&session->image, request);
    if (status == kSaved) return SaveImage(session, request, &out);
    AbandonSave(&out);
    return status;
}
