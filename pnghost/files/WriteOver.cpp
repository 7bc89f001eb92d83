// Writing over the old file with a copy of its bytes kept until the new ones
// are safely on the disk. A crash half way (SIGKILL, the out-of-memory
// killer, a power cut) leaves the copy, .NAME.pnghost-old-PID-N beside the
// file (or pnghost-old-PID-N in the temporary folder), for a person to copy
// back.
#include "pnghost/files/WriteOver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/files/SafeSaveFile.h"
#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/SaveSignals.h"

namespace {

std::string Why(const std::string &what) { return what + ": " + std::strerror(errno); }

// Writes into the old file are counted for the fault knobs.
int writesIntoOld = 0;

bool FaultAtWriteIntoOld() {
    const int number = writesIntoOld++;
    StopIfAsked("write-over:" + std::to_string(number));
    if (!WriteOverWriteFails(number)) return false;
    errno = EIO;
    return true;
}

bool WriteAll(int file, const char *bytes, size_t count, bool intoOld) {
    while (count > 0) {
        if (intoOld && FaultAtWriteIntoOld()) return false;
        const ssize_t written = write(file, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

// `to` becomes byte for byte what `from` holds, on the disk.
bool CopyOver(int from, int to, bool intoOld) {
    if (lseek(from, 0, SEEK_SET) != 0 || lseek(to, 0, SEEK_SET) != 0) return false;
    char piece[65536];
    off_t length = 0;
    for (;;) {
        const ssize_t got = read(from, piece, sizeof piece);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        if (!WriteAll(to, piece, static_cast<size_t>(got), intoOld)) return false;
        length += got;
    }
    return ftruncate(to, length) == 0 && fsync(to) == 0;
}

// A complete copy of the old bytes, its name on the disk too, before the
// first byte is written over. -1 with *error when it cannot be made; then
// nothing is left of it.
int KeepCopy(int old, const std::string &target, std::string *copyPath, std::string *error) {
    bool inTemporaryFolder = false;
    const int copy = CreateFileBeside(target, "-old", copyPath, &inTemporaryFolder, error);
    if (copy < 0) {
        *error = "cannot keep a copy of the old file: " + *error + "; not replaced";
        return -1;
    }
    if (CopyOver(old, copy, false) && SyncFolderOf(*copyPath)) return copy;
    *error = Why("cannot keep a copy of the old file in " + *copyPath) + "; not replaced";
    close(copy);
    std::remove(copyPath->c_str());
    ForgetOnSignal(*copyPath);
    return -1;
}

// Room on the disk for the new bytes, taken without changing the old file,
// so that a full disk stops the save before the first write. A file system
// that cannot reserve room is written over all the same: the copy is kept.
bool ReserveRoom(int file, off_t bytes) {
    return bytes == 0 || fallocate(file, FALLOC_FL_KEEP_SIZE, 0, bytes) == 0 || errno == EOPNOTSUPP;
}

enum Outcome { kReplaced, kOldImageWhole, kOnlyTheCopyWhole };

// The new bytes over the old, or the old ones put back from the copy; when
// neither, *error says where the copy is.
Outcome WriteOverOrPutBack(int source, int old, int copy, const std::string &copyPath, const SaveTarget &to,
                           std::string *error) {
    struct stat status {};
    if (fstat(source, &status) != 0 || !ReserveRoom(old, status.st_size)) {
        *error = Why("no room for the new file") + "; not replaced";
        return kOldImageWhole;
    }
    if (CopyOver(source, old, true)) return kReplaced;
    const std::string why = Why("cannot write over it");
    if (CopyOver(copy, old, true)) {
        *error = why + "; the old image is back in place";
        return kOldImageWhole;
    }
    *error = why + ", " + Why("nor put the old image back") + "; it is kept whole in " + copyPath +
             ": put it back with cp " + copyPath + " " + to.path;
    return kOnlyTheCopyWhole;
}

}  // namespace

bool SyncFolderOf(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) return false;
    // Some file systems have nothing to sync for a folder and say so.
    const bool synced = fsync(descriptor) == 0 || errno == EINVAL;
    close(descriptor);
    return synced;
}

bool WriteOverKeepingACopy(const std::string &from, const SaveTarget &to, std::string *error) {
    const int source = open(from.c_str(), O_RDONLY);
    const int old = source >= 0 ? open(to.path.c_str(), O_RDWR) : -1;
    std::string copyPath;
    const int copy = old >= 0 ? KeepCopy(old, to.path, &copyPath, error) : -1;
    if (source < 0) *error = Why("cannot read the new file") + "; not replaced";
    else if (old < 0) *error = Why("cannot open it to write over it") + "; not replaced";
    Outcome outcome = kOldImageWhole;
    if (copy >= 0) {
        // A signal that comes meanwhile waits until the old file holds a
        // whole image again; the copy goes only then.
        HoldSignals();
        outcome = WriteOverOrPutBack(source, old, copy, copyPath, to, error);
        close(copy);
        if (outcome != kOnlyTheCopyWhole) std::remove(copyPath.c_str());
        ForgetOnSignal(copyPath);
        LetSignalsThrough();
    }
    if (old >= 0) close(old);
    if (source >= 0) close(source);
    return outcome == kReplaced;
}
