// rename(2) puts the new file in place of the old in one step, and the
// folder is synced after it, so that the new name survives a crash. (A file
// that must stay the same file is written over instead: WriteOver.h.)
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/files/SafeSaveFile.h"
#include "pnghost/files/WriteOver.h"

// A rename that fails leaves both files as they were: the new one is never kept.
bool MoveIntoPlace(const std::string &from, const SaveTarget &to, bool *newFileKept, std::string *error) {
    *newFileKept = false;
    if (std::rename(from.c_str(), to.path.c_str()) != 0) {
        *error = std::string("cannot put the new file in place: ") + std::strerror(errno) + "; not replaced";
        return false;
    }
    if (SyncFolderOf(to.path)) return true;
    *error = std::string("the new file is in place, but its folder cannot be synced: ") + std::strerror(errno) +
             "; a crash now could bring back the old file";
    return false;
}
