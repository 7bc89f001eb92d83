// renameat2(RENAME_NOREPLACE), or link and unlink, which fail alike on a
// name that is taken.
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
