// ReplaceFile puts the new file in the old one's place and keeps what the old
// one carries: its ACL, alternate data streams, attributes, creation time and
// short name. A new file is moved into place, never over a file that came
// into being meanwhile. (A file that must stay the same file, with several
// hard links, which ReplaceFile would split, or in a folder that takes no new
// file, is written over instead: WriteOver.h.)
#include <windows.h>

#include <cstdio>

#include "pnghost/files/SafeSaveFile.h"

namespace {

// The new file was hidden while it was written: it takes the old file's
// attributes, or none.
void ShowAsTheOldFile(const std::string &from, const SaveTarget &to) {
    const DWORD kept = to.exists ? to.mode & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY) : 0;
    SetFileAttributesA(from.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

bool MoveIntoPlace(const std::string &from, const SaveTarget &to, std::string *error) {
    ShowAsTheOldFile(from, to);
    const BOOL moved = to.exists ? ReplaceFileA(to.path.c_str(), from.c_str(), nullptr,
                                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                 : MoveFileExA(from.c_str(), to.path.c_str(), MOVEFILE_WRITE_THROUGH);
    if (moved) return true;
    *error = "cannot put the new file in place (Windows error " + std::to_string(GetLastError()) + "); not replaced";
    return false;
}
