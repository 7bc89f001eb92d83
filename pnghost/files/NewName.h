// Giving a complete file a name on Linux: one that no file has, never over a
// file that came into being meanwhile, and one that a crash does not undo.
#ifndef PNGHOST_NEW_NAME_H
#define PNGHOST_NEW_NAME_H

#include <string>

// Renames `from` to `to` only if nothing has that name (renameat2 with
// RENAME_NOREPLACE; where the file system cannot, a hard link made and the
// old name removed). False with errno set, EEXIST when something has it.
bool RenameWithoutReplacing(const std::string &from, const std::string &to);
// Syncs the folder the path is in, so that a name made or removed there is
// on the disk too. (Windows gives no handle on a folder to flush.)
bool SyncFolderOf(const std::string &path);

#endif
