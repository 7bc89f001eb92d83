#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/Commands.h"
#include "pnghost/Operations.h"
#include "pnghost/ResultText.h"

int RunSaveCommand(HostSession *session, const std::string &inPath, const std::string &outPath,
                   const SaveChoices &choices) {
    // The image comes from an open with every service offered: services the
    // command line withholds are withheld from the save.
    const HostFaults faults = session->faults;
    session->faults = HostFaults{};
    const int status = OpenFile(session, inPath);
    session->faults = faults;
    if (status != 0) return status;

    struct stat before {};
    const bool existed = stat(outPath.c_str(), &before) == 0;
    const int file = open(outPath.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (file < 0) {
        std::fprintf(stderr, "pnghost: %s: cannot create: %s\n", outPath.c_str(), std::strerror(errno));
        return 2;
    }
    session->progressLabel = "saving " + outPath;
    const int16_t result = SaveWithModule(session, file, choices);
    session->progressLabel.clear();
    struct stat written {};
    fstat(file, &written);
    const bool closed = close(file) == 0;
    if (result != kResultNoError || !closed) {
        // A save that did not happen leaves no file of its own behind.
        if (!existed) unlink(outPath.c_str());
        std::fprintf(stderr, "pnghost: %s: %s\n", outPath.c_str(),
                     closed ? DescribeResult(result).c_str() : std::strerror(errno));
        return 2;
    }
    std::printf("%s: saved, %lld bytes\n", outPath.c_str(), static_cast<long long>(written.st_size));
    return 0;
}
