// Locking the file a save replaces, and its last check.
#include "pnghost/files/TargetLock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "pnghost/files/LeftoverCopy.h"
#include "pnghost/files/TargetChecks.h"

namespace {

bool Fail(std::string *error, const std::string &why) {
    *error = why;
    return false;
}

std::string Why(const std::string &what) { return what + ": " + std::strerror(errno) + "; not replaced"; }

// The whole file, however long it grows.
bool Lock(int file, std::string *error) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fcntl(file, F_OFD_SETLK, &whole) == 0) return true;
    if (errno == EAGAIN || errno == EACCES)
        return Fail(error, "another pnghost is saving over it: not replaced; save again once it has finished");
    return Fail(error, Why("cannot lock it"));
}

bool SameTimes(const struct timespec &one, const struct timespec &other) {
    return one.tv_sec == other.tv_sec && one.tv_nsec == other.tv_nsec;
}

// The target as the save found it, its status too, and the very file
// opened.
bool CheckAgain(const SaveTarget &target, int file, struct stat *checked, std::string *error) {
    if (!StillUnchanged(target, error)) return false;
    if (lstat(target.path.c_str(), checked) != 0) return Fail(error, Why("cannot look at it"));
    return StillAsChecked(file, target.path, *checked, error);
}

}  // namespace

int LockAndCheckAgain(const SaveTarget &target, struct stat *checked, std::string *error) {
    const int file = open(target.path.c_str(), O_RDWR | O_NOFOLLOW);
    if (file < 0) {
        // What changed (made read-only, say) tells more than the open's failure.
        const int why = errno;
        SaveTarget now;
        if (why == ELOOP)
            *error = "replaced by a symbolic link during the save: not replaced";
        else if (StillAsItWas(target.path, target, &now, error))
            *error = std::string("cannot open it: ") + std::strerror(why) + "; not replaced";
        return -1;
    }
    if (Lock(file, error) && NoLeftoverCopy(target, true, error) && CheckAgain(target, file, checked, error))
        return file;
    close(file);
    return -1;
}

bool StillAsChecked(int descriptor, const std::string &path, const struct stat &checked, std::string *error) {
    struct stat opened {};
    struct stat named {};
    if (fstat(descriptor, &opened) != 0 || lstat(path.c_str(), &named) != 0)
        return Fail(error, Why("cannot look at it"));
    if (opened.st_dev != checked.st_dev || opened.st_ino != checked.st_ino || named.st_dev != checked.st_dev ||
        named.st_ino != checked.st_ino)
        return Fail(error, "replaced by another file during the save: not replaced");
    if (opened.st_size != checked.st_size || !SameTimes(opened.st_mtim, checked.st_mtim) ||
        !SameTimes(opened.st_ctim, checked.st_ctim))
        return Fail(error, "changed by another program during the save: not replaced");
    return true;
}
