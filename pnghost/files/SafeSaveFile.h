// Saving without risk to the file saved over: the new file is written beside
// the destination and takes its place only once complete, so that a
// cancelled, failed or interrupted save leaves the destination as it was.
// The new file keeps what the old one was (see SaveTarget.h). "-" saves to
// standard output, through a temporary file, so that the module still writes
// a real file.
#ifndef PNGHOST_SAFE_SAVE_FILE_H
#define PNGHOST_SAFE_SAVE_FILE_H

#include <string>

#include "pnghost/files/SaveTarget.h"

struct SaveFile {
    std::string destination;  // as given: a path, or "-"
    SaveTarget target;        // the file replaced or created
    std::string written;      // the new file: beside the target, or a temporary one for "-"
    int descriptor = -1;
    bool toStandardOutput = false;
};

// Checks the destination and opens a new, empty file for reading and
// writing. False with a reason: then nothing was created.
bool BeginSave(const std::string &destination, SaveFile *file, std::string *error);
// Puts the new file in place of the destination (or copies it to standard
// output) once every byte is written, the destination checked again first;
// false with a reason, which says what the destination holds, when anything
// fails, and then the new file is removed.
bool FinishSave(SaveFile *file, std::string *error);
// Closes and removes the new file, leaving the destination as it was.
void AbandonSave(SaveFile *file);

// Creates a new file of this process's own, stem-PID-N, readable and
// writable by its owner only, and removed if a signal ends the process. The
// descriptor, or -1 with *error saying why.
int CreateOwnFile(const std::string &stem, std::string *path, std::string *error);
// Creates a file of this process's own for `use` ("" the new file, "-old" a
// copy of the old one) beside the target: .NAME.pnghostUSE-PID-N, or
// .pnghostUSE-PID-N where that name is longer than the file system allows;
// where the folder takes no new file, pnghostUSE-PID-N in the temporary
// folder, and *inTemporaryFolder says so. As CreateOwnFile.
int CreateFileBeside(const std::string &target, const std::string &use, std::string *path, bool *inTemporaryFolder,
                     std::string *error);
// The folder for temporary files, with its separator.
std::string TemporaryFolder();

// Finds the destination again (*now) and checks that it is as `then` was:
// still writable, the same file with as many names, or still no file;
// false with a reason otherwise.
bool StillAsItWas(const std::string &destination, const SaveTarget &then, SaveTarget *now, std::string *error);
// Whether `now` is the file `then` found, at the same path, with as many
// names, or still no file; false with a reason otherwise.
bool IsTheFileFound(const SaveTarget &then, const SaveTarget &now, std::string *error);
// Whether its status is as `then` found it (SaveTarget::changed and the
// rest): nothing written to it or changed about it since; false with a
// reason otherwise.
bool StatusAsFound(const SaveTarget &then, const SaveTarget &now, std::string *error);
// The last check of an existing target before the new image goes in: found
// again, it is as `then` found it, its status too.
bool StillUnchanged(const SaveTarget &then, std::string *error);

// Puts the complete new file where the target is, in place of the old one:
// the platform's own call, which checks the target a last time first.
// False with *error saying what the target holds; *newFileKept when the new
// file must stay, named in *error, because the target does not hold the old
// file.
bool MoveIntoPlace(const std::string &from, const SaveTarget &to, bool *newFileKept, std::string *error);

#endif
