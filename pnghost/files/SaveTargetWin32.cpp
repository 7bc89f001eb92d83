// On Windows the save follows a symbolic link to the file it names, refuses
// the read-only attribute, and notes which file it is, its names and its
// attributes; an ACL, streams and attributes are ReplaceFile's to keep. A
// file with several hard links is written over, so that every name shows
// the new image.
#include <windows.h>

#include "pnghost/files/SaveTarget.h"

namespace {

// The file a handle is open on, its links followed, as a plain path; the
// path as given when the system cannot say.
std::string FinalPath(HANDLE file, const std::string &path) {
    char text[4 * MAX_PATH];
    const DWORD length = GetFinalPathNameByHandleA(file, text, sizeof text, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof text) return path;
    const std::string final(text, length);
    if (final.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + final.substr(8);
    if (final.rfind("\\\\?\\", 0) == 0) return final.substr(4);
    return final;
}

bool Refuse(std::string *error, const std::string &why) {
    *error = why;
    return false;
}

long long Joined(DWORD high, DWORD low) { return static_cast<long long>((static_cast<ULONGLONG>(high) << 32) | low); }

}  // namespace

// The change time comes from the file system's own record, which not every
// file system keeps (FAT does not): 0 then.
bool DescribeOpenFile(void *file, SaveTarget *target) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) return false;
    target->mode = information.dwFileAttributes;
    target->names = information.nNumberOfLinks;
    target->device = information.dwVolumeSerialNumber;
    target->fileNumber = static_cast<unsigned long long>(Joined(information.nFileIndexHigh, information.nFileIndexLow));
    target->size = Joined(information.nFileSizeHigh, information.nFileSizeLow);
    target->written = Joined(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime);
    FILE_BASIC_INFO basic{};
    const bool kept = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) != 0;
    target->changed = kept ? basic.ChangeTime.QuadPart : 0;
    return true;
}

bool FindSaveTarget(const std::string &destination, SaveTarget *target, std::string *error) {
    *target = SaveTarget{};
    target->path = destination;
    const HANDLE file = CreateFileA(destination.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD why = GetLastError();
        if (why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND) return true;  // a new file
        return Refuse(error, "cannot look at it (Windows error " + std::to_string(why) + ")");
    }
    const bool known = DescribeOpenFile(file, target);
    const DWORD why = known ? 0 : GetLastError();
    target->path = FinalPath(file, destination);
    CloseHandle(file);
    if (!known) return Refuse(error, "cannot look at it (Windows error " + std::to_string(why) + ")");
    if (target->mode & FILE_ATTRIBUTE_DIRECTORY)
        return Refuse(error,
                      "a directory, not a regular file: a save writes a file on disk (use - for standard output)");
    if (target->mode & FILE_ATTRIBUTE_READONLY)
        return Refuse(error, "read-only: not replaced; make it writable to save over it");
    target->exists = true;
    target->writeOver = target->names > 1;
    return true;
}

bool TakeOverOwnerAndMode(const SaveTarget &, int) { return true; }
