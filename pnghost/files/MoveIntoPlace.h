// Putting a save's complete new file in the old one's place with the
// platform's own call: rename(2) on Linux, ReplaceFile on Windows. (A file
// that must stay the same file is written over instead: WriteOver.h.)
#ifndef PNGHOST_MOVE_INTO_PLACE_H
#define PNGHOST_MOVE_INTO_PLACE_H

#include <string>

#include "pnghost/files/SaveTarget.h"

// Puts the complete new file where the target is, in place of the old one:
// the platform's own call, which checks the target a last time first.
// False with *error saying what the target holds; *newFileKept when the new
// file must stay, named in *error, because the target does not hold the old
// file.
bool MoveIntoPlace(const std::string &from, const SaveTarget &to, bool *newFileKept, std::string *error);

#endif
