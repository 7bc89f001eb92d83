#include "pnghost/SafeSaveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

// The folder part of a path, with its separator; empty for a bare name.
std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string &path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}


}  // namespace

bool BeginSave(const std::string &destination, SaveFile *file, std::string *error) {
    *file = SaveFile{};
    file->destination = destination;
    struct stat status {};
    file->existed = stat(destination.c_str(), &status) == 0;
    if (file->existed && !S_ISREG(status.st_mode)) {
        file->direct = true;
        file->descriptor = open(destination.c_str(), O_RDWR | O_BINARY);
        if (file->descriptor < 0) *error = std::string("cannot open: ") + std::strerror(errno);
        return file->descriptor >= 0;
    }
    // A hidden name of the saving process's own, beside the destination, so
    // that the rename stays within one file system.
    const std::string stem = FolderOf(destination) + "." + NameOf(destination) + ".pnghost-" + std::to_string(getpid());
    for (int attempt = 0; attempt < 100 && file->descriptor < 0; ++attempt) {
        file->written = stem + "-" + std::to_string(attempt);
        file->descriptor = open(file->written.c_str(), O_RDWR | O_CREAT | O_EXCL | O_BINARY, 0666);
        if (file->descriptor < 0 && errno != EEXIST) break;
    }
    if (file->descriptor < 0) *error = std::string("cannot create a file beside it: ") + std::strerror(errno);
    return file->descriptor >= 0;
}

bool FinishSave(SaveFile *file, std::string *error) {
    const bool closed = close(file->descriptor) == 0;
    file->descriptor = -1;
    if (!closed) *error = std::strerror(errno);
    if (file->direct) return closed;
    if (closed && MoveIntoPlace(file->written, file->destination, error)) return true;
    std::remove(file->written.c_str());
    return false;
}

void AbandonSave(SaveFile *file) {
    if (file->descriptor >= 0) close(file->descriptor);
    file->descriptor = -1;
    if (!file->direct) std::remove(file->written.c_str());
}
