// POSIX access control lists, read and written as the extended attributes
// the kernel keeps them in (system.posix_acl_default on a folder,
// system.posix_acl_access on a file): what a folder's default ACL gives a
// new file, and an entry that lets one more person read a file.
#ifndef PNGHOST_ACCESS_CONTROL_LISTS_H
#define PNGHOST_ACCESS_CONTROL_LISTS_H

#include <sys/types.h>

#include <string>

// The permission bits a file created with `requested` (open's mode) gets in
// the folder, when the folder has a default ACL: its owner, mask (or group)
// and other entries, each narrowed by the request, the umask not applied,
// as the kernel gives them. False when the folder has none.
bool BitsFromDefaultAcl(const std::string &folder, mode_t requested, mode_t *bits);
// Gives the file open as `descriptor`, its owner's only, an ACL that lets
// `reader` read it too. False where the file system keeps no ACL.
bool LetReadToo(int descriptor, uid_t reader);

#endif
