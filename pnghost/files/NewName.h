// Giving a complete file a name that no file has, on Linux: never over a
// file that came into being meanwhile.
#ifndef PNGHOST_NEW_NAME_H
#define PNGHOST_NEW_NAME_H

#include <string>

// Renames `from` to `to` only if nothing has that name (renameat2 with
// RENAME_NOREPLACE; where the file system cannot, a hard link made and the
// old name removed). False with errno set, EEXIST when something has it.
bool RenameWithoutReplacing(const std::string &from, const std::string &to);

#endif
