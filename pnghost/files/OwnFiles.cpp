// New files of pnghost's own, beside a target or in the temporary folder.
#include "pnghost/files/OwnFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "pnghost/files/SaveSignals.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

namespace {

std::string NameOf(const std::string &path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
