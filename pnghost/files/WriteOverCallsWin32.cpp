// A write-over's file calls on Windows: the old file opened so that no
// other program may write it meanwhile, and checked; the copy named with
// MoveFileEx, written through; ReadFile, WriteFile, SetEndOfFile and
// FlushFileBuffers on handles.
#include "pnghost/files/WriteOverCalls.h"

#include <windows.h>

#include <io.h>

#include "pnghost/files/TargetChecks.h"

const char kStoppedBy[] = "Ctrl-C or a closed console";
const char kCopyCommand[] = "copy";

namespace {

// Others may read the old file meanwhile, but not write, rename or delete
// it, and another save cannot open it to write over it: the open is the
// lock. A link put in its place is opened itself, not followed.
HANDLE OpenToWriteOver(const std::string &path) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// The file opened is the one checked, with as many names, and nothing was
// written to it or changed about it since: what stood at its name after the
// check may have been replaced or changed.
bool IsTheFileChecked(HANDLE old, const SaveTarget &to, std::string *error) {
    SaveTarget opened = to;  // at the path it was opened by
    if (DescribeOpenFile(old, &opened)) return IsTheFileFound(to, opened, error) && StatusAsFound(to, opened, error);
    *error = WithLastError("cannot look at it") + "; not replaced";
    return false;
}

}  // namespace

bool OpenToRead(const std::string &path, FileHandle *file) {
    *file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return *file != INVALID_HANDLE_VALUE;
}

bool OpenOldChecked(const SaveTarget &to, OldFile *old, std::string *error) {
    old->file = OpenToWriteOver(to.path);
    if (old->file == INVALID_HANDLE_VALUE) {
        const bool held = GetLastError() == ERROR_SHARING_VIOLATION;
        *error = WithLastError(held ? "cannot open it to write over it: another program, or another save, has it open"
                                    : "cannot open it to write over it") +
                 "; not replaced";
        return false;
    }
    if (IsTheFileChecked(old->file, to, error)) return true;
    CloseHandle(old->file);
    return false;
}

// Once it is open, no other program can write it.
bool UnchangedSinceChecked(const OldFile &, const SaveTarget &, std::string *) { return true; }

FileHandle FileOfDescriptor(int descriptor) { return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)); }

void CloseFile(FileHandle file) { CloseHandle(file); }

// The copy inherits its folder's permissions, as any new file there.
void LetTheOwnerRead(int, const SaveTarget &) {}

bool RenameTheCopy(const std::string &from, const std::string &to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool NameTaken() {
    const DWORD why = GetLastError();
    return why == ERROR_ALREADY_EXISTS || why == ERROR_FILE_EXISTS;
}

bool RemoveTheFile(const std::string &path) { return DeleteFileA(path.c_str()) != 0; }

// The rename was written through: Windows gives no handle on a folder to
// flush.
bool SyncTheName(const std::string &) { return true; }

bool Rewind(FileHandle file) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != 0;
}

long ReadPiece(FileHandle file, char *piece, size_t size) {
    DWORD got = 0;
    if (!ReadFile(file, piece, static_cast<DWORD>(size), &got, nullptr)) return -1;
    return static_cast<long>(got);
}

long WritePiece(FileHandle file, const char *bytes, size_t count) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr)) return -1;
    return static_cast<long>(written);
}

bool Interrupted() { return false; }

// The file pointer stands where the last write ended.
bool EndAndSync(FileHandle file, long long) { return SetEndOfFile(file) != 0 && FlushFileBuffers(file) != 0; }

// Windows reserves no room without changing the file's length, so a full
// disk is met by putting the old bytes back.
bool ReserveRoom(FileHandle, FileHandle) { return true; }

void SetFailingDiskError() { SetLastError(ERROR_IO_DEVICE); }

void SetFullDiskError() { SetLastError(ERROR_DISK_FULL); }

std::string WithLastError(const std::string &what) {
    const DWORD code = GetLastError();
    return what + " (Windows error " + std::to_string(code) + ")";
}
