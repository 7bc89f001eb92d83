// What a save finds at its destination, so that the new file takes the old
// one's place as the old one was: the file a symbolic link points to, with
// its permission bits, owner, group and other names.
#ifndef PNGHOST_SAVE_TARGET_H
#define PNGHOST_SAVE_TARGET_H

#include <string>

struct SaveTarget {
    std::string path;  // the file to replace or create: the destination, its links followed
    bool exists = false;
    unsigned mode = 0;  // the permission bits of the file replaced
    long owner = -1;
    long group = -1;
    unsigned long names = 1;  // its hard links
};

// Follows the destination's symbolic links and checks that the file there
// may be replaced: false with a reason when it is no regular file, or when
// it is read-only (no write bit, as Windows' read-only attribute, so that
// even a process that could write anything is told) or not writable by the
// person saving.
bool FindSaveTarget(const std::string &destination, SaveTarget *target, std::string *error);
// Gives the new file the replaced file's owner and group, where the process
// may set them, and its permission bits, never wider. A new file gets the
// bits any program's new file gets: 0666, the umask applied.
void TakeOverOwnerAndMode(const SaveTarget &target, int descriptor);

#endif
