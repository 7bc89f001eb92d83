// Windows has no symbolic links a save must follow here, nor owners and
// permission bits to carry over; its read-only attribute refuses the save.
#include <windows.h>

#include "pnghost/SaveTarget.h"

bool FindSaveTarget(const std::string &destination, SaveTarget *target, std::string *error) {
    *target = SaveTarget{};
    target->path = destination;
    const DWORD attributes = GetFileAttributesA(destination.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        *error = "a directory, not a regular file: a save writes a file on disk (use - for standard output)";
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        *error = "read-only: not replaced; make it writable to save over it";
        return false;
    }
    target->exists = true;
    return true;
}

bool TakeOverOwnerAndMode(const SaveTarget &, int) { return true; }
