// The safe save: a new file beside the destination, put in its place once complete.
#include "pnghost/files/SafeSaveFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/SaveSignals.h"
#include "pnghost/files/StandardStreams.h"
#include "pnghost/files/WriteOver.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
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

// The new file beside the target, so that the rename stays within one file
// system; where the folder takes no new file, a file that is not the
// target's own can still be written over it.
int CreateNewFile(SaveFile *file, std::string *error) {
    bool inTemporaryFolder = false;
    const int descriptor = CreateFileBeside(file->target.path, "", &file->written, &inTemporaryFolder, error);
    if (descriptor < 0) *error = "cannot create a file beside it: " + *error;
    if (inTemporaryFolder) file->target.writeOver = true;
    return descriptor;
}

bool CloseAndFail(SaveFile *file, std::string *error, const std::string &why) {
    close(file->descriptor);
    file->descriptor = -1;
    *error = why;
    return false;
}

std::string CannotWrite() { return std::string("cannot write: ") + std::strerror(errno) + "; not replaced"; }

// What the old file is now taken over and the new file's bytes on the disk
// first, so that as little as can be stands between the last check of the
// destination (the platform's, as it puts the new file in place) and the
// replace. Where the new file cannot be all the old one was, the old file is
// written over instead.
bool PutInPlace(SaveFile *file, std::string *error) {
    SaveTarget now;
    if (!StillAsItWas(file->destination, file->target, &now, error)) return CloseAndFail(file, error, *error);
    now.writeOver = now.writeOver || file->target.writeOver;
    if (!now.writeOver && !TakeOverOwnerAndMode(now, file->descriptor)) now.writeOver = now.exists;
    if (fsync(file->descriptor) != 0) return CloseAndFail(file, error, CannotWrite());
    const bool closed = close(file->descriptor) == 0;
    file->descriptor = -1;
    if (!closed) {
        *error = CannotWrite();
        return false;
    }
    StopIfAsked("replace");
    if (!now.writeOver) {
        bool newFileKept = false;
        const bool moved = MoveIntoPlace(file->written, now, &newFileKept, error);
        if (newFileKept) file->written.clear();  // the person's now
        return moved;
    }
    const bool replaced = WriteOverKeepingACopy(file->written, now, error);
    std::remove(file->written.c_str());
    return replaced;
}

// Not under held signals: a reader that stops reading must not make the
// process deaf to Ctrl-C.
bool SendToStandardOutput(SaveFile *file, std::string *error) {
    const bool sent = CopyToStandardOutput(file->descriptor, error);
    close(file->descriptor);
    file->descriptor = -1;
    return sent;
}

#ifdef _WIN32
// What a new file's creation failed of, as errno says it. Wine answers a
// name longer than 255 characters with file-not-found.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_FILE_NOT_FOUND:
            return ENAMETOOLONG;
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        default:
            return EACCES;
    }
}
#endif

// A new file, readable and writable by its owner only. On Windows it is
// hidden, as its leading dot hides it on Linux, and may be deleted while
// open, as the console's Ctrl-C handler does.
int OpenNewOwnFile(const std::string &path) {
#ifdef _WIN32
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(GetLastError());
        return -1;
    }
    return _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
#else
    return open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
#endif
}

}  // namespace

// The checks are the same whether the save finds the destination first or
// again: only what it finds is compared.
bool StillAsItWas(const std::string &destination, const SaveTarget &then, SaveTarget *now, std::string *error) {
    if (FindSaveTarget(destination, now, error)) return IsTheFileFound(then, *now, error);
    *error += " (it changed during the save)";
    return false;
}

bool IsTheFileFound(const SaveTarget &then, const SaveTarget &now, std::string *error) {
    if (now.exists != then.exists || now.path != then.path || now.device != then.device ||
        now.fileNumber != then.fileNumber)
        *error = then.exists ? "replaced by another file during the save: not replaced"
                             : "created by another program during the save: not replaced";
    else if (now.names != then.names)
        *error = "its names went from " + std::to_string(then.names) + " to " + std::to_string(now.names) +
                 " during the save: not replaced";
    else
        return true;
    return false;
}

bool StatusAsFound(const SaveTarget &then, const SaveTarget &now, std::string *error) {
    if (now.size == then.size && now.written == then.written && now.changed == then.changed) return true;
    *error = "changed by another program during the save: not replaced";
    return false;
}

bool StillUnchanged(const SaveTarget &then, std::string *error) {
    SaveTarget now;
    return StillAsItWas(then.path, then, &now, error) && StatusAsFound(then, now, error);
}

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
        descriptor = OpenNewOwnFile(*path);
        if (descriptor < 0 && errno != EEXIST) break;
    }
    if (descriptor < 0)
        *error = std::strerror(errno);
    else
        RemoveOnSignal(*path);
    LetSignalsThrough();
    return descriptor;
}

// The short name where the long one is more than the file system allows; in
// the temporary folder where the target's folder takes no new file.
int CreateFileBeside(const std::string &target, const std::string &use, std::string *path, bool *inTemporaryFolder,
                     std::string *error) {
    *inTemporaryFolder = false;
    const std::string folder = FolderOf(target);
    int descriptor = CreateOwnFile(folder + "." + NameOf(target) + ".pnghost" + use, path, error);
    if (descriptor < 0 && errno == ENAMETOOLONG) descriptor = CreateOwnFile(folder + ".pnghost" + use, path, error);
    if (descriptor < 0 && (errno == EACCES || errno == EPERM)) {
        std::string why;
        descriptor = CreateOwnFile(TemporaryFolder() + "pnghost" + use, path, &why);
        *inTemporaryFolder = descriptor >= 0;
    }
    return descriptor;
}

bool BeginSave(const std::string &destination, SaveFile *file, std::string *error) {
    *file = SaveFile{};
    file->destination = destination;
    file->toStandardOutput = destination == "-";
    if (file->toStandardOutput && StandardOutputClosed()) {
        *error = "standard output is closed: nowhere to write the PNG";
        return false;
    }
    if (file->toStandardOutput) {
        file->descriptor = CreateOwnFile(TemporaryFolder() + "pnghost-stdout", &file->written, error);
        if (file->descriptor < 0) *error = "cannot create a file in " + TemporaryFolder() + ": " + *error;
        return file->descriptor >= 0;
    }
    if (!FindSaveTarget(destination, &file->target, error)) return false;
    file->descriptor = CreateNewFile(file, error);
    // A new file with no folder to take it would have nowhere to go.
    if (file->descriptor >= 0 && file->target.writeOver && !file->target.exists) {
        AbandonSave(file);
        *error = "cannot create a file beside it: " + std::string(std::strerror(EACCES));
        return false;
    }
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
