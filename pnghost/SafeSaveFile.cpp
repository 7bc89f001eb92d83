#include "pnghost/SafeSaveFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pnghost/SaveSignals.h"
#include "pnghost/StandardStreams.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifdef _WIN32
#include <io.h>
#define fsync _commit
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

// A hidden name beside the target, so that the rename stays within one file
// system; the process ID in it tells whose it is. The file is private until
// complete.
int CreateNewFile(SaveFile *file, std::string *error) {
    const std::string stem = FolderOf(file->target.path) + "." + NameOf(file->target.path) + ".pnghost";
    const int descriptor = CreateOwnFile(stem, &file->written, error);
    if (descriptor < 0) *error = "cannot create a file beside it: " + *error;
    return descriptor;
}

// Every byte on the disk, the old file's owner and mode taken over, then
// into place.
bool PutInPlace(SaveFile *file, std::string *error) {
    TakeOverOwnerAndMode(file->target, file->descriptor);
    const bool written = fsync(file->descriptor) == 0;
    const bool closed = close(file->descriptor) == 0;
    file->descriptor = -1;
    if (!written || !closed) {
        *error = std::string("cannot write: ") + std::strerror(errno);
        return false;
    }
    return MoveIntoPlace(file->written, file->target, error);
}

// Not under held signals: a reader that stops reading must not make the
// process deaf to Ctrl-C.
bool SendToStandardOutput(SaveFile *file, std::string *error) {
    const bool sent = CopyToStandardOutput(file->descriptor, error);
    close(file->descriptor);
    file->descriptor = -1;
    return sent;
}

}  // namespace

std::string TemporaryFolder() {
    const char *folder = std::getenv("TMPDIR");
#ifdef _WIN32
    if (folder == nullptr) folder = std::getenv("TEMP");
    if (folder == nullptr) return "";
#else
    if (folder == nullptr || *folder == '\0') folder = "/tmp";
#endif
    return std::string(folder) + "/";
}

// The file is the signals' to remove from the moment it exists.
int CreateOwnFile(const std::string &stem, std::string *path, std::string *error) {
    const std::string ours = stem + "-" + std::to_string(getpid()) + "-";
    int descriptor = -1;
    HoldSignals();
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        *path = ours + std::to_string(attempt);
        descriptor = open(path->c_str(), O_RDWR | O_CREAT | O_EXCL | O_BINARY, 0600);
        if (descriptor < 0 && errno != EEXIST) break;
    }
    if (descriptor < 0)
        *error = std::strerror(errno);
    else
        RemoveOnSignal(*path);
    LetSignalsThrough();
    return descriptor;
}

bool BeginSave(const std::string &destination, SaveFile *file, std::string *error) {
    *file = SaveFile{};
    file->destination = destination;
    file->toStandardOutput = destination == "-";
    if (file->toStandardOutput) {
        file->descriptor = CreateOwnFile(TemporaryFolder() + "pnghost-stdout", &file->written, error);
        if (file->descriptor < 0) *error = "cannot create a file in " + TemporaryFolder() + ": " + *error;
        return file->descriptor >= 0;
    }
    if (!FindSaveTarget(destination, &file->target, error)) return false;
    file->descriptor = CreateNewFile(file, error);
    return file->descriptor >= 0;
}

bool FinishSave(SaveFile *file, std::string *error) {
    const bool finished = file->toStandardOutput ? SendToStandardOutput(file, error) : PutInPlace(file, error);
    if (!finished || file->toStandardOutput) std::remove(file->written.c_str());
    ForgetOnSignal(file->written);
    return finished;
}

void AbandonSave(SaveFile *file) {
    if (file->descriptor >= 0) close(file->descriptor);
    file->descriptor = -1;
    if (file->written.empty()) return;
    std::remove(file->written.c_str());
    ForgetOnSignal(file->written);
}
