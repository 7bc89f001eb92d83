// Saving without risk to the file saved over: the new file is written beside
// the destination and takes its place only once complete, so that a
// cancelled or failed save leaves the destination as it was.
#ifndef PNGHOST_SAFE_SAVE_FILE_H
#define PNGHOST_SAFE_SAVE_FILE_H

#include <string>

struct SaveFile {
    std::string destination;
    std::string written;  // the file written, beside the destination
    int descriptor = -1;
    // A destination that is no regular file (a device, a pipe) cannot be
    // replaced: it is written to directly.
    bool direct = false;
    bool existed = false;  // the destination was there before the save
};

// Opens a new, empty file beside the destination for reading and writing.
// False with a reason.
bool BeginSave(const std::string &destination, SaveFile *file, std::string *error);
// Closes the new file and puts it in place of the destination; false with a
// reason when either fails, and then the new file is removed.
bool FinishSave(SaveFile *file, std::string *error);
// Closes and removes the new file, leaving the destination as it was.
void AbandonSave(SaveFile *file);

// Renames one file over another, replacing it: the platform's own call.
bool MoveIntoPlace(const std::string &from, const std::string &to, std::string *error);

#endif
