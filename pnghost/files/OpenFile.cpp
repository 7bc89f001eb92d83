// Opening a file into the host through the module: the file checked and
// opened (standard input staged), the module's read steps, and what went wrong.
#include "pnghost/files/OpenFile.h"

#include <unistd.h>

#include <cstdio>

#include "pnghost/files/StandardStreams.h"
#include "pnghost/host/InputFile.h"
#include "pnghost/host/ResultText.h"

namespace {

std::string TooLarge(const std::string &path, const HostImage &image) {
    const double mebibytes = double(HostImageRowBytes(image)) * image.rows / (1024.0 * 1024.0);
    char text[160];
    std::snprintf(text, sizeof text, ": the image is too large for this host (%d x %d, %d plane%s: %.0f MiB)",
                  image.columns, image.rows, image.planes, image.planes == 1 ? "" : "s", mebibytes);
    return ShownName(path) + text;
}

}  // namespace

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

int OpenFile(HostSession *session, const std::string &path, std::string *problem) {
    int16_t result = kResultNoError;
    return OpenThroughModule(session, path, &result, problem) ? OpenStatus(*session, result) : 2;
}
