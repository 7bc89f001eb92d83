// The lock a save holds on the file it replaces, on Linux, from its last
// check until the new image is in place, so that two saves of one file
// never rename or write over it at once: an exclusive open file description
// lock (F_OFD_SETLK) on the whole file, which every pnghost takes and which
// goes when the descriptor is closed, or the process ends. A save that finds
// the lock taken is refused at once rather than made to wait: waiting, it
// would find the file replaced or changed by the other save and be refused
// all the same, and it would wait for ever behind a save that is stopped.
// The lock is advisory: other programs are met by the checks.
#ifndef PNGHOST_TARGET_LOCK_H
#define PNGHOST_TARGET_LOCK_H

#include <sys/stat.h>

#include <string>

#include "pnghost/files/SaveTarget.h"

// Opens the target (a symbolic link in its place is not followed), locks
// it, and checks it a last time: no copy an unfinished save left beside it
// (LeftoverCopy.h), still the file the save found, with as many names, its
// status unchanged since (mode, owner, attributes, bytes), and the very
// file opened. The descriptor, open for reading and writing
// and holding the lock, with the file's status in *checked; or -1 with
// *error saying why the target is not replaced.
int LockAndCheckAgain(const SaveTarget &target, struct stat *checked, std::string *error);
// Whether the file open as `descriptor` is still as checked: the same file,
// of the same size and times, and still at `path`. False with *error when not.
bool StillAsChecked(int descriptor, const std::string &path, const struct stat &checked, std::string *error);

#endif
