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

#endif
