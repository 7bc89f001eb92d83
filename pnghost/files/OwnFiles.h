// The files pnghost makes for itself: a save's new file and the copy of an
// old one beside the target, standard input and output staged in the
// temporary folder. Each is new, its owner's only, and removed if a signal
// ends the process (SaveSignals.h).
#ifndef PNGHOST_OWN_FILES_H
#define PNGHOST_OWN_FILES_H

#include <string>

// Creates a new file of this process's own, stem-PID-N, readable and
// writable by its owner only, and removed if a signal ends the process. The
// descriptor, or -1 with *error saying why.
int CreateOwnFile(const std::string &stem, std::string *path, std::string *error);
// Creates a file of this process's own for `use` ("" the new file, "-copy"
// the write-over's copy of the old one, "-old" the name Windows moves the
// old file to) beside the target: .NAME.pnghostUSE-PID-N, or
// .pnghostUSE-PID-N where that name is longer than the file system allows;
// where the folder takes no new file, pnghostUSE-PID-N in the temporary
// folder, and *inTemporaryFolder says so. As CreateOwnFile.
int CreateFileBeside(const std::string &target, const std::string &use, std::string *path, bool *inTemporaryFolder,
                     std::string *error);
// The folder part of a path, with its separator; empty for a bare name.
std::string FolderOf(const std::string &path);
// The folder for temporary files, with its separator.
std::string TemporaryFolder();

#endif
