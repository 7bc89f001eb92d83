// A write-over's file calls on Linux: the old file locked and checked
// (TargetLock.h), the copy named without replacing and its folder synced,
// and read, write, ftruncate and fsync on descriptors.
#include "pnghost/files/WriteOverCalls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "pnghost/files/AccessControlLists.h"
#include "pnghost/files/NewName.h"
#include "pnghost/files/TargetLock.h"

const char kStoppedBy[] = "a signal";
const char kCopyCommand[] = "cp";

bool OpenToRead(const std::string &path, FileHandle *file) {
    *file = open(path.c_str(), O_RDONLY);
    return *file >= 0;
}

// The lock holds other pnghosts off; other programs are met by the checks.
bool OpenOldChecked(const SaveTarget &to, OldFile *old, std::string *error) {
    old->file = LockAndCheckAgain(to, &old->checked, error);
    return old->file >= 0;
}

// A program that does not take the lock may have written to it while it
// was copied.
bool UnchangedSinceChecked(const OldFile &old, const SaveTarget &to, std::string *error) {
    return StillAsChecked(old.file, to.path, old.checked, error);
}

FileHandle FileOfDescriptor(int descriptor) { return descriptor; }

void CloseFile(FileHandle file) { close(file); }

// Where the file system keeps ACLs.
void LetTheOwnerRead(int copy, const SaveTarget &to) {
    const uid_t owner = static_cast<uid_t>(to.owner);
    if (owner != geteuid()) LetReadToo(copy, owner);
}

bool RenameTheCopy(const std::string &from, const std::string &to) { return RenameWithoutReplacing(from, to); }

bool NameTaken() { return errno == EEXIST; }

bool RemoveTheFile(const std::string &path) { return unlink(path.c_str()) == 0; }

bool SyncTheName(const std::string &path) { return SyncFolderOf(path); }

bool Rewind(FileHandle file) { return lseek(file, 0, SEEK_SET) == 0; }

long ReadPiece(FileHandle file, char *piece, size_t size) { return read(file, piece, size); }

long WritePiece(FileHandle file, const char *bytes, size_t count) { return write(file, bytes, count); }

bool Interrupted() { return errno == EINTR; }

bool EndAndSync(FileHandle file, long long length) {
    return ftruncate(file, static_cast<off_t>(length)) == 0 && fsync(file) == 0;
}

// A full disk stops the save before the first write. A file system that
// cannot reserve room is written over all the same: the copy is kept.
bool ReserveRoom(FileHandle old, FileHandle source) {
    struct stat status {};
    if (fstat(source, &status) != 0) return false;
    return status.st_size == 0 || fallocate(old, FALLOC_FL_KEEP_SIZE, 0, status.st_size) == 0 || errno == EOPNOTSUPP;
}

void SetFailingDiskError() { errno = EIO; }

void SetFullDiskError() { errno = ENOSPC; }

std::string WithLastError(const std::string &what) { return what + ": " + std::strerror(errno); }
