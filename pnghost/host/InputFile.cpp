#include "pnghost/host/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_NONBLOCK
// Windows has no FIFOs that an open waits on.
#define O_NONBLOCK 0
#endif

namespace {

const char *KindOf(unsigned mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO or pipe";
    if (S_ISCHR(mode)) return "a character device";
#ifdef S_ISSOCK
    if (S_ISSOCK(mode)) return "a socket";
#endif
    return "a special file";
}

}  // namespace

int OpenInputFile(const std::string &path, uint64_t largest, std::string *error) {
    // Without O_NONBLOCK, opening a FIFO that has no writer waits for one;
    // on a regular file the flag changes nothing.
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_BINARY);
    if (file < 0) {
        *error = std::string("cannot open: ") + std::strerror(errno);
        return -1;
    }
    struct stat status {};
    if (fstat(file, &status) != 0) {
        *error = std::string("cannot open: ") + std::strerror(errno);
        close(file);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        *error = std::string(KindOf(status.st_mode)) + ", not a regular file: only files on disk can be opened";
        close(file);
        return -1;
    }
    if (static_cast<uint64_t>(status.st_size) > largest) {
        *error = std::to_string(static_cast<long long>(status.st_size)) + " bytes: too large, this use takes at most " +
                 std::to_string(largest) + " bytes";
        close(file);
        return -1;
    }
    return file;
}

FILE *OpenInputStream(const std::string &path, uint64_t largest, std::string *error) {
    const int file = OpenInputFile(path, largest, error);
    if (file < 0) return nullptr;
    FILE *stream = fdopen(file, "rb");
    if (stream == nullptr) {
        *error = std::string("cannot open: ") + std::strerror(errno);
        close(file);
    }
    return stream;
}
