// Writing over the old file on Windows, with a copy of its bytes kept until
// the new ones are flushed to the disk: a file with several hard links keeps
// them all, each showing the new image. A crash half way leaves the copy,
// the hidden .NAME.pnghost-old-PID-N beside the file (or pnghost-old-PID-N
// in the temporary folder), for a person to copy back.
#include <windows.h>

#include <io.h>

#include <cstdio>

#include "pnghost/files/OwnFiles.h"
#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/SaveSignals.h"
#include "pnghost/files/TargetChecks.h"
#include "pnghost/files/WriteOver.h"

namespace {

std::string Why(const std::string &what) {
    const DWORD code = GetLastError();
    return what + " (Windows error " + std::to_string(code) + ")";
}

// Writes into the old file are counted for the fault knobs.
int writesIntoOld = 0;

bool FaultAtWriteIntoOld() {
    const int number = writesIntoOld++;
    StopIfAsked("write-over:" + std::to_string(number));
    if (!WriteOverWriteFails(number)) return false;
    SetLastError(ERROR_IO_DEVICE);
    return true;
}

bool WriteAll(HANDLE file, const char *bytes, DWORD count, bool intoOld) {
    while (count > 0) {
        if (intoOld && FaultAtWriteIntoOld()) return false;
        DWORD written = 0;
        if (!WriteFile(file, bytes, count, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes += written;
        count -= written;
    }
    return true;
}

bool Rewind(HANDLE file) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != 0;
}

// `to` becomes byte for byte what `from` holds, flushed to the disk.
bool CopyOver(HANDLE from, HANDLE to, bool intoOld) {
    if (!Rewind(from) || !Rewind(to)) return false;
    char piece[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from, piece, sizeof piece, &got, nullptr)) return false;
        if (got == 0) break;
        if (!WriteAll(to, piece, got, intoOld)) return false;
    }
    return SetEndOfFile(to) != 0 && FlushFileBuffers(to) != 0;
}

HANDLE HandleOf(int descriptor) { return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)); }

// The complete, flushed copy takes its name, .NAME.pnghost-old-PID-N, from
// its stage, .NAME.pnghost-copy-PID-N: under that name a copy is always
// whole, and it is there only until the new image is on the disk, so that
// its being there says the save did not finish. The handler's entry goes
// with it.
bool NameTheCopy(std::string *path) {
    const std::string stage = *path, staged = "pnghost-copy-";
    const size_t at = stage.rfind(staged);
    const std::string named = stage.substr(0, at) + "pnghost-old-" + stage.substr(at + staged.size());
    HoldSignals();
    const bool renamed = MoveFileExA(stage.c_str(), named.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (renamed) {
        ForgetOnSignal(stage);
        RemoveOnSignal(named);
        *path = named;
    }
    LetSignalsThrough();
    return renamed;
}

// A complete copy of the old bytes, flushed and named, before the first
// byte is written over. -1 with *error when it cannot be made; then nothing
// is left of it.
int KeepCopy(HANDLE old, const std::string &target, std::string *copyPath, std::string *error) {
    bool inTemporaryFolder = false;
    const int copy = CreateFileBeside(target, "-copy", copyPath, &inTemporaryFolder, error);
    if (copy < 0) {
        *error = "cannot keep a copy of the old file: " + *error + "; not replaced";
        return -1;
    }
    StopIfAsked("copy");
    if (CopyOver(old, HandleOf(copy), false) && NameTheCopy(copyPath)) return copy;
    *error = Why("cannot keep a copy of the old file in " + *copyPath) + "; not replaced";
    _close(copy);
    std::remove(copyPath->c_str());
    ForgetOnSignal(*copyPath);
    return -1;
}

enum Outcome { kReplaced, kOldImageWhole, kOnlyTheCopyWhole };

// The new bytes over the old, or the old ones put back from the copy: also
// when a control event came meanwhile, which is to end pnghost with the file
// as it was. When neither, *error says where the copy is. Windows reserves
// no room without changing the file's length, so a full disk is met by
// putting back.
Outcome WriteOverOrPutBack(HANDLE source, HANDLE old, HANDLE copy, const std::string &copyPath,
                           const SaveTarget &to, std::string *error) {
    const bool written = CopyOver(source, old, true);
    if (written && !SignalWaiting()) return kReplaced;
    const std::string why = written ? std::string("stopped by Ctrl-C or a closed console") : Why("cannot write over it");
    if (CopyOver(copy, old, true)) {
        *error = why + "; the old image is back in place";
        return kOldImageWhole;
    }
    *error = why + ", " + Why("nor put the old image back") + "; it is kept whole in " + copyPath +
             ": put it back with copy " + copyPath + " " + to.path;
    return kOnlyTheCopyWhole;
}

// Others may read the old file meanwhile, but not write, rename or delete
// it, and another save cannot open it to write over it: the open is the
// lock. A link put in its place is opened itself, not followed.
HANDLE OpenToWriteOver(const std::string &path) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// The file opened is the one checked, with as many names, and nothing was
// written to it or changed about it since: what stood at its name after the
// check may have been replaced or changed. Once it is open, no other
// program can write it.
bool IsTheFileChecked(HANDLE old, const SaveTarget &to, std::string *error) {
    SaveTarget opened = to;  // at the path it was opened by
    if (DescribeOpenFile(old, &opened)) return IsTheFileFound(to, opened, error) && StatusAsFound(to, opened, error);
    *error = Why("cannot look at it") + "; not replaced";
    return false;
}

// The old file open to be written over, checked; INVALID_HANDLE_VALUE with
// *error otherwise.
HANDLE OpenTheFileChecked(const SaveTarget &to, std::string *error) {
    const HANDLE old = OpenToWriteOver(to.path);
    if (old == INVALID_HANDLE_VALUE) {
        const bool held = GetLastError() == ERROR_SHARING_VIOLATION;
        *error = Why(held ? "cannot open it to write over it: another program, or another save, has it open"
                          : "cannot open it to write over it") +
                 "; not replaced";
        return old;
    }
    if (IsTheFileChecked(old, to, error)) return old;
    CloseHandle(old);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

bool WriteOverKeepingACopy(const std::string &from, const SaveTarget &to, std::string *error) {
    const HANDLE source = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        *error = Why("cannot read the new file") + "; not replaced";
        return false;
    }
    const HANDLE old = OpenTheFileChecked(to, error);
    std::string copyPath;
    const int copy = old != INVALID_HANDLE_VALUE ? KeepCopy(old, to.path, &copyPath, error) : -1;
    Outcome outcome = kOldImageWhole;
    if (copy >= 0) {
        // Ctrl-C or a closed console meanwhile waits until the old file
        // holds a whole image again; the copy goes only then. Once the new
        // image is in place, it is too late to stop the save.
        HoldSignals();
        outcome = WriteOverOrPutBack(source, old, HandleOf(copy), copyPath, to, error);
        _close(copy);
        if (outcome != kOnlyTheCopyWhole) std::remove(copyPath.c_str());
        ForgetOnSignal(copyPath);
        if (outcome == kReplaced) DropWaitingSignals();
        LetSignalsThrough();
    }
    if (old != INVALID_HANDLE_VALUE) CloseHandle(old);
    CloseHandle(source);
    return outcome == kReplaced;
}
