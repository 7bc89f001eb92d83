// rename(2) replaces the destination in one step. A file with several names
// (hard links) would lose them to a rename, so the new bytes are written over
// the old file instead, every name then seeing the new image: but only once
// the disk space for them is reserved, so that the writes cannot stop half
// way. When it cannot be, the rename is the safe way, and the other names
// keep the old image.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/SafeSaveFile.h"
#include "pnghost/SaveSignals.h"

namespace {

bool Rename(const std::string &from, const std::string &to, std::string *error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    *error = std::string("cannot put the new file in place: ") + std::strerror(errno);
    return false;
}

bool Fail(std::string *error, const char *what) {
    *error = std::string(what) + ": " + std::strerror(errno);
    return false;
}

// Room on the disk for `bytes`, taken without changing the file's contents
// or length. (The file-size limit needs no check: the new file, as long,
// was written under it.)
bool ReserveRoom(int file, off_t bytes, std::string *error) {
    if (bytes > 0 && fallocate(file, FALLOC_FL_KEEP_SIZE, 0, bytes) != 0) return Fail(error, "no room reserved");
    return true;
}

bool WriteAll(int file, const char *bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = write(file, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

bool CopyBytes(int from, int to) {
    char piece[65536];
    for (;;) {
        const ssize_t got = read(from, piece, sizeof piece);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(to, piece, static_cast<size_t>(got))) return false;
    }
}

// Writes the new file's bytes over the old file's, and cuts it to their
// length. *started says whether the old file was touched.
bool WriteOver(int from, int to, off_t bytes, bool *started, std::string *error) {
    *started = false;
    if (!ReserveRoom(to, bytes, error)) return false;
    *started = true;
    if (!CopyBytes(from, to)) return Fail(error, "cannot write over the file");
    if (ftruncate(to, bytes) != 0 || fsync(to) != 0) return Fail(error, "cannot write over the file");
    return true;
}

// The old file's bytes replaced in place. False with *started false when it
// was not touched.
bool ReplaceBytes(const std::string &from, const std::string &to, bool *started, std::string *error) {
    *started = false;
    const int source = open(from.c_str(), O_RDONLY);
    if (source < 0) return Fail(error, "cannot read the new file");
    struct stat status {};
    const int target = fstat(source, &status) == 0 ? open(to.c_str(), O_WRONLY) : -1;
    const bool replaced = target >= 0 ? WriteOver(source, target, status.st_size, started, error)
                                      : Fail(error, "cannot open the file to write over it");
    if (target >= 0 && close(target) != 0 && replaced) {
        close(source);
        return Fail(error, "cannot write over the file");
    }
    close(source);
    return replaced;
}

}  // namespace

bool MoveIntoPlace(const std::string &from, const SaveTarget &to, std::string *error) {
    if (to.names <= 1) return Rename(from, to.path, error);
    bool started = false;
    std::string why;
    // A signal that comes meanwhile waits until the old file holds the
    // whole new image.
    HoldSignals();
    const bool replaced = ReplaceBytes(from, to.path, &started, &why);
    if (replaced) std::remove(from.c_str());
    LetSignalsThrough();
    if (replaced) return true;
    // The complete new file takes this name; the other names keep the old
    // file, untouched, or the bytes a failing disk left there.
    if (!Rename(from, to.path, error)) return false;
    std::fprintf(stderr, "pnghost: %s: %s; saved as a new file under this name, its other %lu name%s %s\n",
                 to.path.c_str(), why.c_str(), to.names - 1, to.names == 2 ? "" : "s",
                 started ? "may hold a damaged image" : "keep the old image");
    return true;
}
