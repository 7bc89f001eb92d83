// renameat2(RENAME_NOREPLACE), or link and unlink, which fail alike on a
// name that is taken; fsync on the folder.
#include "pnghost/files/NewName.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>

bool RenameWithoutReplacing(const std::string &from, const std::string &to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

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
