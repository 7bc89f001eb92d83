// Writing over the old file with a copy of its bytes kept until the new ones
// are safely on the disk. A crash half way (SIGKILL, the out-of-memory
// killer, a power cut) leaves the copy, .NAME.pnghost-old-PID-N beside the
// file (or pnghost-old-PID-N in the temporary folder), for a person to copy
// back: it has that name only while it is whole, and until the new image is
// whole on the disk, so that its being there says the save did not finish.
#include "pnghost/files/WriteOver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/files/AccessControlLists.h"
#include "pnghost/files/NewName.h"
#include "pnghost/files/OwnFiles.h"
#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/SaveSignals.h"
#include "pnghost/files/TargetLock.h"

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

// Renames the complete copy from its stage, .NAME.pnghost-copy-PID-N, to
// .NAME.pnghost-old-PID-N, so that a copy under that name is always whole,
// and the signals' slot goes with it.
bool NameTheCopy(std::string *path) {
    const std::string stage = *path;
    const size_t at = stage.rfind("pnghost-copy-");
    const std::string named = stage.substr(0, at) + "pnghost-old-" + stage.substr(at + std::strlen("pnghost-copy-"));
    HoldSignals();
    const bool renamed = RenameWithoutReplacing(stage, named);
    if (renamed) {
        ForgetOnSignal(stage);
        RemoveOnSignal(named);
        *path = named;
    }
    LetSignalsThrough();
    return renamed;
}

// A complete copy of the old bytes, its name on the disk too, before the
// first byte is written over; OUT's owner may read it, so that she can put
// it back herself (where the file system keeps ACLs). -1 with *error when it
// cannot be made; then nothing is left of it.
int KeepCopy(int old, const SaveTarget &to, std::string *copyPath, std::string *error) {
    bool inTemporaryFolder = false;
    const int copy = CreateFileBeside(to.path, "-copy", copyPath, &inTemporaryFolder, error);
    if (copy < 0) {
        *error = "cannot keep a copy of the old file: " + *error + "; not replaced";
        return -1;
    }
    const uid_t owner = static_cast<uid_t>(to.owner);
    if (owner != geteuid()) LetReadToo(copy, owner);
    StopIfAsked("copy");
    if (CopyOver(old, copy, false) && NameTheCopy(copyPath) && SyncFolderOf(*copyPath)) return copy;
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

// The new bytes over the old, or the old ones put back from the copy: also
// when a signal came meanwhile, which is to end pnghost with the file as it
// was. When neither, *error says where the copy is.
Outcome WriteOverOrPutBack(int source, int old, int copy, const std::string &copyPath, const SaveTarget &to,
                           std::string *error) {
    struct stat status {};
    if (fstat(source, &status) != 0 || !ReserveRoom(old, status.st_size)) {
        *error = Why("no room for the new file") + "; not replaced";
        return kOldImageWhole;
    }
    const bool written = CopyOver(source, old, true);
    if (written && !SignalWaiting()) return kReplaced;
    const std::string why = written ? std::string("stopped by a signal") : Why("cannot write over it");
    if (CopyOver(copy, old, true)) {
        *error = why + "; the old image is back in place";
        return kOldImageWhole;
    }
    *error = why + ", " + Why("nor put the old image back") + "; it is kept whole in " + copyPath +
             ": put it back with cp " + copyPath + " " + to.path;
    return kOnlyTheCopyWhole;
}

}  // namespace

// The old file is locked and checked a last time, and checked again once
// the copy is made: the first write goes only into the file checked, as it
// was when copied. A signal that comes during the writes waits until the
// old file holds a whole image again; the copy goes only then. Once the new
// image is in place, the signals stay held (SaveSignals.h).
bool WriteOverKeepingACopy(const std::string &from, const SaveTarget &to, std::string *error) {
    const int source = open(from.c_str(), O_RDONLY);
    if (source < 0) {
        *error = Why("cannot read the new file") + "; not replaced";
        return false;
    }
    struct stat checked {};
    const int old = LockAndCheckAgain(to, &checked, error);
    std::string copyPath;
    const int copy = old >= 0 ? KeepCopy(old, to, &copyPath, error) : -1;
    const bool unchanged = copy >= 0 && StillAsChecked(old, to.path, checked, error);
    Outcome outcome = kOldImageWhole;
    if (copy >= 0) {
        HoldSignals();
        if (unchanged) outcome = WriteOverOrPutBack(source, old, copy, copyPath, to, error);
        close(copy);
        if (outcome != kOnlyTheCopyWhole) std::remove(copyPath.c_str());
        ForgetOnSignal(copyPath);
        if (outcome != kReplaced) LetSignalsThrough();
    }
    if (old >= 0) close(old);
    close(source);
    return outcome == kReplaced;
}
