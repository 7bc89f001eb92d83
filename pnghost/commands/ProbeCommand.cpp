#include <unistd.h>

#include <cstdio>

#include "pnghost/commands/Commands.h"
#include "pnghost/host/HostFileHandle.h"
#include "pnghost/host/InputFile.h"

namespace {

enum ProbeOutcome { kIsPng = 0, kNotPng = 1, kProbeError = 2 };

ProbeOutcome ProbeFile(HostSession *session, const std::string &path) {
    std::string error;
    const int file = OpenInputFile(path, kLargestImageFile, &error);
    if (file < 0) {
        std::fprintf(stderr, "pnghost: %s: %s\n", path.c_str(), error.c_str());
        return kProbeError;
    }
    ResetHostBlock(session);
    session->block.fileHandle = HostFileHandle(file);
    const int16_t result = CallSelector(session, kSelectorFilterFile);
    close(file);

    switch (result) {
        case kResultNoError:
            std::printf("%s: PNG (%d)\n", path.c_str(), result);
            return kIsPng;
        case kResultCannotRead:
            std::printf("%s: not PNG (%d)\n", path.c_str(), result);
            return kNotPng;
        default:
            std::fprintf(stderr, "pnghost: %s: cannot be read (%d)\n", path.c_str(), result);
            return kProbeError;
    }
}

}  // namespace

int RunProbeCommand(HostSession *session, const std::vector<std::string> &files) {
    int worst = kIsPng;
    for (const std::string &path : files) {
        const ProbeOutcome outcome = ProbeFile(session, path);
        if (outcome > worst) worst = outcome;
    }
    return worst;
}
