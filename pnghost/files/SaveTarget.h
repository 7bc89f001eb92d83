// What a save finds at its destination, so that the new file takes the old
// one's place as the old one was: the file a symbolic link points to, with
// its permission bits, owner, group, extended attributes and other names.
#ifndef PNGHOST_SAVE_TARGET_H
#define PNGHOST_SAVE_TARGET_H

#include <string>

struct SaveTarget {
    std::string path;  // the file to replace or create: the destination, its links followed
    bool exists = false;
    unsigned mode = 0;  // the permission bits of the file replaced (on Windows its attributes)
    long owner = -1;
    long group = -1;
    unsigned long names = 1;  // its hard links
    // Which file it is, to tell whether it was replaced meanwhile.
    unsigned long long device = 0;
    unsigned long long fileNumber = 0;
    // Its status, to tell a change made after it was found: its length, when
    // its bytes were last written and when its status last changed, which
    // every change of its bytes, attributes (Linux: mode, owner), or names
    // moves (Linux: mtime and ctime in nanoseconds; Windows: in 100-ns ticks,
    // the change time 0 where the file system keeps none).
    long long size = 0;
    long long written = 0;
    long long changed = 0;
    // The new bytes must go into the old file rather than a new file take
    // its place: it has several names, its folder takes no new file, or the
    // new file cannot have its owner, group or attributes (a file of
    // another's, which only root could give away; in a sticky folder such
    // as /tmp, also the only way a file of another's can be saved over).
    bool writeOver = false;
};

// Follows the destination's symbolic links and checks that the file there
// may be replaced: false with a reason when it is no regular file, or when
// it is read-only (no write bit, as Windows' read-only attribute, so that
// even a process that could write anything is told) or not writable by the
// person saving. On Linux a link in a sticky folder that anyone may write
// (/tmp) is followed only when it is the saver's or the folder owner's own,
// the kernel's rule (fs.protected_symlinks) whether the system sets it or not.
bool FindSaveTarget(const std::string &destination, SaveTarget *target, std::string *error);
#ifndef _WIN32
// Whether a link or file of uid `owner`'s in `folder` falls under the
// kernel's rules for sticky folders anyone may write to and only owners
// delete from, such as /tmp: it is neither the saver's nor the folder
// owner's. A folder that cannot be looked at counts as such.
bool AStrangersInASharedFolder(const std::string &folder, unsigned owner);
#endif
// Gives the new file the replaced file's owner, group, permission bits
// (never wider) and extended attributes, the access control list among
// them; false when one of them cannot be given, and then the new file must
// not take the old one's place. A new file gets the bits any program's new
// file gets: 0666, the umask applied, or the folder's default ACL instead.
bool TakeOverOwnerAndMode(const SaveTarget &target, int descriptor);
#ifdef _WIN32
// What the file open as `file` (a HANDLE) is: its attributes, names, which
// file it is, and its status. False when Windows cannot say.
bool DescribeOpenFile(void *file, SaveTarget *target);
#endif

#endif
